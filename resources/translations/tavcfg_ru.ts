<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
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
        <translation type="vanished">МАРКИРОВКА...</translation>
    </message>
    <message>
        <source>КЛЕММА...</source>
        <translation type="vanished">КЛЕММА...</translation>
    </message>
    <message>
        <source>МАРКИРОВКА</source>
        <translation>МАРКИРОВКА</translation>
    </message>
    <message>
        <source>КЛЕММА</source>
        <translation>КЛЕММА</translation>
    </message>
</context>
<context>
    <name>AlarmsWidget</name>
    <message>
        <source>Активные: %1
Неквитированные: %2
Замаскированные: %3</source>
        <translation>Активные: %1
Неквитированные: %2
Замаскированные: %3</translation>
    </message>
</context>
<context>
    <name>AlrmsManager</name>
    <message>
        <source>Квитировать</source>
        <translation>Квитировать</translation>
    </message>
    <message>
        <source>Квитировать все</source>
        <translation>Квитировать все</translation>
    </message>
    <message>
        <source>Маскировать</source>
        <translation>Маскировать</translation>
    </message>
    <message>
        <source>Аварии</source>
        <translation>Аварии</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Авария</source>
        <translation>Авария</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Снять маску</source>
        <translation>Снять маску</translation>
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
        <translation type="vanished">4-20 Ma</translation>
    </message>
    <message>
        <source>0-10 Вольт</source>
        <translation>0-10 Вольт</translation>
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
        <translation>Тип </translation>
    </message>
    <message>
        <source>4-20 мА</source>
        <translation>4-20 мА</translation>
    </message>
</context>
<context>
    <name>ConfigurationStorage</name>
    <message>
        <source>ru</source>
        <comment>the interface language&apos;s locale name</comment>
        <translation>ru</translation>
    </message>
</context>
<context>
    <name>ContextMenu</name>
    <message>
        <source>Свернуть - ...</source>
        <translation>Свернуть - ...</translation>
    </message>
    <message>
        <source>Свернуть другие устройства</source>
        <translation>Свернуть другие устройства</translation>
    </message>
    <message>
        <source>Свернуть все устройства </source>
        <translation>Свернуть все устройства </translation>
    </message>
    <message>
        <source>Развернуть все устройства </source>
        <translation>Развернуть все устройства </translation>
    </message>
    <message>
        <source>Скрыть выбранные ресурсы</source>
        <translation>Скрыть выбранные ресурсы</translation>
    </message>
    <message>
        <source>Скрыть другие ресурсы</source>
        <translation>Скрыть другие ресурсы</translation>
    </message>
    <message>
        <source>Показать всё </source>
        <translation>Показать всё </translation>
    </message>
    <message>
        <source>Свернуть - </source>
        <translation>Свернуть - </translation>
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
        <translation>Мин</translation>
    </message>
    <message>
        <source>Макс</source>
        <translation>Макс</translation>
    </message>
    <message>
        <source>Входной диапазон</source>
        <translation>Входной диапазон</translation>
    </message>
    <message>
        <source>Выходной диапазон</source>
        <translation>Выходной диапазон</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>мА</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>мВ</translation>
    </message>
</context>
<context>
    <name>DebugOperations</name>
    <message>
        <source>Инженерный режим!</source>
        <translation>Инженерный режим!</translation>
    </message>
    <message>
        <source>Тест map</source>
        <translation>Тест map</translation>
    </message>
    <message>
        <source>Открыть папку запуска</source>
        <translation>Открыть папку запуска</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию в бинарный файл</source>
        <translation>Сохранить конфигурацию в бинарный файл</translation>
    </message>
    <message>
        <source>Сканировать cистемы</source>
        <translation>Сканировать cистемы</translation>
    </message>
    <message>
        <source>Обновлять бесконечно</source>
        <translation>Обновлять бесконечно</translation>
    </message>
    <message>
        <source>Cохранить в бинарный файл</source>
        <translation>Cохранить в бинарный файл</translation>
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
        <translation>Устройство</translation>
    </message>
    <message>
        <source>&amp;Начать отладку</source>
        <translation>&amp;Начать отладку</translation>
    </message>
    <message>
        <source>&amp;Остановить отладку</source>
        <translation>&amp;Остановить отладку</translation>
    </message>
    <message>
        <source>&amp;Считать конфигурацию</source>
        <translation>&amp;Считать конфигурацию</translation>
    </message>
    <message>
        <source>&amp;Записать конфигурацию</source>
        <translation>&amp;Записать конфигурацию</translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation>Конфигурация</translation>
    </message>
    <message>
        <source>Загрузка конфигурации не поддерживается
эмулятором данного типа</source>
        <translation>Загрузка конфигурации не поддерживается
эмулятором данного типа</translation>
    </message>
    <message>
        <source>Мониторинг</source>
        <translation>Мониторинг</translation>
    </message>
    <message>
        <source>Мониторинг и отладка не поддерживается
эмулятором данного типа</source>
        <translation>Мониторинг и отладка не поддерживается
эмулятором данного типа</translation>
    </message>
    <message>
        <source>Расположение быстрых DIN на клемах USO подключенной системы отличаются от записываемой конфигурации.

Некоторые DIN не cмогут работать в быстром режиме.
Продолжить запись?</source>
        <translation>Расположение быстрых DIN на клемах USO подключенной системы отличаются от записываемой конфигурации.

Некоторые DIN не cмогут работать в быстром режиме.
Продолжить запись?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Ошибка загрузки конфигурации
из контроллера</source>
        <translation>Ошибка загрузки конфигурации
из контроллера</translation>
    </message>
    <message>
        <source>Конфигурация
успешно записана в контроллер</source>
        <translation>Конфигурация
успешно записана в контроллер</translation>
    </message>
    <message>
        <source>Не могу записать конфигурацию
в контроллер</source>
        <translation>Не могу записать конфигурацию
в контроллер</translation>
    </message>
    <message>
        <source>Контроллер, возможно, остался разблокированным.
Он будет заблокирован, когда будет найден снова.</source>
        <translation type="vanished">Контроллер, возможно, остался разблокированным.
