#pragma once

#include "widgets/widgetfactory.h"

#include <QIcon>
#include <QString>

// A tool-bar icon of the menu operations from its file pattern ("save%1.png"): the pictures live
// together in the compiled-in icon folder, each with an "_off" picture for the disabled state.
inline QIcon toolIcon(const QString& pattern)
{
    return makeIcon(QStringLiteral(":/icons/resources/icons/spec/") + pattern);
}
