// The layout check of the gallery finds what a reader would see as broken, and nothing else.
#include "layoutcheck.h"

#include "widgets/startup.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <functional>

using Build = std::function<void(QWidget*)>;
Q_DECLARE_METATYPE(Build)

class TestLayoutCheck : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void findsWhatAReaderSeesBroken_data();
    void findsWhatAReaderSeesBroken();
};

void TestLayoutCheck::findsWhatAReaderSeesBroken_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("defect");
    const auto label = [](const QString& text, const QRect& place) {
        return Build([text, place](QWidget* window) {
            (new QLabel(text, window))->setGeometry(place);
        });
    };
    QTest::newRow("label that fits") << label("Input range", {10, 10, 200, 24}) << true << "";
    QTest::newRow("label too narrow") << label("Input range", {10, 10, 30, 24}) << true << "needs";
    QTest::newRow("label too low") << label("Input range", {10, 10, 200, 6}) << true << "height";
    QTest::newRow("elided label") << label("Kernel firmw\u2026", {10, 10, 200, 24}) << true
                                  << "elided";
    QTest::newRow("Cyrillic in English") << label("Вход", {10, 10, 200, 24}) << true << "Cyrillic";
    QTest::newRow("Cyrillic in Russian") << label("Вход", {10, 10, 200, 24}) << false << "";
    const auto labelIn = [](const QString& family, const QString& text) {
        return Build([family, text](QWidget* window) {
            auto* shown = new QLabel(text, window);
            shown->setFont(QFont(family, 12));
            shown->setGeometry(10, 10, 180, 24);
        });
    };
    QTest::newRow("Cyrillic in a face without it")
        << labelIn("TeX Gyre Heros", "Вход") << false << "without Cyrillic";
    QTest::newRow("Cyrillic in the style's Heros")
        << labelIn("TeXGyreHeros", "Вход") << false << "";
    QTest::newRow("Latin in a face without Cyrillic")
        << labelIn("TeX Gyre Heros", "Input") << false << "";
    QTest::newRow("label past its parent") << label("Input range", {150, 10, 200, 24}) << true
                                           << "cut off";
    QTest::newRow("overlapping buttons") << Build([](QWidget* window) {
        (new QPushButton("Save", window))->setGeometry(10, 10, 90, 30);
        (new QPushButton("Cancel", window))->setGeometry(60, 20, 90, 30);
    }) << true << "overlaps";
    QTest::newRow("buttons side by side") << Build([](QWidget* window) {
        (new QPushButton("Save", window))->setGeometry(10, 10, 90, 30);
        (new QPushButton("Cancel", window))->setGeometry(100, 10, 90, 30);
    }) << true << "";
    QTest::newRow("button too narrow") << Build([](QWidget* window) {
        (new QPushButton("Counter reset", window))->setGeometry(10, 10, 40, 30);
    }) << true << "needs";
    QTest::newRow("table cell too narrow") << Build([](QWidget* window) {
        auto* table = new QTableWidget(1, 1, window);
        table->setGeometry(0, 0, 200, 100);
        table->setItem(0, 0, new QTableWidgetItem("Kernel firmware version"));
        table->setColumnWidth(0, 60);
    }) << true << "needs";
}

void TestLayoutCheck::findsWhatAReaderSeesBroken()
{
    QFETCH(Build, build);
    QFETCH(bool, english);
    QFETCH(QString, defect);
    QWidget window;
    window.resize(200, 120);
    build(&window);
    window.show();
    const QStringList found = Gallery::layoutDefects(&window, english);
    if (defect.isEmpty())
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    else
        QVERIFY2(found.size() == 1 && found.first().contains(defect), qPrintable(found.join('\n')));
}

QTEST_MAIN(TestLayoutCheck)
#include "tst_layoutcheck.moc"
