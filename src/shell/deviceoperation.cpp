#include "shell/deviceoperation.h"

#include "alarms/alarmsaction.h"
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "catalogue/settingsprovider.h"
#include "communication/controlrequest.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "model/errorcodes.h"
#include "model/systemmodel.h"
#include "shell/fileoperations.h"
#include "shell/prompts.h"
#include "shell/toolicon.h"
#include "widgets/layoutmetrics.h"
#include "widgets/monitoraction.h"
#include "widgets/sysinfoaction.h"
#include "widgets/sysinfowidget.h"

#include <QAction>
#include <QDebug>
#include <QPixmap>
#include <QScopedValueRollback>

namespace {

const QString ApplicationTitle = QStringLiteral("Tav Configurator");
// How often the window looks whether the end of monitoring is still on its way.
constexpr int EndPollMs = 50;

} // namespace

DeviceOperation::DeviceOperation(SystemModel* systemModel, Alarms::SystemAlarms* alarms,
                                 DevicePool* devicePool, DeviceConfigurator* deviceConfigurator,
                                 QObject* parent)
    : QObject(parent)
    , model(systemModel)
    , alarmSet(alarms)
    , pool(devicePool)
    , configurator(deviceConfigurator)
{
    if (pool) {
        connect(pool, &DevicePool::systemsUpdated, this, &DeviceOperation::systemsUpdated);
        connect(pool, &DevicePool::systemSelected, this, &DeviceOperation::systemSelected);
        connect(pool, &DevicePool::systemChecked, this, &DeviceOperation::onSystemChecked);
        connect(pool, &DevicePool::activeRemoved, this, &DeviceOperation::systemLost);
        connect(pool, &DevicePool::systemReplaced, this, &DeviceOperation::onSystemReplaced);
    }
    if (configurator) {
        connect(configurator, &DeviceConfigurator::loaded, this, &DeviceOperation::onLoaded);
        connect(configurator, &DeviceConfigurator::written, this, &DeviceOperation::onWritten);
        connect(configurator, &DeviceConfigurator::clearOwed, this, &DeviceOperation::onClearOwed);
        connect(configurator, &DeviceConfigurator::clearOwedByAnother, this,
                &DeviceOperation::onClearOwedByAnother);
        connect(configurator, &DeviceConfigurator::rewriteCut, this,
                &DeviceOperation::onRewriteCut);
        connect(configurator, &DeviceConfigurator::editsNotWritten, this,
                &DeviceOperation::onEditsNotWritten);
        connect(configurator, &DeviceConfigurator::rewriteWithheld, this,
                &DeviceOperation::onRewriteWithheld);
        connect(configurator, &DeviceConfigurator::rewriteRefused, this,
                &DeviceOperation::onRewriteRefused);
    }
    if (model)
        connect(model, &SystemModel::changed, this, &DeviceOperation::modelChanged);
    endWatch.setInterval(EndPollMs);
    connect(&endWatch, &QTimer::timeout, this, &DeviceOperation::followEnd);
}

DeviceOperation::~DeviceOperation()
{
    delete m_alarmDialog;
}

QIcon DeviceOperation::makeActionIcon(const QString& name)
{
    static const QString pattern = QStringLiteral(":/icons/resources/icons/spec/%1.png");
    const QPixmap normal(pattern.arg(name));
    QPixmap selected(pattern.arg(name + QStringLiteral("_s")));
    if (selected.isNull())
        selected = normal;
    QIcon icon(normal);
    icon.addPixmap(selected, QIcon::Selected, QIcon::Off);
    return icon;
}

QAction* DeviceOperation::makeAction(const QIcon& icon, const std::function<void()>& work,
                                     const QKeySequence& shortcut)
{
    auto* action = new QAction(icon, QString(), this);
    action->setShortcut(shortcut);
    onActivated(action, &QAction::triggered, this, work);
    return action;
}

