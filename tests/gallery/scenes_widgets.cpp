// Scenes of the base widgets: indicators, information panels and pop-ups, the thin scroll bar, the
// wheel-less tab bar, switches, the monitoring toggle and the system badge with its pop-up.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/deviceparamsadaptor.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/infowidget.h"
#include "widgets/monitorbutton.h"
#include "widgets/stylesource.h"
#include "widgets/switch.h"
#include "widgets/sysinfowidget.h"
#include "widgets/systemdetails.h"
#include "widgets/tabbarnowheel.h"
#include "widgets/thinscrollbar.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QWidget* panelBackground(QWidget* content, int width, int height)
{
    auto* panel = new QWidget;
    panel->setAutoFillBackground(true);
    setPanelBackground(panel);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(content);
    panel->resize(width, height);
    return panel;
}

void indicators(const QString& outDir)
{
    auto* indicator = new Indicator;
    indicator->applyStyle(infoPanelStyle().indicatorStyle);
    QWidget* panel = panelBackground(indicator, 180, 96);
    setIndicator(indicator,
                 {{Gallery::demo("Входы", "Inputs"), "24"},
                  {"AI", "8"},
                  {"AO", "4"},
                  {"DI", "8"},
                  {"DO", "4"},
                  {"x", "ignored"},
                  {"y", "ignored"}},
                 false, false);
    Gallery::save(panel, outDir, "widgets_indicator_7_pairs");
    indicator->setHighlighted(true);
    Gallery::save(panel, outDir, "widgets_indicator_highlighted");

    auto* cycle = new Indicator;
    cycle->applyStyle(infoPanelStyle().indicatorStyle);
    QWidget* cyclePanel = panelBackground(cycle, 180, 110);
    setIndicator(cycle, {{Gallery::demo("Цикл", "Cycle"), "12.5"}}, true, true);
    cycle->setExtraTitle(Gallery::demo("мс", "ms"));
    Gallery::save(cyclePanel, outDir, "widgets_indicator_extra_title_fields_hidden");
}

void infoPanels(const QString& outDir)
{
    auto* panel = new InfoPanel;
    applyInfoPanelStyle(panel);
    panel->setTitle(Gallery::demo("Система", "System"));
    setIndicator(panel->indicator(0),
                 {{Gallery::demo("Аналоговые", "Analogue"), "12"},
                  {Gallery::demo("вх.", "in"), "8"},
                  {Gallery::demo("вых.", "out"), "4"}},
                 false, false);
    setIndicator(panel->indicator(1),
                 {{Gallery::demo("Дискретные", "Discrete"), "20"},
                  {Gallery::demo("вх.", "in"), "12"},
                  {Gallery::demo("вых.", "out"), "8"}},
                 false, false);
    setIndicator(panel->indicator(2), {{Gallery::demo("Порты", "Ports"), "2"}}, false, true);
    setIndicator(panel->indicator(3), {{Gallery::demo("Модули", "Modules"), "3"}}, false, true);
    setIndicator(panel->indicator(4), {{Gallery::demo("Мощность", "Power"), "4.20"}}, false, true);
    setIndicator(panel->indicator(5), {{Gallery::demo("Цикл, мс", "Cycle, ms"), "35"}}, false,
                 true);
    panel->indicator(4)->setHighlighted(true);
    // Its page gives the panel the width its six indicators need.
    panel->resize(560, 179);
    Gallery::save(panel, outDir, "widgets_infopanel_system_overload");

    auto* empty = new InfoPanel;
    applyInfoPanelStyle(empty);
    empty->resize(560, 179);
    Gallery::save(empty, outDir, "widgets_infopanel_empty");
}

void infoPopups(const QString& outDir)
{
    auto* popup = new InfoWidget;
    applySystemDetailsStyle(popup);
    popup->applyStyle();
    popup->setTitle(0, Gallery::demo("Устройство", "Device"));
    popup->setTitle(1, Gallery::demo("Прошивка", "Firmware"));
    popup->setData(0, {Gallery::demo("Модель:ТАВ-1020-10", "Model:TAV-1020-10"),
                       Gallery::demo("Версия ПО ядра:1.2.0003", "Kernel firmware version:1.2.0003"),
                       Gallery::demo("Время:12:30:05", "Time:12:30:05"),
                       Gallery::demo("Без значения", "No value")});
    popup->setCellColor(1, 1, QColor(0xbb333d));
    popup->setData(1, {Gallery::demo("Файл:tav.frw", "File:tav.frw"),
                       Gallery::demo("Состояние:ошибка", "State:error")});
    Gallery::save(popup, outDir, "widgets_infowidget_two_sections");
    popup->setData(1, {});
    Gallery::save(popup, outDir, "widgets_infowidget_second_section_empty");
}

void scrollAndTabs(const QString& outDir)
{
    auto* area = new QScrollArea;
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QLabel;
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines << Gallery::demo("Строка %1", "Line %1").arg(i);
    content->setText(lines.join('\n'));
    // The bar is drawn over dark content, as the side panels have it.
    content->setAutoFillBackground(true);
    setPanelBackground(content);
    setForegroundColor(content, Qt::white);
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->resize(220, 200);
    auto* bar = new ThinScrollBar(area->verticalScrollBar(), area);
    area->show();
    bar->putIn(area->viewport()->geometry());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum() / 2);
    Gallery::save(area, outDir, "widgets_thinscrollbar_middle");

    auto* tabs = new TabBarNoWheel;
    tabs->setMinimumSize(120, 32);
    tabs->addTab(Gallery::demo("Система", "System"));
    tabs->addTab(Gallery::demo("Ресурсы", "Resources"));
    tabs->addTab(Gallery::demo("Аварии", "Alarms"));
    tabs->setTabEnabled(2, false);
    tabs->setCurrentIndex(1);
    Gallery::save(tabs, outDir, "widgets_tabbarnowheel_second_current_third_disabled");
}

