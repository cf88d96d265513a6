#include "widgets/textstyles.h"

#include "widgets/precondition.h"
#include "widgets/utils/widgetutils.h"

#include <QCoreApplication>
#include <QPair>
#include <QVector>
#include <QWidget>

const QString fontFamilySegoe = QStringLiteral("Segoe UI");
const QString fontFamilyHeros = QStringLiteral("TeXGyreHeros");
const QColor accentColor(0x0d, 0x79, 0xcd);

namespace {

QMap<QString, TextStyle> buildTextStyles()
{
    const QString light = fontFamilySegoe + QStringLiteral(" Light");
    const QVector<QPair<QString, TextStyle>> rows = {
        {QStringLiteral("PanelHeader"), {makeFont(light, 12, false), QColor(0x9c9fa4)}},
        {QStringLiteral("PanelTitles"), {makeFont(fontFamilyHeros, 15, false), QColor(0xffffff)}},
        {QStringLiteral("PanelTitlesSmall"), {makeFont(fontFamilyHeros, 12, false), QColor(0xb6b6b6)}},
        {QStringLiteral("PanelUnit"), {makeFont(fontFamilyHeros, 12, false), QColor(0x74797f)}},
        {QStringLiteral("AinConPin"), {makeFont(fontFamilyHeros, 16, false), QColor(0xffffff)}},
        {QStringLiteral("AinConAin"), {makeFont(fontFamilyHeros, 16, false), QColor(0x9f9a84)}},
        {QStringLiteral("BlankInfo"), {makeFont(fontFamilySegoe, 14, false), QColor(0x9c9fa4)}},
        {QStringLiteral("UnitLabel"), {makeFont(fontFamilySegoe, 12, false), QColor(0xaab3ba)}},
        {QStringLiteral("UnitText"), {makeFont(fontFamilySegoe, 12, false), QColor(0xaab3ba)}},
        {QStringLiteral("UnitValue"), {makeFont(fontFamilySegoe, 14, false), QColor(0xffffff)}},
    };
    QMap<QString, TextStyle> table;
    for (const auto& row : rows)
        table.insert(row.first, row.second);
    return table;
}

} // namespace

const QMap<QString, TextStyle>& textStyles()
{
    // Fonts made before the application object would miss its default font and substitutions.
    if (!TAV_PRECONDITION(QCoreApplication::instance())) {
        static const QMap<QString, TextStyle> none;
        return none;
    }
    static const QMap<QString, TextStyle> table = buildTextStyles();
    return table;
}

void applyTextStyle(QWidget* widget, const QString& name)
{
    if (!widget)
        return;
    const auto& table = textStyles();
    const auto found = table.constFind(name);
    if (found == table.constEnd())
        return;
    applyFontAndColors(widget, found->color, found->color, found->font);
}

void applyPanelHeaderStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("PanelHeader")); }
void applyPanelTitlesStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("PanelTitles")); }
void applyPanelTitlesSmallStyle(QWidget* widget)
{
    applyTextStyle(widget, QStringLiteral("PanelTitlesSmall"));
}
void applyPanelUnitStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("PanelUnit")); }
void applyAinConPinStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("AinConPin")); }
void applyAinConAinStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("AinConAin")); }

void applyBlankInfoTextStyle(QWidget* widget)
{
    if (!widget)
        return;
    applyTextStyle(widget, QStringLiteral("BlankInfo"));
    setBackgroundColor(widget, QColor(0x3d4044));
}

void applyUnitLabelStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("UnitLabel")); }
void applyUnitTextStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("UnitText")); }
void applyUnitValueStyle(QWidget* widget) { applyTextStyle(widget, QStringLiteral("UnitValue")); }
