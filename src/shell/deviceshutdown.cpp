#include "shell/deviceshutdown.h"

#include "communication/communication.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "model/korcpu.h"
#include "shell/prompts.h"
#include "widgets/stylesource.h"
#include "widgets/sysinfowidget.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>

#include <memory>

namespace {

const QString OwedClearsKey = QStringLiteral("owedPasswordClears");
const QString ApplicationTitle = QStringLiteral("Tav Configurator");
// How often a wait looks whether the writes, handshakes or clears it waits for have ended.
constexpr int ClearPollMs = 20;

// "serial:type", one entry per controller.
QString storedForm(const ControllerIdentity& owed)
{
    return QStringLiteral("%1:%2").arg(owed.first).arg(owed.second);
}

bool parseStored(const QString& text, ControllerIdentity* owed)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    bool serialOk = false;
    bool typeOk = false;
    if (parts.size() == 2) {
        owed->first = parts[0].toUInt(&serialOk);
        owed->second = parts[1].toUInt(&typeOk);
    }
    return serialOk && typeOk;
}

// A controller block of either brand carries this identity; no controller answers with another.
bool canBeFound(const ControllerIdentity& owed)
{
    return owed.first != 0 && owed.second != 0 && KorCpu::typeOfAnyVendor(owed.second);
}

// The first stored entry naming the controller, -1 when none does.
int indexOf(const QStringList& entries, const ControllerIdentity& owed)
{
    for (int i = 0; i < entries.size(); ++i) {
        ControllerIdentity stored;
        if (parseStored(entries.at(i), &stored) && stored == owed)
            return i;
    }
    return -1;
}

// Every copy of the program reads, changes and writes the kept entries while it holds this lock,
// so none writes over another's change between its read and its write. The settings lock their
// file under another name while they write it.
class KeptEntries
{
public:
    // Longer than any other copy holds it; a copy killed while holding it leaves it stale, and
    // the lock is taken over at once.
    static constexpr int LockWaitMs = 5000;

    KeptEntries()
        // The user's own file alone, where the program writes: its status then tells of this
        // file's reading and writing only.
        : settings(QSettings().fileName(), QSettings::IniFormat)
        , lock(settings.fileName() + QStringLiteral(".owedclears.lock"))
    {
        // The lock lies beside the settings, which make their folder only when they first write.
        QDir().mkpath(QFileInfo(settings.fileName()).absolutePath());
        locked = lock.tryLock(LockWaitMs);
        // What other copies wrote since these settings were read.
        settings.sync();
    }

    bool isLocked() const { return locked; }
    QStringList entries() const { return settings.value(OwedClearsKey).toStringList(); }

    // False when the settings could not be written.
    bool write(const QStringList& entries)
    {
        if (entries.isEmpty())
            settings.remove(OwedClearsKey);
        else
            settings.setValue(OwedClearsKey, entries);
        settings.sync();
        return settings.status() == QSettings::NoError;
    }

    bool isReadable() const { return settings.status() == QSettings::NoError; }
    QString fileName() const { return QDir::toNativeSeparators(settings.fileName()); }

private:
    QSettings settings;
    QLockFile lock;
    bool locked = false;
};

// The wait in a cursor and a dialog the user sees; both go with it.
class Busy
{
public:
    Busy()
        : dialog(DeviceShutdown::makeProgressDialog())
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        dialog->show();
    }
    ~Busy() { QApplication::restoreOverrideCursor(); }

private:
    const std::unique_ptr<QProgressDialog> dialog;
};

} // namespace

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

QProgressDialog* DeviceShutdown::makeProgressDialog()
{
    auto* dialog = new QProgressDialog(nullptr, Qt::WindowFlags());
    // The dialog sizes itself to its text in the style's font.
    applyProgressDialogStyle(dialog);
    dialog->setWindowTitle(ApplicationTitle);
    dialog->setLabelText(tr("Завершение работы\nс контроллером..."));
    dialog->setCancelButton(nullptr);
    // No end is known beforehand: the bar runs to and fro.
    dialog->setRange(0, 0);
    dialog->setMinimumDuration(0);
    return dialog;
}