Он будет заблокирован, когда будет найден снова.</translation>
    </message>
    <message>
        <source>Сброс пароля контроллера не подтверждён.</source>
        <translation type="vanished">Сброс пароля контроллера не подтверждён.</translation>
    </message>
    <message>
        <source>Конфигурация в контроллере неполна или повреждена.</source>
        <translation>Конфигурация в контроллере неполна или повреждена.</translation>
    </message>
    <message>
        <source>Контроллер, возможно, остался разблокированным.</source>
        <translation>Контроллер, возможно, остался разблокированным.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля в ближайшие секунды.</source>
        <translation type="vanished">Программа повторит сброс пароля в ближайшие секунды.</translation>
    </message>
    <message>
        <source>Он будет заблокирован, когда будет найден снова.</source>
        <translation>Он будет заблокирован, когда будет найден снова.</translation>
    </message>
    <message>
        <source>Запись всей конфигурации в контроллер (Устройство &gt; Записать конфигурацию) исправит это.</source>
        <translation>Запись всей конфигурации в контроллер (Устройство &gt; Записать конфигурацию) исправит это.</translation>
    </message>
    <message>
        <source>Конфигурация в контроллере, возможно, записана не полностью.</source>
        <translation>Конфигурация в контроллере, возможно, записана не полностью.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля перед завершением работы.</source>
        <translation>Программа повторит сброс пароля перед завершением работы.</translation>
    </message>
    <message>
        <source>Сброс пароля контроллера %1 не подтверждён.</source>
        <translation>Сброс пароля контроллера %1 не подтверждён.</translation>
    </message>
    <message>
        <source>Изменения, сделанные во время отладки, не записаны в контроллер.</source>
        <translation>Изменения, сделанные во время отладки, не записаны в контроллер.</translation>
    </message>
    <message>
        <source>Контроллер не принял команду начала отладки.</source>
        <translation>Контроллер не принял команду начала отладки.</translation>
    </message>
    <message>
        <source>Контроллер не принял команду остановки отладки.</source>
        <translation>Контроллер не принял команду остановки отладки.</translation>
    </message>
    <message>
        <source>Команда начала отладки не отправлена: контроллер не переведён в режим отладки.</source>
        <translation>Команда начала отладки не отправлена: контроллер не переведён в режим отладки.</translation>
    </message>
    <message>
        <source>Команда остановки отладки не отправлена: контроллер остаётся в режиме отладки.</source>
        <translation>Команда остановки отладки не отправлена: контроллер остаётся в режиме отладки.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите отладку.</source>
        <translation>Чтобы вывести его из этого режима, начните и снова остановите отладку.</translation>
    </message>
    <message>
        <source>Они будут записаны вместе со следующим изменением; после остановки отладки их запишет запись всей конфигурации (Устройство &gt; Записать конфигурацию).</source>
        <translation>Они будут записаны вместе со следующим изменением; после остановки отладки их запишет запись всей конфигурации (Устройство &gt; Записать конфигурацию).</translation>
    </message>
    <message>
        <source>Отладка остановлена: вместо контроллера %1 отвечает контроллер %2.</source>
        <translation>Отладка остановлена: вместо контроллера %1 отвечает контроллер %2.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля, как только контроллер ответит.</source>
        <translation type="vanished">Программа повторит сброс пароля, как только контроллер ответит.</translation>
    </message>
    <message>
        <source>Отладка остановлена: связь с контроллером %1 потеряна.</source>
        <translation>Отладка остановлена: связь с контроллером %1 потеряна.</translation>
    </message>
    <message>
        <source>Программа повторит сброс пароля, когда контроллер ответит на том же порту или на вновь подключённом, либо при следующем запуске программы.</source>
        <translation>Программа повторит сброс пароля, когда контроллер ответит на том же порту или на вновь подключённом, либо при следующем запуске программы.</translation>
    </message>
    <message>
        <source>Команда остановки отладки не отправлена: контроллер %1 остаётся в режиме отладки.</source>
        <translation>Команда остановки отладки не отправлена: контроллер %1 остаётся в режиме отладки.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку, когда он будет найден снова.</source>
        <translation>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку, когда он будет найден снова.</translation>
    </message>
    <message>
        <source>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, когда он будет найден снова, сохранение — в файл.</source>
        <translation>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, когда он будет найден снова, сохранение — в файл.</translation>
    </message>
    <message>
        <source>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, сохранение — в файл.</source>
        <translation>Они остаются в окне: запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в контроллер, сохранение — в файл.</translation>
    </message>
    <message>
        <source>Следующее начало отладки прочитает конфигурацию контроллера, и ответ «Не сохранять» отбросит их.</source>
        <translation type="vanished">Следующее начало отладки прочитает конфигурацию контроллера, и ответ «Не сохранять» отбросит их.</translation>
    </message>
    <message>
        <source>Значения, заданные во время отладки, не записаны в контроллер.</source>
        <translation>Значения, заданные во время отладки, не записаны в контроллер.</translation>
    </message>
    <message>
        <source>Контроллер не принял изменения, сделанные во время отладки: они не записаны в контроллер.</source>
        <translation>Контроллер не принял изменения, сделанные во время отладки: они не записаны в контроллер.</translation>
    </message>
    <message>
        <source>Программа попробует записать их снова вместе со следующим изменением и при остановке отладки.</source>
        <translation>Программа попробует записать их снова вместе со следующим изменением и при остановке отладки.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «Сохранить» сохранит их в файл, «Не сохранять» отбросит их.</source>
        <translation type="vanished">Что с ними будет, решит ответ на следующий вопрос: «Сохранить» сохранит их в файл, «Не сохранять» отбросит их.</translation>
    </message>
    <message>
        <source>Контроллер %1 не принял команду остановки отладки и остаётся в режиме отладки.</source>
        <translation>Контроллер %1 не принял команду остановки отладки и остаётся в режиме отладки.</translation>
    </message>
    <message>
        <source>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку.</source>
        <translation>Чтобы вывести его из этого режима, начните и снова остановите на нём отладку.</translation>
    </message>
    <message>
        <source>Они сделаны для контроллера %1, а на линии сейчас другой контроллер: пока он там, запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в него.</source>
        <translation>Они сделаны для контроллера %1, а на линии сейчас другой контроллер: пока он там, запись всей конфигурации (Устройство &gt; Записать конфигурацию) запишет их в него.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их.</source>
        <translation>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их.</translation>
    </message>
    <message>
        <source>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их, «%3» оставит их в окне, откуда их запишет в контроллер запись всей конфигурации (Устройство &gt; Записать конфигурацию).</source>
        <translation>Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, «%2» отбросит их, «%3» оставит их в окне, откуда их запишет в контроллер запись всей конфигурации (Устройство &gt; Записать конфигурацию).</translation>
    </message>
    <message>
        <source>Они остаются в окне: запишите их, когда контроллер %1 будет найден снова, или сохраните в файл.</source>
        <translation>Они остаются в окне: запишите их, когда контроллер %1 будет найден снова, или сохраните в файл.</translation>
    </message>
    <message>
        <source>Следующее начало отладки прочитает конфигурацию контроллера, и ответ «%1» отбросит их.</source>
        <translation>Следующее начало отладки прочитает конфигурацию контроллера, и ответ «%1» отбросит их.</translation>
    </message>
    <message>
        <source>Контроллер %1 не подтвердил команду остановки отладки и, возможно, остаётся в режиме отладки.</source>
        <translation>Контроллер %1 не подтвердил команду остановки отладки и, возможно, остаётся в режиме отладки.</translation>
    </message>
    <message>
        <source>Контроллер не подтвердил команду остановки отладки.</source>
        <translation>Контроллер не подтвердил команду остановки отладки.</translation>
    </message>
