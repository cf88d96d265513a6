// The information panel on screens of any size: its indicators keep their size and their
// columns, so that numbers stay by their titles and stacked panels line up.
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/startup.h"
#include "widgets/stylesource.h"

#include <QtTest>

class TestInfoPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }

    // The device panel shows six indicators, the system panel four above it: at any size of the
    // page the columns they share stand at the same places, and on a larger screen the
    // indicators grow no taller than on a 1366 x 768 one.
    void stackedPanelsLineUpAtAnySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768") << QSize(740, 300);
        QTest::newRow("full HD") << QSize(1300, 440);
        QTest::newRow("2560 x 1440") << QSize(1900, 620);
    }

    void stackedPanelsLineUpAtAnySize()
    {
        QFETCH(QSize, size);
        InfoPanel form;
        InfoPanel device;
        InfoPanel system;
        system.indicator(4)->hide();
        system.indicator(5)->hide();
        for (InfoPanel* panel : {&form, &device, &system}) {
            applyInfoPanelStyle(panel);
            panel->resize(panel == &form ? QSize(740, 300) : size);
            panel->show();
        }
        QApplication::processEvents();
        for (int n = 0; n < 4; ++n) {
            QCOMPARE(system.indicator(n)->mapTo(&system, QPoint()),
                     device.indicator(n)->mapTo(&device, QPoint()));
            QVERIFY2(device.indicator(n)->height() <= form.indicator(n)->height(),
                     qPrintable(QString::number(device.indicator(n)->height())));
        }
    }
};

QTEST_MAIN(TestInfoPanel)
#include "tst_infopanel.moc"
