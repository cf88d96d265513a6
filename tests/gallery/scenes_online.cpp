// Scenes of the online half: the device tool bar with a detected controller and its alarm
// indicator, the alarm dialog with alarms, the configuration write progress, the notice of a
// monitoring command the controller did not take, what the user's stop of a password leaves
// undone, monitoring ended by another controller with edits unwritten, a stop refused or not
// confirmed, the notice before the save question, the wait that ends monitoring, and the progress
// of the close that settles the controllers, and what it and an operation under the password tell
// of the debts the settings keep.
#include "gallery.h"

#include "alarms/alarmsaction.h"
#include "alarms/alarmsprovider.h"
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "communication/controlrequest.h"
#include "model/systemmodel.h"
#include "shell/deviceoperation.h"
#include "shell/deviceshutdown.h"
#include "shell/onlinefixture.h"
#include "shell/qtprompts.h"
#include "shell/scriptedprompts.h"
#include "shell/writeprogress.h"
#include "support/simulatedcontroller.h"
#include "widgets/stylesource.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QTableWidget>
#include <QToolBar>

#include <memory>

namespace {

const DeviceType_t Controller = 0x0B0A140Au;

} // namespace

TAV_GALLERY_SCENES(online)
{
    const SettingsProvider& provider = SettingsProvider::instance();
    const QList<SimulatedController::BusDevice> bus{
        {Controller, 0, 240117, 9, 0, 77}, {provider.pexTypes.first(), 0, 240342, 2, 0, 1}};
    const LiveSystem::Ptr_t system = OnlineFixture::liveSystem(bus);

    // Controller: low supply voltage active; module: inputs 1 and 3 latched, output 2 masked.
    const QList<AlarmItem> items = Alarms::AlarmsProvider::decode(
        detectedDevices(system->info()),
        SimulatedController::wordBytes({0x0008, 0, 0, 0, 0, 0, 0x0008, 0, 0, 0, 0x0005, 0}),
        SimulatedController::wordBytes({0, 0, 0, 0, 0, 0x0002}));
    Alarms::SystemAlarms alarms;

    SystemModel model;
    DeviceOperation ops(&model, &alarms, nullptr, nullptr);
    ops.createActions();
    const std::unique_ptr<QToolBar> toolBar(new QToolBar);
    applyToolBarStyle(toolBar.get());
    toolBar->addActions(ops.toolBarActions());
    ops.systemSelected(system);
    ops.alarmsAction()->systemFound();
    alarms.setAlarms(items);
    toolBar->resize(520, 48);
    Gallery::save(toolBar.get(), outDir, "online_toolbar_detected_with_alarms");

    const std::unique_ptr<AlrmsManager> dialog(new AlrmsManager(&alarms));
    dialog->table()->selectRow(1);
    Gallery::save(dialog.get(), outDir, "online_alarmdialog_alarms");

    WriteProgress progress;
    progress.start(4);
    for (int i = 0; i < 5; ++i)
        progress.progressTimeout();
    Gallery::save(progress.dialog(), outDir, "online_writeprogress_running");
    progress.stop();

    // The start command not taken, and the handshake's clear withheld from another controller.
    {
        ScriptedPrompts prompts;
        ops.onCommandFailed(ControlRequest::MonitoringStarted);
        ops.onClearOwed(system);
        QCoreApplication::processEvents();
        const std::unique_ptr<QMessageBox> notice(QtPrompts::makeMessageBox(
            QMessageBox::Information, QCoreApplication::translate("DeviceOperation", "Мониторинг"),
            prompts.messages.value(0)));
        Gallery::save(notice.get(), outDir, "online_monitoringcommand_nottaken");
    }

    // What the user's stop at the question before a password leaves undone: a monitoring stop
    // and a rewrite not sent.
    {
        ScriptedPrompts prompts;
        ops.onCommandWithheld(ControlRequest::MonitoringStopped);
        QCoreApplication::processEvents();
        ops.onRewriteWithheld();
        QCoreApplication::processEvents();
        const std::unique_ptr<QMessageBox> stop(QtPrompts::makeMessageBox(
            QMessageBox::Information, QCoreApplication::translate("DeviceOperation", "Мониторинг"),
            prompts.messages.value(0)));
        Gallery::save(stop.get(), outDir, "online_monitoringstop_withheld");
        const std::unique_ptr<QMessageBox> rewrite(QtPrompts::makeMessageBox(
            QMessageBox::Information,
            QCoreApplication::translate("DeviceOperation", "Конфигурация"),
            prompts.messages.value(1)));
        Gallery::save(rewrite.get(), outDir, "online_rewrite_withheld");
    }

    // A rewrite the controller answered with a refusal while monitoring runs on.
    {
        ScriptedPrompts prompts;
        ops.onRewriteRefused();
        QCoreApplication::processEvents();
        const std::unique_ptr<QMessageBox> refused(QtPrompts::makeMessageBox(
            QMessageBox::Information,
            QCoreApplication::translate("DeviceOperation", "Конфигурация"),
            prompts.messages.value(0)));
        Gallery::save(refused.get(), outDir, "online_rewrite_refused");
    }

    // Monitoring ended by another controller answering in the monitored one's place, an edit's
    // rewrite still to go.
    {
        ScriptedPrompts prompts;
        ops.onMonitoring();
        ops.onLoaded(true);
        ops.onSystemReplaced(system, {240120, Controller});
        ops.onEditsNotWritten();
        QCoreApplication::processEvents();
        ops.offMonitoring();
        const std::unique_ptr<QMessageBox> replaced(QtPrompts::makeMessageBox(
            QMessageBox::Information, QCoreApplication::translate("DeviceOperation", "Мониторинг"),
            prompts.messages.value(0)));
        Gallery::save(replaced.get(), outDir, "online_monitoring_replaced");
    }

    // Monitoring ended by a line that went silent: the keep-alive lost the controller.
    {
        ScriptedPrompts prompts;
        ops.onMonitoring();
        ops.onLoaded(true);
        ops.systemLost();
        QCoreApplication::processEvents();
        ops.systemSelected(system);
        const std::unique_ptr<QMessageBox> lost(QtPrompts::makeMessageBox(
            QMessageBox::Information, QCoreApplication::translate("DeviceOperation", "Мониторинг"),
            prompts.messages.value(0)));
        Gallery::save(lost.get(), outDir, "online_monitoring_lost");
    }

    // A stop refused busy by the controller that took the start, and one it did not answer;
    // monitoring ended before the save question on a silent line, an edit's rewrite still to go.
    {
        ScriptedPrompts prompts;
        ops.onMonitoring();
        ops.onLoaded(true);
        ops.offMonitoring();
        ops.onCommandFailed(ControlRequest::MonitoringStopped, system);
        QCoreApplication::processEvents();
        ops.onMonitoring();
        ops.onLoaded(true);
        ops.offMonitoring();
        ops.onCommandFailed(ControlRequest::MonitoringStopped, system, false);
        QCoreApplication::processEvents();
        ops.onMonitoring();
        ops.onLoaded(true);
        ops.waitForWork = [&ops, &system] {
            ops.onStopNotSent(system);
            ops.onEditsNotWritten();
        };
        ops.endMonitoringBeforeQuestion();
        ops.waitForWork = nullptr;
        const char* names[] = {"online_monitoringstop_refused", "online_monitoringstop_unconfirmed",
                               "online_monitoring_endedbeforequestion"};
        for (int i = 0; i < 3; ++i) {
            const std::unique_ptr<QMessageBox> notice(QtPrompts::makeMessageBox(
                QMessageBox::Information,
                QCoreApplication::translate("DeviceOperation", "Мониторинг"),
                prompts.messages.value(i)));
            Gallery::save(notice.get(), outDir, names[i]);
        }
    }

    const std::unique_ptr<QProgressDialog> closing(DeviceShutdown::makeProgressDialog());
    Gallery::save(closing.get(), outDir, "online_closeprogress_settling");
    // The wait before New's, Open's or the close's question names what ends monitoring.
    const std::unique_ptr<QProgressDialog> ending(DeviceShutdown::makeProgressDialog(
        DeviceShutdown::endingText({240117, Controller}, true, true)));
    Gallery::save(ending.get(), outDir, "online_closeprogress_monitoring");

    // What the close keeps for a later run: more controllers than it names, and the settings
    // file refusing them.
    QList<ControllerIdentity> owed;
    for (quint32 serial = 31337; owed.size() < DeviceShutdown::NamedAtMost + 2; ++serial)
        owed.append({serial, Controller});
    const std::unique_ptr<QMessageBox> kept(QtPrompts::makeMessageBox(
        QMessageBox::Warning, QStringLiteral("Tav Configurator"),
        DeviceShutdown::keptText(owed, QString())));
    Gallery::save(kept.get(), outDir, "online_closekept_many");
    const std::unique_ptr<QMessageBox> notKept(QtPrompts::makeMessageBox(
        QMessageBox::Warning, QStringLiteral("Tav Configurator"),
        DeviceShutdown::keptText(
            owed.mid(0, 1), QStringLiteral("/home/operator/.config/Brelvox/Tav Configurator.conf"))));
    Gallery::save(notKept.get(), outDir, "online_closekept_unwritable");

    // The question before a password goes out that the settings file does not keep as owed, for
    // each operation that sends one; the file's path is longer than the box's usual width.
    const QString settingsFile =
        QStringLiteral("/home/alexandra.konstantinova/.config/Brelvox/Tav Configurator.conf");
    const QList<QPair<PasswordUse, const char*>> uses{
        {PasswordUse::Write, "online_unkeptahead_question"},
        {PasswordUse::Rewrite, "online_unkeptahead_rewritequestion"},
        {PasswordUse::MonitoringStart, "online_unkeptahead_startquestion"},
        {PasswordUse::MonitoringStop, "online_unkeptahead_stopquestion"}};
    for (const auto& use : uses) {
        const std::unique_ptr<QMessageBox> asked(QtPrompts::makeQuestionBox(
            QStringLiteral("Tav Configurator"),
            DeviceShutdown::unkeptAheadText(31337, settingsFile, use.first),
            DeviceShutdown::unkeptAheadButtons(use.first), 1, 1));
        Gallery::save(asked.get(), outDir, use.second);
    }
}