</context>
<context>
    <name>DeviceParamsAdaptor</name>
    <message>
        <source>Температура</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Питание</source>
        <translation>Питание</translation>
    </message>
    <message>
        <source>В</source>
        <translation>В</translation>
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
        <translation>Аппаратная ревизия</translation>
    </message>
    <message>
        <source>Выбрать</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Выберите устройство</source>
        <translation>Выберите устройство</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Перегруз БП</source>
        <translation>Перегруз БП</translation>
    </message>
    <message>
        <source>Превышение USO</source>
        <translation>Превышение USO</translation>
    </message>
</context>
<context>
    <name>DeviceShutdown</name>
    <message>
        <source>Завершение работы
с контроллером...</source>
        <translation>Завершение работы
с контроллером...</translation>
    </message>
    <message>
        <source>Контроллеры, которые, возможно, остались разблокированными:
%1

Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</source>
        <translation type="vanished">Контроллеры, которые, возможно, остались разблокированными:
%1

Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</translation>
    </message>
    <message>
        <source>Ещё контроллеров: %1</source>
        <translation>Ещё контроллеров: %1</translation>
    </message>
    <message>
        <source>Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</source>
        <translation>Каждый из них будет заблокирован, когда программа найдёт его снова, в том числе при следующем запуске.</translation>
    </message>
    <message>
        <source>Сохранить это в настройках программы не удалось (файл %1), и при следующем запуске программа их не заблокирует. Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</source>
        <translation type="vanished">Сохранить это в настройках программы не удалось (файл %1), и при следующем запуске программа их не заблокирует. Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</translation>
    </message>
    <message>
        <source>Контроллеры, которые, возможно, остались разблокированными:
%1</source>
        <translation>Контроллеры, которые, возможно, остались разблокированными:
%1</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation type="vanished">Продолжить</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation type="vanished">Остановить</translation>
    </message>
    <message>
        <source>Программа не может отметить в своих настройках (файл %1), что контроллер %2 будет разблокирован на время этой операции. Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</source>
        <translation type="vanished">Программа не может отметить в своих настройках (файл %1), что контроллер %2 будет разблокирован на время этой операции. Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</translation>
    </message>
    <message>
        <source>Продолжить?</source>
        <translation type="vanished">Продолжить?</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Не записывать</source>
        <translation>Не записывать</translation>
    </message>
    <message>
        <source>Записать изменения</source>
        <translation>Записать изменения</translation>
    </message>
    <message>
        <source>Начать отладку</source>
        <translation>Начать отладку</translation>
    </message>
    <message>
        <source>Не начинать</source>
        <translation>Не начинать</translation>
    </message>
    <message>
        <source>Отправить команду</source>
        <translation>Отправить команду</translation>
    </message>
    <message>
        <source>Не отправлять</source>
        <translation>Не отправлять</translation>
    </message>
    <message>
        <source>Записать конфигурацию в контроллер?</source>
        <translation>Записать конфигурацию в контроллер?</translation>
    </message>
    <message>
        <source>Записать в контроллер изменения, сделанные во время отладки?</source>
        <translation>Записать в контроллер изменения, сделанные во время отладки?</translation>
    </message>
    <message>
        <source>Начать отладку?</source>
        <translation>Начать отладку?</translation>
    </message>
    <message>
        <source>Отправить контроллеру команду остановки отладки? Если её не отправить, контроллер останется в режиме отладки.</source>
        <translation>Отправить контроллеру команду остановки отладки? Если её не отправить, контроллер останется в режиме отладки.</translation>
    </message>
    <message>
        <source>Программа не может отметить в своих настройках, что контроллер %2 будет разблокирован на время этой операции. Файл настроек:
%1
Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</source>
        <translation>Программа не может отметить в своих настройках, что контроллер %2 будет разблокирован на время этой операции. Файл настроек:
%1
Если программа завершится аварийно во время операции, контроллер может остаться разблокированным, и при следующем запуске программа об этом не узнает.</translation>
    </message>
    <message>
        <source>Сохранить это в настройках программы не удалось, и при следующем запуске программа их не заблокирует. Файл настроек:
%1
Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</source>
        <translation>Сохранить это в настройках программы не удалось, и при следующем запуске программа их не заблокирует. Файл настроек:
%1
Чтобы заблокировать контроллер, найдите его в программе и запишите в него конфигурацию снова (Устройство &gt; Записать конфигурацию).</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки,
и команда остановки...</source>
        <translation>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки,
и команда остановки...</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки...</source>
        <translation>Завершение отладки на контроллере %1:
