#include "shell/deviceshutdown.h"

#include "communication/communication.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "shell/deviceoperation.h"
#include "shell/prompts.h"
#include "widgets/stylesource.h"
#include "widgets/sysinfowidget.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

const QString ApplicationTitle = QStringLiteral("Tav Configurator");
// How often a wait looks whether the writes, handshakes or clears it waits for have ended.
constexpr int ClearPollMs = 20;

// The wait in a cursor and a dialog the user sees; both go with it.
class Busy
{
public:
    explicit Busy(const QString& waited = QString())
        : dialog(DeviceShutdown::makeProgressDialog(waited))
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        dialog->show();
    }
    ~Busy() { hide(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

    // Over for the user before the wait returns: what came in during it has the screen.
    void hide()
    {
        if (!std::exchange(shown, false))
            return;
        dialog->hide();
        QApplication::restoreOverrideCursor();
    }

private:
    const std::unique_ptr<QProgressDialog> dialog;
    bool shown = true;
};

} // namespace

struct DeviceShutdown::WorkWait
{
    WorkWait(int ms, const QString& waited)
        : cap(ms)
        , busy(waited)
    {
    }
    const QDeadlineTimer cap;
    Busy busy;
};

DeviceShutdown::DeviceShutdown(DevicePool* devicePool, DeviceConfigurator* deviceConfigurator,
                               Communication* deviceCommunication, QObject* parent)
    : QObject(parent)
    , pool(devicePool)
    , configurator(deviceConfigurator)
    , communication(deviceCommunication)
{
    // Kept as they arise, not only at the close: a program that never gets to its close (killed,
    // the machine switched off) still pays them in its next run.
    connect(pool, &DevicePool::owedClearsChanged, this, &DeviceShutdown::store);
}

QProgressDialog* DeviceShutdown::makeProgressDialog(const QString& waited)
{
    auto* dialog = new QProgressDialog(nullptr, Qt::WindowFlags());
    // The dialog sizes itself to its text in the style's font.
    applyProgressDialogStyle(dialog);
    dialog->setWindowTitle(ApplicationTitle);
    // A window closed during the wait ends the program: the dialog, still shown until the wait
    // returns, must not count as its last window.
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    dialog->setLabelText(waited.isEmpty() ? tr("Завершение работы\nс контроллером...") : waited);
    dialog->setCancelButton(nullptr);
    // No end is known beforehand: the bar runs to and fro.
    dialog->setRange(0, 0);
    dialog->setMinimumDuration(0);
    return dialog;
}

QString DeviceShutdown::endingText(const ControllerIdentity& controller, bool rewrite, bool stop)
{
    if (controller == ControllerIdentity() || !(rewrite || stop))
        return QString();
    const QString named = DeviceOperation::controllerText(controller);
    if (rewrite && stop)
        return tr("Завершение отладки на контроллере %1:\nзапись изменений, сделанных во время "
                  "отладки,\nи команда остановки...")
            .arg(named);
    if (rewrite)
        return tr("Завершение отладки на контроллере %1:\nзапись изменений, сделанных во время "
                  "отладки...")
            .arg(named);
    return tr("Завершение отладки на контроллере %1:\nкоманда остановки...").arg(named);
}

void DeviceShutdown::restore()
{
    pool->restoreOwedClears(owedStore.restore());
}

void DeviceShutdown::settle()
{
    // The edits waiting for their rewrite go before the gate shuts: after it only password clears
    // reach a controller, so whatever runs in the waits below (timers, answers, the loss of a
    // port) starts nothing that would take a password and be dropped with the program.
    const bool rewriteDue = configurator->isReconfigurationPending();
    configurator->close();
    communication->admitOnlyPasswordClears();
    // A rewrite that could not go is told through the event loop, which the waits below run.
    if (!rewriteDue && isSettled() && pool->owedClears().isEmpty()) {
        keep();
        return;
    }
    Busy busy;
    const QDeadlineTimer writes(writeWaitMs);
    // Also bounds a wait that nothing else does, such as a hold its sender never lets go.
    QDeadlineTimer clears(writeWaitMs + clearWaitMs);
    bool givenUp = false;
    // Each debt is paid once here; one that fails again is retried by the pool while the clears'
    // cap lasts, and kept after it.
    QList<ControllerIdentity> tried;
    const auto owesUntried = [this, &tried] {
        for (const ControllerIdentity& owed : pool->owedClears()) {
            if (!tried.contains(owed))
                return true;
        }
        return false;
    };
    // One condition, looked at again after every wait: what the event loop ran meanwhile may
    // have ended work, started a clear or left a debt.
    for (;;) {
        if (isWorking() && !givenUp && writes.hasExpired()) {
            giveUpWrites();
            givenUp = true;
            clears.setRemainingTime(clearWaitMs);
        }
        const bool waitingForWork = isWorking() && !givenUp;
        // A clear in the middle of someone's work under the password would make the controller
        // refuse the rest of it: the debts are paid once the work is over.
        if (!waitingForWork && owesUntried()) {
            tried = pool->owedClears();
            pool->payOwedClearsNow();
            clears.setRemainingTime(clearWaitMs);
        }
        waitUntil([this] { return isSettled(); }, waitingForWork ? writes : clears);
        if (!waitingForWork && clears.hasExpired())
            break;
        if (isSettled() && !owesUntried())
            break;
    }
    keep();
}

