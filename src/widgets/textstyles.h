#pragma once

#include <QColor>
#include <QFont>
#include <QMap>
#include <QString>

class QWidget;

// The two families every style function names; the Light and Semibold faces are formed by
// appending " Light" and " Semibold" to fontFamilySegoe.
extern const QString fontFamilySegoe;
extern const QString fontFamilyHeros;
// The window colour of accent labels.
extern const QColor accentColor;

struct TextStyle
{
    QFont font;
    QColor color;
};

// The named text-style table. Built on first use: fonts need the application object, so the
// table must not be filled by a static initialiser before it exists.
const QMap<QString, TextStyle>& textStyles();

// Gives the widget the named style's font, and its colour as foreground and BrightText colour.
// Names are compared exactly; an unknown name changes nothing.
void applyTextStyle(QWidget* widget, const QString& name);

void applyPanelHeaderStyle(QWidget* widget);
void applyPanelTitlesStyle(QWidget* widget);
void applyPanelTitlesSmallStyle(QWidget* widget);
void applyPanelUnitStyle(QWidget* widget);
void applyAinConPinStyle(QWidget* widget);
void applyAinConAinStyle(QWidget* widget);
void applyBlankInfoTextStyle(QWidget* widget);
void applyUnitLabelStyle(QWidget* widget);
void applyUnitTextStyle(QWidget* widget);
void applyUnitValueStyle(QWidget* widget);