запись изменений, сделанных во время отладки...</translation>
    </message>
    <message>
        <source>Завершение отладки на контроллере %1:
команда остановки...</source>
        <translation>Завершение отладки на контроллере %1:
команда остановки...</translation>
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
        <translation>Значение %1 вне диапазона от %2 до %3: оно останется, пока не введено другое</translation>
    </message>
    <message>
        <source>Значение %1 точнее, чем позволяет поле: оно останется, пока не введено другое</source>
        <translation>Значение %1 точнее, чем позволяет поле: оно останется, пока не введено другое</translation>
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
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Калибровка</source>
        <translation>Калибровка</translation>
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
        <translation>Ручн.</translation>
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
        <translation>Режим</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>Величина:
Единица:</source>
        <translation>Величина:
Единица:</translation>
    </message>
    <message>
        <source>Подключение</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Время фильтрации</source>
        <translation>Время фильтрации</translation>
    </message>
    <message>
        <source>мсек.</source>
        <translation>мсек.</translation>
    </message>
    <message>
        <source>Отладка</source>
        <translation>Отладка</translation>
    </message>
    <message>
        <source>Режим опроса</source>
        <translation>Режим опроса</translation>
    </message>
    <message>
        <source>влияет на все AIN в устройстве</source>
        <translation>влияет на все AIN в устройстве</translation>
    </message>
    <message>
        <source>Исходное</source>
        <translation>Исходное</translation>
    </message>
    <message>
        <source>Масштаб.</source>
        <translation>Масштаб.</translation>
    </message>
    <message>
        <source>Двухпроводное</source>
        <translation>Двухпроводное</translation>
    </message>
    <message>
        <source>Трёхпроводное</source>
        <translation>Трёхпроводное</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>Вкл.</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Напряжение
</source>
        <translation>Напряжение
</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>мВ</translation>
    </message>
    <message>
        <source>В</source>
        <translation>В</translation>
    </message>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>Сила тока
</source>
        <translation>Сила тока
</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>мА</translation>
    </message>
    <message>
        <source>Сопротивление
Ом</source>
        <translation>Сопротивление
Ом</translation>
    </message>
    <message>
        <source>Температура
°C</source>
        <translation>Температура
°C</translation>
    </message>
    <message>
        <source>ТСП50</source>
        <translation>ТСП50</translation>
    </message>
    <message>
        <source>ТСП100</source>
        <translation>ТСП100</translation>
    </message>
    <message>
        <source>ТСП500</source>
        <translation>ТСП500</translation>
    </message>
    <message>
        <source>ТСП1000</source>
        <translation>ТСП1000</translation>
    </message>
    <message>
        <source>ТСМ50</source>
        <translation>ТСМ50</translation>
    </message>
    <message>
        <source>ТСМ100</source>
        <translation>ТСМ100</translation>
    </message>
    <message>
        <source>ТСМ1000</source>
        <translation>ТСМ1000</translation>
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
        <translation>Безопасное состояние</translation>
    </message>
    <message>
        <source>вольт</source>
        <translation>вольт</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Управление аналоговыми выходами</source>
        <translation>Управление аналоговыми выходами</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Вольт</source>
        <translation>Вольт</translation>
    </message>
</context>
<context>
    <name>EditorDefault</name>
    <message>
        <source>Для начала работы выберите один
или несколько однотипных ресурсов.</source>
        <translation>Для начала работы выберите один
или несколько однотипных ресурсов.</translation>
    </message>
    <message>
        <source>При выборе разных ресурсов в контекстном меню
доступны механизмы фильтрации.</source>
        <translation>При выборе разных ресурсов в контекстном меню
доступны механизмы фильтрации.</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметры</translation>
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
        <translation>Сброс счетчика</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <source>Считаются импульсы, длиннее:</source>
        <translation>Считаются импульсы, длиннее:</translation>
    </message>
    <message>
        <source>250</source>
        <translation>250</translation>
    </message>
    <message>
        <source>нс</source>
        <translation>нс</translation>
    </message>
    <message>
        <source>(частота пропускаемого сигнала:</source>
        <translation>(частота пропускаемого сигнала:</translation>
    </message>
    <message>
        <source>нс)</source>
        <translation>нс)</translation>
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
        <translation>Фильтр счетного входа</translation>
    </message>
    <message>
        <source>Окно фильтра</source>
        <translation>Окно фильтра</translation>
    </message>
    <message>
        <source>Работает аппаратная фильтрация</source>
        <translation>Работает аппаратная фильтрация</translation>
    </message>
    <message>
        <source>AC Enable</source>
        <translation>AC Enable</translation>
    </message>
    <message>
        <source>Режим опроса</source>
        <translation>Режим опроса</translation>
    </message>
    <message>
        <source>Включить FREQENCY</source>
        <translation>Включить FREQENCY</translation>
    </message>
    <message>
        <source>Включить COUNTER</source>
        <translation>Включить COUNTER</translation>
    </message>
    <message>
        <source>влияет на все DIN в устройстве</source>
        <translation>влияет на все DIN в устройстве</translation>
    </message>
    <message>
        <source>сек</source>
        <translation>сек</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>мкс</translation>
    </message>
    <message>
        <source>кГц</source>
        <translation>кГц</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Гц</translation>
    </message>
    <message>
        <source>Выбранные входы считают импульсы разной длины</source>
        <translation>Выбранные входы считают импульсы разной длины</translation>
    </message>
    <message>
        <source>Фильтр включён не у всех выбранных входов</source>
        <translation>Фильтр включён не у всех выбранных входов</translation>
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
        <translation>Замкнуто</translation>
    </message>
    <message>
        <source>Разомкнуто</source>
        <translation>Разомкнуто</translation>
    </message>
    <message>
        <source>Безопасное состояние</source>
        <translation>Безопасное состояние</translation>
    </message>
    <message>
        <source>RadioButton</source>
        <translation>RadioButton</translation>
    </message>
    <message>
        <source>Управление цифровыми выходами</source>
        <translation>Управление цифровыми выходами</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>Вкл.</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Выкл.</translation>
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
        <translation>Идентификатор на схеме</translation>
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
        <translation>Связь</translation>
    </message>
    <message>
        <source>Задержка до безопасного состояния</source>
        <translation>Задержка до безопасного состояния</translation>
    </message>
    <message>
        <source>мсек</source>
        <translation>мсек</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Скорость</translation>
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
        <translation>Стоп биты</translation>
    </message>
    <message>
        <source>Два</source>
        <translation>Два</translation>
    </message>
    <message>
        <source>hidden</source>
        <translation>hidden</translation>
    </message>
    <message>
        <source>Один</source>
        <translation>Один</translation>
    </message>
    <message>
        <source>Чётность</source>
        <translation>Чётность</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Нечет</source>
        <translation>Нечет</translation>
    </message>
    <message>
        <source>Чет</source>
        <translation>Чет</translation>
    </message>
    <message>
        <source>Протокол</source>
        <translation>Протокол</translation>
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
        <translation>Задержка</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Нет последовательных портов</source>
        <translation>Нет последовательных портов</translation>
    </message>
