#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

// The contrast ratio of two colours as the web's accessibility rules define it: 1 for equal
// colours, 21 for black on white; text needs 4.5 to read comfortably.
inline double colourContrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