void DeviceOperation::createActions()
{
    m_actions[StartMenu] = makeAction(QIcon(QStringLiteral(":/icons/resources/icons/startmon2.png")),
                                      [this] { onMonitoring(); });
    m_actions[StopMenu] = makeAction(QIcon(QStringLiteral(":/icons/resources/icons/stopmon.png")),
                                     [this] { offMonitoring(); });
    m_actions[StartToolBar] = makeAction(toolIcon(QStringLiteral("debug%1.png")),
                                         [this] { onMonitoring(); }, QKeySequence(Qt::Key_F5));
    m_monitor = new MonitorAction(makeActionIcon(QStringLiteral("debug_active")), this);
    onActivated(m_monitor, &MonitorAction::clicked, this, [this] { offMonitoring(); });
    m_actions[Read] = makeAction(toolIcon(QStringLiteral("read%1.png")), [this] { read(); },
                                 QKeySequence(Qt::CTRL | Qt::Key_R));
    m_actions[Write] = makeAction(toolIcon(QStringLiteral("write%1.png")), [this] { write(); },
                                  QKeySequence(Qt::CTRL | Qt::Key_W));
    m_sysInfo = new SysInfoAction(makeActionIcon(QStringLiteral("info")), this);
    m_sysInfo->systemLost();
    m_alarms = new AlarmsAction(makeActionIcon(QStringLiteral("alarm")), this);
    connect(m_alarms, &AlarmsAction::showAlarms, this, &DeviceOperation::onShowAlarms);
    m_alarms->systemLost();
    for (Action disabled : {StartMenu, StopMenu, StartToolBar})
        m_actions[disabled]->setEnabled(false);
    m_monitor->setVisible(false);

    if (alarmSet)
        connect(alarmSet, &Alarms::SystemAlarms::alarmsChanged, m_alarms, &AlarmsAction::onAlarms);
    if (pool) {
        connect(pool, &DevicePool::activeRemoved, m_sysInfo, &SysInfoAction::systemLost);
        connect(pool, &DevicePool::activeRemoved, m_alarms, &AlarmsAction::systemLost);
        connect(pool, &DevicePool::systemSelected, m_alarms, &AlarmsAction::systemFound);
    }

    toolBarList = {m_actions[StartToolBar], m_monitor, m_actions[Read], m_actions[Write],
                   m_sysInfo, m_alarms};
    menuList = {m_actions[StartMenu], m_actions[StopMenu], m_actions[Read], m_actions[Write]};
    for (Action normal : {StartToolBar, Read, Write})
        setToolButtonSizeNormal(m_actions[normal]);
    modelChanged();
    retranslate();
}

QList<QAction*> DeviceOperation::toolBarActions() const
{
    return toolBarList;
}

QMap<QString, QList<QAction*>> DeviceOperation::menuActions() const
{
    return {{tr("Устройство"), menuList}};
}

QStringList DeviceOperation::menuTitles() const
{
    return {tr("Устройство")};
}

void DeviceOperation::retranslate()
{
    if (!m_actions[StartMenu])
        return;
    m_actions[StartMenu]->setText(tr("&Начать отладку"));
    m_actions[StopMenu]->setText(tr("&Остановить отладку"));
    m_actions[StartToolBar]->setText(tr("&Начать отладку"));
    m_monitor->setToolTip(tr("&Остановить отладку"));
    m_actions[Read]->setText(tr("&Считать конфигурацию"));
    m_actions[Write]->setText(tr("&Записать конфигурацию"));
}

void DeviceOperation::allDisabled()
{
    for (QAction* action : toolBarList + menuList)
        action->setEnabled(false);
}

void DeviceOperation::modelChanged()
{
    if (!m_actions[StartMenu])
        return;
    if (!system) {
        allDisabled();
        return;
    }
    const bool busy = monitoring || monitoringRequested;
    const bool idle = !busy && !writing && !endUnderWay;
    // Monitoring starts with a read: an invalid system would never answer it.
    const bool start = idle && system->isValid();
    m_actions[StartToolBar]->setEnabled(start);
    m_actions[StartMenu]->setEnabled(start);
    m_monitor->setEnabled(busy);
    m_actions[StopMenu]->setEnabled(busy);
    m_actions[Read]->setEnabled(idle && system->isValid());
    m_actions[Write]->setEnabled(idle && systemMatchesConfiguration());
}

