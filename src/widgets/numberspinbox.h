#pragma once

#include <QSpinBox>
#include <QValidator>

// A box's special-value text may stand for a value of the record the box cannot take (one beyond
// its range, kept until the user enters another): typed again as shown, that text is the box's
// special value, not a number to correct into the range. A blank special text is no value.
namespace HeldText {

// `number` is what the box's own validation says of `text`.
QValidator::State state(const QString& text, const QString& special, QValidator::State number);
bool isHeld(const QString& text, const QString& special);

} // namespace HeldText

// A whole-number box that reads its special-value text back as its special value.
class NumberSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit NumberSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& position) const override;
    int valueFromText(const QString& text) const override;
};
