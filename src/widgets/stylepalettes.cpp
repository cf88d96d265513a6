// Palette and structured members of the style source.
#include "widgets/stylesource.h"

#include "widgets/header.h"
#include "widgets/radiobutton.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

QFont segoe(int pixelSize) { return makeFont(fontFamilySegoe, pixelSize, false); }
QFont heros(int pixelSize) { return makeFont(fontFamilyHeros, pixelSize, false); }

void setBrush(QPalette& palette, QPalette::ColorGroup group, QPalette::ColorRole role,
              const QColor& colour)
{
    palette.setBrush(group, role, QBrush(colour, Qt::SolidPattern));
}

void setPaletteAndFont(QWidget* widget, const QPalette& palette, const QFont& font)
{
    widget->setPalette(palette);
    widget->setFont(font);
}

} // namespace

void applyEditorTitleStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::WindowText, Qt::white);
    setBrush(p, QPalette::Disabled, QPalette::WindowText, Qt::gray);
    setPaletteAndFont(widget, p, heros(15));
}

void applyDarkPanelTitleStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::Window, QColor(0x44484e));
    setBrush(p, QPalette::All, QPalette::WindowText, Qt::white);
    setBrush(p, QPalette::Disabled, QPalette::WindowText, Qt::gray);
    setPaletteAndFont(widget, p, heros(14));
}

void applyValueLabelStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::WindowText, QColor(0x74797f));
    setBrush(p, QPalette::Disabled, QPalette::WindowText, Qt::gray);
    setPaletteAndFont(widget, p, heros(12));
}

void applyCalibrLabelStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::WindowText, QColor(0xc5c5c5));
    setPaletteAndFont(widget, p, segoe(12));
}

void applyBlackTextStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::WindowText, Qt::black);
    setPaletteAndFont(widget, p, heros(14));
}

void applyHeaderTitleStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::Window, QColor(0x44484e));
    setBrush(p, QPalette::All, QPalette::WindowText, Qt::white);
    setPaletteAndFont(widget, p, makeFont(fontFamilySegoe + " Light", 20, false));
}

void applyHeaderSubtitleStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::Window, QColor(0x44484e));
    setBrush(p, QPalette::All, QPalette::WindowText, QColor(0x9a9ead));
    setPaletteAndFont(widget, p, heros(12));
}

void applyAccentLabelStyle(QWidget* widget, const QPalette& palette)
{
    if (!widget)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::Window, accentColor);
    setBrush(p, QPalette::All, QPalette::WindowText, Qt::white);
    setPaletteAndFont(widget, p, heros(12));
}

void applyTablePalette(QWidget* widget)
{
    if (!widget)
        return;
    QPalette p(widget->palette());
    setBrush(p, QPalette::All, QPalette::WindowText, QColor(0x484b4c));
    setPaletteAndFont(widget, p, heros(14));
}

void applyAlarmTableStyle(QTableView* table)
{
    if (!table)
        return;
    QPalette p(table->palette());
    setBrush(p, QPalette::All, QPalette::HighlightedText, Qt::white);
    setBrush(p, QPalette::All, QPalette::Highlight, QColor(0x088bd4));
    setBrush(p, QPalette::All, QPalette::Text, QColor(0x484b4c));
    // The rows' dark text needs the light ground also inside a dark dialog.
    setBrush(p, QPalette::All, QPalette::Base, Qt::white);
    setBrush(p, QPalette::All, QPalette::BrightText, QColor(0xb0b9c1));
    setBrush(p, QPalette::All, QPalette::AlternateBase, QColor(0xd9e9ed));
    setBrush(p, QPalette::All, QPalette::Window, QColor(0xd9e9ed));
    setBrush(p, QPalette::All, QPalette::Shadow, QColor(0xd9e9ed));
    setPaletteAndFont(table, p, segoe(12));
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(28);
}

