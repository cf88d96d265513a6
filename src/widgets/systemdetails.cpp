#include "widgets/systemdetails.h"

#include "catalogue/settingsprovider.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/stylesource.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

constexpr int busRowHeight = 16;

QString catalogueName(DeviceType_t type, HardwareVersion revision)
{
    DeviceTemplate tpl;
    if (!SettingsProvider::instance().deviceTemplate(type, revision, &tpl, false))
        return QString();
    return tpl.name;
}

} // namespace

SystemDetails::SystemDetails(const SystemInfo_t& systemInfo, QWidget* parent)
    : InfoWidget(parent)
    , info(systemInfo)
{
    applySystemDetailsStyle(this);
    InfoWidget::applyStyle();
    setTitles();
    setSectionSizes(QSize(210, 30), QSize(310, 80), busRowHeight);
    // A model name with the not-connected mark needs more than four tenths of the width, and the
    // names are short: at 0.6/0.4 the value column would cut it off.
    setColumnRatio(0.4, 0.6);
    setData(0, fillDevice());
    const QStringList bus = fillBus();
    setData(1, bus);
    setSectionMinimumSize(1, QSize(310, busRowHeight * bus.size() + 2));
}

void SystemDetails::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setTitles();
        setData(0, fillDevice());
        setData(1, fillBus());
    }
    InfoWidget::changeEvent(event);
}

void SystemDetails::setTitles()
{
    setTitle(0, QCoreApplication::translate("InfoWidget", "Устройство"));
    setTitle(1, QCoreApplication::translate("InfoWidget", "Системная шина"));
}

QStringList SystemDetails::fillDevice() const
{
    return deviceRows(info);
}

QStringList SystemDetails::deviceRows(const SystemInfo_t& info)
{
    const QString row = QStringLiteral("%1:%2");
    const QString serial = QStringLiteral("%1").arg(info.kernelSn, 8, 10, QLatin1Char('0'));
    return {
        row.arg(QCoreApplication::translate("InfoWidget", "Модель"),
                catalogueName(DeviceType_t(info.cpuId), info.hw)),
        row.arg(QCoreApplication::translate("InfoWidget", "Серийный номер"), serial),
        row.arg(QCoreApplication::translate("InfoWidget", "Версия ПО ядра"),
                versionToString(info.kernelId)),
        row.arg(QCoreApplication::translate("InfoWidget", "Версия загрузчика"),
                versionToString(info.kernelAux)),
        row.arg(QCoreApplication::translate("InfoWidget", "Modbus aдрес"),
                QString::number(info.address))};
}

QStringList SystemDetails::fillBus() const
{
    QStringList rows;
    for (const BusEntry& slot : info.bus) {
        QString text = QStringLiteral("%1:%2").arg(slot.number).arg(catalogueName(slot.type,
                                                                                 slot.revision));
        if (slot.controller >= 0)
            text.prepend(QStringLiteral("%1.").arg(slot.controller));
        text.prepend(QCoreApplication::translate("InfoWidget", "Слот "));
        if (!slot.present)
            text += QStringLiteral(" (N.C.)");
        rows << text;
    }
    return rows;
}
