// The named text-style table is not built before the application object exists: fonts made
// then would miss the application's font settings. An early look answers an empty table, and the
// first look afterwards builds all ten rows.
#include "widgets/startup.h"
#include "widgets/textstyles.h"

#include <QApplication>
#include <QFontInfo>
#include <QtTest>

namespace {
int earlyRows = -1;
}

class TestTextStylesBeforeApp : public QObject
{
    Q_OBJECT
private slots:
    void earlyLookFindsNoRows() { QCOMPARE(earlyRows, 0); }
    void tableIsBuiltOnceTheApplicationExists()
    {
        QCOMPARE(textStyles().size(), 10);
        QCOMPARE(textStyles().firstKey(), QString("AinConAin"));
        QCOMPARE(QFontInfo(textStyles().value("PanelHeader").font).family(),
                 QString("Open Sans Light"));
    }
};

int main(int argc, char* argv[])
{
    earlyRows = textStyles().size();
    QApplication app(argc, argv);
    initWidgets();
    TestTextStylesBeforeApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textstylesbeforeapp.moc"
