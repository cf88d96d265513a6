#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QProgressDialog;

// The progress dialog of a configuration write. The controller reports nothing while it stores
// the image, so the bar advances by time, one step every 100 ms, and the dialog closes by itself
// at its maximum even when the write has not answered yet.
class WriteProgress : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepMs = 100;
    // Steps per configured device.
    static constexpr int StepsPerDevice = 3;

    explicit WriteProgress(QObject* parent = nullptr);
    ~WriteProgress() override;

    QProgressDialog* dialog() const;
    bool isRunning() const { return timer.isActive(); }

    // A dialog still open from an earlier write is closed first.
    void start(int devices);
    void stop();

public slots:
    void progressTimeout();

private:
    QTimer timer;
    QPointer<QProgressDialog> m_dialog;
};
