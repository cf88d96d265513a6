// Scenes of the base widgets: indicators, information panels and pop-ups, the thin scroll bar and
// the wheel-less tab bar.
#include "gallery.h"

#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/infowidget.h"
#include "widgets/style.h"
#include "widgets/tabbarnowheel.h"
#include "widgets/thinscrollbar.h"

#include <QLabel>
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
    setIndicator(indicator, {{QObject::tr("Входы"), "24"}, {"AI", "8"}, {"AO", "4"}, {"DI", "8"},
                             {"DO", "4"}, {"x", "ignored"}, {"y", "ignored"}},
                 false, false);
    Gallery::save(panel, outDir, "widgets_indicator_7_pairs");
    indicator->setHighlighted(true);
    Gallery::save(panel, outDir, "widgets_indicator_highlighted");

    auto* cycle = new Indicator;
    cycle->applyStyle(infoPanelStyle().indicatorStyle);
    QWidget* cyclePanel = panelBackground(cycle, 180, 96);
    setIndicator(cycle, {{QObject::tr("Цикл"), "12.5"}}, true, true);
    cycle->setExtraTitle(QObject::tr("мс"));
    Gallery::save(cyclePanel, outDir, "widgets_indicator_extra_title_fields_hidden");
}

void infoPanels(const QString& outDir)
{
    auto* panel = new InfoPanel;
    applyInfoPanelStyle(panel);
    panel->setTitle(QObject::tr("Система"));
    setIndicator(panel->indicator(0), {{QObject::tr("Аналоговые"), "12"}, {QObject::tr("вх."), "8"},
                                       {QObject::tr("вых."), "4"}}, false, false);
    setIndicator(panel->indicator(1), {{QObject::tr("Дискретные"), "20"}, {QObject::tr("вх."), "12"},
                                       {QObject::tr("вых."), "8"}}, false, false);
    setIndicator(panel->indicator(2), {{QObject::tr("Порты"), "2"}}, false, true);
    setIndicator(panel->indicator(3), {{QObject::tr("Модули"), "3"}}, false, true);
    setIndicator(panel->indicator(4), {{QObject::tr("Мощность"), "4.20"}}, false, true);
    setIndicator(panel->indicator(5), {{QObject::tr("Цикл, мс"), "35"}}, false, true);
    panel->indicator(4)->setHighlighted(true);
    // Its page gives the panel the width its six indicators need.
    panel->resize(500, 179);
    Gallery::save(panel, outDir, "widgets_infopanel_system_overload");

    auto* empty = new InfoPanel;
    applyInfoPanelStyle(empty);
    empty->resize(500, 179);
    Gallery::save(empty, outDir, "widgets_infopanel_empty");
}

void infoPopups(const QString& outDir)
{
    auto* popup = new InfoWidget;
    applySystemDetailsStyle(popup);
    popup->applyStyle();
    popup->setTitle(0, QObject::tr("Устройство"));
    popup->setTitle(1, QObject::tr("Прошивка"));
    popup->setData(0, {QObject::tr("Модель:ТАВ-1020-10"), QObject::tr("Версия ПО ядра:1.2.0003"),
                       QObject::tr("Время:12:30:05"), QObject::tr("Без значения")});
    popup->setCellColor(1, 1, QColor(0xbb333d));
    popup->setData(1, {QObject::tr("Файл:tav.frw"), QObject::tr("Состояние:ошибка")});
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
        lines << QObject::tr("Строка %1").arg(i);
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
    tabs->addTab(QObject::tr("Система"));
    tabs->addTab(QObject::tr("Ресурсы"));
    tabs->addTab(QObject::tr("Аварии"));
    tabs->setTabEnabled(2, false);
    tabs->setCurrentIndex(1);
    Gallery::save(tabs, outDir, "widgets_tabbarnowheel_second_current_third_disabled");
}

} // namespace

TAV_GALLERY_SCENES(widgets)
{
    indicators(outDir);
    infoPanels(outDir);
    infoPopups(outDir);
    scrollAndTabs(outDir);
}
