// Tool-bar icons, flat button and radio button.
#include "widgets/flatbutton.h"
#include "widgets/radiobutton.h"
#include "widgets/startup.h"
#include "widgets/widgetfactory.h"

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
    void radioButtonToggledOnlyOverPictureAndText();
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
    // Laid out wide enough for its text in the bold checked font, so nothing is cut off.
    QVERIFY(button->width()
            >= 35 + QFontMetrics(button->checkedFont()).horizontalAdvance(button->text()));
}



QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
