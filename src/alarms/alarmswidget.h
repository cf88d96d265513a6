#pragma once

#include <QFont>
#include <QIcon>
#include <QWidget>

// The tool bar's alarm indicator: the alarm icon and the counts of active, latched and masked
// alarms; a click asks for the alarm list.
class AlarmsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmsWidget(const QIcon& icon, QWidget* parent = nullptr);

    void setCounts(int active, int latched, int masked);
    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void describeCounts();

    QIcon icon;
    QFont large;
    int counts[3] = {0, 0, 0};
};
