<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Ain</name>
    <message>
        <source>overload</source>
        <translation>overload</translation>
    </message>
    <message>
        <source>under</source>
        <translation>under</translation>
    </message>
    <message>
        <source>outrange</source>
        <translation>outrange</translation>
    </message>
    <message>
        <source>freeze</source>
        <translation>freeze</translation>
    </message>
</context>
<context>
    <name>AinConnection</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>pu1</source>
        <translation>pu1</translation>
    </message>
    <message>
        <source>pu2</source>
        <translation>pu2</translation>
    </message>
    <message>
        <source>pu3</source>
        <translation>pu3</translation>
    </message>
    <message>
        <source>au0</source>
        <translation>au0</translation>
    </message>
    <message>
        <source>au1</source>
        <translation>au1</translation>
    </message>
    <message>
        <source>МАРКИРОВКА...</source>
        <translation type="vanished">MARKING...</translation>
    </message>
    <message>
        <source>КЛЕММА...</source>
        <translation type="vanished">TERMINAL...</translation>
    </message>
    <message>
        <source>МАРКИРОВКА</source>
        <translation>MARKING</translation>
    </message>
    <message>
        <source>КЛЕММА</source>
        <translation>TERMINAL</translation>
    </message>
</context>
<context>
    <name>AlarmsWidget</name>
    <message>
        <source>Активные: %1
Неквитированные: %2
Замаскированные: %3</source>
        <translation>Active: %1
Unacknowledged: %2
Masked: %3</translation>
    </message>
</context>
<context>
    <name>AlrmsManager</name>
    <message>
        <source>Квитировать</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>Квитировать все</source>
        <translation>Acknowledge all</translation>
    </message>
    <message>
        <source>Маскировать</source>
        <translation>Mask</translation>
    </message>
    <message>
        <source>Аварии</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Авария</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Снять маску</source>
        <translation>Unmask</translation>
    </message>
</context>
<context>
    <name>Aout</name>
    <message>
        <source>AOUT</source>
        <translation>AOUT</translation>
    </message>
    <message>
        <source>overload</source>
        <translation>overload</translation>
    </message>
</context>
<context>
    <name>BaseClibrationUI</name>
    <message>
        <source>4-20 Ma</source>
        <translation type="vanished">4-20 mA</translation>
    </message>
    <message>
        <source>0-10 Вольт</source>
        <translation>0-10 V</translation>
    </message>
    <message>
        <source>RTD</source>
        <translation>RTD</translation>
    </message>
    <message>
        <source>NTC</source>
        <translation>NTC</translation>
    </message>
    <message>
        <source>Тип </source>
        <translation>Type </translation>
    </message>
    <message>
        <source>4-20 мА</source>
        <translation>4-20 mA</translation>
    </message>
</context>
<context>
    <name>ConfigurationStorage</name>
    <message>
        <source>ru</source>
        <comment>the interface language&apos;s locale name</comment>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>ContextMenu</name>
    <message>
        <source>Свернуть - ...</source>
        <translation>Collapse - ...</translation>
    </message>
    <message>
        <source>Свернуть другие устройства</source>
        <translation>Collapse other devices</translation>
    </message>
    <message>
        <source>Свернуть все устройства </source>
        <translation>Collapse all devices </translation>
    </message>
    <message>
        <source>Развернуть все устройства </source>
        <translation>Expand all devices </translation>
    </message>
    <message>
        <source>Скрыть выбранные ресурсы</source>
        <translation>Hide selected resources</translation>
    </message>
    <message>
        <source>Скрыть другие ресурсы</source>
        <translation>Hide other resources</translation>
    </message>
    <message>
        <source>Показать всё </source>
        <translation>Show all </translation>
    </message>
    <message>
        <source>Свернуть - </source>
        <translation>Collapse - </translation>
    </message>
</context>
<context>
    <name>ControlAndMonitoring</name>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Fail - </source>
        <translation>Fail - </translation>
    </message>
</context>
<context>
    <name>CurrentVoltage</name>
    <message>
        <source>Мин</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Макс</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Входной диапазон</source>
        <translation>Input range</translation>
    </message>
    <message>
        <source>Выходной диапазон</source>
        <translation>Output range</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>Входной диапазон, %1</source>
        <translation type="vanished">Input range, %1</translation>
    </message>
</context>
<context>
    <name>DebugOperations</name>
    <message>
        <source>Инженерный режим!</source>
        <translation>Engineering mode!</translation>
    </message>
    <message>
        <source>Тест map</source>
        <translation>Map test</translation>
    </message>
    <message>
        <source>Открыть папку запуска</source>
        <translation>Open start folder</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию в бинарный файл</source>
        <translation>Save configuration to binary file</translation>
    </message>
    <message>
        <source>Сканировать cистемы</source>
        <translation>Scan systems</translation>
    </message>
    <message>
        <source>Обновлять бесконечно</source>
        <translation>Upgrade endlessly</translation>
    </message>
    <message>
        <source>Cохранить в бинарный файл</source>
        <translation>Save to binary file</translation>
    </message>
    <message>
        <source>Bin files (*.bin)</source>
        <translation>Bin files (*.bin)</translation>
    </message>
</context>
<context>
    <name>DeviceOperation</name>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>&amp;Начать отладку</source>
        <translation>&amp;Start monitoring</translation>
    </message>
    <message>
        <source>&amp;Остановить отладку</source>
        <translation>S&amp;top monitoring</translation>
    </message>
    <message>
        <source>&amp;Считать конфигурацию</source>
        <translation>&amp;Read configuration</translation>
    </message>
    <message>
        <source>&amp;Записать конфигурацию</source>
        <translation>&amp;Write configuration</translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Загрузка конфигурации не поддерживается
эмулятором данного типа</source>
        <translation>Loading the configuration is not supported
by an emulator of this type</translation>
    </message>
    <message>
        <source>Мониторинг</source>
        <translation>Monitoring</translation>
    </message>
    <message>
        <source>Мониторинг и отладка не поддерживается
эмулятором данного типа</source>
        <translation>Monitoring and debugging are not supported
by an emulator of this type</translation>
    </message>
    <message>
        <source>Расположение быстрых DIN на клемах USO подключенной системы отличаются от записываемой конфигурации.

Некоторые DIN не cмогут работать в быстром режиме.
Продолжить запись?</source>
        <translation>The placement of fast DINs on the USO terminals of the connected system differs from the configuration being written.

