// The thin scroll bar's handle follows its source slider; the wheel-less tab bar ignores the wheel.
#include "widgets/tabbarnowheel.h"
#include "widgets/thinscrollbar.h"

#include <QScrollBar>
#include <QtTest>

class ThinScrollBarTest : public QObject
{
    Q_OBJECT

private slots:
    void handleFollowsPageRangeAndValue()
    {
        QScrollBar source(Qt::Vertical);
        source.setRange(0, 300);
        QWidget parent;
        ThinScrollBar bar(&source, &parent);
        bar.putIn(QRect(0, 0, 100, 200));
        QCOMPARE(bar.geometry(), QRect(93, 0, 4, 200));
        bar.setPage(100);
        QCOMPARE(bar.handleRect(), QRect(0, 0, 4, 50));
        source.setValue(300);
        QCOMPARE(bar.handleRect(), QRect(0, 75, 4, 50));

        source.setRange(0, 990);
        bar.setPage(10);
        QCOMPARE(bar.handleRect().height(), 30);
    }

    void zeroRangeHidesTheBar()
    {
        QScrollBar source(Qt::Vertical);
        source.setRange(5, 5);
        QWidget parent;
        ThinScrollBar bar(&source, &parent);
        parent.show();
        QVERIFY(bar.isHidden());
        source.setRange(0, 10);
        QVERIFY(!bar.isHidden());
    }

    void horizontalSourceRunsAlongTheWidth()
    {
        QScrollBar source(Qt::Horizontal);
        source.setRange(0, 100);
        ThinScrollBar bar(&source);
        bar.resize(200, 4);
        bar.setPage(100);
        QCOMPARE(bar.handleRect(), QRect(0, 0, 100, 4));
    }

    void withoutSourceNothingBreaks()
    {
        ThinScrollBar bar(nullptr);
        bar.resize(4, 100);
        bar.setRange(0, 0);
        bar.setPage(0);
        QVERIFY(bar.handleRect().height() >= 30);
    }

    void wheelChangesNeitherTabNorParent()
    {
        QScrollBar parentScroll(Qt::Vertical);
        parentScroll.setRange(0, 100);
        TabBarNoWheel tabs(&parentScroll);
        tabs.addTab("Система");
        tabs.addTab("Ресурсы");
        tabs.setMinimumSize(110, 30);
        QCOMPARE(tabs.tabRect(1).size(), QSize(110, 30));
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QVERIFY(QCoreApplication::sendEvent(&tabs, &wheel));
        QVERIFY(wheel.isAccepted());
        QCOMPARE(tabs.currentIndex(), 0);
        QCOMPARE(parentScroll.value(), 0);
    }
};

QTEST_MAIN(ThinScrollBarTest)
#include "tst_thinscrollbar.moc"
