#include "widgets/heldvaluebox.h"

#include <QDoubleSpinBox>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <type_traits>

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

double stepped(double held, double by, double minimum, double maximum)
{
    if (held > maximum)
        return maximum;
    if (held < minimum)
        return minimum;
    return std::clamp(held + by, minimum, maximum);
}

} // namespace HeldText

template <typename Base>
HeldValueBox<Base>::HeldValueBox(QWidget* parent)
    : Base(parent)
{
}

template <typename Base>
void HeldValueBox<Base>::setHeld(std::optional<double> value, double minimum)
{
    m_held = value;
    m_minimum = minimum;
}

template <typename Base>
std::optional<double> HeldValueBox<Base>::held() const
{
    // The blank stands for the held value only while it shows it.
    if (m_held && Base::value() == Base::minimum()
        && !Base::specialValueText().trimmed().isEmpty())
        return m_held;
    return std::nullopt;
}

template <typename Base>
void HeldValueBox<Base>::stepBy(int steps)
{
    const std::optional<double> from = held();
    if (!from || steps == 0) {
        Base::stepBy(steps);
        return;
    }
    const double to = HeldText::stepped(*from, steps * double(Base::singleStep()), m_minimum,
                                        double(Base::maximum()));
    if constexpr (std::is_same_v<Base, QSpinBox>)
        Base::setValue(int(std::lround(to)));
    else
        Base::setValue(to);
    Base::selectAll();
}

template <typename Base>
typename Base::StepEnabled HeldValueBox<Base>::stepEnabled() const
{
    if (held() && !Base::isReadOnly())
        return Base::StepUpEnabled | Base::StepDownEnabled;
    return Base::stepEnabled();
}

template class HeldValueBox<QSpinBox>;
template class HeldValueBox<QDoubleSpinBox>;
