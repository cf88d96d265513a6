#include "widgets/decimalspinbox.h"

#include <algorithm>

DecimalSpinBox::DecimalSpinBox(QWidget* parent)
    : HeldValueBox<QDoubleSpinBox>(parent)
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
    return HeldText::state(text, specialValueText(), QDoubleSpinBox::validate(text, position));
}

double DecimalSpinBox::valueFromText(const QString& text) const
{
    const QString own = withOwnSeparator(text);
    return HeldText::isHeld(own, specialValueText()) ? minimum()
                                                      : QDoubleSpinBox::valueFromText(own);
}

// An emptied box, a lone sign or a lone separator would otherwise be read as 0 by a box that
// corrects to the nearest value: a voltage the user never typed.
void DecimalSpinBox::fixup(QString& text) const
{
    QStringRef number(&text);
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number = number.mid(prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    if (std::none_of(number.cbegin(), number.cend(), [](QChar c) { return c.isDigit(); }))
        text = prefix() + textFromValue(value()) + suffix();
    else
        QDoubleSpinBox::fixup(text);
}