</context>
<context>
    <name>EditorViewer</name>
    <message>
        <source>Нет выбранных ресурсов</source>
        <translation>Нет выбранных ресурсов</translation>
    </message>
    <message>
        <source>Аналоговые входы</source>
        <translation>Аналоговые входы</translation>
    </message>
    <message>
        <source>Аналоговый вход</source>
        <translation>Аналоговый вход</translation>
    </message>
    <message>
        <source>Аналоговые выходы</source>
        <translation>Аналоговые выходы</translation>
    </message>
    <message>
        <source>Аналоговый выход</source>
        <translation>Аналоговый выход</translation>
    </message>
    <message>
        <source>Цифровые входы</source>
        <translation>Цифровые входы</translation>
    </message>
    <message>
        <source>Цифровой вход</source>
        <translation>Цифровой вход</translation>
    </message>
    <message>
        <source>Цифровые выходы</source>
        <translation>Цифровые выходы</translation>
    </message>
    <message>
        <source>Цифровой выход</source>
        <translation>Цифровой выход</translation>
    </message>
    <message>
        <source>Последовательные порты</source>
        <translation>Последовательные порты</translation>
    </message>
    <message>
        <source>Последовательный порт</source>
        <translation>Последовательный порт</translation>
    </message>
    <message>
        <source>Выбраны разные типы ресурсов</source>
        <translation>Выбраны разные типы ресурсов</translation>
    </message>
    <message>
        <source>Редактор не установлен</source>
        <translation>Редактор не установлен</translation>
    </message>
    <message>
        <source>Устройства </source>
        <translation>Устройства </translation>
    </message>
    <message>
        <source>Устройство </source>
        <translation>Устройство </translation>
    </message>
</context>
<context>
    <name>EmptyScreen</name>
    <message>
        <source>● Файл &gt; Новая (Ctrl + N) - Cоздание новой конфигурации.
● Файл &gt; Открыть (Ctrl + O) - Работа с существующей конфигурацией.</source>
        <translation>● Файл &gt; Новая (Ctrl + N) - Cоздание новой конфигурации.
● Файл &gt; Открыть (Ctrl + O) - Работа с существующей конфигурацией.</translation>
    </message>
</context>
<context>
    <name>FileOperations</name>
    <message>
        <source>Неправильный формат</source>
        <translation>Неправильный формат</translation>
    </message>
    <message>
        <source>Ошибка целостности</source>
        <translation>Ошибка целостности</translation>
    </message>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>Не могу открыть файл</source>
        <translation>Не могу открыть файл</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>&amp;Новая</source>
        <translation>&amp;Новая</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Открыть</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>&amp;Сохранить как</source>
        <translation>&amp;Сохранить как</translation>
    </message>
    <message>
        <source>Экспорт в &amp;csv</source>
        <translation>Экспорт в &amp;csv</translation>
    </message>
    <message>
        <source>&amp;Экспорт в map файл</source>
        <translation>&amp;Экспорт в map файл</translation>
    </message>
    <message>
        <source>&amp;Экспорт в </source>
        <translation>&amp;Экспорт в </translation>
    </message>
    <message>
        <source>&amp;Экспорт в ...</source>
        <translation type="vanished">&amp;Экспорт в ...</translation>
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
        <translation>Сохранить изменения в файл:
&quot;%1&quot;</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Не сохранять</source>
        <translation>Не сохранять</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Конфигурация не содержит ни одного устройства.
Добавьте устройство, чтобы сохранить конфигурацию в файл.</source>
        <translation>Конфигурация не содержит ни одного устройства.