Some DINs will not be able to work in fast mode.
Continue writing?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Ошибка загрузки конфигурации
из контроллера</source>
        <translation>Error loading the configuration
from the controller</translation>
    </message>
    <message>
        <source>Конфигурация
успешно записана в контроллер</source>
        <translation>The configuration
was written to the controller</translation>
    </message>
    <message>
        <source>Не могу записать конфигурацию
в контроллер</source>
        <translation>Cannot write the configuration
to the controller</translation>
    </message>
    <message>
        <source>Контроллер, возможно, остался разблокированным.
Он будет заблокирован, когда будет найден снова.</source>
        <translation type="vanished">The controller may still be unlocked.
It will be locked when it is found again.</translation>
    </message>
    <message>
        <source>Сброс пароля контроллера не подтверждён.</source>
        <translation type="vanished">The controller&apos;s password clear was not confirmed.</translation>
    </message>
    <message>
        <source>Конфигурация в контроллере неполна или повреждена.</source>
        <translation>The configuration in the controller is incomplete or damaged.</translation>
    </message>
    <message>
        <source>Контроллер, возможно, остался разблокированным.</source>
        <translation>The controller may still be unlocked.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля в ближайшие секунды.</source>
        <translation type="vanished">The program will clear its password again within a few seconds.</translation>
    </message>
    <message>
        <source>Он будет заблокирован, когда будет найден снова.</source>
        <translation>It will be locked when it is found again.</translation>
    </message>
    <message>
        <source>Запись всей конфигурации в контроллер (Устройство &gt; Записать конфигурацию) исправит это.</source>
        <translation>Writing the whole configuration to the controller (Device &gt; Write configuration) mends it.</translation>
    </message>
    <message>
        <source>Конфигурация в контроллере, возможно, записана не полностью.</source>
        <translation>The configuration in the controller may be incomplete.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля перед завершением работы.</source>
        <translation>The program will clear its password again before it ends.</translation>
    </message>
    <message>
        <source>Сброс пароля контроллера %1 не подтверждён.</source>
        <translation>The password clear of controller %1 was not confirmed.</translation>
    </message>
    <message>
        <source>Изменения, сделанные во время отладки, не записаны в контроллер.</source>
        <translation>The changes made while monitoring were not written to the controller.</translation>
    </message>
    <message>
        <source>Контроллер не принял команду начала отладки.</source>
        <translation>The controller did not take the command to start monitoring.</translation>
    </message>
    <message>
        <source>Контроллер не принял команду остановки отладки.</source>
        <translation>The controller did not take the command to stop monitoring.</translation>
    </message>
    <message>
        <source>Команда начала отладки не отправлена: контроллер не переведён в режим отладки.</source>
        <translation>The command to start monitoring was not sent: the controller was not put into monitoring mode.</translation>
    </message>
    <message>
        <source>Команда остановки отладки не отправлена: контроллер остаётся в режиме отладки.</source>
        <translation>The command to stop monitoring was not sent: the controller stays in monitoring mode.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите отладку.</source>
        <translation>To take it out of this mode, start and stop monitoring again.</translation>
    </message>
    <message>
        <source>Они будут записаны вместе со следующим изменением; после остановки отладки их запишет запись всей конфигурации (Устройство &gt; Записать конфигурацию).</source>
        <translation>They will be written with the next change; once monitoring has stopped, writing the whole configuration to the controller (Device &gt; Write configuration) writes them.</translation>
    </message>
    <message>
        <source>Отладка остановлена: вместо контроллера %1 отвечает контроллер %2.</source>
        <translation>Monitoring stopped: controller %2 answers in place of controller %1.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля, как только контроллер ответит.</source>
        <translation type="vanished">The program will clear its password again as soon as it answers.</translation>
    </message>
    <message>
        <source>Отладка остановлена: связь с контроллером %1 потеряна.</source>
        <translation>Monitoring stopped: the connection to controller %1 was lost.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля, когда контроллер ответит на том же порту или на вновь подключённом, либо при следующем запуске программы.</source>
        <translation>The program will clear its password again when it answers on the same port or on a newly connected one, or at the program&apos;s next start.</translation>
    </message>
    <message>
        <source>Команда остановки отладки не отправлена: контроллер %1 остаётся в режиме отладки.</source>
        <translation>The command to stop monitoring was not sent: controller %1 stays in monitoring mode.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку, когда он будет найден снова.</source>
        <translation>To take it out of this mode, start and stop monitoring on it once it is found again.</translation>
    </message>
    <message>
        <source>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, когда он будет найден снова, сохранение — в файл.</source>
        <translation>They are still in the window: writing the whole configuration (Device &gt; Write configuration) writes them to the controller once it is found again, saving keeps them in a file.</translation>
    </message>
    <message>
        <source>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, сохранение — в файл.</source>
        <translation>They are still in the window: writing the whole configuration (Device &gt; Write configuration) writes them to the controller, saving keeps them in a file.</translation>
    </message>
    <message>
        <source>Следующее начало отладки прочитает конфигурацию контроллера, и ответ «Не сохранять» отбросит их.</source>
        <translation type="vanished">The next monitoring start reads the controller&apos;s configuration, and answering &quot;Don&apos;t save&quot; drops them.</translation>
    </message>
    <message>
        <source>Значения, заданные во время отладки, не записаны в контроллер.</source>
        <translation>Values set while monitoring were not written to the controller.</translation>
    </message>
    <message>
        <source>Контроллер не принял изменения, сделанные во время отладки: они не записаны в контроллер.</source>
        <translation>The controller did not take the changes made while monitoring: they were not written to the controller.</translation>
    </message>
    <message>
        <source>Программа попробует записать их снова вместе со следующим изменением и при остановке отладки.</source>
        <translation>The program will try to write them again with the next change and when monitoring stops.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «Сохранить» сохранит их в файл, «Не сохранять» отбросит их.</source>
        <translation type="vanished">The answer to the next question decides what becomes of them: &quot;Save&quot; saves them to a file, &quot;Don&apos;t save&quot; drops them.</translation>
    </message>
    <message>
        <source>Контроллер %1 не принял команду остановки отладки и остаётся в режиме отладки.</source>
        <translation>Controller %1 did not take the command to stop monitoring and stays in monitoring mode.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку.</source>
        <translation>To take it out of this mode, start and stop monitoring on it again.</translation>
    </message>
    <message>
        <source>Они сделаны для контроллера %1, а на линии сейчас другой контроллер: пока он там, запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в него.</source>
        <translation>They were made for controller %1, and another controller is on the line now: while it is there, writing the whole configuration (Device &gt; Write configuration) writes them to that one.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их.</source>
        <translation>The answer to the next question decides what becomes of them: &quot;%1&quot; saves them to a file, &quot;%2&quot; drops them.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их, «%3» оставит их в окне, откуда их запишет в контроллер запись всей конфигурации (Устройство &gt; Записать конфигурацию).</source>
        <translation>The answer to the next question decides what becomes of them: &quot;%1&quot; saves them to a file, &quot;%2&quot; drops them, &quot;%3&quot; keeps them in the window, from where writing the whole configuration (Device &gt; Write configuration) writes them to the controller.</translation>
    </message>
    <message>
        <source>Они остаются в окне: запишите их, когда контроллер %1 будет найден снова, или сохраните в файл.</source>
        <translation>They are still in the window: write them once controller %1 is found again, or save them to a file.</translation>
    </message>
    <message>
        <source>Следующее начало отладки прочитает конфигурацию контроллера, и ответ «%1» отбросит их.</source>
        <translation>The next monitoring start reads the controller&apos;s configuration, and answering &quot;%1&quot; drops them.</translation>
    </message>
    <message>
        <source>Контроллер %1 не подтвердил команду остановки отладки и, возможно, остаётся в режиме отладки.</source>
        <translation>Controller %1 did not confirm the command to stop monitoring and may still be in monitoring mode.</translation>
    </message>
    <message>
        <source>Контроллер не подтвердил команду остановки отладки.</source>
        <translation>The controller did not confirm the command to stop monitoring.</translation>
    </message>