void DeviceShutdown::finishWork()
{
    // A wait that comes in during another (a signal's close during New's) waits for the same
    // work within the same cap, behind the dialog already shown. The other wait is over once
    // this one is, and what comes next is the close's own (its notice, its question, the save
    // dialog): the wait it interrupted shows no longer, neither its dialog nor its cursor.
    if (workWait) {
        if (isWorking())
            waitUntil([this] { return !isWorking(); }, workWait->cap);
        workWait->busy.hide();
        return;
    }
    if (!isWorking())
        return;
    WorkWait wait(EndWaitMs, endingNow());
    workWait = &wait;
    waitUntil([this] { return !isWorking(); }, wait.cap);
    workWait = nullptr;
}

bool DeviceShutdown::isEndOnItsWay() const
{
    return isWorking() || (stopOnItsWay && stopOnItsWay());
}

QString DeviceShutdown::endingNow() const
{
    const LiveSystem::Ptr_t controller = configurator->system();
    const QString waited = endingText(
        controller ? ControllerIdentity(controller->info().kernelSn, controller->info().cpuId)
                   : ControllerIdentity(),
        configurator->isWorking() || configurator->isReconfigurationPending(),
        stopOnItsWay && stopOnItsWay());
    return waited.isEmpty() ? tr("Завершение работы\nс контроллером...") : waited;
}

bool DeviceShutdown::isWorking() const
{
    // A monitoring handshake holds the keep-alive off from its password to its clear, as a write
    // does.
    return configurator->isWorking() || configurator->isReconfigurationPending()
           || !pool->isKeepAliveEnabled();
}

bool DeviceShutdown::isSettled() const
{
    return !isWorking() && !pool->isPayingOwedClears();
}

void DeviceShutdown::giveUpWrites()
{
    if (!configurator->isWorking())
        return;
    qDebug() << "DevShutdown, Error! Writes did not end, they are given up";
    // Each owes its clear, paid below or kept; nothing more of it is sent.
    configurator->systemLost();
}

void DeviceShutdown::waitUntil(const std::function<bool()>& done, const QDeadlineTimer& cap)
{
    // The answers arrive through the event loop; the user's clicks and keys wait for the end.
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&done, &loop] {
        if (done())
            loop.quit();
    });
    QTimer stop;
    stop.setSingleShot(true);
    connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(ClearPollMs);
    stop.start(int(qMax<qint64>(0, cap.remainingTime())));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool DeviceShutdown::store()
{
    return storeOwed(pool->owedClears());
}

bool DeviceShutdown::storeOwed(const QList<ControllerIdentity>& owed)
{
    const OwedClearStore::Outcome outcome = owedStore.store(owed);
    storeFailure = outcome.ok ? QString() : outcome.fileName;
    return outcome.ok;
}

bool DeviceShutdown::mayUnlock(const ControllerIdentity& controller, PasswordUse use)
{
    const bool goOn = keepAheadOrAsk(controller, use);
    agreed = goOn ? controller : ControllerIdentity();
    return goOn;
}

bool DeviceShutdown::passwordMayGo(const ControllerIdentity& controller, PasswordUse use)
{
    if (std::exchange(agreed, ControllerIdentity()) == controller)
        return true;
    // A controller the program lost while monitoring still gets the stop, which no channel
    // carries: a question would ask about nothing.
    if (!pool->isFound(controller))
        return true;
    return keepAheadOrAsk(controller, use);
}