Добавьте устройство, чтобы сохранить конфигурацию в файл.</translation>
    </message>
    <message>
        <source>Сохранить файл</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Экспортировать в CSV</source>
        <translation>Экспортировать в CSV</translation>
    </message>
    <message>
        <source>Comma-Separated Values (*.csv);;Text files (*.txt)</source>
        <translation>Comma-Separated Values (*.csv);;Text files (*.txt)</translation>
    </message>
    <message>
        <source>Экспортировать конфигурацию в map файл</source>
        <translation>Экспортировать конфигурацию в map файл</translation>
    </message>
    <message>
        <source>Brelvox map (*.map)</source>
        <translation>Brelvox map (*.map)</translation>
    </message>
    <message>
        <source>Не могу сохранить файл</source>
        <translation>Не могу сохранить файл</translation>
    </message>
    <message>
        <source>Не могу экспортировать конфигурацию</source>
        <translation>Не могу экспортировать конфигурацию</translation>
    </message>
    <message>
        <source>в системе нет последовательного порта</source>
        <translation>в системе нет последовательного порта</translation>
    </message>
    <message>
        <source>файл слишком велик: %1 байт, а конфигурация занимает не более %2 байт</source>
        <translation>файл слишком велик: %1 байт, а конфигурация занимает не более %2 байт</translation>
    </message>
    <message>
        <source>файл не найден</source>
        <translation>файл не найден</translation>
    </message>
    <message>
        <source>нет прав на чтение файла</source>
        <translation>нет прав на чтение файла</translation>
    </message>
    <message>
        <source>это папка, а не файл</source>
        <translation>это папка, а не файл</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>ссылки на файл образуют петлю</source>
        <translation>ссылки на файл образуют петлю</translation>
    </message>
    <message>
        <source>файл пуст</source>
        <translation>файл пуст</translation>
    </message>
    <message>
        <source>ошибка в конфигурации: %1</source>
        <translation>ошибка в конфигурации: %1</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>файл защищён от записи</source>
        <translation>файл защищён от записи</translation>
    </message>
    <message>
        <source>Снимите с файла защиту от записи или выберите другое имя.</source>
        <translation>Снимите с файла защиту от записи или выберите другое имя.</translation>
    </message>
    <message>
        <source>нет прав на запись в папку</source>
        <translation>нет прав на запись в папку</translation>
    </message>
    <message>
        <source>Выберите другую папку или попросите администратора дать права на запись в неё.</source>
        <translation>Выберите другую папку или попросите администратора дать права на запись в неё.</translation>
    </message>
    <message>
        <source>под этим именем уже есть папка</source>
        <translation>под этим именем уже есть папка</translation>
    </message>
    <message>
        <source>Выберите другое имя.</source>
        <translation>Выберите другое имя.</translation>
    </message>
    <message>
        <source>такой папки нет</source>
        <translation>такой папки нет</translation>
    </message>
    <message>
        <source>Выберите существующую папку.</source>
        <translation>Выберите существующую папку.</translation>
    </message>
    <message>
        <source>слишком длинное имя файла</source>
        <translation>слишком длинное имя файла</translation>
    </message>
    <message>
        <source>Выберите более короткое имя.</source>
        <translation>Выберите более короткое имя.</translation>
    </message>
    <message>
        <source>на диске не хватает места</source>
        <translation>на диске не хватает места</translation>
    </message>
    <message>
        <source>Освободите место на диске или выберите другой диск.</source>
        <translation>Освободите место на диске или выберите другой диск.</translation>
    </message>
    <message>
        <source>Файл сохранил прежнее содержимое.</source>
        <translation>Файл сохранил прежнее содержимое.</translation>
    </message>
    <message>
        <source>Прежнее содержимое файла восстановить не удалось.</source>
        <translation>Прежнее содержимое файла восстановить не удалось.</translation>
    </message>
    <message>
        <source>диск защищён от записи</source>
        <translation>диск защищён от записи</translation>
    </message>
    <message>
        <source>Снимите защиту от записи с диска (переключатель на карте или флешке) или выберите другой диск.</source>
        <translation>Снимите защиту от записи с диска (переключатель на карте или флешке) или выберите другой диск.</translation>
    </message>
    <message>
        <source>файл занял бы %1 байт, а файл конфигурации может занимать не более %2 байт</source>
        <translation>файл занял бы %1 байт, а файл конфигурации может занимать не более %2 байт</translation>
    </message>
    <message>
        <source>Конфигурация экспортирована</source>
        <translation>Конфигурация экспортирована</translation>
    </message>
    <message>
        <source>Файл сохранён</source>
        <translation>Файл сохранён</translation>
    </message>
    <message>
        <source>%1, но диск не подтвердил запись: после отключения питания или извлечения диска файл может оказаться прежним или пропасть.
Проверьте диск и повторите запись.</source>
        <translation>%1, но диск не подтвердил запись: после отключения питания или извлечения диска файл может оказаться прежним или пропасть.
Проверьте диск и повторите запись.</translation>
    </message>
    <message>
        <source>файл превысил допустимый размер</source>
        <translation>файл превысил допустимый размер</translation>
    </message>
    <message>
        <source>Снимите ограничение размера файлов, заданное программе (ulimit -f), или выберите другой диск.</source>
        <translation>Снимите ограничение размера файлов, заданное программе (ulimit -f), или выберите другой диск.</translation>
    </message>
    <message>
        <source>исчерпана ваша квота на диске</source>
        <translation>исчерпана ваша квота на диске</translation>
    </message>
    <message>
        <source>Удалите ненужные файлы или попросите администратора увеличить квоту.</source>
        <translation>Удалите ненужные файлы или попросите администратора увеличить квоту.</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода на диске</source>
        <translation>ошибка ввода-вывода на диске</translation>
    </message>
    <message>
        <source>Проверьте диск и его подключение, затем повторите запись.</source>
        <translation>Проверьте диск и его подключение, затем повторите запись.</translation>
    </message>
    <message>
        <source>этот диск не допускает такое имя файла</source>
        <translation>этот диск не допускает такое имя файла</translation>
    </message>
    <message>
        <source>Уберите из имени знаки : * ? &quot; &lt; &gt; | \ или выберите другой диск.</source>
        <translation>Уберите из имени знаки : * ? &quot; &lt; &gt; | \ или выберите другой диск.</translation>
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
        <translation>Помощь</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>https://www.drovanix.com/tav-configurator</source>
        <translation>https://www.drovanix.com/tav-configurator</translation>
    </message>
    <message>
        <source>Версия</source>
        <translation>Версия</translation>
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
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Системная шина</source>
        <translation>Системная шина</translation>
    </message>
    <message>
        <source>Модель</source>
        <translation>Модель</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>Версия ПО ядра</source>
        <translation>Версия ПО ядра</translation>
    </message>
    <message>
        <source>Версия загрузчика</source>
        <translation>Версия загрузчика</translation>
    </message>
    <message>
        <source>Modbus aдрес</source>
        <translation>Modbus aдрес</translation>
    </message>
    <message>
        <source>Слот </source>
        <translation>Слот </translation>
    </message>
</context>
<context>
    <name>InformationBuilder</name>
    <message>
        <source>Аналоговые входы</source>
        <translation>Аналоговые входы</translation>
    </message>
    <message>
        <source>Аналоговые выходы</source>
        <translation>Аналоговые выходы</translation>
    </message>
    <message>
        <source>Дискретные входы</source>
        <translation>Дискретные входы</translation>
    </message>
    <message>
        <source>Дискретные выходы</source>
        <translation>Дискретные выходы</translation>
    </message>
    <message>
        <source>реле</source>
        <translation>реле</translation>
    </message>
    <message>
        <source>оптореле</source>
        <translation>оптореле</translation>
    </message>
    <message>
        <source>симисторы</source>
        <translation>симисторы</translation>
    </message>
