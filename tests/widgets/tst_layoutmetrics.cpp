// Row geometry of the tree delegates, tool-button sizes and the tool-bar style that applies them.
#include "widgets/layoutmetrics.h"
#include "widgets/stylesource.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolBar>
#include <QtTest>

namespace {

QRect span(int left, int right) { return QRect(QPoint(left, 0), QPoint(right, 29)); }

} // namespace

class TestLayoutMetrics : public QObject
{
    Q_OBJECT
private slots:
    void itemRects_data();
    void itemRects();
    void frameRects_data();
    void frameRects();
    void separatorIsNotDrawnOnSelectedRow();
    void toolBarStyleSizesButtonsFromActionData();
    void wideButtonSizeIsFixedAtFirstUse();
};

void TestLayoutMetrics::itemRects_data()
{
    QTest::addColumn<bool>("deepIndent");
    QTest::addColumn<bool>("noIcon");
    QTest::addColumn<bool>("indent");
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<QRect>("text");
    QTest::newRow("plain") << false << false << false << span(16, 39) << span(43, 199);
    QTest::newRow("no icon") << false << true << false << span(16, 39) << span(19, 199);
    QTest::newRow("indent") << false << false << true << span(24, 47) << span(51, 199);
    QTest::newRow("deep indent") << true << false << true << span(34, 57) << span(61, 199);
}

void TestLayoutMetrics::itemRects()
{
    QFETCH(bool, deepIndent);
    QFETCH(bool, noIcon);
    QFETCH(bool, indent);
    QRect text, arrow, icon;
    calcItemRects(span(0, 199), text, arrow, icon, deepIndent, noIcon, indent);
    QCOMPARE(arrow, span(0, 19));
    QTEST(icon, "icon");
    QTEST(text, "text");
}

void TestLayoutMetrics::frameRects_data()
{
    const QRect item(QPoint(0, 0), QPoint(199, 59));
    QTest::addColumn<bool>("groupRow");
    QTest::addColumn<bool>("framed");
    QTest::addColumn<bool>("frameEnd");
    QTest::addColumn<bool>("groupOpen");
    QTest::addColumn<QRect>("content");
    QTest::addColumn<QRect>("frame");
    const QRect untouched;
    QTest::newRow("plain") << false << false << false << false << item << untouched;
    QTest::newRow("group closed") << true << false << false << false
                                  << QRect(QPoint(2, 2), QPoint(197, 59)) << untouched;
    QTest::newRow("group open") << true << false << false << true
                                << QRect(QPoint(5, 30), QPoint(194, 59))
                                << QRect(QPoint(2, 2), QPoint(197, 59));
    QTest::newRow("frame end") << false << false << true << false
                               << QRect(QPoint(5, 3), QPoint(194, 54))
                               << QRect(QPoint(2, 0), QPoint(197, 54));
    QTest::newRow("framed") << false << true << false << false
                            << QRect(QPoint(5, 0), QPoint(194, 59))
                            << QRect(QPoint(2, 0), QPoint(197, 59));
}

void TestLayoutMetrics::frameRects()
{
    QFETCH(bool, groupRow);
    QFETCH(bool, framed);
    QFETCH(bool, frameEnd);
    QFETCH(bool, groupOpen);
    QRect content;
    QRect frame;
    calcItemFrameRects(QRect(QPoint(0, 0), QPoint(199, 59)), content, frame, groupRow, framed,
                       frameEnd, groupOpen);
    QTEST(content, "content");
    QTEST(frame, "frame");
}

void TestLayoutMetrics::separatorIsNotDrawnOnSelectedRow()
{
    const QRect content(0, 0, 40, 10);
    for (bool selected : {false, true}) {
        QImage image(40, 10, QImage::Format_RGB32);
        image.fill(Qt::black);
        QStyleOptionViewItem option;
        option.state = selected ? QStyle::State_Selected : QStyle::State_None;
        QPainter painter(&image);
        drawItemBackground(&painter, option, content, QRect(), Qt::white, false, true, 20);
        painter.end();
        QCOMPARE(QColor(image.pixel(20, 5)), selected ? QColor(Qt::white) : QColor("#45a1fe"));
        QCOMPARE(QColor(image.pixel(19, 5)), QColor(Qt::white));
    }
}

void TestLayoutMetrics::toolBarStyleSizesButtonsFromActionData()
{
    QToolBar bar;
    QAction* wide = bar.addAction("wide");
    QAction* normal = bar.addAction("normal");
    QAction* plain = bar.addAction("plain");
    setToolButtonSizeWide(wide);
    setToolButtonSizeNormal(normal);
    const QSize plainMinimum = bar.widgetForAction(plain)->minimumSize();
    const QSize plainMaximum = bar.widgetForAction(plain)->maximumSize();
    applyToolBarStyle(&bar);
    QCOMPARE(bar.widgetForAction(wide)->size(), QSize(44, 40));
    QCOMPARE(bar.widgetForAction(wide)->minimumSize(), QSize(44, 40));
    QCOMPARE(bar.widgetForAction(normal)->maximumSize(), QSize(43, 40));
    QCOMPARE(bar.widgetForAction(plain)->minimumSize(), plainMinimum);
    QCOMPARE(bar.widgetForAction(plain)->maximumSize(), plainMaximum);
    QCOMPARE(bar.iconSize(), QSize(39, 36));
    QCOMPARE(bar.toolButtonStyle(), Qt::ToolButtonIconOnly);
}

void TestLayoutMetrics::wideButtonSizeIsFixedAtFirstUse()
{
    QAction first("first");
    setToolButtonSizeWide(&first);
    selectLayoutMetrics(true);
    QAction second("second");
    setToolButtonSizeWide(&second);
    QCOMPARE(panelWidthLarge(), 380);
    QCOMPARE(panelWidthSmall(), 230);
    selectLayoutMetrics(false);
    QCOMPARE(second.data().toSize(), QSize(44, 40));
    QCOMPARE(panelWidthLarge(), 390);
    QCOMPARE(panelWidthSmall(), 220);
    setToolButtonSizeWide(nullptr);
}

QTEST_MAIN(TestLayoutMetrics)
#include "tst_layoutmetrics.moc"
