// The style functions of the information panels and pop-ups, kept beside the classes they style.
#include "widgets/infopanel/infopanel.h"
#include "widgets/infowidget.h"
#include "widgets/stylesource.h"

void applyInfoPanelStyle(InfoPanel* panel)
{
    if (panel)
        panel->applyStyle(infoPanelStyle());
}

void applySystemDetailsStyle(InfoWidget* widget)
{
    if (!widget)
        return;
    widget->titleFont = makeFont(fontFamilyHeros, 14, false);
    widget->nameFont = makeFont(fontFamilySegoe, 12, false);
    widget->valueFont = makeFont(fontFamilyHeros, 14, true);
    widget->setSectionSizes(QSize(layoutMetrics().detailTitleWidth, 30), QSize(310, 170), 16);
}

void applyUpgradeDetailsStyle(InfoWidget* widget)
{
    if (!widget)
        return;
    widget->titleFont = makeFont(fontFamilyHeros, 14, false);
    widget->nameFont = makeFont(fontFamilySegoe, 12, false);
    widget->valueFont = makeFont(fontFamilyHeros, 12, false);
    widget->setColumnRatio(0.4, 0.58);
    widget->setSectionSizes(QSize(310, 24), QSize(310, 155), 15);
}
