// Colour and font utilities, named text styles and the font families the styles name.
#include "widgets/startup.h"
#include "widgets/textstyles.h"
#include "widgets/utils/widgetutils.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QLabel>
#include <QtTest>

class TestStyleUtils : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void namedFamiliesResolveToInstalledFonts_data();
    void namedFamiliesResolveToInstalledFonts();
    void namedFamiliesDrawLatinAndCyrillicInOneTypeface_data();
    void namedFamiliesDrawLatinAndCyrillicInOneTypeface();
    void halvesLeaveTheMiddleColumnOfAnOddWidth();
    void foregroundRoleChoosesBetweenTheTwoColours();
    void nullWidgetIsLoggedAndIgnored();
    void textStyleGivesFontAndBothColours();
    void unknownOrMiscasedStyleNameChangesNothing();
};

void TestStyleUtils::namedFamiliesResolveToInstalledFonts_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("resolved");
    QTest::newRow("Segoe UI") << "Segoe UI" << "Open Sans";
    QTest::newRow("Segoe UI Light") << "Segoe UI Light" << "Open Sans Light";
    QTest::newRow("Segoe UI Semibold") << "Segoe UI Semibold" << "Open Sans Semibold";
    QTest::newRow("TeXGyreHeros") << "TeXGyreHeros" << "DejaVu Sans Condensed";
    QTest::newRow("TeX Gyre Heros") << "TeX Gyre Heros" << "TeX Gyre Heros";
}

void TestStyleUtils::namedFamiliesResolveToInstalledFonts()
{
    QFETCH(QString, family);
    QFETCH(QString, resolved);
    QCOMPARE(QFontInfo(makeFont(family, 12)).family(), resolved);
}

// A label mixing "AIN" and "Вход" must not be drawn in two typefaces: the family a named font
// resolves to has to hold both alphabets itself, not lean on a fallback for one of them.
void TestStyleUtils::namedFamiliesDrawLatinAndCyrillicInOneTypeface_data()
{
    QTest::addColumn<QString>("family");
    for (const char* family : {"Segoe UI", "Segoe UI Light", "Segoe UI Semibold", "TeXGyreHeros"})
        QTest::newRow(family) << family;
}

void TestStyleUtils::namedFamiliesDrawLatinAndCyrillicInOneTypeface()
{
    QFETCH(QString, family);
    const QFont font = makeFont(family, 12);
    const QString resolved = QFontInfo(font).family();
    const QList<QFontDatabase::WritingSystem> scripts = QFontDatabase().writingSystems(resolved);
    QVERIFY2(scripts.contains(QFontDatabase::Latin), qPrintable(resolved));
    QVERIFY2(scripts.contains(QFontDatabase::Cyrillic), qPrintable(resolved));
    const QRawFont raw = QRawFont::fromFont(font);
    for (const QChar c : QString("AIN Вход"))
        QVERIFY2(raw.supportsCharacter(c), qPrintable(resolved + ' ' + c));
}

void TestStyleUtils::halvesLeaveTheMiddleColumnOfAnOddWidth()
{
    const QRect odd(10, 3, 5, 7);
    QCOMPARE(leftHalf(odd), QRect(QPoint(10, 3), QPoint(11, 9)));
    QCOMPARE(rightHalf(odd), QRect(QPoint(13, 3), QPoint(14, 9)));
    const QRect even(10, 3, 4, 7);
    QCOMPARE(leftHalf(even), QRect(QPoint(10, 3), QPoint(11, 9)));
    QCOMPARE(rightHalf(even), QRect(QPoint(12, 3), QPoint(13, 9)));
}

void TestStyleUtils::foregroundRoleChoosesBetweenTheTwoColours()
{
    QLabel label;
    applyFontAndColors(&label, Qt::green, Qt::red, makeFont("Segoe UI", 12));
    label.setForegroundRole(QPalette::BrightText);
    QCOMPARE(label.palette().color(label.foregroundRole()), QColor(Qt::red));
    label.setForegroundRole(QPalette::WindowText);
    QCOMPARE(label.palette().color(label.foregroundRole()), QColor(Qt::green));
    QCOMPARE(label.font().pixelSize(), 12);
}

void TestStyleUtils::nullWidgetIsLoggedAndIgnored()
{
    for (int i = 0; i < 4; ++i)
        QTest::ignoreMessage(QtWarningMsg, "ASSERT: \"w\"");
    setForegroundColor(nullptr, Qt::red);
    setBackgroundColor(nullptr, Qt::red);
    setBrightTextColor(nullptr, Qt::red);
    applyFontAndColors(nullptr, Qt::red, Qt::red, QFont());
}

void TestStyleUtils::textStyleGivesFontAndBothColours()
{
    QLabel label;
    applyTextStyle(&label, "PanelTitles");
    QCOMPARE(label.font().family(), QString("TeXGyreHeros"));
    QCOMPARE(label.font().pixelSize(), 15);
    QCOMPARE(label.font().weight(), 50);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(label.palette().color(group, label.foregroundRole()), QColor("#ffffff"));
        QCOMPARE(label.palette().color(group, QPalette::BrightText), QColor("#ffffff"));
    }
    QCOMPARE(textStyles().size(), 10);
}

void TestStyleUtils::unknownOrMiscasedStyleNameChangesNothing()
{
    QLabel label;
    const QFont font = label.font();
    const QPalette palette = label.palette();
    applyTextStyle(&label, "panelTitles");
    applyTextStyle(&label, QString());
    QCOMPARE(label.font(), font);
    QCOMPARE(label.palette(), palette);
}


QTEST_MAIN(TestStyleUtils)
#include "tst_styleutils.moc"