</context>
<context>
    <name>DeviceParamsAdaptor</name>
    <message>
        <source>Температура</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Питание</source>
        <translation>Supply</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>°C</source>
        <translation>°C</translation>
    </message>
</context>
<context>
    <name>DeviceSelector</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Аппаратная ревизия</source>
        <translation>Hardware revision</translation>
    </message>
    <message>
        <source>Выбрать</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Выберите устройство</source>
        <translation>Select a device</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Перегруз БП</source>
        <translation>PSU overload</translation>
    </message>
    <message>
        <source>Превышение USO</source>
        <translation>USO exceeded</translation>
    </message>
</context>
<context>
    <name>DeviceShutdown</name>
    <message>
        <source>Завершение работы
с контроллером...</source>
        <translation>Finishing the work
with the controller...</translation>
    </message>
    <message>
        <source>Контроллеры, которые, возможно, остались разблокированными:
%1

Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</source>
        <translation type="vanished">Controllers that may still be unlocked:
%1

Each of them will be locked when the program finds it again, also in a later run.</translation>
    </message>
    <message>
        <source>Ещё контроллеров: %1</source>
        <translation>Controllers not listed: %1</translation>
    </message>
    <message>
        <source>Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</source>
        <translation>Each of them will be locked when the program finds it again, also in a later run.</translation>
    </message>
    <message>
        <source>Сохранить это в настройках программы не удалось (файл %1), и при следующем запуске программа их не заблокирует. Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</source>
        <translation type="vanished">This could not be kept in the program&apos;s settings (file %1), so a later run of the program will not lock them. To lock a controller, find it in the program and write its configuration to it again (Device &gt; Write configuration).</translation>
    </message>
    <message>
        <source>Контроллеры, которые, возможно, остались разблокированными:
%1</source>
        <translation>Controllers that may still be unlocked:
%1</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation type="vanished">Go on</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation type="vanished">Stop</translation>
    </message>
    <message>
        <source>Программа не может отметить в своих настройках (файл %1), что контроллер %2 будет разблокирован на время этой операции. Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</source>
        <translation type="vanished">The program cannot note in its settings (file %1) that controller %2 will be unlocked during this operation. If the program ends abnormally during the operation, the controller may stay unlocked, and the program will not know it when it is next started.</translation>
    </message>
    <message>
        <source>Продолжить?</source>
        <translation type="vanished">Go on?</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Не записывать</source>
        <translation>Do not write</translation>
    </message>
    <message>
        <source>Записать изменения</source>
        <translation>Write the changes</translation>
    </message>
    <message>
        <source>Начать отладку</source>
        <translation>Start monitoring</translation>
    </message>
    <message>
        <source>Не начинать</source>
        <translation>Do not start</translation>
    </message>
    <message>
        <source>Отправить команду</source>
        <translation>Send the command</translation>
    </message>
    <message>
        <source>Не отправлять</source>
        <translation>Do not send</translation>
    </message>
    <message>
        <source>Записать конфигурацию в контроллер?</source>
        <translation>Write the configuration to the controller?</translation>
    </message>
    <message>
        <source>Записать в контроллер изменения, сделанные во время отладки?</source>
        <translation>Write the changes made while monitoring to the controller?</translation>
    </message>
    <message>
        <source>Начать отладку?</source>
        <translation>Start monitoring?</translation>
    </message>
    <message>
        <source>Отправить контроллеру команду остановки отладки? Если её не отправить, контроллер останется в режиме отладки.</source>
        <translation>Send the controller the command to stop monitoring? If it is not sent, the controller stays in monitoring mode.</translation>
    </message>
    <message>
        <source>Программа не может отметить в своих настройках, что контроллер %2 будет разблокирован на время этой операции. Файл настроек:
%1
Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</source>
        <translation>The program cannot note in its settings that controller %2 will be unlocked during this operation. The settings file:
%1
If the program ends abnormally during the operation, the controller may stay unlocked, and the program will not know it when it is next started.</translation>
    </message>
    <message>
        <source>Сохранить это в настройках программы не удалось, и при следующем запуске программа их не заблокирует. Файл настроек:
%1
Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</source>
        <translation>This could not be kept in the program&apos;s settings, so a later run of the program will not lock them. The settings file:
%1
To lock a controller, find it in the program and write its configuration to it again (Device &gt; Write configuration).</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки,
и команда остановки...</source>
        <translation>Ending monitoring on controller %1:
writing the changes made while monitoring
and sending the command to stop monitoring...</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки...</source>
        <translation>Ending monitoring on controller %1:
writing the changes made while monitoring...</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
команда остановки...</source>
        <translation>Ending monitoring on controller %1:
