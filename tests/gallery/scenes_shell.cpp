// Scenes of the application shell: the empty screen, the page tab bar, the about box, the
// unsaved-changes question and the messages of refused files.
#include "gallery.h"
#include "model/errorcodes.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "shell/configurationstorage.h"
#include "shell/emptyscreen.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/programstart.h"
#include "shell/qtprompts.h"
#include "shell/systemoperation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <QTabBar>

#include "support/modelfixture.h"

#include <memory>

TAV_GALLERY_SCENES(shell)
{
    // The about box shows the program's own name and version; other areas keep theirs.
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    ProgramStart::setApplicationIdentity();

    const std::unique_ptr<EmptyScreen> empty(new EmptyScreen);
    empty->resize(970, 560);
    Gallery::save(empty.get(), outDir, "shell_emptyscreen_default");

    SystemOperation tabs;
    tabs.createTabBar();
    tabs.goEditSystem();
    Gallery::save(tabs.tabBar(), outDir, "shell_tabbar_system");
    tabs.setResourceEditable(false);
    Gallery::save(tabs.tabBar(), outDir, "shell_tabbar_resources_locked");

    const std::unique_ptr<QMessageBox> about(HelpOperations::makeAboutBox());
    Gallery::save(about.get(), outDir, "shell_aboutbox_default");

    const std::unique_ptr<QMessageBox> question(QtPrompts::makeQuestionBox(
        QCoreApplication::applicationName(),
        FileOperations::saveQuestionText(Gallery::demo("/home/operator/Насосная станция 2.tavc",
                                                       "/home/operator/Pump station 2.tavc")),
        FileOperations::saveQuestionButtons(), 0, 2));
    Gallery::save(question.get(), outDir, "shell_savequestion_unsaved");

    // A system a faulty edit left with a gap in its module numbers is not saved.
    SystemModel broken;
    const Device::Ptr_t controller = broken.addDevice(ModelFixture::handleOf(ModelFixture::kTav1020, 0));
    const QList<DeviceType_t>& modules = SettingsProvider::instance().pexTypes;
    if (controller && !modules.isEmpty())
        broken.addDevice(ModelFixture::handleOf(modules.constFirst(), 2, controller->id()));
    App::Error refused;
    refused.code = App::ErrorCode::ModelWrite;
    refused.subCode = ConfigurationStorage::RuleBroken;
    refused.text = broken.brokenRule();
    const QString file = Gallery::demo("/home/operator/Насосная станция 2.tavc",
                                       "/home/operator/Pump station 2.tavc");
    QMessageBox saveRefused(QMessageBox::Warning, QCoreApplication::applicationName(),
                            FileOperations::saveErrorText(refused, file), QMessageBox::Ok);
    Gallery::save(&saveRefused, outDir, "shell_saverefused_brokenrule");

    App::Error tooLarge;
    tooLarge.code = App::ErrorCode::FileRead;
    tooLarge.subCode = ConfigurationStorage::TooLarge;
    tooLarge.text = QCoreApplication::translate("FileOperations",
                                                "файл слишком велик: %1 байт, а конфигурация "
                                                "занимает не более %2 байт")
                        .arg(QLocale().toString(134217728), QLocale().toString(ConfigurationStorage::largestFileSize()));
    QMessageBox openRefused(QMessageBox::Information, QCoreApplication::applicationName(),
                            ConfigurationStorage::loadErrorMessage(tooLarge, file), QMessageBox::Ok);
    Gallery::save(&openRefused, outDir, "shell_openrefused_toolarge");

    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
    QCoreApplication::setApplicationVersion(version);
}
