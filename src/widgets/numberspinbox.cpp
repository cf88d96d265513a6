#include "widgets/numberspinbox.h"

namespace HeldText {

bool isHeld(const QString& text, const QString& special)
{
    return !special.trimmed().isEmpty() && text == special;
}

QValidator::State state(const QString& text, const QString& special, QValidator::State number)
{
    if (isHeld(text, special))
        return QValidator::Acceptable;
    // On the way to the held text, digit by digit.
    if (number == QValidator::Invalid && !text.isEmpty() && !special.trimmed().isEmpty()
        && special.startsWith(text))
        return QValidator::Intermediate;
    return number;
}

} // namespace HeldText

NumberSpinBox::NumberSpinBox(QWidget* parent)
    : QSpinBox(parent)
{
}

QValidator::State NumberSpinBox::validate(QString& text, int& position) const
{
    return HeldText::state(text, specialValueText(), QSpinBox::validate(text, position));
}

int NumberSpinBox::valueFromText(const QString& text) const
{
    return HeldText::isHeld(text, specialValueText()) ? minimum() : QSpinBox::valueFromText(text);
}
