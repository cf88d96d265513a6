#include "shell/deviceshutdown.h"

#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "shell/prompts.h"
#include "widgets/stylesource.h"
#include "widgets/sysinfowidget.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
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
QString storedForm(const DevicePool::Identity_t& owed)
{
    return QStringLiteral("%1:%2").arg(owed.first).arg(owed.second);
}

bool parseStored(const QString& text, DevicePool::Identity_t* owed)
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
                               QObject* parent)
    : QObject(parent)
    , pool(devicePool)
    , configurator(deviceConfigurator)
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
    QList<DevicePool::Identity_t> owed;
    for (const QString& text : QSettings().value(OwedClearsKey).toStringList()) {
        DevicePool::Identity_t identity;
        // A damaged entry names no controller; the others are still paid.
        if (parseStored(text, &identity))
            owed.append(identity);
    }
    pool->restoreOwedClears(owed);
}

void DeviceShutdown::settle()
{
    // A monitoring handshake holds the keep-alive off from its password to its clear, as a write
    // does.
    const bool working = configurator->isWorking() || !pool->isKeepAliveEnabled();
    if (working || !pool->owedClears().isEmpty()) {
        Busy busy;
        if (working)
            waitForWrites();
        payOwed();
    }
    keep();
}

void DeviceShutdown::waitForWrites()
{
    // A write's answer to the user comes before its keep-alive is let go.
    waitUntil([this] { return !configurator->isWorking() && pool->isKeepAliveEnabled(); },
              WriteWaitMs);
    if (configurator->isWorking()) {
        qDebug() << "DevShutdown, Error! Writes did not end, they are given up";
        // Each owes its clear, paid below or kept.
        configurator->systemLost();
    }
}

void DeviceShutdown::payOwed()
{
    if (pool->owedClears().isEmpty())
        return;
    pool->payOwedClearsNow();
    waitUntil([this] { return !pool->isPayingOwedClears(); }, ClearWaitMs);
}

void DeviceShutdown::waitUntil(const std::function<bool()>& done, int capMs)
{
    // The answers arrive through the event loop; the user's clicks and keys wait for the end.
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&done, &loop] {
        if (done())
            loop.quit();
    });
    QTimer cap;
    cap.setSingleShot(true);
    connect(&cap, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(ClearPollMs);
    cap.start(capMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QStringList DeviceShutdown::store()
{
    QStringList stored;
    for (const DevicePool::Identity_t& identity : pool->owedClears())
        stored.append(storedForm(identity));
    QSettings settings;
    if (stored.isEmpty())
        settings.remove(OwedClearsKey);
    else
        settings.setValue(OwedClearsKey, stored);
    return stored;
}

void DeviceShutdown::keep()
{
    const QStringList stored = store();
    if (stored.isEmpty())
        return;
    QStringList serials;
    for (const DevicePool::Identity_t& identity : pool->owedClears())
        serials.append(SysInfoWidget::serialNumberText(identity.first));
    qDebug() << "DevShutdown, Warning! Password clears kept for a later run:" << stored;
    Prompts::current().warning(
        ApplicationTitle,
        tr("Контроллеры, которые, возможно, остались разблокированными:\n%1\n\n"
           "Каждый из них будет заблокирован, когда программа найдёт его снова, "
           "в том числе при следующем запуске.")
            .arg(serials.join(QLatin1Char('\n'))));
}