void DeviceShutdown::restore()
{
    KeptEntries settings;
    QList<ControllerIdentity> owed;
    QStringList findable;
    QStringList dropped;
    for (const QString& text : settings.entries()) {
        ControllerIdentity identity;
        // A damaged entry, or one no controller can answer to, would be kept for ever; the
        // others are still paid.
        if (parseStored(text, &identity) && canBeFound(identity)) {
            owed.append(identity);
            findable.append(text);
        } else {
            dropped.append(text);
        }
    }
    if (!dropped.isEmpty()) {
        qDebug() << "DevShutdown, Warning! Kept password clears that no controller can answer to "
                    "are dropped:"
                 << dropped;
        if (settings.isLocked())
            settings.write(findable);
    }
    kept = QSet<ControllerIdentity>(owed.cbegin(), owed.cend());
    pool->restoreOwedClears(owed);
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
    const QList<ControllerIdentity> owed = pool->owedClears();
    KeptEntries settings;
    bool ok = settings.isLocked() && settings.isReadable();
    if (ok) {
        const QStringList before = settings.entries();
        QStringList entries = before;
        // What this copy paid, or owed ahead and let go; another copy's entries stay.
        for (auto it = kept.begin(); it != kept.end();) {
            if (owed.contains(*it)) {
                ++it;
                continue;
            }
            int at = indexOf(entries, *it);
            for (; at >= 0; at = indexOf(entries, *it))
                entries.removeAt(at);
            it = kept.erase(it);
        }
        // Also when another copy paid it meanwhile: this one owes it again.
        for (const ControllerIdentity& identity : owed) {
            if (indexOf(entries, identity) >= 0)
                continue;
            entries.append(storedForm(identity));
            kept.insert(identity);
        }
        if (entries != before)
            ok = settings.write(entries);
    }
    storeFailure = ok ? QString() : settings.fileName();
    if (!ok)
        qDebug() << "DevShutdown, Error! Owed password clears cannot be kept in the settings:"
                 << settings.fileName() << "locked" << settings.isLocked();
    return ok;
}

void DeviceShutdown::keep()
{
    const bool stored = store();
    const QList<ControllerIdentity> owed = pool->owedClears();
    if (owed.isEmpty())
        return;
    QStringList entries;
    for (const ControllerIdentity& identity : owed)
        entries.append(storedForm(identity));
    qDebug() << (stored ? "DevShutdown, Warning! Password clears kept for a later run:"
                        : "DevShutdown, Error! Password clears owed and not kept:")
             << entries;
    Prompts::current().warning(ApplicationTitle, keptText(owed, storeFailure));
}

QString DeviceShutdown::keptText(const QList<ControllerIdentity>& owed,
                                 const QString& unwritable)
{
    QStringList serials;
    for (int i = 0; i < owed.size() && i < NamedAtMost; ++i)
        serials.append(SysInfoWidget::serialNumberText(owed.at(i).first));
    // Thousands of lines would make a box no screen holds.
    if (owed.size() > NamedAtMost)
        serials.append(tr("Ещё контроллеров: %1").arg(owed.size() - NamedAtMost));
    const QString remedy =
        unwritable.isEmpty()
            ? tr("Каждый из них будет заблокирован, когда программа найдёт его снова, "
                 "в том числе при следующем запуске.")
            : tr("Сохранить это в настройках программы не удалось (файл %1), и при следующем "
                 "запуске программа их не заблокирует. Чтобы заблокировать контроллер, найдите "
                 "его в программе и запишите в него конфигурацию снова (Устройство > Записать "
                 "конфигурацию).")
                  .arg(unwritable);
    return tr("Контроллеры, которые, возможно, остались разблокированными:\n%1")
               .arg(serials.join(QLatin1Char('\n')))
           + QStringLiteral("\n\n") + remedy;
}