</context>
<context>
    <name>InformationStyled</name>
    <message>
        <source>Устройство</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Группа</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>Система</translation>
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
        <translation>R ном, Ом</translation>
    </message>
    <message>
        <source>T ном, °C</source>
        <translation>T ном, °C</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Бета</source>
        <translation>Бета</translation>
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
        <translation>Язык</translation>
    </message>
    <message>
        <source>Опции</source>
        <translation>Опции</translation>
    </message>
    <message>
        <source>Обновить ПО контроллера</source>
        <translation>Обновить ПО контроллера</translation>
    </message>
</context>
<context>
    <name>PortPermissionNotice</name>
    <message>
        <source>Нет доступа к порту %1.

Чтобы работать с контроллером, добавьте пользователя в группу dialout:
sudo usermod -aG dialout $USER
и войдите в систему заново.</source>
        <translation>Нет доступа к порту %1.

Чтобы работать с контроллером, добавьте пользователя в группу dialout:
sudo usermod -aG dialout $USER
и войдите в систему заново.</translation>
    </message>
    <message>
        <source>Нет доступа к порту</source>
        <translation>Нет доступа к порту</translation>
    </message>
    <message>
        <source>Перезапуск USB-порта</source>
        <translation>Перезапуск USB-порта</translation>
    </message>
    <message>
        <source>Порт %1 занят другой программой.

Закройте программу, которая работает с этим портом, и подключите контроллер заново.</source>
        <translation>Порт %1 занят другой программой.

Закройте программу, которая работает с этим портом, и подключите контроллер заново.</translation>
    </message>
    <message>
        <source>Порт занят</source>
        <translation>Порт занят</translation>
    </message>
</context>
<context>
    <name>PortScans</name>
    <message>
        <source>Не удалось запустить перезапуск USB-устройства</source>
        <translation>Не удалось запустить перезапуск USB-устройства</translation>
    </message>
    <message>
        <source>Перезапуск USB-устройства не завершился за %1 с</source>
        <translation>Перезапуск USB-устройства не завершился за %1 с</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>P бп, W</source>
        <translation>P бп, W</translation>
    </message>
    <message>
        <source>P сис, W</source>
        <translation>P сис, W</translation>
    </message>
    <message>
        <source>Цикл, ms</source>
        <translation>Цикл, ms</translation>
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
        <translation>Авария %1</translation>
    </message>
    <message>
        <source>%1, канал %2</source>
        <translation>%1, канал %2</translation>
    </message>
    <message>
        <source>активна</source>
        <translation>активна</translation>
    </message>
    <message>
        <source>не квитирована</source>
        <translation>не квитирована</translation>
    </message>
    <message>
        <source>замаскирована</source>
        <translation>замаскирована</translation>
    </message>
    <message>
        <source>Нет прав на перезапуск USB-устройства. Добавьте правило udev для устройств %1:%2 (см. README):
SUBSYSTEM==&quot;usb&quot;, ATTR{idVendor}==&quot;%1&quot;, ATTR{idProduct}==&quot;%2&quot;, MODE=&quot;0666&quot;</source>
        <translation>Нет прав на перезапуск USB-устройства. Добавьте правило udev для устройств %1:%2 (см. README):
SUBSYSTEM==&quot;usb&quot;, ATTR{idVendor}==&quot;%1&quot;, ATTR{idProduct}==&quot;%2&quot;, MODE=&quot;0666&quot;</translation>
    </message>
    <message>
        <source>USB-устройство контроллера не найдено</source>
        <translation>USB-устройство контроллера не найдено</translation>
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
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Вход             F(X)</source>
        <translation>Вход             F(X)</translation>
    </message>
</context>
<context>
    <name>RtdCalibr</name>
    <message>
        <source>R ном, Ом</source>
        <translation>R ном, Ом</translation>
    </message>
    <message>
        <source>T ном, °C</source>
        <translation>T ном, °C</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Альфа</source>
        <translation>Альфа</translation>
    </message>
    <message>
        <source>Коррекция, °C</source>
        <translation>Коррекция, °C</translation>
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
        <translation>Внутренняя неисправность</translation>
    </message>
    <message>
        <source>Configuration error</source>
        <translation>Configuration error</translation>
    </message>
    <message>
        <source>Ошибка конфигурации</source>
        <translation>Ошибка конфигурации</translation>
    </message>
    <message>
        <source>Link error</source>
        <translation>Link error</translation>
    </message>
    <message>
        <source>Ошибка связи</source>
        <translation>Ошибка связи</translation>
    </message>
    <message>
        <source>Low input voltage</source>
        <translation>Low input voltage</translation>
    </message>
    <message>
        <source>Низкое напряжение питания</source>
        <translation>Низкое напряжение питания</translation>
    </message>
    <message>
        <source>High input voltage</source>
        <translation>High input voltage</translation>
    </message>
    <message>
        <source>Высокое напряжение питания</source>
        <translation>Высокое напряжение питания</translation>
    </message>
    <message>
        <source>Overload AIN</source>
        <translation>Overload AIN</translation>
    </message>
    <message>
        <source>Перегрузка входа</source>
        <translation>Перегрузка входа</translation>
    </message>
    <message>
        <source>Overload AOUT</source>
        <translation>Overload AOUT</translation>
    </message>
    <message>
        <source>Перегрузка выхода</source>
        <translation>Перегрузка выхода</translation>
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
        <translation>Удалить устройства</translation>
    </message>
    <message>
        <source>Клонировать устройства</source>
        <translation>Клонировать устройства</translation>
    </message>
    <message>
        <source>Создать группу</source>
        <translation>Создать группу</translation>
    </message>
    <message>
        <source>Свернуть другие</source>
        <translation>Свернуть другие</translation>
    </message>
    <message>
        <source>Свернуть все группы</source>
        <translation>Свернуть все группы</translation>
    </message>
    <message>
        <source>Развернуть все группы</source>
        <translation>Развернуть все группы</translation>
    </message>
    <message>
        <source>Удалить группы</source>
        <translation>Удалить группы</translation>
    </message>
    <message>
        <source>Удалить группы и уст-ва</source>
        <translation>Удалить группы и уст-ва</translation>
    </message>
    <message>
        <source>Изменить тип</source>
        <translation>Изменить тип</translation>
    </message>
    <message>
        <source>Добавить Pex</source>
        <translation>Добавить Pex</translation>
    </message>
