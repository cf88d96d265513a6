#include "widgets/indicator/indicator.h"

#include "ui_indicator.h"
#include "widgets/indicator/indicatorstyle.h"
#include "widgets/precondition.h"
#include "widgets/utils/widgetutils.h"

namespace {
constexpr int ExtraTitleHeight = 15;
}

Indicator::Indicator(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Indicator)
{
    ui->setupUi(this);
    clearIndicator(this);
}

Indicator::~Indicator()
{
    delete ui;
}

void Indicator::setMainTitle(const QString& text)
{
    // The statistics set the same title on every monitoring tick: measure it only when it changes.
    if (text == ui->mainTitle->text())
        return;
    ui->mainTitle->setText(text);
    fitMainTitle();
}

// The substitute fonts run a little wider than the ones the form was drawn for: the title asks
// the layout for its whole text, up to the form's limit, so a narrow panel does not clip it.
void Indicator::fitMainTitle()
{
    QLabel* title = ui->mainTitle;
    const int needed = title->fontMetrics().horizontalAdvance(title->text()) + 2;
    title->setMinimumWidth(qBound(70, needed, title->maximumWidth()));
}

void Indicator::setMainValue(const QString& text)
{
    ui->mainValue->setText(text);
}

void Indicator::setExtraTitle(const QString& text)
{
    ui->extraTitle->setText(text);
}

QLabel* Indicator::additionalTitle(int i) const
{
    if (!TAV_PRECONDITION(i>=0 && i<nAdditionalFields))
        return nullptr;
    QLabel* const titles[nAdditionalFields] = {ui->addTitle_0, ui->addTitle_1, ui->addTitle_2,
                                               ui->addTitle_3};
    return titles[i];
}

QLabel* Indicator::additionalValue(int i) const
{
    if (!TAV_PRECONDITION(i>=0 && i<nAdditionalFields))
        return nullptr;
    QLabel* const values[nAdditionalFields] = {ui->addValue_0, ui->addValue_1, ui->addValue_2,
                                               ui->addValue_3};
    return values[i];
}

void Indicator::setAdditionalTitle(int i, const QString& text)
{
    if (QLabel* label = additionalTitle(i))
        label->setText(text);
}

void Indicator::setAdditionalValue(int i, const QString& text)
{
    if (QLabel* label = additionalValue(i))
        label->setText(text);
}

void Indicator::setAdditionalFieldsHidden(bool hidden)
{
    for (int i = 0; i < nAdditionalFields; ++i) {
        additionalTitle(i)->setVisible(!hidden);
        additionalValue(i)->setVisible(!hidden);
    }
    setMinimumWidth(60);
}

void Indicator::setHighlighted(bool on)
{
    const QPalette::ColorRole role = on ? QPalette::BrightText : QPalette::WindowText;
    ui->mainTitle->setForegroundRole(role);
    ui->mainValue->setForegroundRole(role);
}

void Indicator::collapseExtraTitle()
{
    ui->extraTitle->setMinimumHeight(3);
    ui->extraTitle->resize(ui->extraTitle->width(), 3);
}

void Indicator::useExtraTitle(bool use)
{
    if (!use)
        collapseExtraTitle();
}

void Indicator::applyStyle(const IndicatorStyle& style)
{
    applyFontAndColors(ui->mainTitle, style.mainTitleColor, style.titleHighlightColor,
                       style.mainTitleFont);
    fitMainTitle();
    applyFontAndColors(ui->mainValue, style.mainValueColor, style.valueHighlightColor,
                       style.mainValueFont);
    applyFontAndColors(ui->extraTitle, style.additionalValueColor, style.valueHighlightColor,
                       style.additionalValueFont);
    // Likewise the unit line: the substitute fonts stand taller than the form's 15 px.
    if (ui->extraTitle->minimumHeight() >= ExtraTitleHeight)
        ui->extraTitle->setMinimumHeight(
            qMax(ExtraTitleHeight, ui->extraTitle->fontMetrics().height()));
    for (int i = 0; i < nAdditionalFields; ++i) {
        applyFontAndColors(additionalTitle(i), style.additionalTitleColor,
                           style.titleHighlightColor, style.additionalTitleFont);
        applyFontAndColors(additionalValue(i), style.additionalValueColor,
                           style.valueHighlightColor, style.additionalValueFont);
    }
}

void setIndicator(Indicator* indicator, const QVector<QPair<QString, QString>>& fields,
                  bool useExtraTitle, bool hideAdditional)
{
    if (!TAV_PRECONDITION(indicator))
        return;
    if (fields.isEmpty())
        return;
    indicator->setMainTitle(fields.first().first);
    indicator->setMainValue(fields.first().second);
    const int extra = qMin(fields.size() - 1, int(Indicator::nAdditionalFields));
    for (int i = 0; i < extra; ++i) {
        indicator->setAdditionalTitle(i, fields.at(i + 1).first);
        indicator->setAdditionalValue(i, fields.at(i + 1).second);
    }
    if (hideAdditional)
        indicator->setAdditionalFieldsHidden(true);
    if (!useExtraTitle)
        indicator->collapseExtraTitle();
}

void clearIndicator(Indicator* i)
{
    if (!TAV_PRECONDITION(i))
        return;
    i->setMainTitle(QString());
    i->setMainValue(QString());
    for (int n = 0; n < Indicator::nAdditionalFields; ++n) {
        i->setAdditionalValue(n, QString());
        i->setAdditionalTitle(n, QString());
    }
}