sending the command to stop monitoring...</translation>
    </message>
</context>
<context>
    <name>DialogButtons</name>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>cancel</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>Значение %1 вне диапазона от %2 до %3: оно останется, пока не введено другое</source>
        <translation>The value %1 is outside the range %2 to %3: it stays until another is entered</translation>
    </message>
    <message>
        <source>Значение %1 точнее, чем позволяет поле: оно останется, пока не введено другое</source>
        <translation>The value %1 is more precise than the field allows: it stays until another is entered</translation>
    </message>
</context>
<context>
    <name>EditorAin</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Калибровка</source>
        <translation>Calibration</translation>
    </message>
</context>
<context>
    <name>EditorAinCalibr</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Ручн.</source>
        <translation>Man.</translation>
    </message>
</context>
<context>
    <name>EditorAinConfig</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Режим</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>Величина:
Единица:</source>
        <translation>Quantity:
Unit:</translation>
    </message>
    <message>
        <source>Подключение</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Время фильтрации</source>
        <translation>Filter time</translation>
    </message>
    <message>
        <source>мсек.</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Отладка</source>
        <translation>Debugging</translation>
    </message>
    <message>
        <source>Режим опроса</source>
        <translation>Polling mode</translation>
    </message>
    <message>
        <source>влияет на все AIN в устройстве</source>
        <translation>affects every AIN of the device</translation>
    </message>
    <message>
        <source>Исходное</source>
        <translation>Initial</translation>
    </message>
    <message>
        <source>Масштаб.</source>
        <translation>Scaling</translation>
    </message>
    <message>
        <source>Двухпроводное</source>
        <translation>Two-wire</translation>
    </message>
    <message>
        <source>Трёхпроводное</source>
        <translation>Three-wire</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Напряжение
</source>
        <translation>Voltage
</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>Сила тока
</source>
        <translation>Current
</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>Сопротивление
Ом</source>
        <translation>Resistance
Ohm</translation>
    </message>
    <message>
        <source>Температура
°C</source>
        <translation>Temperature
°C</translation>
    </message>
    <message>
        <source>ТСП50</source>
        <translation>Pt50 (0.00391)</translation>
    </message>
    <message>
        <source>ТСП100</source>
        <translation>Pt100 (0.00391)</translation>
    </message>
    <message>
        <source>ТСП500</source>
        <translation>Pt500 (0.00391)</translation>
    </message>
    <message>
        <source>ТСП1000</source>
        <translation>Pt1000 (0.00391)</translation>
    </message>
    <message>
        <source>ТСМ50</source>
        <translation>Cu50 (0.00428)</translation>
    </message>
    <message>
        <source>ТСМ100</source>
        <translation>Cu100 (0.00428)</translation>
    </message>
    <message>
        <source>ТСМ1000</source>
        <translation>Cu1000 (0.00428)</translation>
    </message>
</context>
<context>
    <name>EditorAout</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Безопасное состояние</source>
        <translation>Safe state</translation>
    </message>
    <message>
        <source>вольт</source>
        <translation>V</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Управление аналоговыми выходами</source>
        <translation>Analog output control</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Вольт</source>
        <translation>V</translation>
    </message>
</context>
<context>
    <name>EditorDefault</name>
    <message>
        <source>Для начала работы выберите один
или несколько однотипных ресурсов.</source>
        <translation>To start, select one or several resources of the same kind.</translation>
    </message>
    <message>
        <source>При выборе разных ресурсов в контекстном меню
доступны механизмы фильтрации.</source>
        <translation>When different resources are selected, the context menu
offers filtering.</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
</context>
<context>
    <name>EditorDin</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Сброс счетчика</source>
        <translation>Counter reset</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Считаются импульсы, длиннее:</source>
        <translation>Pulses counted when longer than:</translation>
    </message>
    <message>
        <source>250</source>
        <translation>250</translation>
    </message>
    <message>
        <source>нс</source>
        <translation>ns</translation>
    </message>
    <message>
        <source>(частота пропускаемого сигнала:</source>
        <translation>(frequency of the passed signal:</translation>
    </message>
    <message>
        <source>нс)</source>
        <translation>ns)</translation>
    </message>
    <message>
        <source>QCheckBox::indicator {
     width: 20px;
     height: 20px;
}</source>
        <translation type="vanished">QCheckBox::indicator {
     width: 20px;
     height: 20px;
}</translation>
    </message>
    <message>
        <source>Фильтр счетного входа</source>
        <translation>Counter input filter</translation>
    </message>
    <message>
        <source>Окно фильтра</source>
        <translation>Filter window</translation>
    </message>
    <message>
        <source>Работает аппаратная фильтрация</source>
        <translation>Hardware filtering is active</translation>
    </message>
    <message>
        <source>AC Enable</source>
        <translation>AC Enable</translation>
    </message>
    <message>
        <source>Режим опроса</source>
        <translation>Polling mode</translation>
    </message>
    <message>
        <source>Включить FREQENCY</source>
        <translation>Enable FREQUENCY</translation>
    </message>
    <message>
        <source>Включить COUNTER</source>
        <translation>Enable COUNTER</translation>
    </message>
    <message>
        <source>влияет на все DIN в устройстве</source>
        <translation>affects every DIN of the device</translation>
    </message>
    <message>
        <source>сек</source>
        <translation>s</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>кГц</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Выбранные входы считают импульсы разной длины</source>
        <translation>The selected inputs count pulses of different lengths</translation>
    </message>
    <message>
        <source>Фильтр включён не у всех выбранных входов</source>
        <translation>The filter is on for only some of the selected inputs</translation>
    </message>
</context>
<context>
    <name>EditorDout</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Замкнуто</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>Разомкнуто</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Безопасное состояние</source>
        <translation>Safe state</translation>
    </message>
    <message>
        <source>RadioButton</source>
        <translation>RadioButton</translation>
    </message>
    <message>
        <source>Управление цифровыми выходами</source>
        <translation>Digital output control</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Off</translation>
    </message>
</context>
<context>
    <name>EditorKor</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Идентификатор на схеме</source>
        <translation>Identifier on the diagram</translation>
    </message>
