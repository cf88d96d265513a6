#include "widgets/wheelguard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

WheelGuard::WheelGuard(QObject* application)
    : QObject(application)
{
    setObjectName(QStringLiteral("wheelGuard"));
    application->installEventFilter(this);
}

void WheelGuard::install()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application
        && !application->findChild<WheelGuard*>(QStringLiteral("wheelGuard"),
                                                 Qt::FindDirectChildrenOnly))
        new WheelGuard(application);
}

bool WheelGuard::turnsValue(const QWidget* widget)
{
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)
           || (qobject_cast<const QAbstractSlider*>(widget)
               && !qobject_cast<const QScrollBar*>(widget));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Polish) {
        // Qt hands a control of wheel focus the focus before the control sees the wheel.
        if (widget->focusPolicy() == Qt::WheelFocus && turnsValue(widget))
            widget->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && !widget->hasFocus() && turnsValue(widget)) {
        // Left unaccepted, the wheel goes on to the control's parents, which scroll.
        event->ignore();
        return true;
    }
    return false;
}
