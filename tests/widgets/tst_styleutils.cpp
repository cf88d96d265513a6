#include "widgets/startup.h"
#include "widgets/textstyles.h"

#include <QFontInfo>
#include <QtTest>

class TestStyleUtils : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void namedFamiliesResolveToInstalledFonts_data();
    void namedFamiliesResolveToInstalledFonts();
};

void TestStyleUtils::namedFamiliesResolveToInstalledFonts_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("resolved");
    QTest::newRow("Segoe UI") << "Segoe UI" << "Open Sans";
    QTest::newRow("Segoe UI Light") << "Segoe UI Light" << "Open Sans Light";
    QTest::newRow("Segoe UI Semibold") << "Segoe UI Semibold" << "Open Sans Semibold";
    QTest::newRow("TeXGyreHeros") << "TeXGyreHeros" << "TeX Gyre Heros";
}

void TestStyleUtils::namedFamiliesResolveToInstalledFonts()
{
    QFETCH(QString, family);
    QFETCH(QString, resolved);
    QFont font(family);
    font.setPixelSize(12);
    QCOMPARE(QFontInfo(font).family(), resolved);
}

QTEST_MAIN(TestStyleUtils)
#include "tst_styleutils.moc"
