// The dialogs a user meets are as dark as the main window they stand in front of, their texts
// read on their grounds and their buttons read as enabled; so do the boxes Qt's own dialogs open,
// and in the window's language.
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/optionsoperation.h"
#include "shell/qtprompts.h"
#include "support/colourcontrast.h"
#include "support/isolatedenvironment.h"
#include "support/pixelprobe.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "widgets/startup.h"

#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QtTest>

#include <functional>
#include <memory>

using Make = std::function<QDialog*()>;
// Opens a box of Qt's own from the dialog, to be read while it is open.
using Ask = std::function<void(QDialog*)>;
Q_DECLARE_METATYPE(Make)
Q_DECLARE_METATYPE(Ask)

class TestDialogLook : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    // The language switch of the row under way.
    OptionsOperation* switcher = nullptr;

    // In a window of `language`, each text has letters of it and none of the other's; a file name
    // stays as written.
    static bool speaks(const QString& language, QString text)
    {
        text.remove(QRegularExpression("\\S+\\.tavc"));
        const QRegularExpression russian("\\p{Cyrillic}"), english("[A-Za-z]");
        return language.isEmpty()
            || (language == "ru" ? text.contains(russian) && !text.contains(english)
                                 : text.contains(english) && !text.contains(russian));
    }

    static void checkLook(QDialog* dialog, const QString& language)
    {
        const QImage picture = dialog->grab().toImage();
        QCOMPARE(QColor(picture.pixel(4, picture.height() / 2)), QColor(0x44484e));
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        QVERIFY(!buttons.isEmpty());
        // Each text outside the buttons reads on the ground it stands on in the dialog.
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            const QRect area(label->mapTo(dialog, QPoint(0, 0)), label->size());
            const QColor ground(picture.pixel(area.topLeft()));
            const QColor text = PixelProbe::inkOf(picture, area, ground);
            QVERIFY2(colourContrast(ground, text) >= 4.5,
                     qPrintable(label->text() + ": " + ground.name() + " " + text.name()));
            QVERIFY2(speaks(language, label->text()), qPrintable(label->text()));
        }
        for (QPushButton* button : buttons) {
            if (!button->isVisible())
                continue;
            const QImage face = button->grab().toImage();
            const QColor ground(face.pixel(3, face.height() / 2));
            const QColor text = button->palette().color(QPalette::ButtonText);
            QVERIFY2(colourContrast(ground, text) >= 4.5,
                     qPrintable(button->text() + ": " + ground.name() + " " + text.name()));
            QVERIFY2(speaks(language, button->text()), qPrintable(button->text()));
        }
        // Each entry of a list, the file dialog's side bar among them, shows whole.
        for (QListView* list : dialog->findChildren<QListView*>()) {
            for (int row = 0; list->isVisible() && row < list->model()->rowCount(); ++row) {
                const QModelIndex entry = list->model()->index(row, 0);
                QVERIFY2(list->sizeHintForIndex(entry).width() <= list->viewport()->width(),
                         qPrintable(entry.data().toString()));
            }
        }
    }

private slots:
    void initTestCase()
    {
        initWidgets();
        QVERIFY(QFile(env.path() + "/станция.tavc").open(QIODevice::WriteOnly));
    }

    void dialogsAreDarkWithReadableButtons_data()
    {
        QTest::addColumn<Make>("make");
        QTest::addColumn<Ask>("ask");
        // The languages the window is switched to, the last one shown; none leaves the texts.
        QTest::addColumn<QString>("language");
        QTest::newRow("save question") << Make([] {
            return QtPrompts::makeQuestionBox("Tav Configurator", "Save the changes?",
                                              {"Save", "Don't save", "Cancel"}, 0, 2);
        }) << Ask() << QString();
        QTest::newRow("refused save") << Make([] {
            return QtPrompts::makeMessageBox(QMessageBox::Warning, "Tav Configurator",
                                             "Cannot save the file");
        }) << Ask() << QString();
        QTest::newRow("open failure") << Make([] {
            return QtPrompts::makeMessageBox(QMessageBox::Information, "Tav Configurator",
                                             "Cannot open the file");
        }) << Ask() << QString();
        QTest::newRow("about") << Make([] { return HelpOperations::makeAboutBox(); }) << Ask()
                               << QString();
        QTest::newRow("firmware upgrade, no controller")
            << Make([] { return new UpgradeFirmwareDialog; }) << Ask() << QString();
        static Alarms::SystemAlarms alarms;
        QTest::newRow("alarms") << Make([] { return new AlrmsManager(&alarms); }) << Ask()
                                << QString();
        const auto fileDialog = [taken = env.path() + "/станция.tavc"](bool saving) {
            return Make([=] {
                return QtPrompts::makeFileDialog("Tav Configurator", taken,
                                                 FileOperations::fileFilter(), "tavc", saving);
            });
        };
        QTest::newRow("open dialog") << fileDialog(false) << Ask() << QStringLiteral("ru");
        QTest::newRow("save dialog, switched to English")
            << fileDialog(true) << Ask() << QStringLiteral("ru en");
        // Qt keeps the widths of the last file dialog for the next, whatever its language: here
        // the first one on the machine was English.
        QTest::newRow("open dialog after one in English") << Make([this, fileDialog] {
            QSettings(QSettings::UserScope, "QtProject").remove("FileDialog");
            switcher->switchLanguage("en");
            {
                const std::unique_ptr<QDialog> english(fileDialog(false)());
                english->show();
                QTest::qWaitForWindowExposed(english.get());
            }
            switcher->switchLanguage("ru");
            return fileDialog(false)();
        }) << Ask() << QStringLiteral("ru");
        QTest::newRow("replace question") << fileDialog(true)
                                          << Ask([](QDialog* dialog) { dialog->accept(); })
                                          << QStringLiteral("ru");
    }

    void dialogsAreDarkWithReadableButtons()
    {
        QFETCH(Make, make);
        QFETCH(Ask, ask);
        QFETCH(QString, language);
        OptionsOperation options(nullptr, QStringLiteral(TAV_I18N_DIR));
        switcher = &options;
        for (const QString& code : language.split(' ', Qt::SkipEmptyParts))
            QVERIFY(options.switchLanguage(code));
        language = language.section(' ', -1);
        const std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        if (!ask)
            return checkLook(dialog.get(), language);
        // Qt's box runs its own event loop inside the dialog's call: it is read from in there.
        bool asked = false;
        QTimer::singleShot(0, dialog.get(), [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            asked = box && box != dialog.get();
            if (!asked)
                return;
            const auto close = qScopeGuard([box] { box->reject(); });
            checkLook(box, language);
        });
        ask(dialog.get());
        QVERIFY(asked);
    }
};

QTEST_MAIN(TestDialogLook)
#include "tst_dialoglook.moc"
