// Scenes of the style source and the small building blocks: flat button, radio button, header.
#include "gallery.h"

#include "widgets/ainconnection.h"
#include "widgets/flatbutton.h"
#include "widgets/header.h"
#include "widgets/radiobutton.h"
#include "widgets/stylesource.h"

#include <QCoreApplication>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include "widgets/widgetfactory.h"

namespace {

// Hover is tracked through Enter and Leave; the offscreen platform has no pointer to send them.
void hover(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &enter);
}

QWidget* darkPanel(int width, int height)
{
    auto* panel = new QWidget;
    panel->setAutoFillBackground(true);
    applyDarkBackground(panel);
    panel->resize(width, height);
    return panel;
}

void flatButtons(const QString& outDir)
{
    const auto make = [](const QString& text) {
        auto* button = new FlatButton(text);
        QPalette p = button->palette();
        p.setColor(QPalette::Button, accentColor);
        p.setColor(QPalette::ButtonText, Qt::white);
        p.setColor(QPalette::Highlight, QColor(0x3c3d3f));
        p.setColor(QPalette::HighlightedText, Qt::white);
        button->setPalette(p);
        button->resize(170, 46);
        return button;
    };
    auto* normal = make(Gallery::demo("Начать отладку", "Start debugging"));
    Gallery::save(normal, outDir, "style_flatbutton_text");
    hover(normal);
    Gallery::save(normal, outDir, "style_flatbutton_text_hovered");
    auto* disabled = make(Gallery::demo("Начать отладку", "Start debugging"));
    disabled->setEnabled(false);
    Gallery::save(disabled, outDir, "style_flatbutton_text_disabled");

    // The monitoring toggle's look: the picture alone on the accent colour, smaller while pressed.
    const QString spec = QStringLiteral(":/icons/resources/icons/spec/");
    QIcon monitoring(spec + "debug_active.png");
    monitoring.addFile(spec + "debug_active_s.png", QSize(), QIcon::Selected, QIcon::Off);
    auto* icon = new FlatButton(monitoring);
    QPalette p = icon->palette();
    for (auto role : {QPalette::Button, QPalette::Highlight})
        p.setColor(role, accentColor);
    icon->setPalette(p);
    icon->resize(170, 46);
    Gallery::save(icon, outDir, "style_flatbutton_icon");
    hover(icon);
    Gallery::save(icon, outDir, "style_flatbutton_icon_hovered");
    icon->setDown(true);
    Gallery::save(icon, outDir, "style_flatbutton_icon_pressed");
}

void radioButtons(const QString& outDir)
{
    auto* panel = darkPanel(520, 44);
    auto* layout = new QHBoxLayout(panel);
    auto* off = new RadioButton(QIcon(), Gallery::demo("Напряжение", "Voltage"), panel);
    auto* on = new RadioButton(QIcon(), Gallery::demo("Ток", "Current"), panel);
    auto* hovered = new RadioButton(
        QIcon(), Gallery::demo("Термосопротивление", "Resistance thermometer"), panel);
    on->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(off), static_cast<QWidget*>(on),
                       static_cast<QWidget*>(hovered)})
        layout->addWidget(w);
    hover(hovered);
    Gallery::save(panel, outDir, "style_radiobutton_off_on_hovered");
    for (RadioButton* b : {off, on, hovered})
        applyRadioButtonStyle(b);
    Gallery::save(panel, outDir, "style_radiobutton_styled_off_on_hovered");
}

void headers(const QString& outDir)
{
    auto* header = new Header;
    applyHeaderStyle(header);
    setBackgroundColor(header, QColor(0x44484e));
    header->setTexts(Gallery::demo("Система", "System"),
                     Gallery::demo("3 устройства, 1 контроллер", "3 devices, 1 controller"));
    header->resize(544, 56);
    Gallery::save(header, outDir, "style_header_filled");
    auto* empty = new Header;
    applyHeaderStyle(empty);
    empty->setTexts(QString(), QString());
    empty->resize(544, 50);
    Gallery::save(empty, outDir, "style_header_empty");
}

void toolBars(const QString& outDir)
{
    const QString spec = QStringLiteral(":/icons/resources/icons/spec/");
    const QStringList glyphs = {"new", "open", "save", "undo", "redo", "debug", "read", "write"};
    const auto make = [&](bool enabled) {
        auto* bar = new QToolBar;
        for (const QString& glyph : glyphs) {
            QAction* action = bar->addAction(makeIcon(spec + glyph + "%1.png"), glyph);
            action->setEnabled(enabled);
            setToolButtonSizeNormal(action);
        }
        QAction* info = bar->addAction(QIcon(spec + "info.png"), "info");
        setToolButtonSizeWide(info);
        bar->addAction(QIcon(spec + "alarm.png"), "alarm");
        applyToolBarStyle(bar);
        return bar;
    };
    Gallery::save(make(true), outDir, "style_toolbar_enabled");
    Gallery::save(make(false), outDir, "style_toolbar_disabled");
}