</context>
<context>
    <name>EditorSerialPort</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Связь</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Задержка до безопасного состояния</source>
        <translation>Delay before the safe state</translation>
    </message>
    <message>
        <source>мсек</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>14400</source>
        <translation>14400</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>Стоп биты</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>Два</source>
        <translation>Two</translation>
    </message>
    <message>
        <source>hidden</source>
        <translation>hidden</translation>
    </message>
    <message>
        <source>Один</source>
        <translation>One</translation>
    </message>
    <message>
        <source>Чётность</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Нечет</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>Чет</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>Протокол</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>RTU</source>
        <translation>RTU</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Задержка</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Нет последовательных портов</source>
        <translation>No serial ports</translation>
    </message>
</context>
<context>
    <name>EditorViewer</name>
    <message>
        <source>Нет выбранных ресурсов</source>
        <translation>No resources selected</translation>
    </message>
    <message>
        <source>Аналоговые входы</source>
        <translation>Analog inputs</translation>
    </message>
    <message>
        <source>Аналоговый вход</source>
        <translation>Analog input</translation>
    </message>
    <message>
        <source>Аналоговые выходы</source>
        <translation>Analog outputs</translation>
    </message>
    <message>
        <source>Аналоговый выход</source>
        <translation>Analog output</translation>
    </message>
    <message>
        <source>Цифровые входы</source>
        <translation>Digital inputs</translation>
    </message>
    <message>
        <source>Цифровой вход</source>
        <translation>Digital input</translation>
    </message>
    <message>
        <source>Цифровые выходы</source>
        <translation>Digital outputs</translation>
    </message>
    <message>
        <source>Цифровой выход</source>
        <translation>Digital output</translation>
    </message>
    <message>
        <source>Последовательные порты</source>
        <translation>Serial ports</translation>
    </message>
    <message>
        <source>Последовательный порт</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>Выбраны разные типы ресурсов</source>
        <translation>Resources of different kinds are selected</translation>
    </message>
    <message>
        <source>Редактор не установлен</source>
        <translation>No editor is installed</translation>
    </message>
    <message>
        <source>Устройства </source>
        <translation>Devices </translation>
    </message>
    <message>
        <source>Устройство </source>
        <translation>Device </translation>
    </message>
</context>
<context>
    <name>EmptyScreen</name>
    <message>
        <source>● Файл &gt; Новая (Ctrl + N) - Cоздание новой конфигурации.
● Файл &gt; Открыть (Ctrl + O) - Работа с существующей конфигурацией.</source>
        <translation>● File &gt; New (Ctrl + N) - Create a new configuration.
● File &gt; Open (Ctrl + O) - Work with an existing configuration.</translation>
    </message>
</context>
<context>
    <name>FileOperations</name>
    <message>
        <source>Неправильный формат</source>
        <translation>its format is not recognised</translation>
    </message>
    <message>
        <source>Ошибка целостности</source>
        <translation>its contents are damaged</translation>
    </message>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>the reason is unknown</translation>
    </message>
    <message>
        <source>Не могу открыть файл</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>&amp;Новая</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Сохранить как</source>
        <translation>Save &amp;as</translation>
    </message>
    <message>
        <source>Экспорт в &amp;csv</source>
        <translation>Export to &amp;csv</translation>
    </message>
    <message>
        <source>&amp;Экспорт в map файл</source>
        <translation>&amp;Export to map file</translation>
    </message>
    <message>
        <source>&amp;Экспорт в </source>
        <translation>&amp;Export to </translation>
    </message>
    <message>
        <source>&amp;Экспорт в ...</source>
        <translation type="vanished">&amp;Export to ...</translation>
    </message>
    <message>
        <source>Tav Configuration (*.tavc)</source>
        <translation>Tav Configuration (*.tavc)</translation>
    </message>
    <message>
        <source>Zem Configuration (*.tavc)</source>
        <translation>Zem Configuration (*.tavc)</translation>
    </message>
    <message>
        <source>Сохранить изменения в файл:
&quot;%1&quot;</source>
        <translation>Save the changes to the file:
&quot;%1&quot;</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Не сохранять</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Конфигурация не содержит ни одного устройства.
Добавьте устройство, чтобы сохранить конфигурацию в файл.</source>
        <translation>The configuration holds no device.
Add a device to save the configuration to a file.</translation>
    </message>
    <message>
        <source>Сохранить файл</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Экспортировать в CSV</source>
        <translation>Export to CSV</translation>
    </message>
    <message>
        <source>Comma-Separated Values (*.csv);;Text files (*.txt)</source>
        <translation>Comma-Separated Values (*.csv);;Text files (*.txt)</translation>
    </message>
    <message>
        <source>Экспортировать конфигурацию в map файл</source>
        <translation>Export the configuration to a map file</translation>
    </message>
    <message>
        <source>Brelvox map (*.map)</source>
        <translation>Brelvox map (*.map)</translation>
    </message>
    <message>
        <source>Не могу сохранить файл</source>
        <translation>Cannot save the file</translation>
    </message>
    <message>
        <source>Не могу экспортировать конфигурацию</source>
        <translation>Cannot export the configuration</translation>
    </message>
    <message>
        <source>в системе нет последовательного порта</source>
        <translation>the system has no serial port</translation>
    </message>
    <message>
        <source>файл слишком велик: %1 байт, а конфигурация занимает не более %2 байт</source>
        <translation>the file is too large: %1 bytes, while a configuration takes at most %2 bytes</translation>
    </message>
    <message>
        <source>файл не найден</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>нет прав на чтение файла</source>
        <translation>no permission to read the file</translation>
    </message>
    <message>
        <source>это папка, а не файл</source>
        <translation>this is a folder, not a file</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>this is not a regular file</translation>
    </message>
    <message>
        <source>ссылки на файл образуют петлю</source>
        <translation>the links to the file form a loop</translation>
    </message>
    <message>
        <source>файл пуст</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>ошибка в конфигурации: %1</source>
        <translation>error in the configuration: %1</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1: %2.</translation>
    </message>
    <message>
        <source>файл защищён от записи</source>
        <translation>the file is write-protected</translation>
    </message>
    <message>
        <source>Снимите с файла защиту от записи или выберите другое имя.</source>
        <translation>Remove the write protection from the file or choose another name.</translation>
    </message>
    <message>
        <source>нет прав на запись в папку</source>
        <translation>you may not write to the folder</translation>
    </message>
    <message>
        <source>Выберите другую папку или попросите администратора дать права на запись в неё.</source>
        <translation>Choose another folder or ask the administrator for permission to write to it.</translation>
    </message>
    <message>
        <source>под этим именем уже есть папка</source>
        <translation>a folder with this name already exists</translation>
    </message>
    <message>
        <source>Выберите другое имя.</source>
        <translation>Choose another name.</translation>
    </message>
    <message>
        <source>такой папки нет</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>Выберите существующую папку.</source>
        <translation>Choose an existing folder.</translation>
    </message>
    <message>
        <source>слишком длинное имя файла</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>Выберите более короткое имя.</source>
        <translation>Choose a shorter name.</translation>
    </message>
    <message>
        <source>на диске не хватает места</source>
        <translation>there is not enough space on the disk</translation>
    </message>
    <message>
        <source>Освободите место на диске или выберите другой диск.</source>
        <translation>Free some space on the disk or choose another disk.</translation>
    </message>
    <message>
        <source>Файл сохранил прежнее содержимое.</source>
        <translation>The file keeps its previous contents.</translation>
    </message>
    <message>
        <source>Прежнее содержимое файла восстановить не удалось.</source>
        <translation>The previous contents of the file could not be restored.</translation>
    </message>
    <message>
        <source>диск защищён от записи</source>
        <translation>the disk is write-protected</translation>
    </message>
    <message>
        <source>Снимите защиту от записи с диска (переключатель на карте или флешке) или выберите другой диск.</source>
        <translation>Remove the disk&apos;s write protection (the switch on the card or stick) or choose another disk.</translation>
    </message>
    <message>
        <source>файл занял бы %1 байт, а файл конфигурации может занимать не более %2 байт</source>
        <translation>the file would take %1 bytes, and a configuration file may take at most %2 bytes</translation>
    </message>
    <message>
        <source>Конфигурация экспортирована</source>
        <translation>The configuration is exported</translation>
    </message>
    <message>
        <source>Файл сохранён</source>
        <translation>The file is saved</translation>
    </message>
    <message>
        <source>%1, но диск не подтвердил запись: после отключения питания или извлечения диска файл может оказаться прежним или пропасть.