bool DeviceShutdown::keepAheadOrAsk(const ControllerIdentity& controller, PasswordUse use)
{
    QList<ControllerIdentity> owed = pool->owedClears();
    if (!owed.contains(controller))
        owed.append(controller);
    bool goOn = storeOwed(owed);
    if (!goOn) {
        goOn = Prompts::current().question(ApplicationTitle,
                                           unkeptAheadText(controller.first, storeFailure, use),
                                           unkeptAheadButtons(use), 1, 1)
               == 0;
        qDebug() << "DevShutdown, Warning! The settings cannot keep the password clear owed "
                    "ahead, the user goes on:"
                 << goOn;
    }
    // Kept until the next store after the operation: a run that ends before it pays a clear
    // that was not owed, which leaves the controller as locked as it was.
    return goOn;
}

QStringList DeviceShutdown::unkeptAheadButtons(PasswordUse use)
{
    switch (use) {
    case PasswordUse::Write:
        return {tr("Записать"), tr("Не записывать")};
    case PasswordUse::Rewrite:
        return {tr("Записать изменения"), tr("Не записывать")};
    case PasswordUse::MonitoringStart:
        return {tr("Начать отладку"), tr("Не начинать")};
    case PasswordUse::MonitoringStop:
        break;
    }
    return {tr("Отправить команду"), tr("Не отправлять")};
}

QString DeviceShutdown::unkeptAheadText(quint32 serial, const QString& unwritable,
                                        PasswordUse use)
{
    QString asked;
    switch (use) {
    case PasswordUse::Write:
        asked = tr("Записать конфигурацию в контроллер?");
        break;
    case PasswordUse::Rewrite:
        asked = tr("Записать в контроллер изменения, сделанные во время отладки?");
        break;
    case PasswordUse::MonitoringStart:
        asked = tr("Начать отладку?");
        break;
    case PasswordUse::MonitoringStop:
        // Monitoring ends in the window either way; the controller is what the answer decides.
        asked = tr("Отправить контроллеру команду остановки отладки? Если её не отправить, "
                   "контроллер останется в режиме отладки.");
        break;
    }
    // The path stands on a line of its own, where the box shows it whole.
    return tr("Программа не может отметить в своих настройках, что контроллер %2 будет "
              "разблокирован на время этой операции. Файл настроек:\n%1\nЕсли программа "
              "завершится аварийно во время операции, контроллер может остаться "
              "разблокированным, и при следующем запуске программа об этом не узнает.")
               .arg(unwritable, SysInfoWidget::serialNumberText(serial))
           + QStringLiteral("\n\n") + asked;
}

void DeviceShutdown::keep()
{
    const bool stored = store();
    const QList<ControllerIdentity> owed = pool->owedClears();
    if (owed.isEmpty())
        return;
    QStringList entries;
    for (const ControllerIdentity& identity : owed)
        entries.append(OwedClearStore::storedForm(identity));
    qDebug() << (stored ? "DevShutdown, Warning! Password clears kept for a later run:"
                        : "DevShutdown, Error! Password clears owed and not kept:")
             << entries;
    Prompts::current().warning(ApplicationTitle, keptText(owed, storeFailure));
}

QString DeviceShutdown::keptText(const QList<ControllerIdentity>& owed,
                                 const QString& unwritable)
{
    QStringList named;
    for (int i = 0; i < owed.size() && i < NamedAtMost; ++i)
        named.append(DeviceOperation::controllerText(owed.at(i)));
    // Thousands of lines would make a box no screen holds.
    if (owed.size() > NamedAtMost)
        named.append(tr("Ещё контроллеров: %1").arg(owed.size() - NamedAtMost));
    const QString remedy =
        unwritable.isEmpty()
            ? tr("Каждый из них будет заблокирован, когда программа найдёт его снова, "
                 "в том числе при следующем запуске.")
            : tr("Сохранить это в настройках программы не удалось, и при следующем запуске "
                 "программа их не заблокирует. Файл настроек:\n%1\nЧтобы заблокировать "
                 "контроллер, найдите его в программе и запишите в него конфигурацию снова "
                 "(Устройство > Записать конфигурацию).")
                  .arg(unwritable);
    return tr("Контроллеры, которые, возможно, остались разблокированными:\n%1")
               .arg(named.join(QLatin1Char('\n')))
           + QStringLiteral("\n\n") + remedy;
}
