#pragma once

#include <QWidget>

class FlatButton;
class QIcon;

// The tool-bar area that starts and stops monitoring: one large flat button on the accent colour.
// A click says which way the user wants to switch; only setStatus changes what it believes.
class MonitorButton : public QWidget
{
    Q_OBJECT

public:
    explicit MonitorButton(const QIcon& icon, QWidget* parent = nullptr);

    void setStatus(bool on) { monitoring = on; }
    bool status() const { return monitoring; }

signals:
    void clicked();
    void monitoringOn();
    void monitoringOff();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onButtonClicked();

    bool monitoring = false;
    FlatButton* button = nullptr;
};
