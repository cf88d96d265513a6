#pragma once

#include <QObject>

class QWidget;

// The wheel changes a value only in the control the user is in. Turned over a list, a number box
// or a slider without the focus it scrolls whatever holds the control and changes nothing; it
// never gives such a control the focus either, so one notch cannot pick a control and change it.
// One guard watches every widget of the application.
class WheelGuard : public QObject
{
    Q_OBJECT

public:
    // Once for the application; later calls find the guard there.
    static void install();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WheelGuard(QObject* application);

    // A control whose value the wheel turns; a scroll bar only moves what it scrolls.
    static bool turnsValue(const QWidget* widget);
};