void applyRadioButtonPalette(RadioButton* button, const QPalette& palette)
{
    if (!button)
        return;
    QPalette p(palette);
    setBrush(p, QPalette::All, QPalette::ButtonText, QColor(0x309bc0));
    setBrush(p, QPalette::All, QPalette::HighlightedText, QColor(0xffffff));
    setBrush(p, QPalette::All, QPalette::Text, QColor(0xb6b6b6));
    button->setPalette(p);
    const QFont font = segoe(13);
    QFont checkedFont(font);
    checkedFont.setWeight(QFont::Bold);
    button->setTextFont(font, checkedFont, font);
}

void applyRadioButtonStyle(RadioButton* button)
{
    if (!button)
        return;
    applyRadioButtonPalette(button, button->palette());
}

void applyBannerStyle(QWidget* widget, QFont& large, QFont& small)
{
    if (!widget)
        return;
    QPalette p(widget->palette());
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::WindowText, QPalette::Highlight})
        setBrush(p, QPalette::All, role, QColor(0x44484e));
    setBrush(p, QPalette::All, QPalette::BrightText, Qt::white);
    setBrush(p, QPalette::All, QPalette::Text, QColor(0x9fa4ab));
    widget->setPalette(p);
    large = heros(18);
    small = large;
    small.setPixelSize(12);
}

void applySwitchPalette(QWidget* widget, const QColor& activeHighlight, const QColor& activeBase,
                        const QColor& disabledHighlight, const QColor& disabledBase)
{
    if (!widget)
        return;
    QFont font = segoe(12);
    font.setStyle(QFont::StyleItalic);
    widget->setFont(font);
    QPalette p(widget->palette());
    setBrush(p, QPalette::Active, QPalette::Button, QColor(0x2b2d30));
    setBrush(p, QPalette::Active, QPalette::ButtonText, QColor(0xa2a4a9));
    setBrush(p, QPalette::Active, QPalette::ToolTipBase, QColor(0x2b2d30).lighter(180));
    setBrush(p, QPalette::Active, QPalette::ToolTipText, QColor(0xa2a4a9).lighter(150));
    setBrush(p, QPalette::Active, QPalette::HighlightedText, Qt::white);
    setBrush(p, QPalette::Active, QPalette::Highlight, activeHighlight);
    setBrush(p, QPalette::Active, QPalette::Base, activeBase);
    setBrush(p, QPalette::Disabled, QPalette::Button, QColor(0x2b2d30));
    setBrush(p, QPalette::Disabled, QPalette::ButtonText, QColor(0x6f7072));
    setBrush(p, QPalette::Disabled, QPalette::HighlightedText, QColor(0x6f7072));
    setBrush(p, QPalette::Disabled, QPalette::Highlight, disabledHighlight);
    setBrush(p, QPalette::Disabled, QPalette::Base, disabledBase);
    widget->setPalette(p);
}

void applyGreenSwitchStyle(QWidget* widget)
{
    applySwitchPalette(widget, QColor(0x266647), QColor(0x32be8f), QColor(0x414549),
                       QColor(0x4a4e52));
}

void applyBlueSwitchStyle(QWidget* widget)
{
    applySwitchPalette(widget, QColor(0x265468), QColor(0x309bc0), QColor(0x414549),
                       QColor(0x4a4e52));
}

void applyHeaderStyle(Header* header)
{
    if (!header)
        return;
    applyHeaderTitleStyle(header->titleLabel(), header->palette());
    applyHeaderSubtitleStyle(header->subtitleLabel(), header->palette());
}