</context>
<context>
    <name>SystemConfiguration::Model</name>
    <message>
        <source>Выберите устройство</source>
        <translation>Выберите устройство</translation>
    </message>
</context>
<context>
    <name>SystemModel</name>
    <message>
        <source>слишком много устройств: %1, допустимо не более %2</source>
        <translation type="vanished">слишком много устройств: %1, допустимо не более %2</translation>
    </message>
    <message>
        <source>слишком много плат ввода-вывода: %1, допустимо не более %2</source>
        <translation type="vanished">слишком много плат ввода-вывода: %1, допустимо не более %2</translation>
    </message>
    <message>
        <source>контроллер «%1» подключён к другому устройству</source>
        <translation>контроллер «%1» подключён к другому устройству</translation>
    </message>
    <message>
        <source>модуль «%1» подключён к двум контроллерам</source>
        <translation>модуль «%1» подключён к двум контроллерам</translation>
    </message>
    <message>
        <source>модуль «%1» не подключён к контроллеру</source>
        <translation>модуль «%1» не подключён к контроллеру</translation>
    </message>
    <message>
        <source>устройство «%1» имеет недопустимый номер %2</source>
        <translation>устройство «%1» имеет недопустимый номер %2</translation>
    </message>
    <message>
        <source>два контроллера с номером %1</source>
        <translation>два контроллера с номером %1</translation>
    </message>
    <message>
        <source>нет контроллера с номером %1</source>
        <translation>нет контроллера с номером %1</translation>
    </message>
    <message>
        <source>у контроллера «%1» два модуля с номером %2</source>
        <translation>у контроллера «%1» два модуля с номером %2</translation>
    </message>
    <message>
        <source>у контроллера «%1» нет модуля с номером %2</source>
        <translation>у контроллера «%1» нет модуля с номером %2</translation>
    </message>
    <message>
        <source>последовательные порты не принадлежат контроллеру с номером 0</source>
        <translation>последовательные порты не принадлежат контроллеру с номером 0</translation>
    </message>
    <message>
        <source>два устройства с именем «%1»</source>
        <translation>два устройства с именем «%1»</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы целые числа от %5 до %6</source>
        <translation type="vanished">устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы целые числа от %5 до %6</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6</source>
        <translation type="vanished">устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: нет настроек</source>
        <translation>устройство «%1», канал «%2»: нет настроек</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: неизвестный вид записи %3</source>
        <translation>устройство «%1», канал «%2»: неизвестный вид записи %3</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: запись вида %3 у канала вида %4</source>
        <translation>устройство «%1», канал «%2»: запись вида %3 у канала вида %4</translation>
    </message>
    <message>
        <source>запись %1 списка устройств не описывает устройство</source>
        <translation>запись %1 списка устройств не описывает устройство</translation>
    </message>
    <message>
        <source>устройства «%1» и «%2» записаны с одним идентификатором %3</source>
        <translation>устройства «%1» и «%2» записаны с одним идентификатором %3</translation>
    </message>
    <message>
        <source>тип устройства %1 («%2») не входит в каталог этой марки</source>
        <translation>тип устройства %1 («%2») не входит в каталог этой марки</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы true и false</source>
        <translation type="vanished">устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы true и false</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6, «Infinity», «-Infinity», «-0» и «NaN»</source>
        <translation type="vanished">устройство «%1», канал «%2»: значение %3 ключа «%4» не помещается в поле: допустимы числа от %5 до %6, «Infinity», «-Infinity», «-0» и «NaN»</translation>
    </message>
    <message>
        <source>в файле нет ни одного устройства</source>
        <translation>в файле нет ни одного устройства</translation>
    </message>
    <message>
        <source>в файле нет настроек ни одного канала</source>
        <translation>в файле нет настроек ни одного канала</translation>
    </message>
    <message>
        <source>допустимы true и false</source>
        <translation>допустимы true и false</translation>
    </message>
    <message>
        <source>допустим только текст в кавычках</source>
        <translation>допустим только текст в кавычках</translation>
    </message>
    <message>
        <source>допустим только объект в фигурных скобках</source>
        <translation>допустим только объект в фигурных скобках</translation>
    </message>
    <message>
        <source>допустимы числа от %1 до %2, «Infinity», «-Infinity», «-0» и «NaN»</source>
        <translation>допустимы числа от %1 до %2, «Infinity», «-Infinity», «-0» и «NaN»</translation>
    </message>
    <message>
        <source>допустимы целые числа от %1 до %2</source>
        <translation>допустимы целые числа от %1 до %2</translation>
    </message>
    <message>
        <source>%1: значение %2 ключа «%3» не помещается в поле: %4</source>
        <translation>%1: значение %2 ключа «%3» не помещается в поле: %4</translation>
    </message>
    <message>
        <source>устройство «%1», канал «%2»</source>
        <translation>устройство «%1», канал «%2»</translation>
    </message>
    <message>
        <source>запись %1 списка устройств</source>
        <translation>запись %1 списка устройств</translation>
    </message>
</context>
<context>
    <name>SystemOperation</name>
    <message>
        <source>Ресурсы</source>
        <translation>Ресурсы</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>Система</translation>
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
        <translation>Правка</translation>
    </message>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Вернуть</source>
        <translation>&amp;Вернуть</translation>
    </message>
</context>
<context>
    <name>UpgradeFirmwareDialog</name>
    <message>
        <source>Обновление ПО контроллера</source>
        <translation>Обновление ПО контроллера</translation>
    </message>
    <message>
        <source>Контроллер не подключён</source>
        <translation>Контроллер не подключён</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Подключённый контроллер</source>
        <translation>Подключённый контроллер</translation>
    </message>
</context>
<context>
    <name>WriteProgress</name>
    <message>
        <source>Запись конфигурации в контроллер</source>
        <translation>Запись конфигурации в контроллер</translation>
    </message>
</context>
</TS>