void controls(const QString& outDir)
{
    auto* panel = darkPanel(460, 300);
    auto* layout = new QVBoxLayout(panel);
    auto* row = new QHBoxLayout;
    const QStringList checks = {Gallery::demo("Выключен", "Off"), Gallery::demo("Включён", "On"),
                                Gallery::demo("Частично", "Partly"),
                                Gallery::demo("Недоступен", "Unavailable")};
    for (int i = 0; i < checks.size(); ++i) {
        auto* box = new QCheckBox(checks.at(i));
        box->setTristate(i == 2);
        box->setCheckState(i == 0 ? Qt::Unchecked : (i == 2 ? Qt::PartiallyChecked : Qt::Checked));
        box->setEnabled(i != 3);
        applyCheckBoxStyle(box);
        row->addWidget(box);
    }
    layout->addLayout(row);
    auto* spins = new QHBoxLayout;
    auto* spin = new QSpinBox;
    spin->setValue(42);
    applySpinBoxStyle(spin);
    auto* dspin = new QDoubleSpinBox;
    dspin->setValue(3.25);
    applyRoundDoubleSpinBoxStyle(dspin);
    auto* combo = new QComboBox;
    combo->addItems({Gallery::demo("0-10 В", "0-10 V"), Gallery::demo("4-20 мА", "4-20 mA")});
    applyComboBoxStyle(combo);
    for (QWidget* w : {static_cast<QWidget*>(spin), static_cast<QWidget*>(dspin),
                       static_cast<QWidget*>(combo)}) {
        w->setMinimumHeight(28);
        spins->addWidget(w);
    }
    layout->addLayout(spins);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setValue(40);
    applySliderStyle(slider);
    layout->addWidget(slider);
    auto* buttons = new QHBoxLayout;
    auto* left = new QPushButton(Gallery::demo("Вкл", "On"));
    auto* right = new QPushButton(Gallery::demo("Выкл", "Off"));
    applySideButtonStyle(left, true);
    applySideButtonStyle(right, false);
    right->setEnabled(false);
    auto* dark = new QPushButton(Gallery::demo("Применить", "Apply"));
    applyDarkButtonStyle(dark);
    auto* light = new QPushButton(Gallery::demo("Отмена", "Cancel"));
    applyLightButtonStyle(light);
    auto* details = new QPushButton(Gallery::demo("Подробнее", "Details"));
    details->setCheckable(true);
    applyDetailsButtonStyle(details, panel, panel->palette());
    for (QPushButton* b : {left, right, dark, light, details}) {
        b->setMinimumSize(80, 28);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    auto* title = new QLabel(Gallery::demo("Аналоговый вход 1", "Analogue input 1"));
    applyEditorTitleStyle(title, title->palette());
    layout->addWidget(title);
    auto* unit = new QLabel(Gallery::demo("Единицы: мА", "Units: mA"));
    applyUnitTextStyle(unit);
    layout->addWidget(unit);
    Gallery::save(panel, outDir, "style_controls_styled");
}

// The wiring picture as the analogue-input editor shows it, on the editor's dark background, with
// two-digit numbers as the larger boards have.
void ainConnections(const QString& outDir)
{
    const QStringList modes = {"voltage", "current", "rtd2", "rtd3", "rtd2_mode4", "none"};
    for (int mode = 0; mode < modes.size(); ++mode) {
        for (int variant = 0; variant < 2; ++variant) {
            for (bool flipped : {false, true}) {
                auto* panel = darkPanel(240, 226);
                setPanelBackground(panel);
                auto* widget = new AinConnection(panel);
                widget->showConnection(mode, variant);
                widget->setAinTexts({"11", "12"});
                widget->setPinTexts({"20", "21", "22"});
                widget->setFlipped(flipped);
                Gallery::save(panel, outDir,
                              QString("style_ainconnection_%1_%2_%3")
                                  .arg(modes.at(mode), variant == 0 ? "odd" : "even",
                                       flipped ? "upper" : "lower"));
            }
        }
    }
}

} // namespace

TAV_GALLERY_SCENES(style)
{
    ainConnections(outDir);
    toolBars(outDir);
    controls(outDir);
    flatButtons(outDir);
    radioButtons(outDir);
    headers(outDir);
}
