#include "widgets/startup.h"

#include <QFont>
#include <QStringList>

void registerFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Segoe UI"), {QStringLiteral("Open Sans")});
    QFont::insertSubstitutions(QStringLiteral("Segoe UI Light"),
                               {QStringLiteral("Open Sans Light"), QStringLiteral("Open Sans")});
    QFont::insertSubstitutions(QStringLiteral("Segoe UI Semibold"),
                               {QStringLiteral("Open Sans Semibold"), QStringLiteral("Open Sans")});
    QFont::insertSubstitutions(QStringLiteral("TeXGyreHeros"), {QStringLiteral("TeX Gyre Heros")});
}

void initWidgets()
{
    registerFontSubstitutions();
}
