// The wiring picture widget: pictures per mode and input, numbers, rows and captions.
#include "widgets/ainconnection.h"
#include "widgets/startup.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString lower = ":/pics/resources/pics/ain/down/";
const QString upper = ":/pics/resources/pics/ain/up/";

QImage shown(const AinConnection& widget, const char* name)
{
    return widget.findChild<QLabel*>(name)->pixmap(Qt::ReturnByValue).toImage();
}

// Loaded the way the widget loads it, so that both images have the same format.
QImage picture(const QString& path) { return QPixmap(path).toImage(); }

QStringList texts(const AinConnection& widget, const QStringList& names)
{
    QStringList result;
    for (const QString& name : names)
        result << widget.findChild<QLabel*>(name)->text();
    return result;
}

bool visible(const AinConnection& widget, const char* name)
{
    return widget.findChild<QLabel*>(name)->isVisibleTo(&widget);
}

} // namespace

class TestAinConnection : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void constructedShowingTheUpperRow();
    void pictureForEachModeAndInput_data();
    void pictureForEachModeAndInput();
    void modeWithoutPictureBlanksBothRows();
    void numbersFillBothRowsAndEmptyTheRest();
    void flippingSwapsRowsBackgroundAndCaptions();
    void hiddenNumbersStayHiddenAcrossFlips();
};

void TestAinConnection::constructedShowingTheUpperRow()
{
    AinConnection widget;
    QVERIFY(widget.isFlipped());
    QCOMPARE(shown(widget, "pinConnectionUp"), picture(upper + "connection_2x_RTD_top1.png"));
    QCOMPARE(shown(widget, "background"), picture(upper + "connection_background_top.png"));
    QCOMPARE(texts(widget, {"upText", "downText"}), QStringList({"КЛЕММА", "МАРКИРОВКА"}));
    QCOMPARE(texts(widget, {"pinUp_0", "pinUp_1", "pinUp_2", "ainUp_0", "ainUp_1"}),
             QStringList({"", "", "", "", ""}));
    QCOMPARE(widget.findChild<QLabel*>("pinUp_0")->font().pixelSize(), 16);
    QCOMPARE(widget.findChild<QLabel*>("ainUp_0")->palette().color(QPalette::WindowText),
             QColor("#9f9a84"));
}

void TestAinConnection::pictureForEachModeAndInput_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("down");
    QTest::addColumn<QString>("up");
    QTest::newRow("0-10 V odd") << 0 << 0 << "2x_0-10_bottom1" << "2x_0-10_top1";
    QTest::newRow("0-10 V even") << 0 << 1 << "2x_0-10_bottom2" << "2x_0-10_top2";
    QTest::newRow("4-20 mA odd") << 1 << 0 << "2x_4-20_bottom1" << "2x_4-20_top1";
    QTest::newRow("4-20 mA even") << 1 << 1 << "2x_4-20_bottom2" << "2x_4-20_top2";
    QTest::newRow("RTD odd") << 2 << 0 << "2x_RTD_bottom1" << "2x_RTD_top1";
    QTest::newRow("RTD even") << 2 << 1 << "2x_RTD_bottom2" << "2x_RTD_top2";
    QTest::newRow("3-wire odd") << 3 << 0 << "3x_RTD_bottom1" << "3x RTD_top";
    QTest::newRow("3-wire even") << 3 << 1 << "3x_RTD_bottom1" << "3x RTD_top";
    QTest::newRow("mode 4 odd") << 4 << 0 << "2x_RTD_bottom1" << "2x_RTD_top1";
    QTest::newRow("mode 4 even") << 4 << 1 << "2x_RTD_bottom2" << "2x_RTD_top2";
}

void TestAinConnection::pictureForEachModeAndInput()
{
    QFETCH(int, mode);
    QFETCH(int, variant);
    QFETCH(QString, down);
    QFETCH(QString, up);
    const QImage downPicture = picture(lower + "connection_" + down + ".png");
    const QImage upPicture = picture(upper + "connection_" + up + ".png");
    QVERIFY(!downPicture.isNull());
    QVERIFY(!upPicture.isNull());
    AinConnection widget;
    widget.showConnection(mode, variant);
    QCOMPARE(shown(widget, "pinConnectionDown"), downPicture);
    QCOMPARE(shown(widget, "pinConnectionUp"), upPicture);
}

void TestAinConnection::modeWithoutPictureBlanksBothRows()
{
    AinConnection widget;
    widget.showConnection(5, 0);
    QVERIFY(shown(widget, "pinConnectionDown").isNull());
    QVERIFY(shown(widget, "pinConnectionUp").isNull());
    widget.showConnection(0, 1);
    QVERIFY(!shown(widget, "pinConnectionUp").isNull());
}

void TestAinConnection::numbersFillBothRowsAndEmptyTheRest()
{
    AinConnection widget;
    widget.setPinTexts({"1", "2", "3"});
    widget.setPinTexts({"7", "8"});
    widget.setAinTexts({"3", "4"});
    widget.setAinTexts({"5"});
    QCOMPARE(texts(widget, {"pinDown_0", "pinDown_1", "pinDown_2", "pinUp_0", "pinUp_1", "pinUp_2"}),
             QStringList({"7", "8", "", "7", "8", ""}));
    QCOMPARE(texts(widget, {"ainDown_0", "ainDown_1", "ainUp_0", "ainUp_1"}),
             QStringList({"5", "", "5", ""}));
}

void TestAinConnection::flippingSwapsRowsBackgroundAndCaptions()
{
    AinConnection widget;
    widget.setFlipped(false);
    QVERIFY(!widget.isFlipped());
    QCOMPARE(shown(widget, "background"), picture(lower + "connection_background_bottom.png"));
    QCOMPARE(texts(widget, {"upText", "downText"}), QStringList({"МАРКИРОВКА", "КЛЕММА"}));
    for (const char* name : {"pinConnectionDown", "pinDown_0", "pinDown_2", "ainDown_1"})
        QVERIFY2(visible(widget, name), name);
    for (const char* name : {"pinConnectionUp", "pinUp_0", "pinUp_1", "pinUp_2", "ainUp_0", "ainUp_1"})
        QVERIFY2(!visible(widget, name), name);

    widget.setFlipped(true);
    QCOMPARE(texts(widget, {"upText", "downText"}), QStringList({"КЛЕММА", "МАРКИРОВКА"}));
    QVERIFY(visible(widget, "pinConnectionUp") && visible(widget, "ainUp_1"));
    QVERIFY(!visible(widget, "pinConnectionDown") && !visible(widget, "pinDown_1"));
}

void TestAinConnection::hiddenNumbersStayHiddenAcrossFlips()
{
    AinConnection widget;
    widget.setLabelsVisible(false);
    widget.setPictureVisible(false);
    QVERIFY(!visible(widget, "pinUp_0") && !visible(widget, "pinConnectionUp"));
    widget.setFlipped(false);
    QVERIFY(!visible(widget, "pinDown_0") && !visible(widget, "ainDown_0"));
    QVERIFY(!visible(widget, "pinConnectionDown"));
    widget.setLabelsVisible(true);
    QVERIFY(visible(widget, "pinDown_0") && !visible(widget, "pinUp_0"));
}

QTEST_MAIN(TestAinConnection)
#include "tst_ainconnection.moc"
