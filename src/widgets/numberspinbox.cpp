#include "widgets/numberspinbox.h"

NumberSpinBox::NumberSpinBox(QWidget* parent)
    : HeldValueBox<QSpinBox>(parent)
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
