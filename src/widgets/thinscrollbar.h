#pragma once

#include <QRect>
#include <QWidget>

class QAbstractSlider;

// A 4-pixel scroll position indicator that mirrors a real slider (normally a scroll area's hidden
// scroll bar) and draws only a rounded handle over the content.
class ThinScrollBar : public QWidget
{
    Q_OBJECT

public:
    explicit ThinScrollBar(QAbstractSlider* slider, QWidget* parent = nullptr);

    void setHandleColor(const QColor& colour);
    QRect handleRect() const { return handle; }

public slots:
    void setRange(int min, int max);
    void setPage(int page);
    void setValue(int value);
    // Places the bar along the right edge of `area`, `yOffset` below its top.
    void putIn(QRect area, int yOffset);
    void putIn(QRect area);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void computeHandle();

    QAbstractSlider* source = nullptr;
    bool vertical = false;
    QRect handle;
    int page = 1;
    int range = 0;
    int value = 0;
    int minimumHandleLength = 30;
};
