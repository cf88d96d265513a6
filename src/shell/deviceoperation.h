#pragma once

#include "communication/controlleridentity.h"
#include "communication/livesystem.h"
#include "communication/passworduse.h"
#include "shell/abstractoperations.h"
#include "shell/writeprogress.h"

#include <QKeySequence>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class AlarmsAction;
class AlrmsManager;
class DeviceConfigurator;
class DevicePool;
class MonitorAction;
class QAction;
class SysInfoAction;
class SystemModel;

namespace Alarms {
class SystemAlarms;
}

// The Device menu and the device half of the tool bar: reads the selected controller's
// configuration, writes the edited one into it behind a progress dialog, switches monitoring on
// and off, keeps the system badge and the alarm indicator in step with the detected systems and
// opens the alarm dialog. Reading and writing go through the device configurator, detection and
// selection come from the device pool; the main window acts on the monitoring mode announced here.
class DeviceOperation : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    // Controllers emulated in software that cannot take part in everything.
    static constexpr quint32 NoConfigurationEmulator = 20020;
    static constexpr quint32 NoMonitoringEmulator = 20021;

    DeviceOperation(SystemModel* model, Alarms::SystemAlarms* alarms, DevicePool* pool,
                    DeviceConfigurator* configurator, QObject* parent = nullptr);
    ~DeviceOperation() override;

    // Asks whether unsaved changes are to be saved; true when the caller may go on.
    std::function<bool(const QString&)> saveQuestion;
    // Keeps the controller as owing its password clear before an operation sends it the
    // password, and asks the user when that cannot be done; true when the operation may go on.
    std::function<bool(const ControllerIdentity&, PasswordUse)> keepOwedAhead;
    // Runs the event loop, within bounds, until the work on its way to the controllers has
    // ended: what the user is told about it can then come before anything the user is asked.
    std::function<void()> waitForWork;
    // What the end of monitoring on its way waits for (the rewrite of the edits, the stop),
    // whoever began it; empty once nothing is on its way.
    std::function<QString()> endOnItsWay;

    void createActions();

    enum Action { StartMenu, StopMenu, StartToolBar, Read, Write, ActionCount };
    QAction* action(Action which) const { return m_actions[which]; }
    MonitorAction* monitorAction() const { return m_monitor; }
    SysInfoAction* sysInfoAction() const { return m_sysInfo; }
    AlarmsAction* alarmsAction() const { return m_alarms; }
    const WriteProgress& writeProgress() const { return progress; }

    // A controller that cannot take the operation is told to the user; false then.
    static bool checkConfigSupported(quint32 cpuId);
    static bool checkMonitoringSupported(quint32 cpuId);
    // What the user is told about a controller that may still be unlocked: whether it is still
    // connected, and whether the program is closing, decide when its password is cleared.
    static QString unlockedText(bool connected, bool closing);
    // How a controller's configuration that cannot be read back is mended.
    static QString wholeWriteRemedy();
    // A controller as the messages name it: its model, when the catalogue knows its type, and
    // its serial number; two controllers of different types may share a serial number.
    static QString controllerText(const ControllerIdentity& controller);

    bool isMonitoring() const { return monitoring; }
    bool isMonitoringRequested() const { return monitoringRequested; }
    bool isWriting() const { return writing; }
    const QString& loadedKey() const { return m_loadedKey; }

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

signals:
    void monitoringMode(bool on);
    void configLoaded(bool ok);
    void aboutToWrite();
    // What the end of monitoring on its way waits for, each time that changes; empty once it is
    // over.
    void endingShown(const QString& waited);

public slots:
    void stopMonitoringMode();
    void modelChanged();
    void systemsUpdated();
    void systemLost();
    void systemSelected(LiveSystem::Ptr_t system);
    void onSystemChecked();
    void onMonitoring();
    void offMonitoring();
    // Monitoring ends before a question whose answer could throw away its edits: the edits still
    // to be rewritten and the stop go out, and once they have ended, what did not reach the
    // controller is told in one notice. An end already under way, whoever started it (Device >
    // Stop, the loss, another way out whose wait this one came in during), is joined, not
    // started again or skipped.
    void endMonitoringBeforeQuestion();
    void read();
    void write();
    void onLoaded(bool ok);
    void onWritten(bool ok);
    void onShowAlarms();
    void progressTimeout();
    void onClearOwed(LiveSystem::Ptr_t owing);
    // Another controller was found in the place of one working under the password after the
    // password went out: it may hold the password now.
    void onClearOwedByAnother(ControllerIdentity owing);
    void onRewriteCut();
    void onEditsNotWritten();
    // Values the user set while monitoring did not reach the controller.
    void onValuesNotWritten();
    // A monitoring start (103) or stop (104) command `controller` did not take: it said no
    // (`refused`), or its answer never came.
    void onCommandFailed(int command, LiveSystem::Ptr_t controller = LiveSystem::Ptr_t(),
                         bool refused = true);
    // A monitoring command or a rewrite not sent: the user stopped its password.
    void onCommandWithheld(int command);
    void onRewriteWithheld();
    // The controller refused a rewrite while monitoring: the edits stay unwritten.
    void onRewriteRefused();
    // The stop did not reach the controller, which stays in monitoring mode if it took the start.
    void onStopNotSent(LiveSystem::Ptr_t stopped);
    // Another controller, `found`, answers in the place of `lost`, whose loss comes next.
    void onSystemReplaced(LiveSystem::Ptr_t lost, ControllerIdentity found);

