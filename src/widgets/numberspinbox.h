#pragma once

#include "widgets/heldvaluebox.h"

#include <QSpinBox>

// A whole-number box that reads its special-value text back as its special value.
class NumberSpinBox : public HeldValueBox<QSpinBox>
{
    Q_OBJECT

public:
    explicit NumberSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& position) const override;
    int valueFromText(const QString& text) const override;
};
