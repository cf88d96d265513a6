// The firmware upgrade dialog: its title, what it shows of the connected controller, and the
// services reaching its manager only while it runs.
#include "communication/communication.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "model/systemmodel.h"
#include "shell/prompts.h"
#include "shell/upgradehookup.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "upgrade/upgrademanager.h"
#include "widgets/infowidget.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {

// Runs a check in place of the user while the dialog is modal.
class RunningPrompts : public Prompts
{
public:
    RunningPrompts() { Prompts::install(this); }
    ~RunningPrompts() override { Prompts::install(nullptr); }

    std::function<void()> whileOpen;

    int question(const QString&, const QString&, const QStringList&, int, int) override { return -1; }
    void information(const QString&, const QString&) override {}
    void warning(const QString&, const QString&) override {}
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    int exec(QDialog* dialog) override
    {
        dialog->show();
        if (whileOpen)
            whileOpen();
        dialog->hide();
        return QDialog::Rejected;
    }
};

} // namespace

class UpgradeHookupTest : public QObject
{
    Q_OBJECT

private slots:
    void titleMarksTheEndlessUpgrade()
    {
        QScopedPointer<UpgradeFirmwareDialog> plain(UpgradeHookup::createDialog(nullptr, false));
        QCOMPARE(plain->windowTitle(), QStringLiteral("Обновление ПО контроллера"));
        QScopedPointer<UpgradeFirmwareDialog> endless(UpgradeHookup::createDialog(nullptr, true));
        QCOMPARE(endless->windowTitle(), QStringLiteral("Обновление ПО контроллера[Perpetual]"));
        QVERIFY(endless->debugPerpetualUpgrade());
    }

    void showsTheConnectedControllerOrThatThereIsNone()
    {
        UpgradeFirmwareDialog dialog;
        dialog.show();
        QVERIFY(dialog.noControllerLabel()->isVisible());
        QVERIFY(!dialog.details()->isVisible());
        QCOMPARE(dialog.noControllerLabel()->text(), QStringLiteral("Контроллер не подключён"));
        QCOMPARE(dialog.closeButton()->text(), QStringLiteral("Закрыть"));

        SystemInfo_t info;
        info.kernelSn = 1234;
        dialog.manager()->systemDetected(info);
        QVERIFY(dialog.details()->isVisible());
        QVERIFY(!dialog.noControllerLabel()->isVisible());
        QCOMPARE(dialog.manager()->system().kernelSn, 1234u);

        dialog.manager()->systemLost();
        QVERIFY(!dialog.manager()->hasSystem());
        QVERIFY(dialog.noControllerLabel()->isVisible());

        dialog.closeButton()->click();
        QVERIFY(!dialog.isVisible());
    }

    void servicesReachTheManagerOnlyWhileItRuns()
    {
        RunningPrompts prompts;
        SystemModel model;
        DevicePool pool;
        DeviceConfigurator configurator(&model);
        Communication communication;
        const auto live = LiveSystem::Ptr_t::create();

        QPointer<UpgradeFirmwareDialog> dialog(UpgradeHookup::createDialog(nullptr, false));
        UpgradeManager* manager = dialog->manager();
        UpgradeHookup hookup(&pool, &configurator, &communication);
        hookup.connectManager(manager);
        bool ran = false;
        prompts.whileOpen = [&] {
            ran = true;
            emit pool.systemSelected(live);
            QVERIFY(manager->hasSystem());
            emit pool.activeRemoved();
            QVERIFY(!manager->hasSystem());
            emit configurator.keepAliveControl(false);
            QVERIFY(!pool.isKeepAliveEnabled());
            emit configurator.keepAliveControl(true);
            emit manager->keepAliveControl(false);
            QVERIFY(!pool.isKeepAliveEnabled());
            emit manager->keepAliveControl(true);
            QVERIFY(pool.isKeepAliveEnabled());
        };
        QCOMPARE(hookup.run(dialog), int(QDialog::Rejected));
        QVERIFY(ran);
        QCOMPARE(hookup.connectionCount(), 0);

        // Closed: the configurator's switch and the pool's news no longer reach anyone.
        manager->systemDetected(live->info());
        emit pool.activeRemoved();
        QVERIFY(manager->hasSystem());
        emit configurator.keepAliveControl(false);
        QVERIFY(pool.isKeepAliveEnabled());
        QTRY_VERIFY(dialog.isNull());
        emit pool.systemSelected(live);
    }

    void aSecondOpeningConnectsAnew()
    {
        RunningPrompts prompts;
        SystemModel model;
        DevicePool pool;
        DeviceConfigurator configurator(&model);
        Communication communication;
        for (int opening = 0; opening < 2; ++opening) {
            QPointer<UpgradeFirmwareDialog> dialog(UpgradeHookup::createDialog(nullptr, false));
            UpgradeHookup hookup(&pool, &configurator, &communication);
            hookup.connectManager(dialog->manager());
            QCOMPARE(hookup.connectionCount(), 5);
            int lost = 0;
            connect(dialog->manager(), &UpgradeManager::systemChanged, [&lost] { ++lost; });
            prompts.whileOpen = [&] {
                dialog->manager()->systemDetected(SystemInfo_t());
                emit pool.activeRemoved();
            };
            hookup.run(dialog);
            QCOMPARE(lost, 2);
            QTRY_VERIFY(dialog.isNull());
        }
    }
};

QTEST_MAIN(UpgradeHookupTest)
#include "tst_upgradehookup.moc"