Проверьте диск и повторите запись.</source>
        <translation>%1, but the disk did not confirm the write: after a power cut or if the disk is removed, the file may hold its earlier contents or be missing.
Check the disk and write the file again.</translation>
    </message>
    <message>
        <source>файл превысил допустимый размер</source>
        <translation>the file exceeds the size allowed</translation>
    </message>
    <message>
        <source>Снимите ограничение размера файлов, заданное программе (ulimit -f), или выберите другой диск.</source>
        <translation>Lift the file size limit set for the program (ulimit -f) or choose another disk.</translation>
    </message>
    <message>
        <source>исчерпана ваша квота на диске</source>
        <translation>your disk quota is used up</translation>
    </message>
    <message>
        <source>Удалите ненужные файлы или попросите администратора увеличить квоту.</source>
        <translation>Delete files you no longer need or ask the administrator to raise your quota.</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода на диске</source>
        <translation>the disk reported an input/output error</translation>
    </message>
    <message>
        <source>Проверьте диск и его подключение, затем повторите запись.</source>
        <translation>Check the disk and its connection, then write the file again.</translation>
    </message>
    <message>
        <source>этот диск не допускает такое имя файла</source>
        <translation>this disk does not allow such a file name</translation>
    </message>
    <message>
        <source>Уберите из имени знаки : * ? &quot; &lt; &gt; | \ или выберите другой диск.</source>
        <translation>Remove the characters : * ? &quot; &lt; &gt; | \ from the name or choose another disk.</translation>
    </message>
</context>
<context>
    <name>Header</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>HelpOperations</name>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>https://www.drovanix.com/tav-configurator</source>
        <translation>https://www.drovanix.com/tav-configurator</translation>
    </message>
    <message>
        <source>Версия</source>
        <translation>Version</translation>
    </message>
</context>
<context>
    <name>Indicator</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>InfoPanel</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Template</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Системная шина</source>
        <translation>System bus</translation>
    </message>
    <message>
        <source>Модель</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Версия ПО ядра</source>
        <translation>Kernel firmware version</translation>
    </message>
    <message>
        <source>Версия загрузчика</source>
        <translation>Bootloader version</translation>
    </message>
    <message>
        <source>Modbus aдрес</source>
        <translation>Modbus address</translation>
    </message>
    <message>
        <source>Слот </source>
        <translation>Slot </translation>
    </message>
</context>
<context>
    <name>InformationBuilder</name>
    <message>
        <source>Аналоговые входы</source>
        <translation>Analog inputs</translation>
    </message>
    <message>
        <source>Аналоговые выходы</source>
        <translation>Analog outputs</translation>
    </message>
    <message>
        <source>Дискретные входы</source>
        <translation>Discrete inputs</translation>
    </message>
    <message>
        <source>Дискретные выходы</source>
        <translation>Discrete outputs</translation>
    </message>
    <message>
        <source>реле</source>
        <translation>relay</translation>
    </message>
    <message>
        <source>оптореле</source>
        <translation>optorelay</translation>
    </message>
    <message>
        <source>симисторы</source>
        <translation>triacs</translation>
    </message>
</context>
<context>
    <name>InformationStyled</name>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Группа</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>System</translation>
    </message>
</context>
<context>
    <name>MapBuilder</name>
    <message>
        <source>Analog output value</source>
        <translation>Analog output value</translation>
    </message>
</context>
<context>
    <name>MultiWriteRequest</name>
    <message>
        <source>MultiWriteRequest,RS:[%1, %2]</source>
        <translation>MultiWriteRequest,RS:[%1, %2]</translation>
    </message>
    <message>
        <source>MultiWriteRequest,RI:[%1, %2]</source>
        <translation>MultiWriteRequest,RI:[%1, %2]</translation>
    </message>
</context>
<context>
    <name>NtcCalibr</name>
    <message>
        <source>R ном, Ом</source>
        <translation>R nom, Ohm</translation>
    </message>
    <message>
        <source>T ном, °C</source>
        <translation>T nom, °C</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Бета</source>
        <translation>Beta</translation>
    </message>
</context>
<context>
    <name>OperationMenus</name>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
</context>
<context>
    <name>OptionsOperation</name>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Опции</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Обновить ПО контроллера</source>
        <translation>Update controller firmware</translation>
    </message>
</context>
<context>
    <name>PortPermissionNotice</name>
    <message>
        <source>Нет доступа к порту %1.

Чтобы работать с контроллером, добавьте пользователя в группу dialout:
sudo usermod -aG dialout $USER
и войдите в систему заново.</source>
        <translation>No access to the port %1.

