#include "widgets/infopanel/infopanel.h"

#include "ui_infopanel.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanelstyle.h"
#include "widgets/precondition.h"
#include "widgets/utils/widgetutils.h"

InfoPanel::InfoPanel(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::InfoPanel)
{
    ui->setupUi(this);
    ui->name->setTitle(QString());
    // The indicators keep the form's compact size on a large screen, in the top left corner:
    // stretched, a number drifts away from its title. A column whose indicators are hidden keeps its width,
    // so panels stacked one above the other show their columns at the same places.
    ui->gridLayout_2->setAlignment(ui->name, Qt::AlignLeft | Qt::AlignTop);
    keepCompact();
    const Indicator* const columns[][2] = {{ui->info_0, ui->info_2}, {ui->info_1, ui->info_3},
                                           {ui->info_4, ui->info_5}};
    for (int c = 0; c < 3; ++c) {
        ui->gridLayout->setColumnMinimumWidth(
            c, qMax(columns[c][0]->minimumWidth(), columns[c][1]->minimumWidth()));
    }
}

InfoPanel::~InfoPanel()
{
    delete ui;
}

void InfoPanel::setTitle(const QString& title)
{
    ui->name->setTitle(title);
}

Indicator* InfoPanel::indicator(int n) const
{
    if (!TAV_PRECONDITION(n>=0 && n<nIndicators))
        return nullptr;
    Indicator* const indicators[nIndicators] = {ui->info_0, ui->info_1, ui->info_2,
                                                ui->info_3, ui->info_4, ui->info_5};
    return indicators[n];
}

void InfoPanel::applyStyle(const InfoPanelStyle& style)
{
    applyFontAndColors(ui->name, style.titleColor, style.titleColor, style.titleFont);
    setBackgroundColor(this, style.backgroundColor);
    for (int n = 0; n < nIndicators; ++n)
        indicator(n)->applyStyle(style.indicatorStyle);
    keepCompact();
}

void InfoPanel::keepCompact()
{
    // As tall as the indicators need in their fonts with a little air above each row of
    // numbers, never more.
    constexpr int kAirPerRow = 20;
    ui->name->setMaximumHeight(QWIDGETSIZE_MAX);
    ui->name->setMaximumHeight(qMax(ui->name->minimumHeight(),
                                    ui->name->minimumSizeHint().height() + 2 * kAirPerRow));
}

Indicator* panelIndicator(const InfoPanel* ip, int n)
{
    if (!TAV_PRECONDITION(ip))
        return nullptr;
    return ip->indicator(n);
}

quint32 versionFromString(const QString& text)
{
    const auto field = [&text](int n) { return quint32(text.section(QLatin1Char('.'), n, n).toInt()); };
    return (field(0) << 24) | ((field(1) << 16) & 0xff0000u) | (field(2) & 0xffffu);
}

QString versionToString(quint32 version)
{
    return QStringLiteral("%1.%2.%3")
        .arg(version >> 24)
        .arg((version >> 16) & 0xffu)
        .arg(version & 0xffffu, 4, 10, QLatin1Char('0'));
}
