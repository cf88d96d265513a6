// The information pop-up: rows split at the first colon, column shares lined up across sections,
// value colours, empty sections and the hidden() signal.
#include "widgets/infowidget.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace {

QTableWidget* body(InfoWidget& w, int section)
{
    return w.findChild<QTableWidget*>(section == 0 ? "s1Body" : "s2Body");
}

QString cell(InfoWidget& w, int section, int row, int column)
{
    return body(w, section)->item(row, column)->text();
}

} // namespace

class InfoWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsSplitAtTheFirstColon()
    {
        InfoWidget w;
        w.setData(0, {"Версия ПО ядра:1.2.0003", "a:b:c", "no colon", ":only value", " name : v "});
        QCOMPARE(body(w, 0)->rowCount(), 5);
        QCOMPARE(cell(w, 0, 0, 0), QStringLiteral("Версия ПО ядра"));
        QCOMPARE(cell(w, 0, 0, 1), QStringLiteral("1.2.0003"));
        QCOMPARE(cell(w, 0, 1, 0), QStringLiteral("a"));
        QCOMPARE(cell(w, 0, 1, 1), QStringLiteral("b:c"));
        QCOMPARE(cell(w, 0, 2, 0), QStringLiteral("no colon"));
        QCOMPARE(cell(w, 0, 2, 1), QString());
        QCOMPARE(cell(w, 0, 3, 0), QString());
        QCOMPARE(cell(w, 0, 3, 1), QStringLiteral("only value"));
        QCOMPARE(cell(w, 0, 4, 0), QStringLiteral(" name "));
        QCOMPARE(cell(w, 0, 4, 1), QStringLiteral(" v "));
        QCOMPARE(body(w, 0)->rowHeight(0), 18);
    }

    void columnSharesAreTruncatedPartsOfTheMinimumWidth()
    {
        InfoWidget w;
        w.setSectionMinimumSize(1, QSize(250, 100));
        w.setColumnRatio(0.5, 0.25);
        w.setData(1, {"a:b"});
        QCOMPARE(body(w, 1)->columnWidth(0), 125);
        QCOMPARE(body(w, 1)->columnWidth(1), 62);
    }

    // A name too long for its share in one section moves the values of both: they line up.
    void sectionsPutTheirValuesInOneColumn_data()
    {
        QTest::addColumn<int>("longNames");
        QTest::newRow("first section") << 0;
        QTest::newRow("second section") << 1;
    }

    void sectionsPutTheirValuesInOneColumn()
    {
        QFETCH(int, longNames);
        InfoWidget w;
        w.setSectionSizes(QSize(310, 24), QSize(310, 155), 15);
        w.setColumnRatio(0.4, 0.58);
        const QStringList shortNames{"Модель:TAV-1020", "Адрес:2"};
        const QStringList longNames_{"Версия загрузчика контроллера:1.2", "Серийный номер:42"};
        w.setData(0, longNames == 0 ? longNames_ : shortNames);
        w.setData(1, longNames == 1 ? longNames_ : shortNames);
        QVERIFY(body(w, longNames)->columnWidth(0) > 124);
        QCOMPARE(body(w, 0)->columnWidth(0), body(w, 1)->columnWidth(0));
        QCOMPARE(body(w, 0)->columnWidth(1), body(w, 1)->columnWidth(1));
    }

    void cellColourShowsAtTheNextFill()
    {
        InfoWidget w;
        w.setCellColor(1, 0, Qt::red);
        QCOMPARE(w.cellColor(1, 0), QColor(Qt::red));
        QCOMPARE(w.cellColor(0, 0), QColor(Qt::black));
        w.setData(1, {"a:1", "b:2"});
        QCOMPARE(body(w, 1)->item(0, 1)->foreground().color(), QColor(Qt::red));
        QCOMPARE(body(w, 1)->item(1, 1)->foreground().color(), QColor(Qt::black));
        QCOMPARE(body(w, 1)->item(0, 0)->foreground().color(), QColor(0x48, 0x4b, 0x4c));
        w.setCellColor(1, 0, Qt::black);
        w.setData(1, {"a:1"});
        QCOMPARE(body(w, 1)->item(0, 1)->foreground().color(), QColor(Qt::black));
    }

    void emptySectionHidesAndComesBack()
    {
        InfoWidget w;
        w.show();
        QLabel* title = w.findChild<QLabel*>("s2Lab");
        w.setData(1, {});
        QVERIFY(title->isHidden() && body(w, 1)->isHidden());
        w.setData(1, {"a:1"});
        QVERIFY(!title->isHidden() && !body(w, 1)->isHidden());
    }

    void wrongSectionIsIgnored()
    {
        InfoWidget w;
        w.setTitle(2, "x");
        w.setData(-1, {"a:b"});
        w.setTitle(1, "Системная шина");
        QCOMPARE(w.findChild<QLabel*>("s1Lab")->text(), QStringLiteral("Template"));
        QCOMPARE(w.findChild<QLabel*>("s2Lab")->text(), QStringLiteral("Системная шина"));
    }

    void hidingEmitsHiddenOnce()
    {
        InfoWidget w;
        w.show();
        QSignalSpy spy(&w, &InfoWidget::hidden);
        w.hide();
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(InfoWidgetTest)
#include "tst_infowidget.moc"
