// Keyboard focus shows on every focusable control of the style source: moving the focus onto a
// control changes its picture.
#include "widgets/flatbutton.h"
#include "widgets/radiobutton.h"
#include "widgets/startup.h"
#include "widgets/stylesource.h"
#include "widgets/tabbarnowheel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <functional>

using Make = std::function<QWidget*(QWidget*)>;
Q_DECLARE_METATYPE(Make)

class TestFocusFrame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void focusChangesThePicture_data();
    void focusChangesThePicture();
};

void TestFocusFrame::focusChangesThePicture_data()
{
    QTest::addColumn<Make>("make");
    const auto button = [](void (*style)(QPushButton*)) {
        return Make([style](QWidget* parent) {
            auto* b = new QPushButton(QStringLiteral("OK"), parent);
            style(b);
            return b;
        });
    };
    QTest::newRow("dark button") << button(applyDarkButtonStyle);
    QTest::newRow("light button") << button(applyLightButtonStyle);
    QTest::newRow("side button") << button([](QPushButton* b) { applySideButtonStyle(b, true); });
    QTest::newRow("side button 2")
        << button([](QPushButton* b) { applySideButtonStyle2(b, false); });
    QTest::newRow("spin box") << Make([](QWidget* parent) {
        auto* box = new QSpinBox(parent);
        applySpinBoxStyle(box);
        return box;
    });
    QTest::newRow("double spin box") << Make([](QWidget* parent) {
        auto* box = new QDoubleSpinBox(parent);
        applyDoubleSpinBoxStyle(box);
        return box;
    });
    QTest::newRow("combo box") << Make([](QWidget* parent) {
        auto* box = new QComboBox(parent);
        box->addItems({QStringLiteral("RTU"), QStringLiteral("ASCII")});
        applyComboBoxStyle(box);
        return box;
    });
    QTest::newRow("check box") << Make([](QWidget* parent) {
        auto* box = new QCheckBox(QStringLiteral("AC"), parent);
        applyCheckBoxStyle(box);
        return box;
    });
    QTest::newRow("checked check box") << Make([](QWidget* parent) {
        auto* box = new QCheckBox(QStringLiteral("AC"), parent);
        box->setChecked(true);
        applyCheckBoxStyle(box);
        return box;
    });
    QTest::newRow("flat button") << Make([](QWidget* parent) {
        auto* b = new FlatButton(QStringLiteral("Start"), parent);
        b->setFocusPolicy(Qt::StrongFocus);
        return b;
    });
    QTest::newRow("radio button") << Make([](QWidget* parent) {
        auto* b = new RadioButton(QIcon(), QStringLiteral("RTD"), parent);
        applyRadioButtonStyle(b);
        return b;
    });
    QTest::newRow("tab bar") << Make([](QWidget* parent) {
        auto* bar = new TabBarNoWheel(parent);
        bar->addTab(QStringLiteral("COM1"));
        bar->addTab(QStringLiteral("COM2"));
        return bar;
    });
}

void TestFocusFrame::focusChangesThePicture()
{
    QFETCH(Make, make);
    QWidget window;
    auto* other = new QPushButton(QStringLiteral("other"), &window);
    QWidget* control = make(&window);
    control->setGeometry(10, 40, 120, 30);
    window.resize(200, 100);
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QImage before = control->grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(control->hasFocus());
    QVERIFY(control->grab().toImage() != before);
}

QTEST_MAIN(TestFocusFrame)
#include "tst_focusframe.moc"
