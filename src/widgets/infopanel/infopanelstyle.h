#pragma once

#include "widgets/indicator/indicatorstyle.h"

#include <QColor>
#include <QFont>

// Fonts and colours of an information panel: its title, its background and its six indicators.
struct InfoPanelStyle
{
    QFont titleFont;
    QColor titleColor;
    QColor backgroundColor;
    IndicatorStyle indicatorStyle;
};
