#pragma once

#include <QTabBar>

// A flat tab bar painted from its palette that ignores the mouse wheel, so that turning the wheel
// over a page selector never switches pages.
class TabBarNoWheel : public QTabBar
{
    Q_OBJECT

public:
    explicit TabBarNoWheel(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    // Every tab is as large as the bar's minimum size; owners size the tabs through it.
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};