bool DeviceOperation::systemMatchesConfiguration() const
{
    if (!system || !model)
        return false;
    const QList<DeviceHandle> handles = model->deviceHandles();
    return !handles.isEmpty() && handles.first().type == system->info().cpuId;
}

void DeviceOperation::setMonitoringMode(bool on)
{
    // The stop's rewrite and handshake go out from here on, whoever stopped it.
    const bool ends = monitoring && !on;
    if (monitoring != on)
        monitoringEnding = !on;
    monitoring = on;
    // Until its start command is known to have failed or not to have gone.
    if (on)
        monitoringStartTaken = true;
    // The stop's question, when there is one, is asked while monitoring is shown: the actions
    // show it stopped once the stop went, or was not sent.
    if (!on)
        emit monitoringMode(on);
    if (ends)
        followEnd();
    m_actions[StopMenu]->setEnabled(on);
    m_actions[StartMenu]->setEnabled(!on);
    m_monitor->setVisible(on);
    m_actions[StartToolBar]->setVisible(!on);
    if (on)
        emit monitoringMode(on);
}

bool DeviceOperation::checkConfigSupported(quint32 cpuId)
{
    if (cpuId != NoConfigurationEmulator)
        return true;
    Prompts::current().information(
        tr("Конфигурация"), tr("Загрузка конфигурации не поддерживается\nэмулятором данного типа"));
    return false;
}

bool DeviceOperation::checkMonitoringSupported(quint32 cpuId)
{
    if (cpuId != NoMonitoringEmulator)
        return true;
    Prompts::current().information(
        tr("Мониторинг"), tr("Мониторинг и отладка не поддерживается\nэмулятором данного типа"));
    return false;
}

bool DeviceOperation::fastDinLayoutMatches() const
{
    const SettingsProvider* provider = SettingsProvider::loaded();
    if (!provider || !system || !model)
        return true;
    QList<TypedRevision_t> configured;
    for (const DeviceHandle& handle : model->deviceHandles())
        configured.append(qMakePair(handle.type, handle.revision));
    return provider->modelCode(configured, detectedDevices(system->info())).isEmpty();
}

bool DeviceOperation::askFastDinMismatch() const
{
    return Prompts::current().question(
               tr("Конфигурация"),
               tr("Расположение быстрых DIN на клемах USO подключенной системы отличаются от "
                  "записываемой конфигурации.\n\nНекоторые DIN не cмогут работать в быстром "
                  "режиме.\nПродолжить запись?"),
               {tr("Да"), tr("Нет")}, 0, 1)
           == 0;
}

bool DeviceOperation::mayUnlock(PasswordUse use) const
{
    return !keepOwedAhead
           || keepOwedAhead({system->info().kernelSn, system->info().cpuId}, use);
}

void DeviceOperation::read()
{
    if (!configurator)
        return;
    if (saveQuestion && !saveQuestion(QString())) {
        monitoringRequested = false;
        return;
    }
    configurator->read();
}

void DeviceOperation::onLoaded(bool ok)
{
    m_loadedKey = ok && model ? model->systemKey() : QString();
    if (monitoringRequested) {
        monitoringRequested = false;
        // A start whose read failed sent the controller nothing: no monitoring began, so none
        // ends, and no stop goes to a controller that may have taken an earlier start.
        if (ok)
            setMonitoringMode(true);
        else
            monitoringStartTaken = false;
    } else {
        emit configLoaded(ok);
    }
    modelChanged();
    if (!ok) {
        QString text = tr("Ошибка загрузки конфигурации\nиз контроллера");
        if (configurator && configurator->lastError().code == App::ErrorCode::ConfigurationParse)
            text += QStringLiteral("\n\n")
                    + tr("Конфигурация в контроллере неполна или повреждена.") + QLatin1Char('\n')
                    + wholeWriteRemedy();
        Prompts::current().information(ApplicationTitle, text);
    }
    qDebug() << "DevOps [LOADED], result:" << ok << m_loadedKey << monitoring;
}

