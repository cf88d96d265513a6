// The segmented switch: a click selects a segment only when press and release fall on the same
// segment that was not current at the press; a disabled switch ignores the mouse.
#include "widgets/switch.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Centres of the left and right half of a two-item switch 200 pixels wide.
const QPoint leftSegment(50, 15);
const QPoint rightSegment(150, 15);

} // namespace

class SwitchTest : public QObject
{
    Q_OBJECT

    Switch* sw = nullptr;

private slots:
    void init()
    {
        sw = new Switch;
        sw->setItems({"Выкл", "Вкл"});
        sw->resize(200, 30);
        sw->show();
        QVERIFY(QTest::qWaitForWindowExposed(sw));
    }

    void cleanup()
    {
        delete sw;
        sw = nullptr;
    }

    void clickOnEachHalfSelectsIt()
    {
        QSignalSpy spy(sw, &Switch::currentChanged);
        QTest::mouseClick(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QCOMPARE(sw->currentIndex(), 1);
        QTest::mouseClick(sw, Qt::LeftButton, Qt::NoModifier, leftSegment);
        QCOMPARE(sw->currentIndex(), 0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);
        // A click on the current segment arms nothing.
        QTest::mouseClick(sw, Qt::LeftButton, Qt::NoModifier, leftSegment);
        QCOMPARE(spy.count(), 2);
    }

    void releaseOnAnotherSegmentCancels()
    {
        sw->setCurrentIndex(0, false);
        QSignalSpy spy(sw, &Switch::currentChanged);
        QTest::mousePress(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QTest::mouseRelease(sw, Qt::LeftButton, Qt::NoModifier, leftSegment);
        QTest::mousePress(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QTest::mouseRelease(sw, Qt::LeftButton, Qt::NoModifier, QPoint(250, 15));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(sw->currentIndex(), 0);
        QTest::mouseClick(sw, Qt::RightButton, Qt::NoModifier, rightSegment);
        QCOMPARE(sw->currentIndex(), 0);
    }

    // The program may show the pressed segment before the button comes up: the click still counts.
    void segmentShownDuringThePressStillTakesTheClick()
    {
        sw->setCurrentIndex(0, false);
        QSignalSpy spy(sw, &Switch::currentChanged);
        QTest::mousePress(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        sw->setCurrentIndex(1, false);
        QTest::mouseRelease(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
    }

    void disabledSwitchIgnoresClicks()
    {
        sw->setEnabled(false);
        QSignalSpy spy(sw, &Switch::currentChanged);
        QTest::mouseClick(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QCOMPARE(sw->currentIndex(), -1);
        QCOMPARE(spy.count(), 0);
        sw->setEnabled(true);
        QTest::mouseClick(sw, Qt::LeftButton, Qt::NoModifier, rightSegment);
        QCOMPARE(sw->currentIndex(), 1);
    }

    void indexOutsideTheItemsBecomesMinusOne()
    {
        sw->setCurrentIndex(0, false);
        QSignalSpy spy(sw, &Switch::currentChanged);
        sw->setCurrentIndex(5, true);
        QCOMPARE(sw->currentIndex(), -1);
        sw->setCurrentIndex(-3, true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), -1);

        Switch empty;
        empty.resize(100, 20);
        empty.setCurrentIndex(0, false);
        QCOMPARE(empty.currentIndex(), -1);
        QCOMPARE(empty.hitIndex(QPoint(10, 10)), -1);
    }

    void segmentsCoverTheWidthByIntegerDivision()
    {
        Switch three;
        three.setItems({"a", "b", "c"});
        three.resize(10, 20);
        const int expected[10] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 2};
        for (int x = 0; x < 10; ++x)
            QCOMPARE(three.hitIndex(QPoint(x, 5)), expected[x]);
        QCOMPARE(three.hitIndex(QPoint(10, 5)), -1);
        QCOMPARE(three.hitIndex(QPoint(5, 20)), -1);
    }
};

QTEST_MAIN(SwitchTest)
#include "tst_switch.moc"
