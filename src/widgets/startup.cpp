#include "widgets/startup.h"

#include <QFont>
#include <QStringList>

// Q_INIT_RESOURCE must be used outside a namespace; a resource file compiled into a static library
// is dropped at link time unless something refers to it.
static void initWidgetResources() { Q_INIT_RESOURCE(widgets); }

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
    initWidgetResources();
    registerFontSubstitutions();
}