void DeviceOperation::write()
{
    if (!system || writing || !checkConfigSupported(system->info().cpuId))
        return;
    if (!fastDinLayoutMatches() && !askFastDinMismatch())
        return;
    if (!mayUnlock(PasswordUse::Write))
        return;
    writing = true;
    leftUnlocked = false;
    leftUnlockedBy.reset();
    leftUnlockedOthers.clear();
    modelChanged();
    progress.start(model ? model->deviceHandles().size() : 0);
    emit aboutToWrite();
    if (configurator)
        configurator->write();
    else
        onWritten(false);
}

void DeviceOperation::onWritten(bool ok)
{
    qDebug() << "DevOps [WRITTEN], result:" << ok << !system.isNull();
    writing = false;
    progress.stop();
    if (ok && system) {
        m_sysInfo->systemDetected(system->info());
        Prompts::current().information(ApplicationTitle,
                                       tr("Конфигурация\nуспешно записана в контроллер"));
    } else {
        QString text = tr("Не могу записать конфигурацию\nв контроллер");
        if (leftUnlocked)
            text += QStringLiteral("\n\n") + unlockedText(leftUnlockedBy);
        text += leftUnlockedOthers;
        Prompts::current().information(tr("Конфигурация"), text);
    }
    leftUnlocked = false;
    leftUnlockedBy.reset();
    leftUnlockedOthers.clear();
    modelChanged();
}

QString DeviceOperation::unlockedText(bool connected, bool closing)
{
    const QString unlocked = tr("Контроллер, возможно, остался разблокированным.");
    // A closing program clears the password of a controller that still answers before it ends;
    // what stays owed then, the close names with what becomes of it.
    if (closing)
        return connected ? unlocked + QLatin1Char('\n')
                               + tr("Программа повторит сброс пароля перед завершением работы.")
                         : unlocked;
    // The pool clears the password of a controller still filed as soon as the line is free and
    // the controller answers; one that went is cleared when it is found again, in this run or a
    // later one. Found only where the program looks: on the port it was lost from, on a port
    // that appears, and on every port at the next start; ports where no controller answered may
    // hold other devices and are not probed again.
    return unlocked + QLatin1Char('\n')
           + (connected ? tr("Программа повторит сброс пароля, когда контроллер ответит на том "
                             "же порту или на вновь подключённом, либо при следующем запуске "
                             "программы.")
                        : tr("Он будет заблокирован, когда будет найден снова."));
}

QString DeviceOperation::wholeWriteRemedy()
{
    return tr("Запись всей конфигурации в контроллер (Устройство > Записать конфигурацию) "
              "исправит это.");
}

QString DeviceOperation::notWrittenRemedy() const
{
    // The write writes into whichever controller is on the line: followed now, it would put the
    // edits into the one found in their controller's place.
    const QString named = noticeReplaced ? controllerText({noticeReplaced->info().kernelSn,
                                                           noticeReplaced->info().cpuId})
                                         : QString();
    const QString elsewhere =
        tr("Они сделаны для контроллера %1, а на линии сейчас другой контроллер: пока он там, "
           "запись всей конфигурации (Устройство > Записать конфигурацию) запишет их в него.")
            .arg(named);
    // The question that follows decides what becomes of the edits: the window may not keep them
    // past it. At the program's end it cannot keep them at all.
    if (beforeQuestion()) {
        const bool ending = Prompts::isProgramEnding();
        const QStringList answers = FileOperations::saveQuestionButtons(ending);
        if (ending)
            return QLatin1Char('\n')
                   + tr("Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их "
                        "в файл, «%2» отбросит их.")
                         .arg(answers.value(0), answers.value(1));
        return QLatin1Char('\n')
               + tr("Что с ними будет, решит ответ на следующий вопрос: «%1» сохранит их в файл, "
                    "«%2» отбросит их, «%3» оставит их в окне, откуда их запишет в контроллер "
                    "запись всей конфигурации (Устройство > Записать конфигурацию).")
                     .arg(answers.value(0), answers.value(1), answers.value(2))
               + (noticeReplaced ? QLatin1Char(' ') + elsewhere : QString());
    }
    // The close asked its save question before it settled the controllers: the edits go with the
    // window.
    if (configurator && configurator->isClosing())
        return QString();
    // The edits stay unsaved until written, so the read that starts monitoring asks about them.
    return QLatin1Char('\n')
           + (noticeReplaced
                  ? elsewhere + QLatin1Char(' ')
                        + tr("Они остаются в окне: запишите их, когда контроллер %1 будет найден "
                             "снова, или сохраните в файл.")
                              .arg(named)
              : noticeLost
                  ? tr("Они остаются в окне: запись всей конфигурации (Устройство > Записать "
                       "конфигурацию) запишет их в контроллер, когда он будет найден снова, "
                       "сохранение — в файл.")
                  : tr("Они остаются в окне: запись всей конфигурации (Устройство > Записать "
                       "конфигурацию) запишет их в контроллер, сохранение — в файл."))
           + QLatin1Char(' ')
           + tr("Следующее начало отладки прочитает конфигурацию контроллера, и ответ «%1» "
                "отбросит их.")
                 .arg(FileOperations::saveQuestionButtons().value(1));
}

