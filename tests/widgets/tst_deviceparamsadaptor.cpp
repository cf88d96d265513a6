// The device parameter adaptor: the supply, rail and temperature texts of a controller, nothing
// while switched off, and no supply kind left over from an earlier controller.
#include "model/device.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/deviceparamsadaptor.h"
#include "widgets/infopanel/infopanel.h"

#include <QLabel>
#include <QtTest>

namespace {

Device::Ptr_t device(int deviceClass, int flags, double supply, double usb, double temperature)
{
    DeviceHandle h;
    h.id = QUuid::createUuid();
    h.number = 0;
    Device::Ptr_t d = Device::create(deviceClass, h);
    if (flags != -1)
        d->setSupplyFlags(flags);
    d->setReadings({supply, usb, 12.1, 3.31, temperature});
    return d;
}

QString mainValue(InfoPanel& panel, int n)
{
    return panel.indicator(n)->findChild<QLabel*>("mainValue")->text();
}

QString mainTitle(InfoPanel& panel, int n)
{
    return panel.indicator(n)->findChild<QLabel*>("mainTitle")->text();
}

QStringList supplyTexts(InfoPanel& panel)
{
    return {mainValue(panel, 1), panel.indicator(1)->additionalValue(1)->text(),
            panel.indicator(1)->additionalValue(2)->text()};
}

} // namespace

class DeviceParamsAdaptorTest : public QObject
{
    Q_OBJECT

private slots:
    void supplyTextsFollowTheFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<double>("supply");
        QTest::addColumn<double>("usb");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("AC") << 1 << 24.0 << 0.0 << QStringList({"24.00", "AC", ""});
        QTest::newRow("DC with USB") << 2 << 24.0 << 5.0 << QStringList({"24.00", "DC", "USB"});
        QTest::newRow("USB only") << 2 << 0.0 << 4.95 << QStringList({"4.95", "", "USB"});
        QTest::newRow("nothing") << 0 << 0.0 << 0.0 << QStringList({"0.00", "", ""});
    }

    void supplyTextsFollowTheFlags()
    {
        QFETCH(int, flags);
        QFETCH(double, supply);
        QFETCH(double, usb);
        QFETCH(QStringList, texts);
        InfoPanel panel;
        DeviceParamsAdaptor adaptor(&panel);
        adaptor.update(device(Device::TavClass, flags, supply, usb, 23.5));
        QCOMPARE(supplyTexts(panel), texts);
        QCOMPARE(mainValue(panel, 0), QStringLiteral("23.50"));
        QCOMPARE(mainValue(panel, 2), QStringLiteral("12.10"));
        QCOMPARE(mainValue(panel, 3), QStringLiteral("3.31"));
        QCOMPARE(mainTitle(panel, 1), QStringLiteral("Питание"));
        QCOMPARE(mainTitle(panel, 3), QStringLiteral("v3.3"));
    }

    void deviceWithoutFlagsGetsOnlyItsTemperatureAndNoOldSupplyKind()
    {
        InfoPanel panel;
        DeviceParamsAdaptor adaptor(&panel);
        adaptor.update(device(Device::TavClass, 3, 24.0, 5.0, 30.0));
        QCOMPARE(supplyTexts(panel), QStringList({"24.00", "AC", "USB"}));
        adaptor.update(device(Device::PexClass, -1, 0.0, 0.0, 0.0));
        QCOMPARE(supplyTexts(panel), QStringList({"0", "", ""}));
        QCOMPARE(mainValue(panel, 0), QStringLiteral("0.00"));
        QCOMPARE(mainValue(panel, 2), QStringLiteral("0"));

        adaptor.update(device(Device::TavClass, 1, 24.0, 0.0, 30.0));
        adaptor.update(Device::Ptr_t());
        QCOMPARE(supplyTexts(panel), QStringList({"0", "", ""}));
        for (int n = 0; n < 4; ++n)
            QCOMPARE(mainValue(panel, n), QStringLiteral("0"));
        QCOMPARE(mainTitle(panel, 0), QStringLiteral("Температура"));
    }

    // A reading without a unit is a bare number: each one shows its unit on the line under it.
    void everyReadingShowsItsUnit_data()
    {
        QTest::addColumn<int>("indicator");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::newRow("temperature") << 0 << "23.50" << "°C";
        QTest::newRow("supply") << 1 << "24.00" << "В";
        QTest::newRow("12 V rail") << 2 << "12.10" << "В";
        QTest::newRow("3.3 V rail") << 3 << "3.31" << "В";
    }

    void everyReadingShowsItsUnit()
    {
        QFETCH(int, indicator);
        QFETCH(QString, value);
        QFETCH(QString, unit);
        InfoPanel panel;
        DeviceParamsAdaptor adaptor(&panel);
        adaptor.update(device(Device::TavClass, 1, 24.0, 0.0, 23.5));
        panel.show();
        QCOMPARE(mainValue(panel, indicator), value);
        const auto* line = panel.indicator(indicator)->findChild<QLabel*>("extraTitle");
        QCOMPARE(line->text(), unit);
        QVERIFY(line->isVisible());
        QVERIFY2(line->height() >= line->fontMetrics().capHeight(),
                 qPrintable(QString::number(line->height())));
        adaptor.setActive(false);
        QCOMPARE(line->text(), QString());
    }

    void switchedOffChangesNothing()
    {
        InfoPanel panel;
        DeviceParamsAdaptor adaptor(&panel);
        adaptor.setActive(false);
        QCOMPARE(mainTitle(panel, 0), QString());
        adaptor.update(device(Device::TavClass, 1, 24.0, 0.0, 30.0));
        QCOMPARE(mainValue(panel, 1), QString());
        adaptor.setActive(true);
        QCOMPARE(mainTitle(panel, 2), QStringLiteral("v12"));
        QCOMPARE(mainValue(panel, 2), QStringLiteral("0"));
    }
};

QTEST_MAIN(DeviceParamsAdaptorTest)
#include "tst_deviceparamsadaptor.moc"