private:
    static QIcon makeActionIcon(const QString& name);
    QAction* makeAction(const QIcon& icon, const std::function<void()>& work,
                        const QKeySequence& shortcut = {});
    void setMonitoringMode(bool on);
    bool systemMatchesConfiguration() const;
    bool fastDinLayoutMatches() const;
    bool askFastDinMismatch() const;
    // Every operation that sends the selected controller its password asks here first.
    bool mayUnlock(PasswordUse use) const;
    void alarmDialogFinished(int result);
    void allDisabled();
    // Gathers what one sequence's end tells into a single message.
    void postNotice();
    // Shown from the event loop, unless a way out is waiting to tell it before its question.
    void showNotice();
    void tellNotice();
    QString unlockedText(const LiveSystem::Ptr_t& owing) const;
    // The same, naming the controller by its model and serial number: two controllers of
    // different types may share a serial number.
    QString unlockedOtherText(const ControllerIdentity& controller,
                              const LiveSystem::Ptr_t& owing = LiveSystem::Ptr_t()) const;
    // What the user can do with edits that monitoring's end left unwritten.
    QString notWrittenRemedy() const;
    // A stop the controller refused, or did not answer: it stays, or may stay, in monitoring
    // mode if it took the start.
    QString stopRefusedText(const LiveSystem::Ptr_t& refused, bool unanswered) const;
    // The notice comes right before the save question, whose answer decides what becomes of the
    // window's edits.
    bool beforeQuestion() const;
    // Monitoring ended with its controller gone: told with what the controller is left with.
    void noteMonitoringEnded();
    // Looks whether the end of monitoring is still on its way; once it is over, what it told comes
    // up in one box.
    void followEnd();

    SystemModel* model;
    Alarms::SystemAlarms* alarmSet;
    DevicePool* pool;
    DeviceConfigurator* configurator;
    QAction* m_actions[ActionCount] = {};
    MonitorAction* m_monitor = nullptr;
    SysInfoAction* m_sysInfo = nullptr;
    AlarmsAction* m_alarms = nullptr;
    QPointer<AlrmsManager> m_alarmDialog;
    QList<QAction*> toolBarList;
    QList<QAction*> menuList;
    bool monitoring = false;
    bool monitoringRequested = false;
    // From the start of a write until its answer: a second write must not overlap it.
    bool writing = false;
    // The write on its way left the controller's password set, as far as anyone knows: what the
    // user is told about it.
    // The controller the write left owing its clear; told as things stand when it is answered.
    bool leftUnlocked = false;
    LiveSystem::Ptr_t leftUnlockedBy;
    // The write's answer names them: controllers found in the written one's place after the
    // password went out.
    QString leftUnlockedOthers;
    // What the end of a rewrite while monitoring has to tell, gathered until it is shown: the
    // controllers that may still be unlocked.
    QMap<ControllerIdentity, LiveSystem::Ptr_t> noticeUnlocked;
    QList<int> noticeCommands;
    QList<int> noticeWithheld;
    // The running monitoring's start command was not refused, unanswered or withheld: a
    // monitoring that ends with its controller gone leaves it in monitoring mode.
    bool monitoringStartTaken = false;
    bool noticeRewriteWithheld = false;
    // Monitoring ended because `noticeFound` answers in the place of the monitored controller.
    LiveSystem::Ptr_t noticeReplaced;
    ControllerIdentity noticeFound;
    // Monitoring ended because the connection to this controller was lost.
    LiveSystem::Ptr_t noticeLost;
    bool noticeCut = false;
    bool noticeNotWritten = false;
    bool noticeRefused = false;
    // The controller that the stop of a monitoring it took the start of did not reach.
    LiveSystem::Ptr_t noticeStopNotSent;
    // The controller that refused the stop, or did not answer it.
    LiveSystem::Ptr_t noticeStopRefused;
    bool noticeStopUnanswered = false;
    bool noticeValuesNotWritten = false;
    bool noticePosted = false;
    // From the stop of monitoring, whoever stopped it, until a way out has waited for what the
    // stop still had on its way: a question that comes meanwhile waits for the same end.
    bool monitoringEnding = false;
    // Ways out waiting for that end before their questions, one inside another's wait when a
    // signal closes the window meanwhile: what the end tells is gathered into one notice for
    // the first question.
    int endJoined = 0;
    // The gathered notice is being shown, and the question comes next.
    bool noticeAsksNext = false;
    // One notice at a time: the next comes once the open one is closed.
    bool noticeShowing = false;
    // From the stop of monitoring until nothing of its end is on its way: nothing new starts
    // meanwhile, and what the end tells waits for it.
    bool endUnderWay = false;
    QString endWaited;
    QTimer endWatch;
    LiveSystem::Ptr_t system;
    QString m_loadedKey;
    WriteProgress progress;
};