QString DeviceOperation::stopRefusedText(const LiveSystem::Ptr_t& refused, bool unanswered) const
{
    // Named: the window may show another controller by now. An answer lost on the line may have
    // followed a command that was taken.
    const QString named = controllerText({refused->info().kernelSn, refused->info().cpuId});
    return (unanswered ? tr("Контроллер %1 не подтвердил команду остановки отладки и, возможно, "
                            "остаётся в режиме отладки.")
                       : tr("Контроллер %1 не принял команду остановки отладки и остаётся в "
                            "режиме отладки."))
               .arg(named)
           + QLatin1Char('\n')
           + (pool && pool->isFound(*refused)
                  ? tr("Чтобы вывести его из этого режима, начните и снова остановите на нём "
                       "отладку.")
                  : tr("Чтобы вывести его из этого режима, начните и снова остановите на нём "
                       "отладку, когда он будет найден снова."));
}

bool DeviceOperation::beforeQuestion() const
{
    return noticeAsksNext;
}

QString DeviceOperation::controllerText(const ControllerIdentity& controller)
{
    const QString serial = SysInfoWidget::serialNumberText(controller.first);
    const SettingsProvider* catalogue = SettingsProvider::loaded();
    if (!catalogue || !catalogue->templates.contains(controller.second))
        return serial;
    // The identity carries no hardware revision: the model's name without it.
    return catalogue->modelName(controller.second, -1) + QLatin1Char(' ') + serial;
}

QString DeviceOperation::unlockedText(const LiveSystem::Ptr_t& owing) const
{
    return unlockedText(pool && owing && pool->isFound(*owing),
                        configurator && configurator->isClosing());
}

QString DeviceOperation::unlockedOtherText(const ControllerIdentity& controller,
                                           const LiveSystem::Ptr_t& owing) const
{
    return tr("Сброс пароля контроллера %1 не подтверждён.").arg(controllerText(controller))
           + QLatin1Char('\n') + unlockedText(owing);
}

void DeviceOperation::onClearOwed(LiveSystem::Ptr_t owing)
{
    // A write tells it with its own answer.
    if (writing) {
        leftUnlocked = true;
        leftUnlockedBy = owing;
        return;
    }
    // Told as things stand when the notice comes up: the controller may have gone meanwhile.
    noticeUnlocked.insert(owing ? ControllerIdentity(owing->info().kernelSn, owing->info().cpuId)
                                : ControllerIdentity(),
                          owing);
    postNotice();
}

void DeviceOperation::onClearOwedByAnother(ControllerIdentity owing)
{
    // Named, unlike the controller the window shows. It is locked when it is found, once its
    // channel went.
    if (writing) {
        leftUnlockedOthers += QStringLiteral("\n\n") + unlockedOtherText(owing);
        return;
    }
    noticeUnlocked.insert(owing, LiveSystem::Ptr_t());
    postNotice();
}

void DeviceOperation::onRewriteCut()
{
    noticeCut = true;
    postNotice();
}

void DeviceOperation::onEditsNotWritten()
{
    noticeNotWritten = true;
    postNotice();
}

void DeviceOperation::onValuesNotWritten()
{
    noticeValuesNotWritten = true;
    postNotice();
}

