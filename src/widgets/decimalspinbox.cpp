#include "widgets/decimalspinbox.h"

DecimalSpinBox::DecimalSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{
}

QString DecimalSpinBox::withOwnSeparator(QString text) const
{
    const QChar own = locale().decimalPoint();
    for (const QChar separator : {QLatin1Char('.'), QLatin1Char(',')}) {
        if (separator != own)
            text.replace(separator, own);
    }
    return text;
}

// The box's text takes the changed separator too, so that what is shown is what is read.
QValidator::State DecimalSpinBox::validate(QString& text, int& position) const
{
    text = withOwnSeparator(text);
    return QDoubleSpinBox::validate(text, position);
}

double DecimalSpinBox::valueFromText(const QString& text) const
{
    return QDoubleSpinBox::valueFromText(withOwnSeparator(text));
}
