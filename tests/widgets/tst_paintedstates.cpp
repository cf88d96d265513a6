// What the small widgets paint in each state a user meets: a disabled tab's grey text, the hovered
// radio button's white text, the switch's hover pill on the hovered segment only.
#include "support/pixelprobe.h"
#include "widgets/radiobutton.h"
#include "widgets/startup.h"
#include "widgets/stylesource.h"
#include "widgets/switch.h"
#include "widgets/tabbarnowheel.h"

#include <QVBoxLayout>
#include <QtTest>

using namespace PixelProbe;

namespace {

QImage grabbed(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class PaintedStatesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWidgets(); }

    void tabTextIsDarkGreyOnlyWhenDisabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QColor>("ink");
        QTest::newRow("enabled") << true << QColor(Qt::white);
        QTest::newRow("disabled") << false << QColor(Qt::darkGray);
    }

    void tabTextIsDarkGreyOnlyWhenDisabled()
    {
        QFETCH(bool, enabled);
        QFETCH(QColor, ink);
        TabBarNoWheel bar;
        for (const char* text : {"COM1", "COM2"})
            bar.addTab(QString::fromLatin1(text));
        bar.setMinimumSize(120, 30);
        bar.resize(240, 30);
        bar.setCurrentIndex(0);
        bar.setTabEnabled(1, enabled);
        const QImage picture = grabbed(&bar);
        const QRect tab = bar.tabRect(1);
        QVERIFY(!tab.isEmpty());
        const QColor background = picture.pixelColor(tab.topLeft());
        QVERIFY2(distance(inkOf(picture, tab, background), ink) <= 8,
                 qPrintable(inkOf(picture, tab, background).name()));
    }

    // Of three radio buttons none checked, the one under the pointer is white, the others grey.
    void hoveredRadioButtonAloneIsWhite()
    {
        QWidget panel;
        applyDarkBackground(&panel);
        panel.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&panel);
        QList<RadioButton*> buttons;
        for (const QString& text : {QStringLiteral("Ток"), QStringLiteral("Напряжение"),
                                    QStringLiteral("Сопротивление")}) {
            auto* button = new RadioButton(QIcon(), text);
            applyRadioButtonStyle(button);
            layout->addWidget(button);
            buttons << button;
        }
        panel.resize(260, 120);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        // The focused button draws its focus edge, which is not the text's colour.
        for (RadioButton* button : qAsConst(buttons))
            button->clearFocus();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(buttons.at(1), &enter);
        const QImage picture = grabbed(&panel);
        const QColor background = picture.pixelColor(0, 0);
        for (int i = 0; i < buttons.size(); ++i) {
            QRect text = buttons.at(i)->geometry();
            text.setLeft(text.left() + 35);
            const QColor ink = inkOf(picture, text, background);
            const QColor expected = i == 1 ? QColor(Qt::white) : QColor(0xb6b6b6);
            QVERIFY2(distance(ink, expected) <= 8, qPrintable(QString::number(i) + ink.name()));
        }
    }

    void switchHoverPillOnlyOnTheHoveredSegment_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("hovered");
        QTest::newRow("apart from the current") << 0 << 2;
        QTest::newRow("next to the current") << 0 << 1;
        QTest::newRow("before the current") << 2 << 1;
        QTest::newRow("on the current") << 1 << 1;
    }

    void switchHoverPillOnlyOnTheHoveredSegment()
    {
        QFETCH(int, current);
        QFETCH(int, hovered);
        Switch sw;
        applyBlueSwitchStyle(&sw);
        sw.setItems({QStringLiteral("Выкл"), QStringLiteral("Вкл"), QStringLiteral("Авто")});
        sw.resize(300, 30);
        sw.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sw));
        sw.setCurrentIndex(current, false);
        QMouseEvent move(QEvent::MouseMove, QPointF(hovered * 100 + 50, 15), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&sw, &move);
        const QImage picture = grabbed(&sw);
        const QColor pill = sw.palette().color(QPalette::Active, QPalette::ToolTipBase);
        for (int i = 0; i < 3; ++i) {
            const double share = shareOf(picture, QRect(i * 100 + 10, 3, 80, 24), pill);
            const bool expected = i == hovered && i != current;
            QVERIFY2(expected ? share > 0.5 : share < 0.05,
                     qPrintable(QStringLiteral("segment %1: %2").arg(i).arg(share)));
        }
    }
};

QTEST_MAIN(PaintedStatesTest)
#include "tst_paintedstates.moc"