void DeviceOperation::onCommandFailed(int command, LiveSystem::Ptr_t controller, bool refused)
{
    if (command == ControlRequest::MonitoringStarted) {
        monitoringStartTaken = false;
    } else {
        noticeStopRefused = controller;
        noticeStopUnanswered = !refused;
    }
    if (!noticeCommands.contains(command))
        noticeCommands.append(command);
    postNotice();
}

void DeviceOperation::onCommandWithheld(int command)
{
    if (command == ControlRequest::MonitoringStarted)
        monitoringStartTaken = false;
    if (!noticeWithheld.contains(command))
        noticeWithheld.append(command);
    postNotice();
}

void DeviceOperation::onRewriteWithheld()
{
    // A closing program, or a stopped monitoring, makes no later rewrite to carry the edits.
    if (configurator && (configurator->isClosing() || !configurator->isMonitoring()))
        noticeNotWritten = true;
    else
        noticeRewriteWithheld = true;
    postNotice();
}

void DeviceOperation::onRewriteRefused()
{
    noticeRefused = true;
    postNotice();
}

void DeviceOperation::onStopNotSent(LiveSystem::Ptr_t stopped)
{
    if (!stopped)
        return;
    noticeStopNotSent = stopped;
    postNotice();
}

void DeviceOperation::onSystemReplaced(LiveSystem::Ptr_t lost, ControllerIdentity found)
{
    // Monitoring ends with the loss of the system, which follows, and the monitored controller is
    // sent no stop: its channel is gone.
    if (!monitoring || !lost || lost != system)
        return;
    noticeReplaced = lost;
    noticeFound = found;
    noteMonitoringEnded();
}

void DeviceOperation::noteMonitoringEnded()
{
    // Edits waiting for their rewrite, or withheld, failed or cut by it, go with the monitoring:
    // no later rewrite carries them.
    if (configurator && configurator->hasUnwrittenEdits())
        noticeNotWritten = true;
    postNotice();
}

void DeviceOperation::postNotice()
{
    // The clear's failure and the cut of the same rewrite come one after the other.
    if (noticePosted)
        return;
    noticePosted = true;
    if (!endJoined && !endUnderWay)
        QMetaObject::invokeMethod(this, &DeviceOperation::showNotice, Qt::QueuedConnection);
}

void DeviceOperation::showNotice()
{
    // Shown once the open box is closed, or once monitoring has ended.
    if (endJoined || endUnderWay)
        return;
    tellNotice();
}

void DeviceOperation::followEnd()
{
    const QString waited = endOnItsWay ? endOnItsWay() : QString();
    if (waited != endWaited) {
        endWaited = waited;
        emit endingShown(waited);
    }
    if (endUnderWay == !waited.isEmpty())
        return;
    endUnderWay = !waited.isEmpty();
    if (endUnderWay)
        endWatch.start();
    else
        endWatch.stop();
    modelChanged();
    // A way out waiting for the same end tells it before its question.
    if (!endUnderWay && noticePosted && !endJoined)
        QMetaObject::invokeMethod(this, &DeviceOperation::showNotice, Qt::QueuedConnection);
}

