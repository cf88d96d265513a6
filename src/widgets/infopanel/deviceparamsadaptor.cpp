#include "widgets/infopanel/deviceparamsadaptor.h"

#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"

namespace {

// Positions in Device::Readings_t.
enum Reading { Supply = 0, UsbSupply = 1, Rail12 = 2, Rail33 = 3, Temperature = 4 };
enum SupplyFlag { AcSupply = 0x1, UsbPowered = 0x2 };
enum AdditionalField { KindField = 1, UsbField = 2 };

QString number(double value)
{
    return QStringLiteral("%1").arg(value, 0, 'f', 2);
}

} // namespace

DeviceParamsAdaptor::DeviceParamsAdaptor(InfoPanel* panel)
    : ip(panel)
{
    init();
}

void DeviceParamsAdaptor::init()
{
    const QString titles[] = {tr("Температура"), tr("Питание"), QStringLiteral("v12"),
                              QStringLiteral("v3.3")};
    // A bare number is no reading: each value carries its unit on the line below it.
    const QString volts = tr("В");
    const QString units[] = {tr("°C"), volts, volts, volts};
    for (int n = 0; n < 4; ++n) {
        Indicator* indicator = panelIndicator(ip, n);
        setIndicator(indicator, {{titles[n], QStringLiteral("0")}}, true, false);
        if (indicator)
            indicator->setExtraTitle(units[n]);
    }
}

void DeviceParamsAdaptor::setActive(bool on)
{
    active = on;
    if (on) {
        init();
        return;
    }
    for (int n = 0; n < 4; ++n) {
        Indicator* indicator = panelIndicator(ip, n);
        clearIndicator(indicator);
        if (indicator)
            indicator->setExtraTitle(QString());
    }
}

void DeviceParamsAdaptor::update(const Device::Ptr_t& device)
{
    if (!active)
        return;
    init();
    // Only a controller reports its supply kind; what an earlier one showed must not stay.
    showSupplyKind(QString(), QString());
    if (!device)
        return;
    const int flags = device->supplyFlags();
    if (flags != -1)
        showSupply(*device, flags);
    if (Indicator* temperature = panelIndicator(ip, 0))
        temperature->setMainValue(number(device->readings()[Temperature]));
}

void DeviceParamsAdaptor::showSupplyKind(const QString& kind, const QString& usb)
{
    if (Indicator* supply = panelIndicator(ip, 1)) {
        supply->setAdditionalValue(KindField, kind);
        supply->setAdditionalValue(UsbField, usb);
    }
}

void DeviceParamsAdaptor::showSupply(const Device& device, int flags)
{
    const Device::Readings_t& r = device.readings();
    double value = 0.0;
    QString kind;
    QString usb;
    if (r[Supply] > 0) {
        value = r[Supply];
        kind = (flags & AcSupply) ? QStringLiteral("AC") : QStringLiteral("DC");
        usb = (flags & UsbPowered) ? QStringLiteral("USB") : QString();
    } else if (flags & UsbPowered) {
        value = r[UsbSupply];
        usb = QStringLiteral("USB");
    }
    if (Indicator* supply = panelIndicator(ip, 1))
        supply->setMainValue(number(value));
    showSupplyKind(kind, usb);
    if (Indicator* rail = panelIndicator(ip, 2))
        rail->setMainValue(number(r[Rail12]));
    if (Indicator* rail = panelIndicator(ip, 3))
        rail->setMainValue(number(r[Rail33]));
}
