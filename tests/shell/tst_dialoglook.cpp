// The dialogs a user meets are as dark as the main window they stand in front of, their texts
// read on their grounds and their buttons read as enabled.
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "shell/helpoperations.h"
#include "shell/qtprompts.h"
#include "support/colourcontrast.h"
#include "support/pixelprobe.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "widgets/startup.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

using Make = std::function<QDialog*()>;
Q_DECLARE_METATYPE(Make)

class TestDialogLook : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWidgets(); }

    void dialogsAreDarkWithReadableButtons_data()
    {
        QTest::addColumn<Make>("make");
        QTest::newRow("save question") << Make([] {
            return QtPrompts::makeQuestionBox("Tav Configurator", "Save the changes?",
                                              {"Save", "Don't save", "Cancel"}, 0, 2);
        });
        QTest::newRow("refused save") << Make([] {
            return QtPrompts::makeMessageBox(QMessageBox::Warning, "Tav Configurator",
                                             "Cannot save the file");
        });
        QTest::newRow("open failure") << Make([] {
            return QtPrompts::makeMessageBox(QMessageBox::Information, "Tav Configurator",
                                             "Cannot open the file");
        });
        QTest::newRow("about") << Make([] { return HelpOperations::makeAboutBox(); });
        QTest::newRow("firmware upgrade, no controller")
            << Make([] { return new UpgradeFirmwareDialog; });
        static Alarms::SystemAlarms alarms;
        QTest::newRow("alarms") << Make([] { return new AlrmsManager(&alarms); });
    }

    void dialogsAreDarkWithReadableButtons()
    {
        QFETCH(Make, make);
        const std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QImage picture = dialog->grab().toImage();
        QCOMPARE(QColor(picture.pixel(4, picture.height() / 2)), QColor(0x44484e));
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        QVERIFY(!buttons.isEmpty());
        // Each text outside the buttons reads on the ground it stands on in the dialog.
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            const QRect area(label->mapTo(dialog.get(), QPoint(0, 0)), label->size());
            const QColor ground(picture.pixel(area.topLeft()));
            const QColor text = PixelProbe::inkOf(picture, area, ground);
            QVERIFY2(colourContrast(ground, text) >= 4.5,
                     qPrintable(label->text() + ": " + ground.name() + " " + text.name()));
        }
        for (QPushButton* button : buttons) {
            if (!button->isVisible())
                continue;
            const QImage face = button->grab().toImage();
            const QColor ground(face.pixel(3, face.height() / 2));
            const QColor text = button->palette().color(QPalette::ButtonText);
            QVERIFY2(colourContrast(ground, text) >= 4.5,
                     qPrintable(button->text() + ": " + ground.name() + " " + text.name()));
        }
    }
};

QTEST_MAIN(TestDialogLook)
#include "tst_dialoglook.moc"