void DeviceOperation::tellNotice()
{
    if (noticeShowing)
        return;
    QStringList parts;
    QString stopNotSent;
    if (const LiveSystem::Ptr_t ended = noticeReplaced ? noticeReplaced : noticeLost) {
        const ControllerIdentity monitored(ended->info().kernelSn, ended->info().cpuId);
        parts.append(noticeReplaced
                         ? tr("Отладка остановлена: вместо контроллера %1 отвечает контроллер %2.")
                               .arg(controllerText(monitored), controllerText(noticeFound))
                         : tr("Отладка остановлена: связь с контроллером %1 потеряна.")
                               .arg(controllerText(monitored)));
        // What the monitored controller is left with, told as a stop the user withheld and a
        // clear that did not go through are.
        if (!noticeWithheld.contains(ControlRequest::MonitoringStopped) && monitoringStartTaken)
            noticeStopNotSent = ended;
        // A clear owed for real: one owed ahead only stands for a hold not let go yet, such as
        // the stop handshake the loss just started, and is let go with it.
        if (pool && pool->owes(monitored))
            noticeUnlocked.insert(monitored, ended);
    }
    // One that did not take the start, however long ago, is not in monitoring mode. Named: the
    // window may show another controller by now, and the remedy is for this one once it is back.
    if (noticeStopNotSent && monitoringStartTaken) {
        stopNotSent = tr("Команда остановки отладки не отправлена: контроллер %1 остаётся в "
                         "режиме отладки.")
                          .arg(controllerText({noticeStopNotSent->info().kernelSn,
                                               noticeStopNotSent->info().cpuId}))
                      + QLatin1Char('\n')
                      + tr("Чтобы вывести его из этого режима, начните и снова остановите "
                           "на нём отладку, когда он будет найден снова.");
        // Told once, by whichever of the loss and the stop's own end comes first.
        monitoringStartTaken = false;
    }
    for (int command : qAsConst(noticeCommands)) {
        if (command == ControlRequest::MonitoringStarted)
            parts.append(tr("Контроллер не принял команду начала отладки."));
        else if (noticeStopRefused && monitoringStartTaken)
            parts.append(stopRefusedText(noticeStopRefused, noticeStopUnanswered));
        else if (noticeStopUnanswered)
            parts.append(tr("Контроллер не подтвердил команду остановки отладки."));
        else
            parts.append(tr("Контроллер не принял команду остановки отладки."));
    }
    for (int command : qAsConst(noticeWithheld))
        parts.append(command == ControlRequest::MonitoringStarted
                         ? tr("Команда начала отладки не отправлена: контроллер не переведён в "
                              "режим отладки.")
                         : tr("Команда остановки отладки не отправлена: контроллер остаётся в "
                              "режиме отладки.")
                               + QLatin1Char('\n')
                               + tr("Чтобы вывести его из этого режима, начните и снова "
                                    "остановите отладку."));
    if (!stopNotSent.isEmpty())
        parts.append(stopNotSent);
    // The clear of a failed handshake is told with it, under the handshake's title.
    const QString title =
        noticeCommands.isEmpty() && noticeWithheld.isEmpty() && stopNotSent.isEmpty()
                && !noticeValuesNotWritten
            ? tr("Конфигурация")
            : tr("Мониторинг");
    // Named as the close names the controllers it keeps.
    for (auto it = noticeUnlocked.cbegin(); it != noticeUnlocked.cend(); ++it)
        parts.append(unlockedOtherText(it.key(), it.value()));
    if (noticeCut)
        parts.append(tr("Конфигурация в контроллере, возможно, записана не полностью.")
                     + QLatin1Char('\n') + wholeWriteRemedy());
    if (noticeNotWritten || noticeRewriteWithheld)
        parts.append(tr("Изменения, сделанные во время отладки, не записаны в контроллер.")
                     + (noticeNotWritten ? notWrittenRemedy() : QString()));
    if (noticeRewriteWithheld && !noticeNotWritten)
        parts.last() += QLatin1Char('\n')
                        + tr("Они будут записаны вместе со следующим изменением; после остановки "
                             "отладки их запишет запись всей конфигурации (Устройство > "
                             "Записать конфигурацию).");
    // Edits told as not written will not be tried again.
    if (noticeRefused && !noticeNotWritten)
        parts.append(tr("Контроллер не принял изменения, сделанные во время отладки: они не "
                        "записаны в контроллер.")
                     + QLatin1Char('\n')
                     + tr("Программа попробует записать их снова вместе со следующим изменением "
                          "и при остановке отладки."));
    noticeRefused = false;
    if (noticeValuesNotWritten)
        parts.append(tr("Значения, заданные во время отладки, не записаны в контроллер."));
    noticeUnlocked.clear();
    noticeCommands.clear();
    noticeWithheld.clear();
    noticeRewriteWithheld = false;
    noticeReplaced.reset();
    noticeFound = ControllerIdentity();
    noticeLost.reset();
    noticeCut = false;
    noticeNotWritten = false;
    noticeStopNotSent.reset();
    noticeStopRefused.reset();
    noticeStopUnanswered = false;
    noticeValuesNotWritten = false;
    noticePosted = false;
    if (parts.isEmpty())
        return;
    noticeShowing = true;
    Prompts::current().information(title, parts.join(QStringLiteral("\n\n")));
    noticeShowing = false;
    // Told while the box was open: a box of its own, now that this one is closed.
    if (noticePosted)
        QMetaObject::invokeMethod(this, &DeviceOperation::showNotice, Qt::QueuedConnection);
}