To work with the controller, add the user to the dialout group:
sudo usermod -aG dialout $USER
and log in again.</translation>
    </message>
    <message>
        <source>Нет доступа к порту</source>
        <translation>No access to the port</translation>
    </message>
    <message>
        <source>Перезапуск USB-порта</source>
        <translation>USB port restart</translation>
    </message>
    <message>
        <source>Порт %1 занят другой программой.

Закройте программу, которая работает с этим портом, и подключите контроллер заново.</source>
        <translation>Port %1 is in use by another program.

Close the program that works with this port and connect the controller again.</translation>
    </message>
    <message>
        <source>Порт занят</source>
        <translation>Port in use</translation>
    </message>
</context>
<context>
    <name>PortScans</name>
    <message>
        <source>Не удалось запустить перезапуск USB-устройства</source>
        <translation>The USB device restart could not be started</translation>
    </message>
    <message>
        <source>Перезапуск USB-устройства не завершился за %1 с</source>
        <translation>The USB device restart did not finish within %1 s</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>P бп, W</source>
        <translation>P psu, W</translation>
    </message>
    <message>
        <source>P сис, W</source>
        <translation>P sys, W</translation>
    </message>
    <message>
        <source>Цикл, ms</source>
        <translation>Cycle, ms</translation>
    </message>
    <message>
        <source>P pex, W</source>
        <translation>P pex, W</translation>
    </message>
    <message>
        <source>System alarms</source>
        <translation>System alarms</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Авария %1</source>
        <translation>Alarm %1</translation>
    </message>
    <message>
        <source>%1, канал %2</source>
        <translation>%1, channel %2</translation>
    </message>
    <message>
        <source>активна</source>
        <translation>active</translation>
    </message>
    <message>
        <source>не квитирована</source>
        <translation>not acknowledged</translation>
    </message>
    <message>
        <source>замаскирована</source>
        <translation>masked</translation>
    </message>
    <message>
        <source>Нет прав на перезапуск USB-устройства. Добавьте правило udev для устройств %1:%2 (см. README):
SUBSYSTEM==&quot;usb&quot;, ATTR{idVendor}==&quot;%1&quot;, ATTR{idProduct}==&quot;%2&quot;, MODE=&quot;0666&quot;</source>
        <translation>No permission to restart the USB device. Add a udev rule for the devices %1:%2 (see README):
SUBSYSTEM==&quot;usb&quot;, ATTR{idVendor}==&quot;%1&quot;, ATTR{idProduct}==&quot;%2&quot;, MODE=&quot;0666&quot;</translation>
    </message>
    <message>
        <source>USB-устройство контроллера не найдено</source>
        <translation>The controller&apos;s USB device was not found</translation>
    </message>
</context>
<context>
    <name>Resource</name>
    <message>
        <source>cant parse role</source>
        <translation>cant parse role</translation>
    </message>
</context>
<context>
    <name>ResourceConfiguration::Renderer</name>
    <message>
        <source>ERROR</source>
        <translation>ERROR</translation>
    </message>
</context>
<context>
    <name>ResourceConfigurator</name>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Вход             F(X)</source>
        <translation>Input            F(X)</translation>
    </message>
</context>
<context>
    <name>RtdCalibr</name>
    <message>
        <source>R ном, Ом</source>
        <translation>R nom, Ohm</translation>
    </message>
    <message>
        <source>T ном, °C</source>
        <translation>T nom, °C</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Альфа</source>
        <translation>Alpha</translation>
    </message>
    <message>
        <source>Коррекция, °C</source>
        <translation>Correction, °C</translation>
    </message>
</context>
<context>
    <name>SettingsLoader</name>
    <message>
        <source>Internal error</source>
        <translation>Internal error</translation>
    </message>
    <message>
        <source>Внутренняя неисправность</source>
        <translation>Internal fault</translation>
    </message>
    <message>
        <source>Configuration error</source>
        <translation>Configuration error</translation>
    </message>
    <message>
        <source>Ошибка конфигурации</source>
        <translation>Configuration error</translation>
    </message>
    <message>
        <source>Link error</source>
        <translation>Link error</translation>
    </message>
    <message>
        <source>Ошибка связи</source>
        <translation>Link error</translation>
    </message>
    <message>
        <source>Low input voltage</source>
        <translation>Low input voltage</translation>
    </message>
    <message>
        <source>Низкое напряжение питания</source>
        <translation>Low supply voltage</translation>
    </message>
    <message>
        <source>High input voltage</source>
        <translation>High input voltage</translation>
    </message>
    <message>
        <source>Высокое напряжение питания</source>
        <translation>High supply voltage</translation>
    </message>
    <message>
        <source>Overload AIN</source>
        <translation>Overload AIN</translation>
    </message>
    <message>
        <source>Перегрузка входа</source>
        <translation>Input overload</translation>
    </message>
    <message>
        <source>Overload AOUT</source>
        <translation>Overload AOUT</translation>
    </message>
    <message>
        <source>Перегрузка выхода</source>
        <translation>Output overload</translation>
    </message>
</context>
<context>
    <name>SettingsProvider</name>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>SystemConfiguration::ContextMenu</name>
    <message>
        <source>Удалить устройства</source>
        <translation>Remove devices</translation>
    </message>
    <message>
        <source>Клонировать устройства</source>
        <translation>Clone devices</translation>
    </message>
    <message>
        <source>Создать группу</source>
        <translation>Create group</translation>
    </message>
    <message>
        <source>Свернуть другие</source>
        <translation>Collapse others</translation>
    </message>
    <message>
        <source>Свернуть все группы</source>
        <translation>Collapse all groups</translation>
    </message>
    <message>
        <source>Развернуть все группы</source>
        <translation>Expand all groups</translation>
    </message>
    <message>
        <source>Удалить группы</source>
        <translation>Remove groups</translation>
    </message>
    <message>
        <source>Удалить группы и уст-ва</source>
        <translation>Remove groups and devices</translation>
    </message>
    <message>
        <source>Изменить тип</source>
        <translation>Change type</translation>
    </message>
    <message>
        <source>Добавить Pex</source>
        <translation>Add Pex</translation>
    </message>
</context>
<context>
    <name>SystemConfiguration::Model</name>
    <message>
        <source>Выберите устройство</source>
        <translation>Select a device</translation>
    </message>
