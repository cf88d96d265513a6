#pragma once

#include <QValidator>

#include <optional>

class QWidget;

// A box's special-value text may stand for a value of the record the box cannot take (one beyond
// its range, or finer than its decimals, kept until the user enters another): typed again as
// shown, that text is the box's special value, not a number to correct into the range. A blank
// special text is no value.
namespace HeldText {

// `number` is what the box's own validation says of `text`.
QValidator::State state(const QString& text, const QString& special, QValidator::State number);
bool isHeld(const QString& text, const QString& special);

// Where a step of `by` from the held value lands in the range from `minimum` to `maximum`: from
// outside the range at its nearest end, whichever way the step goes, so that one notch or key
// never carries a value across the whole range; from inside it, `by` further.
double stepped(double held, double by, double minimum, double maximum);

} // namespace HeldText

// What a record-fed box shares, whole or decimal: while the box shows a held value at its blank
// below the range, a step starts from the held value and lands in the range.
template <typename Base>
class HeldValueBox : public Base
{
public:
    explicit HeldValueBox(QWidget* parent);

    // The record's value the box shows as its special-value text while it sits at its blank,
    // and the lowest value of its real range (the blank is below it); none once a value is
    // entered.
    void setHeld(std::optional<double> value, double minimum = 0);
    std::optional<double> held() const;

    void stepBy(int steps) override;

protected:
    typename Base::StepEnabled stepEnabled() const override;

private:
    std::optional<double> m_held;
    double m_minimum = 0;
};