void deviceParams(const QString& outDir)
{
    auto* panel = new InfoPanel;
    applyInfoPanelStyle(panel);
    panel->setTitle(Gallery::demo("Контроллер", "Controller"));
    panel->resize(560, 179);
    DeviceParamsAdaptor adaptor(panel);
    DeviceHandle handle;
    handle.id = QUuid::createUuid();
    handle.number = 0;
    const Device::Ptr_t controller = Device::create(Device::TavClass, handle);
    controller->setSupplyFlags(3);
    controller->setReadings({24.1, 4.95, 12.02, 3.31, 36.5});
    adaptor.update(controller);
    Gallery::save(panel, outDir, "widgets_infopanel_device_params_ac_usb");
}

// Moves the mouse over the widget; the offscreen platform has no pointer of its own.
void hoverAt(QWidget* widget, const QPoint& pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

Switch* switchOnPanel(const QStringList& items, bool green, int current)
{
    auto* sw = new Switch;
    sw->setItems(items);
    if (green)
        applyGreenSwitchStyle(sw);
    else
        applyBlueSwitchStyle(sw);
    sw->setFixedSize(60 * items.size(), 26);
    sw->setCurrentIndex(current, false);
    panelBackground(sw, 60 * items.size() + 24, 50);
    return sw;
}

void switches(const QString& outDir)
{
    const QStringList onOff = {Gallery::demo("Выкл", "Off"), Gallery::demo("Вкл", "On")};
    Gallery::save(switchOnPanel(onOff, true, -1)->window(), outDir, "widgets_switch_green_none");
    Gallery::save(switchOnPanel(onOff, true, 0)->window(), outDir, "widgets_switch_green_first");
    Gallery::save(switchOnPanel(onOff, true, 1)->window(), outDir, "widgets_switch_green_second");
    Switch* hovered = switchOnPanel(onOff, true, 0);
    hoverAt(hovered, QPoint(90, 13));
    Gallery::save(hovered->window(), outDir, "widgets_switch_green_first_hover_second");
    Switch* disabled = switchOnPanel(onOff, true, 1);
    disabled->setEnabled(false);
    Gallery::save(disabled->window(), outDir, "widgets_switch_green_second_disabled");

    const QStringList revisions = {"R0", "R4", "R9"};
    Switch* blue = switchOnPanel(revisions, false, 1);
    Gallery::save(blue->window(), outDir, "widgets_switch_blue_middle");
    hoverAt(blue, QPoint(30, 13));
    Gallery::save(blue->window(), outDir, "widgets_switch_blue_middle_hover_first");
    hoverAt(blue, QPoint(150, 13));
    Gallery::save(blue->window(), outDir, "widgets_switch_blue_middle_hover_last");
}

void monitorToggles(const QString& outDir)
{
    const QIcon icon(QStringLiteral(":/icons/resources/icons/spec/debug_active.png"));
    auto* off = new MonitorButton(icon);
    off->resize(off->minimumSize());
    Gallery::save(off, outDir, "widgets_monitorbutton_off");
    auto* on = new MonitorButton(icon);
    on->setStatus(true);
    on->resize(on->minimumSize());
    Gallery::save(on, outDir, "widgets_monitorbutton_on");
    auto* disabled = new MonitorButton(icon);
    disabled->setEnabled(false);
    disabled->resize(disabled->minimumSize());
    Gallery::save(disabled, outDir, "widgets_monitorbutton_disabled");
}

// A controller of the catalogue with one module present and one not connected.
SystemInfo_t detectedSystem()
{
    const SettingsProvider& provider = SettingsProvider::instance();
    SystemInfo_t info;
    info.kernelSn = 42;
    info.kernelId = 0x01020003;
    info.kernelAux = 0x0200000a;
    info.address = 2;
    const QList<DeviceType_t>& controllers = provider.types(Device::TavClass);
    info.cpuId = controllers.isEmpty() ? 0 : controllers.first();
    const QList<DeviceType_t>& modules = provider.types(Device::PexClass);
    for (int i = 0; i < 2 && i < modules.size(); ++i) {
        BusEntry slot;
        slot.type = modules.at(i);
        slot.number = i + 1;
        slot.present = i == 0;
        info.bus << slot;
    }
    return info;
}

void systemBadge(const QString& outDir)
{
    const QIcon icon(QStringLiteral(":/icons/resources/icons/spec/info.png"));
    const auto onToolBar = [&icon] {
        auto* bar = new QWidget;
        bar->setAutoFillBackground(true);
        setWidgetBackground(bar, QColor(0x545659));
        auto* badge = new SysInfoWidget(icon, bar);
        bar->resize(badge->minimumSize() + QSize(8, 4));
        badge->move(4, 2);
        return badge;
    };
    SysInfoWidget* empty = onToolBar();
    empty->reset();
    Gallery::save(empty->window(), outDir, "widgets_sysinfowidget_no_system");
    SysInfoWidget* badge = onToolBar();
    badge->setSystemInfo(detectedSystem());
    Gallery::save(badge->window(), outDir, "widgets_sysinfowidget_system");

    auto* details = new SystemDetails(detectedSystem());
    Gallery::save(details, outDir, "widgets_systemdetails_controller_two_modules");
}

} // namespace

TAV_GALLERY_SCENES(widgets)
{
    indicators(outDir);
    infoPanels(outDir);
    infoPopups(outDir);
    scrollAndTabs(outDir);
    deviceParams(outDir);
    switches(outDir);
    monitorToggles(outDir);
    systemBadge(outDir);
}
