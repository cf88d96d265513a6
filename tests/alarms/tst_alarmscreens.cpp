// What the alarm screens show: the tool bar badge puts each count in its own place and colour, and
// the alarm table takes no typing.
#include "alarms/alarmsaction.h"
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "widgets/startup.h"

#include <QLineEdit>
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

bool hasColour(const QImage& picture, const QRect& area, QColor colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green())
                    + qAbs(c.blue() - colour.blue()) <= 12)
                return true;
        }
    return false;
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
        QCOMPARE(hasColour(shown, countCell(0), QColor(0xe5484d)), active != 0);
        QCOMPARE(hasColour(shown, countCell(1), QColor(0xf2a33a)), latched != 0);
    }

    void alarmTableTakesNoTyping_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("typing") << "typing";
        QTest::newRow("F2") << "F2";
    }

    void alarmTableTakesNoTyping()
    {
        QFETCH(QString, how);
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
        const QRect cell = table->visualItemRect(table->item(0, AlrmsManager::AlarmColumn));
        table->setCurrentCell(0, AlrmsManager::AlarmColumn);
        table->setFocus();
        if (how == "double-click") {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        } else if (how == "typing") {
            QTest::keyClicks(table, "xyz");
        } else {
            QTest::keyClick(table, Qt::Key_F2);
        }
        QVERIFY(table->findChildren<QLineEdit*>().isEmpty());
        QTest::keyClicks(QApplication::focusWidget(), "typed");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(table->item(0, AlrmsManager::AlarmColumn)->text(), before);
    }
};

QTEST_MAIN(AlarmScreensTest)
#include "tst_alarmscreens.moc"
