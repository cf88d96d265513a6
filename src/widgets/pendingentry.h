#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Whether a box of one window holds a value typed and not yet entered. The user who sees the
// value in the box takes it for part of the configuration: the window counts it as an unsaved
// change from the first key until the entry ends (Return, the box losing the focus, an action
// that ends it, the box refilled from its records or gone) or is given up (an editor closed with
// Escape), and then goes by the edits alone.
class PendingEntry : public QObject
{
    Q_OBJECT

public:
    explicit PendingEntry(QWidget* window, QObject* parent = nullptr);
    ~PendingEntry() override;

    bool isPending() const { return m_pending; }

    // A box whose entry is a command to the device (a live value while monitoring), not an edit
    // of the configuration: what is typed into it changes nothing to be saved.
    static void setCommandBox(QWidget* box);
    // The boxes of `boxes` show their records anew: what was typed into one of them is gone from
    // it, and its entry ends with nothing entered.
    static void refilled(const QWidget* boxes);

signals:
    void pendingChanged(bool pending);

private:
    void follow(QWidget* focused);
    void setPending(bool pending);

    QWidget* m_window;
    // The box the entry follows.
    QPointer<QWidget> m_box;
    QList<QMetaObject::Connection> m_connections;
    QString m_typed;
    bool m_pending = false;
};
