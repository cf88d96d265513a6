#pragma once

#include <QColor>
#include <QFont>

// Fonts and colours of one indicator tile. The highlight colours are the BrightText colours shown
// while the main title and value are highlighted.
struct IndicatorStyle
{
    QFont mainTitleFont;
    QFont mainValueFont;
    QFont additionalTitleFont;
    QFont additionalValueFont;
    QColor mainTitleColor;
    QColor mainValueColor;
    QColor additionalTitleColor;
    QColor additionalValueColor;
    QColor titleHighlightColor;
    QColor valueHighlightColor;
};