</context>
<context>
    <name>SystemModel</name>
    <message>
        <source>слишком много устройств: %1, допустимо не более %2</source>
        <translation type="vanished">too many devices: %1, at most %2 are allowed</translation>
    </message>
    <message>
        <source>слишком много плат ввода-вывода: %1, допустимо не более %2</source>
        <translation type="vanished">too many I/O boards: %1, at most %2 are allowed</translation>
    </message>
    <message>
        <source>контроллер «%1» подключён к другому устройству</source>
        <translation>controller &quot;%1&quot; is attached to another device</translation>
    </message>
    <message>
        <source>модуль «%1» подключён к двум контроллерам</source>
        <translation>module &quot;%1&quot; is attached to two controllers</translation>
    </message>
    <message>
        <source>модуль «%1» не подключён к контроллеру</source>
        <translation>module &quot;%1&quot; is not attached to a controller</translation>
    </message>
    <message>
        <source>устройство «%1» имеет недопустимый номер %2</source>
        <translation>device &quot;%1&quot; has the invalid number %2</translation>
    </message>
    <message>
        <source>два контроллера с номером %1</source>
        <translation>two controllers are numbered %1</translation>
    </message>
    <message>
        <source>нет контроллера с номером %1</source>
        <translation>no controller is numbered %1</translation>
    </message>
    <message>
        <source>у контроллера «%1» два модуля с номером %2</source>
        <translation>controller &quot;%1&quot; has two modules numbered %2</translation>
    </message>
    <message>
        <source>у контроллера «%1» нет модуля с номером %2</source>
        <translation>controller &quot;%1&quot; has no module numbered %2</translation>
    </message>
    <message>
        <source>последовательные порты не принадлежат контроллеру с номером 0</source>
        <translation>the serial ports do not belong to the controller numbered 0</translation>
    </message>
    <message>
        <source>два устройства с именем «%1»</source>
        <translation>two devices are named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы целые числа от %5 до %6</source>
        <translation type="vanished">device &quot;%1&quot;, channel &quot;%2&quot;: the value %3 of key &quot;%4&quot; does not fit its field: whole numbers from %5 to %6 are allowed</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6</source>
        <translation type="vanished">device &quot;%1&quot;, channel &quot;%2&quot;: the value %3 of key &quot;%4&quot; does not fit its field: numbers from %5 to %6 are allowed</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: нет настроек</source>
        <translation>device &quot;%1&quot;, channel &quot;%2&quot;: no settings</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: неизвестный вид записи %3</source>
        <translation>device &quot;%1&quot;, channel &quot;%2&quot;: unknown record kind %3</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: запись вида %3 у канала вида %4</source>
        <translation>device &quot;%1&quot;, channel &quot;%2&quot;: a record of kind %3 for a channel of kind %4</translation>
    </message>
    <message>
        <source>запись %1 списка устройств не описывает устройство</source>
        <translation>entry %1 of the device list describes no device</translation>
    </message>
    <message>
        <source>устройства «%1» и «%2» записаны с одним идентификатором %3</source>
        <translation>devices &quot;%1&quot; and &quot;%2&quot; are stored under one id %3</translation>
    </message>
    <message>
        <source>тип устройства %1 («%2») не входит в каталог этой марки</source>
        <translation>device type %1 (&quot;%2&quot;) is not in this brand&apos;s catalogue</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы true и false</source>
        <translation type="vanished">device &quot;%1&quot;, channel &quot;%2&quot;: the value %3 of key &quot;%4&quot; does not fit its field: true and false are allowed</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6, «Infinity», «-Infinity», «-0» и «NaN»</source>
        <translation type="vanished">device &quot;%1&quot;, channel &quot;%2&quot;: the value %3 of key &quot;%4&quot; does not fit its field: numbers from %5 to %6, &quot;Infinity&quot;, &quot;-Infinity&quot;, &quot;-0&quot; and &quot;NaN&quot; are allowed</translation>
    </message>
    <message>
        <source>в файле нет ни одного устройства</source>
        <translation>the file holds no device</translation>
    </message>
    <message>
        <source>в файле нет настроек ни одного канала</source>
        <translation>the file holds no channel settings</translation>
    </message>
    <message>
        <source>допустимы true и false</source>
        <translation>true and false are allowed</translation>
    </message>
    <message>
        <source>допустим только текст в кавычках</source>
        <translation>only a text in double quotes is allowed</translation>
    </message>
    <message>
        <source>допустим только объект в фигурных скобках</source>
        <translation>only an object in braces is allowed</translation>
    </message>
    <message>
        <source>допустимы числа от %1 до %2, «Infinity», «-Infinity», «-0» и «NaN»</source>
        <translation>numbers from %1 to %2, &quot;Infinity&quot;, &quot;-Infinity&quot;, &quot;-0&quot; and &quot;NaN&quot; are allowed</translation>
    </message>
    <message>
        <source>допустимы целые числа от %1 до %2</source>
        <translation>whole numbers from %1 to %2 are allowed</translation>
    </message>
    <message>
        <source>%1: значение %2 ключа «%3» не помещается в поле: %4</source>
        <translation>%1: the value %2 of key &quot;%3&quot; does not fit its field: %4</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»</source>
        <translation>device &quot;%1&quot;, channel &quot;%2&quot;</translation>
    </message>
    <message>
        <source>запись %1 списка устройств</source>
        <translation>entry %1 of the device list</translation>
    </message>
</context>
<context>
    <name>SystemOperation</name>
    <message>
        <source>Ресурсы</source>
        <translation>Resources</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>System</translation>
    </message>
</context>
<context>
    <name>TavConfigurator</name>
    <message>
        <source>TavConfigurator</source>
        <translation>TavConfigurator</translation>
    </message>
</context>
<context>
    <name>TransactionEngine</name>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Вернуть</source>
        <translation>&amp;Redo</translation>
    </message>
</context>
<context>
    <name>UpgradeFirmwareDialog</name>
    <message>
        <source>Обновление ПО контроллера</source>
        <translation>Controller firmware update</translation>
    </message>
    <message>
        <source>Контроллер не подключён</source>
        <translation>No controller is connected</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Подключённый контроллер</source>
        <translation>Connected controller</translation>
    </message>
</context>
<context>
    <name>WriteProgress</name>
    <message>
        <source>Запись конфигурации в контроллер</source>
        <translation>Writing the configuration to the controller</translation>
    </message>
</context>
</TS>
