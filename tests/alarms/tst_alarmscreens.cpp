// What the alarm screens show: the tool bar badge puts each count in its own place and colour, and
// the alarm table takes no typing.
#include "alarms/alarmsaction.h"
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "support/pixelprobe.h"
#include "widgets/startup.h"

#include <QTableWidget>
#include <QtTest>

namespace {

// The badge's cells: a 24-px bell between 6-px margins, then three 34-px counts.
QRect countCell(int i)
{
    return QRect(36 + 34 * i, 0, 34, 40);
}

QImage badgeWith(int active, int latched, int masked)
{
    AlarmsAction action(QIcon(), nullptr);
    action.onAlarms(active, latched, masked);
    QWidget parent;
    QWidget* badge = action.requestWidget(&parent);
    badge->resize(badge->sizeHint());
    const QImage picture = badge->grab().toImage().convertToFormat(QImage::Format_RGB32);
    action.releaseWidget(badge);
    return picture;
}

} // namespace

class AlarmScreensTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWidgets(); }

    void badgeShowsEachCountInItsPlace_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("latched");
        QTest::addColumn<int>("masked");
        QTest::newRow("active") << 3 << 0 << 0;
        QTest::newRow("unacknowledged") << 0 << 4 << 0;
        QTest::newRow("masked") << 0 << 0 << 5;
        QTest::newRow("all three") << 1 << 2 << 7;
    }

    void badgeShowsEachCountInItsPlace()
    {
        QFETCH(int, active);
        QFETCH(int, latched);
        QFETCH(int, masked);
        const QImage none = badgeWith(0, 0, 0);
        const QImage shown = badgeWith(active, latched, masked);
        const int counts[3] = {active, latched, masked};
        for (int i = 0; i < 3; ++i) {
            const QRect cell = countCell(i);
            QCOMPARE(shown.copy(cell) != none.copy(cell), counts[i] != 0);
        }
        // Active alarms stand out in red, unacknowledged ones in orange.
        QCOMPARE(PixelProbe::shows(shown, countCell(0), QColor(0xe5484d)), active != 0);
        QCOMPARE(PixelProbe::shows(shown, countCell(1), QColor(0xf2a33a)), latched != 0);
    }

    void alarmTableTakesNoTyping_data() { PixelProbe::addEditGestureRows(); }

    void alarmTableTakesNoTyping()
    {
        QFETCH(QString, gesture);
        AlarmItem alarm;
        alarm.device = 0;
        alarm.bit = 2;
        alarm.active = true;
        Alarms::SystemAlarms set;
        AlrmsManager dialog(&set);
        set.setAlarms({alarm});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTableWidget* table = dialog.table();
        const QString before = table->item(0, AlrmsManager::AlarmColumn)->text();
        QVERIFY(!PixelProbe::editorOpens(
            table, table->model()->index(0, AlrmsManager::AlarmColumn), gesture));
        QCOMPARE(table->item(0, AlrmsManager::AlarmColumn)->text(), before);
    }
};

QTEST_MAIN(AlarmScreensTest)
#include "tst_alarmscreens.moc"
