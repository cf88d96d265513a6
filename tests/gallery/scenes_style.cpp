// Scenes of the style source and the small building blocks: flat button, radio button, header.
#include "gallery.h"

#include "widgets/flatbutton.h"
#include "widgets/header.h"
#include "widgets/radiobutton.h"
#include "widgets/style.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

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
    auto* normal = make(QObject::tr("Начать отладку"));
    Gallery::save(normal, outDir, "style_flatbutton_text");
    hover(normal);
    Gallery::save(normal, outDir, "style_flatbutton_text_hovered");
    auto* disabled = make(QObject::tr("Начать отладку"));
    disabled->setEnabled(false);
    Gallery::save(disabled, outDir, "style_flatbutton_text_disabled");
}

void radioButtons(const QString& outDir)
{
    auto* panel = darkPanel(420, 40);
    auto* layout = new QHBoxLayout(panel);
    auto* off = new RadioButton(QIcon(), QObject::tr("Напряжение"), panel);
    auto* on = new RadioButton(QIcon(), QObject::tr("Ток"), panel);
    auto* hovered = new RadioButton(QIcon(), QObject::tr("Термосопротивление"), panel);
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
    header->setTexts(QObject::tr("Система"), QObject::tr("3 устройства, 1 контроллер"));
    header->resize(544, 56);
    Gallery::save(header, outDir, "style_header_filled");
    auto* empty = new Header;
    applyHeaderStyle(empty);
    empty->setTexts(QString(), QString());
    empty->resize(544, 50);
    Gallery::save(empty, outDir, "style_header_empty");
}

} // namespace

TAV_GALLERY_SCENES(style)
{
    flatButtons(outDir);
    radioButtons(outDir);
    headers(outDir);
}
