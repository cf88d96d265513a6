#pragma once

#include "widgets/heldvaluebox.h"

#include <QDoubleSpinBox>

// A decimal box that reads "," and "." alike as the decimal separator, whatever the language:
// a plain box takes only its locale's separator and reads the other one as a group separator or
// drops what follows it, so "2.5" typed on a Russian system would silently become 2.0.
// A text that holds no digit is no number: the box shows its value again, whatever its
// correction mode, instead of taking a value of its own choosing. Its special-value text typed
// again is its special value (`HeldText`).
class DecimalSpinBox : public HeldValueBox<QDoubleSpinBox>
{
    Q_OBJECT

public:
    explicit DecimalSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& position) const override;
    double valueFromText(const QString& text) const override;
    void fixup(QString& text) const override;

private:
    QString withOwnSeparator(QString text) const;
};
