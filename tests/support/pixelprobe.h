#pragma once

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QRect>
#include <QStringList>
#include <QtTest>

// Paints a delegate's cell and looks at painted pictures and items as a user would: which colour
// the text carries, whether a colour shows in an area, and whether an item view lets a user start
// typing into a cell.
namespace PixelProbe {

// A cell at the origin as a view hands it to its delegate: black text on a white base.
inline QStyleOptionViewItem cellOption(QSize size, QStyle::State state = QStyle::State_Enabled)
{
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = state;
    option.palette.setColor(QPalette::Base, Qt::white);
    option.palette.setColor(QPalette::Text, Qt::black);
    return option;
}

// What `delegate` paints for `index` in the option's cell, on a picture filled with `ground`
// first, so that what it leaves unpainted shows as `ground`. At a device pixel ratio above 1 the
// picture has that many device pixels to each logical one, as on a high-density screen.
inline QImage paintedCell(const QAbstractItemDelegate& delegate, const QModelIndex& index,
                          const QStyleOptionViewItem& option, QColor ground = Qt::white,
                          qreal ratio = 1.0)
{
    QImage picture(option.rect.size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(ground);
    QPainter painter(&picture);
    delegate.paint(&painter, option, index);
    painter.end();
    return picture;
}

// The largest difference of one channel.
inline int distance(QColor a, QColor b)
{
    return qMax(qAbs(a.red() - b.red()),
                qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

// Share of the area's pixels within `tolerance` of colour.
inline double shareOf(const QImage& picture, const QRect& area, QColor colour, int tolerance = 3)
{
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            hits += distance(picture.pixelColor(x, y), colour) <= tolerance;
    return double(hits) / (area.width() * area.height());
}

inline bool shows(const QImage& picture, const QRect& area, QColor colour, int tolerance = 4)
{
    return shareOf(picture, area, colour, tolerance) > 0;
}

// Text is drawn antialiased: the pixel that strays farthest from the background is one the
// glyph covers whole, so it carries the pen's colour.
inline QColor inkOf(const QImage& picture, const QRect& area, QColor background)
{
    QColor ink = background;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (distance(c, background) > distance(ink, background))
                ink = c;
        }
    return ink;
}

// The ways a user starts editing a cell of an editable view; rows for a test's _data function.
inline void addEditGestureRows()
{
    QTest::addColumn<QString>("gesture");
    for (const char* gesture : {"double-click", "typing", "F2"})
        QTest::newRow(gesture) << QString::fromLatin1(gesture);
}

// Makes `index` current and tries the gesture on it; answers whether an editor opened.
inline bool editorOpens(QAbstractItemView* view, const QModelIndex& index, const QString& gesture)
{
    view->setCurrentIndex(index);
    view->setFocus();
    const QPoint centre = view->visualRect(index).center();
    if (gesture == QLatin1String("double-click")) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    } else if (gesture == QLatin1String("typing")) {
        QTest::keyClicks(view, "xyz");
    } else {
        QTest::keyClick(view, Qt::Key_F2);
    }
    return !view->findChildren<QLineEdit*>().isEmpty();
}

} // namespace PixelProbe
