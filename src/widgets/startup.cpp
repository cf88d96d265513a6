#include "widgets/startup.h"

#include "widgets/textstyles.h"
#include "widgets/wheelguard.h"

#include <QApplication>
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
    // TeX Gyre Heros has no Cyrillic, and a label drawn in it would set its Russian letters in a
    // fallback face beside Heros' Latin ones. DejaVu Sans Condensed holds both alphabets and is
    // as wide as Heros, so the fixed label widths still fit.
    QFont::insertSubstitutions(fontFamilyHeros,
                               {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Open Sans")});
}

void initWidgets()
{
    initWidgetResources();
    registerFontSubstitutions();
    // The forms were laid out for the controllers' usual desktop font, Segoe UI at 9 pt. Left to
    // the platform (12 pt on some), every widget without a style of its own outgrows its form.
    QApplication::setFont(QFont(QStringLiteral("Segoe UI"), 9));
    WheelGuard::install();
}
