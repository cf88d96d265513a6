// Tool-bar icons, flat button, radio button and header.
#include "widgets/flatbutton.h"
#include "widgets/header.h"
#include "widgets/radiobutton.h"
#include "widgets/startup.h"
#include "widgets/widgetfactory.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QIcon solidIcon(const QColor& colour)
{
    QPixmap pixmap(100, 100);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }
    void makeIconUsesTheOffPictureWhenDisabled();
    void flatButtonPictureShrinksWhilePressed();
    void flatButtonHoverUsesHighlightColours();
    void radioButtonToggledOnlyOverPictureAndText();
    void radioButtonFontsFollowState();
    void headerIsFiftyPixelsHighAtLeast();
};

void TestButtons::makeIconUsesTheOffPictureWhenDisabled()
{
    const QString spec = ":/icons/resources/icons/spec/";
    const QIcon icon = makeIcon(spec + "save%1.png");
    const QSize size(36, 36);
    const auto image = [](const QImage& i) {
        return i.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    QCOMPARE(image(icon.pixmap(size, QIcon::Normal).toImage()), image(QImage(spec + "save.png")));
    QCOMPARE(image(icon.pixmap(size, QIcon::Disabled).toImage()),
             image(QImage(spec + "save_off.png")));
    QVERIFY(QImage(spec + "save.png") != QImage(spec + "save_off.png"));
}

void TestButtons::flatButtonPictureShrinksWhilePressed()
{
    FlatButton button(solidIcon(Qt::red));
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, Qt::blue);
    button.setPalette(palette);
    button.resize(40, 40);
    QCOMPARE(button.grab().toImage().pixelColor(0, 0), QColor(Qt::red));
    button.setDown(true);
    const QImage pressed = button.grab().toImage();
    QCOMPARE(pressed.pixelColor(3, 3), QColor(Qt::blue));
    QCOMPARE(pressed.pixelColor(4, 4), QColor(Qt::red));
    QCOMPARE(pressed.pixelColor(35, 35), QColor(Qt::red));
    QCOMPARE(pressed.pixelColor(36, 36), QColor(Qt::blue));
}

void TestButtons::flatButtonHoverUsesHighlightColours()
{
    FlatButton button(QString("text"));
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, Qt::blue);
    palette.setColor(QPalette::Highlight, Qt::green);
    button.setPalette(palette);
    button.resize(60, 20);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&button, &enter);
    QVERIFY(button.isHovered());
    QCOMPARE(button.grab().toImage().pixelColor(0, 0), QColor(Qt::green));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    QCOMPARE(button.grab().toImage().pixelColor(0, 0), QColor(Qt::blue));
}

void TestButtons::radioButtonToggledOnlyOverPictureAndText()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new RadioButton(QIcon(), "Ток", &window);
    button->setAutoExclusive(false);
    layout->addWidget(button);
    window.resize(300, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
    const int y = button->height() / 2;
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(textWidth + 40, y));
    QVERIFY(!button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(textWidth + 39, y));
    QVERIFY(button->isChecked());
}

void TestButtons::radioButtonFontsFollowState()
{
    RadioButton button(QIcon(), "Напряжение");
    QCOMPARE(button.font().family(), QString("TeX Gyre Heros"));
    QCOMPARE(button.font().pixelSize(), 14);
    QCOMPARE(button.checkedFont().weight(), int(QFont::Bold));
    QCOMPARE(button.hoverFont().weight(), int(QFont::Normal));
    QCOMPARE(button.hoverFont().pixelSize(), 14);
    QCOMPARE(button.palette().color(QPalette::Text), QColor("#b6b6b6"));
    // The whole text fits beside the picture.
    QVERIFY(button.sizeHint().width()
            >= 35 + QFontMetrics(button.checkedFont()).horizontalAdvance(button.text()));
}

void TestButtons::headerIsFiftyPixelsHighAtLeast()
{
    Header header;
    QCOMPARE(header.minimumHeight(), 50);
    QCOMPARE(header.objectName(), QString("Header"));
    header.setTexts("title", "subtitle");
    QCOMPARE(header.titleLabel()->text(), QString("title"));
    QCOMPARE(header.subtitleLabel()->text(), QString("subtitle"));
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
