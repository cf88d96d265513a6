#pragma once

#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"

#include <QGroupBox>
#include <QLabel>
#include <QPalette>

// Reads back what a statistics panel shows.
namespace PanelProbe {

inline QString label(const InfoPanel* panel, int n, const char* name)
{
    const Indicator* indicator = panel->indicator(n);
    const QLabel* l = indicator ? indicator->findChild<QLabel*>(QLatin1String(name)) : nullptr;
    return l ? l->text() : QStringLiteral("<missing>");
}

inline QString title(const InfoPanel* panel, int n) { return label(panel, n, "mainTitle"); }
inline QString value(const InfoPanel* panel, int n) { return label(panel, n, "mainValue"); }
inline QString extra(const InfoPanel* panel, int n) { return label(panel, n, "extraTitle"); }

inline bool highlighted(const InfoPanel* panel, int n)
{
    const QLabel* l = panel->indicator(n)->findChild<QLabel*>(QStringLiteral("mainValue"));
    return l && l->foregroundRole() == QPalette::BrightText;
}

inline QString panelTitle(const InfoPanel* panel)
{
    const QGroupBox* box = panel->findChild<QGroupBox*>(QStringLiteral("name"));
    return box ? box->title() : QStringLiteral("<missing>");
}

} // namespace PanelProbe