void DeviceOperation::progressTimeout()
{
    progress.progressTimeout();
}

void DeviceOperation::onMonitoring()
{
    // Asked before the read, so the start's password, which follows it, is not asked about
    // again; the stop and every rewrite of an edit are asked about as their passwords go.
    if (!system || !checkMonitoringSupported(system->info().cpuId)
        || !mayUnlock(PasswordUse::MonitoringStart))
        return;
    monitoringRequested = true;
    read();
    modelChanged();
}

void DeviceOperation::offMonitoring()
{
    monitoringRequested = false;
    setMonitoringMode(false);
    modelChanged();
}

void DeviceOperation::endMonitoringBeforeQuestion()
{
    // A notice on its way from an end that is over is told before the question all the same.
    if (!monitoring && !monitoringEnding && !noticePosted)
        return;
    ++endJoined;
    if (monitoring)
        offMonitoring();
    // The first way out that waits sees the end through; one that comes during its wait (a
    // signal's close) waits for the same work, and the first finds it ended.
    if (monitoringEnding && waitForWork)
        waitForWork();
    monitoringEnding = false;
    --endJoined;
    // Told by whichever way out gets here first: a close that came in during another's wait
    // tells it before its own question, and the other has nothing more to tell.
    if (noticePosted) {
        const QScopedValueRollback<bool> asksNext(noticeAsksNext, true);
        tellNotice();
    }
}

void DeviceOperation::stopMonitoringMode()
{
    if (monitoring || monitoringRequested) {
        monitoringRequested = false;
        setMonitoringMode(false);
    }
    modelChanged();
}

void DeviceOperation::systemsUpdated()
{
    if (!pool || pool->activeSystem())
        return;
    const QList<LiveSystem::Ptr_t> systems = pool->systems();
    if (!systems.isEmpty())
        pool->selectSystem(systems.first()->id());
}

void DeviceOperation::systemSelected(LiveSystem::Ptr_t selected)
{
    system = std::move(selected);
    if (system && m_sysInfo) {
        // Disabled while no system was selected; the badge and the indicator follow the system.
        m_sysInfo->setEnabled(true);
        m_sysInfo->systemDetected(system->info());
        m_alarms->onAlarms(0, 0, 0);
    }
    modelChanged();
}

void DeviceOperation::onSystemChecked()
{
    if (system && m_sysInfo)
        m_sysInfo->systemUpdated(system->info());
}

void DeviceOperation::systemLost()
{
    // Monitoring ends with the system; unless another controller in its place says why, the
    // lost connection does.
    if (monitoring && system && system != noticeReplaced) {
        noticeLost = system;
        noteMonitoringEnded();
    }
    system.reset();
    // The configurator reports an abandoned write as failed, and first whether the controller
    // may have been left unlocked; without one nothing else will end the write now.
    if (!configurator)
        writing = false;
    // Also brings the actions in step with the lost system.
    stopMonitoringMode();
}

void DeviceOperation::onShowAlarms()
{
    qDebug() << "DEVOPS [Show alarms]" << static_cast<void*>(m_alarmDialog.data());
    if (m_alarmDialog) {
        m_alarmDialog->activateWindow();
        return;
    }
    m_alarmDialog = new AlrmsManager(alarmSet, qobject_cast<QWidget*>(parent()));
    connect(m_alarmDialog.data(), &QDialog::finished, this, &DeviceOperation::alarmDialogFinished);
    m_alarmDialog->show();
}

void DeviceOperation::alarmDialogFinished(int result)
{
    qDebug() << "DEVOPS [Finish alarms] result" << result;
    if (m_alarmDialog)
        m_alarmDialog->deleteLater();
    m_alarmDialog = nullptr;
}
