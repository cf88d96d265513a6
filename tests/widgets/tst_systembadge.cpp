// The tool-bar system badge and its details pop-up: the serial and model texts, the rows of the
// controller and of its bus, and the pop-up's life.
#include "catalogue/settingsprovider.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "widgets/systemdetails.h"
#include "widgets/sysinfowidget.h"

#include <QAbstractButton>
#include <QPointer>
#include <QTableWidget>
#include <QtTest>

namespace {

BusEntry slot(DeviceType_t type, int number, int controller, bool present)
{
    BusEntry e;
    e.type = type;
    e.number = number;
    e.controller = controller;
    e.present = present;
    return e;
}

QStringList rows(SystemDetails& details, int section)
{
    QTableWidget* body = details.findChild<QTableWidget*>(section == 0 ? "s1Body" : "s2Body");
    QStringList out;
    for (int r = 0; r < body->rowCount(); ++r)
        out << body->item(r, 0)->text() + '|' + body->item(r, 1)->text();
    return out;
}

} // namespace

class SystemBadgeTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t moduleType = 0;
    QString moduleName;

    SystemInfo_t system(quint32 serial) const
    {
        SystemInfo_t info;
        info.kernelSn = serial;
        info.cpuId = ModelFixture::kTav1020;
        info.kernelId = 0x01020003;
        info.kernelAux = 0x0200000a;
        info.address = 2;
        info.bus = {slot(moduleType, 1, -1, true), slot(moduleType, 2, 2, false),
                    slot(0x7f7f7f7f, 3, -1, true)};
        return info;
    }

private slots:
    void initTestCase()
    {
        const SettingsProvider& provider = SettingsProvider::instance();
        QVERIFY(!provider.pexTypes.isEmpty());
        moduleType = provider.pexTypes.first();
        moduleName = provider.templates.value(moduleType).name;
    }

    void badgeShowsModelAndSevenDigitSerial()
    {
        SysInfoWidget badge{QIcon()};
        QCOMPARE(badge.findChild<QAbstractButton*>()->geometry(), QRect(172, 2, 44, 40));
        badge.setSystemInfo(system(42));
        QCOMPARE(badge.serialText(), QStringLiteral("SN - 0000042"));
        QCOMPARE(badge.modelText(), QStringLiteral("TAV-1020-10"));
        QVERIFY(badge.isEnabled());
        badge.setSystemInfo(system(123456789));
        QCOMPARE(badge.serialText(), QStringLiteral("SN - 123456789"));

        SystemInfo_t unknown = system(42);
        unknown.cpuId = 0x7f7f7f7f;
        badge.setSystemInfo(unknown);
        QCOMPARE(badge.modelText(), QString());
        QVERIFY(badge.isEnabled());

        badge.reset();
        QVERIFY(!badge.isEnabled());
        QCOMPARE(badge.serialText(), QString());
    }

    void detailsListTheControllerAndItsBus()
    {
        SystemDetails details(system(42));
        QCOMPARE(rows(details, 0), QStringList({"Модель|TAV-1020-10", "Серийный номер|00000042",
                                                "Версия ПО ядра|1.2.0003",
                                                "Версия загрузчика|2.0.0010",
                                                "Modbus aдрес|2"}));
        QCOMPARE(rows(details, 1), QStringList({"Слот 1|" + moduleName,
                                                "Слот 2.2|" + moduleName + " (N.C.)",
                                                "Слот 3|"}));
        QCOMPARE(details.findChild<QTableWidget*>("s2Body")->minimumHeight(), 16 * 3 + 2);

        SystemInfo_t noBus = system(42);
        noBus.bus.clear();
        SystemDetails empty(noBus);
        QCOMPARE(empty.findChild<QTableWidget*>("s2Body")->minimumHeight(), 2);
        QVERIFY(rows(empty, 1).isEmpty());
    }

    void popupClosesWithTheSystemAndDoesNotReopenAtOnce()
    {
        SysInfoWidget badge{QIcon()};
        badge.show();
        badge.setSystemInfo(system(42));
        auto* button = badge.findChild<QAbstractButton*>();
        button->click();
        QPointer<SystemDetails> popup = badge.findChild<SystemDetails*>();
        QVERIFY(popup && popup->isVisible());

        badge.reset();
        QVERIFY(!popup->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), 5000);

        // The click that closed the pop-up must not open a new one.
        badge.setSystemInfo(system(42));
        badge.showDetail(false);
        QVERIFY(!badge.findChild<SystemDetails*>());
        QTRY_VERIFY_WITH_TIMEOUT(
            [&badge] {
                badge.showDetail(false);
                return badge.findChild<SystemDetails*>() != nullptr;
            }(),
            5000);
    }
};

QTEST_MAIN(SystemBadgeTest)
#include "tst_systembadge.moc"
