#pragma once

#include <QStringList>
#include <QWidget>

// A pill-shaped segmented switch: one segment per item text, at most one current. A click selects
// a segment only when press and release fall on the same segment that was not current at the press.
// It takes no focus, but a press first enters a value still typed into a box of its window, as a
// click on a control that takes the focus does.
class Switch : public QWidget
{
    Q_OBJECT

public:
    explicit Switch(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    int count() const { return items.size(); }
    int currentIndex() const { return current; }
    // An index outside 0..count()-1 becomes -1.
    void setCurrentIndex(int index, bool emitSignal);

    // The segment under a point, -1 outside every segment.
    int hitIndex(const QPoint& point) const;

signals:
    void currentChanged(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool isHoverBeforeCurrent() const;
    bool isHoverAfterCurrent() const;
    int segmentLeft(int i) const;
    int segmentRight(int i) const;
    void paintSegment(QPainter& painter, int i, bool adjacent, QPalette::ColorGroup group);

    QStringList items;
    int current = -1;
    int hover = -1;
    int press = -1;
    bool pressed = false;
};