const InfoPanelStyle& infoPanelStyle()
{
    static const InfoPanelStyle style = [] {
        InfoPanelStyle s;
        s.titleColor = QColor(0x9c9fa4);
        s.backgroundColor = QColor(0x383b3f);
        s.titleFont = makeFont(fontFamilySegoe + " Light", 12, false);
        IndicatorStyle& i = s.indicatorStyle;
        i.mainTitleColor = QColor(0x9a9ead);
        i.additionalTitleColor = QColor(0x9a9ead);
        i.mainValueColor = QColor(0xffffff);
        i.additionalValueColor = QColor(0xffffff);
        i.titleHighlightColor = QColor(Qt::red);
        i.valueHighlightColor = QColor(Qt::red);
        i.mainTitleFont = heros(14);
        i.mainValueFont = heros(24);
        i.additionalTitleFont = heros(12);
        i.additionalValueFont = heros(14);
        return s;
    }();
    return style;
}

void applyDarkBackground(QWidget* widget)
{
    if (widget)
        setBackgroundColor(widget, QColor(0x44484e));
}

void setPanelBackground(QWidget* widget)
{
    if (widget)
        setBackgroundColor(widget, QColor(0x383b3f));
}

void setWidgetBackground(QWidget* widget, const QColor& colour)
{
    if (widget)
        setBackgroundColor(widget, colour);
}

void applyDialogFont(QWidget* widget)
{
    if (widget)
        widget->setFont(segoe(12));
}

QPalette dialogPalette()
{
    QPalette p;
    const struct
    {
        QPalette::ColorRole role;
        QColor colour;
    } roles[] = {
        {QPalette::Window, QColor(0x44484e)},      {QPalette::WindowText, Qt::white},
        {QPalette::Base, QColor(0x2b2d30)},        {QPalette::AlternateBase, QColor(0x383b3f)},
        {QPalette::Text, Qt::white},               {QPalette::BrightText, Qt::white},
        {QPalette::Button, QColor(0x555a60)},      {QPalette::ButtonText, Qt::white},
        {QPalette::Highlight, QColor(0x088bd4)},   {QPalette::HighlightedText, Qt::white},
        {QPalette::ToolTipBase, QColor(0x2b2d30)}, {QPalette::ToolTipText, Qt::white},
        {QPalette::Link, QColor(0x74c8ff)},        {QPalette::LinkVisited, QColor(0x74c8ff)},
        {QPalette::PlaceholderText, QColor(0x9c9fa4)},
        {QPalette::Light, QColor(0x6d6f70)},       {QPalette::Midlight, QColor(0x61666d)},
        {QPalette::Mid, QColor(0x53575d)},         {QPalette::Dark, QColor(0x2b2d30)},
        {QPalette::Shadow, QColor(0x1e1f21)},
    };
    for (const auto& r : roles)
        setBrush(p, QPalette::All, r.role, r.colour);
    // Disabled texts stay readable on the dark grounds, yet clearly apart from enabled ones.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        setBrush(p, QPalette::Disabled, role, QColor(0x9a9ead));
    setBrush(p, QPalette::Disabled, QPalette::Button, QColor(0x44484e));
    return p;
}

void emptyStyleHook(QWidget*) {}

void addDialogButtons(QDialogButtonBox* box)
{
    if (!box)
        return;
    // Placeholder texts: callers put in translated ones with setDialogButtonTexts.
    const QList<QPair<QString, QDialogButtonBox::ButtonRole>> buttons = {
        {QCoreApplication::translate("DialogButtons", "ok"), QDialogButtonBox::AcceptRole},
        {QCoreApplication::translate("DialogButtons", "cancel"), QDialogButtonBox::RejectRole}};
    for (const auto& b : buttons) {
        if (QPushButton* button = box->addButton(b.first, b.second)) {
            button->setMinimumSize(75, 25);
            applyLightButtonStyle(button);
        }
    }
}

void setDialogButtonTexts(QDialogButtonBox* box, const QString& acceptText,
                          const QString& rejectText)
{
    if (!box)
        return;
    const auto buttons = box->buttons();
    for (QAbstractButton* button : buttons) {
        const auto role = box->buttonRole(button);
        if (role == QDialogButtonBox::AcceptRole)
            button->setText(acceptText);
        else if (role == QDialogButtonBox::RejectRole)
            button->setText(rejectText);
    }
}
