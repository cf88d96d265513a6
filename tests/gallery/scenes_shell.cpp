// Scenes of the application shell: the empty screen, the page tab bar, the about box, and the
// unsaved-changes question and the messages of refused files as the program's prompts show them.
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
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
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

    // The question as the running program puts it, for a configuration never saved (the shortest
    // name, so the narrowest box), a short name and a long one.
    const QStringList names{ConfigurationStorage::defaultFileName(),
                            Gallery::demo("/home/operator/станция.tavc", "/home/operator/plant.tavc"),
                            Gallery::demo("/home/operator/Насосная станция 2.tavc",
                                          "/home/operator/Pump station 2.tavc")};
    const char* const questionScenes[] = {"shell_savequestion_untitled",
                                          "shell_savequestion_shortname",
                                          "shell_savequestion_unsaved"};
    for (int i = 0; i < names.size(); ++i) {
        const std::unique_ptr<QMessageBox> question(QtPrompts::makeQuestionBox(
            QCoreApplication::applicationName(), FileOperations::saveQuestionText(names.at(i)),
            FileOperations::saveQuestionButtons(), 0, 2));
        Gallery::save(question.get(), outDir, questionScenes[i]);
    }
    const std::unique_ptr<QMessageBox> ending(QtPrompts::makeQuestionBox(
        QCoreApplication::applicationName(), FileOperations::saveQuestionText(names.at(2)),
        FileOperations::saveQuestionButtons(true), 0, -1));
    Gallery::save(ending.get(), outDir, "shell_savequestion_programending");

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
    const std::unique_ptr<QMessageBox> saveRefused(
        QtPrompts::makeMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(),
                                  FileOperations::saveErrorText(refused, file)));
    Gallery::save(saveRefused.get(), outDir, "shell_saverefused_brokenrule");

    // A shared folder's file written in place when the disk filled up: it kept its old text.
    const App::Error full = App::makeError(App::ErrorCode::FileWrite, App::ErrorCode::FileWriteNoSpace,
                                           QCoreApplication::translate("FileOperations",
                                                                       "Файл сохранил прежнее содержимое."));
    const std::unique_ptr<QMessageBox> diskFull(
        QtPrompts::makeMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(),
                                  FileOperations::saveErrorText(full, file)));
    Gallery::save(diskFull.get(), outDir, "shell_saverefused_diskfull");

    // Each cause a save can be refused for that the user can act on, named with what to do.
    const struct
    {
        qint32 subCode;
        const char* scene;
    } causes[] = {{App::ErrorCode::FileWriteNotAFile, "shell_saverefused_notafile"},
                  {App::ErrorCode::FileWriteLinkLoop, "shell_saverefused_linkloop"},
                  {App::ErrorCode::FileWriteNameRefused, "shell_saverefused_namerefused"},
                  {App::ErrorCode::FileWriteSizeLimit, "shell_saverefused_sizelimit"},
                  {App::ErrorCode::FileWriteQuota, "shell_saverefused_quota"},
                  {App::ErrorCode::FileWriteDiskError, "shell_saverefused_diskerror"}};
    for (const auto& cause : causes) {
        const std::unique_ptr<QMessageBox> refusal(QtPrompts::makeMessageBox(
            QMessageBox::Warning, QCoreApplication::applicationName(),
            FileOperations::saveErrorText(App::makeError(App::ErrorCode::FileWrite, cause.subCode), file)));
        Gallery::save(refusal.get(), outDir, cause.scene);
    }

    // The new file took the old one's place, but the disk failed to confirm its folder.
    const std::unique_ptr<QMessageBox> unconfirmed(
        QtPrompts::makeMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(),
                                  FileOperations::unconfirmedSaveText(file)));
    Gallery::save(unconfirmed.get(), outDir, "shell_saveunconfirmed");

    // A name as long as the disk allows (255 bytes; Cyrillic letters take two each) in a folder the
    // user may not write to: the whole path shows, broken where the box ends.
    const QString letters = Gallery::demo("НасоснаяСтанцияНомерДва", "PumpStationNumberTwo");
    QString longName = QStringLiteral("/home/operator/") + Gallery::demo("Проекты", "Projects") + '/';
    const int nameStart = longName.size();
    while (QFile::encodeName(longName.mid(nameStart)).size() < 250)
        longName += letters.at((longName.size() - nameStart) % letters.size());
    longName += QStringLiteral(".tavc");
    const std::unique_ptr<QMessageBox> longPath(QtPrompts::makeMessageBox(
        QMessageBox::Warning, QCoreApplication::applicationName(),
        FileOperations::saveErrorText(App::makeError(App::ErrorCode::FileWrite,
                                                     App::ErrorCode::FileWriteFolderLocked),
                                      longName)));
    Gallery::save(longPath.get(), outDir, "shell_saverefused_longname");

    App::Error tooLarge;
    tooLarge.code = App::ErrorCode::FileRead;
    tooLarge.subCode = ConfigurationStorage::TooLarge;
    tooLarge.text = QCoreApplication::translate("FileOperations",
                                                "файл слишком велик: %1 байт, а конфигурация "
                                                "занимает не более %2 байт")
                        .arg(ConfigurationStorage::bytesText(134217728),
                             ConfigurationStorage::bytesText(ConfigurationStorage::largestFileSize()));
    const std::unique_ptr<QMessageBox> openRefused(
        QtPrompts::makeMessageBox(QMessageBox::Information, QCoreApplication::applicationName(),
                                  ConfigurationStorage::loadErrorMessage(tooLarge, file)));
    Gallery::save(openRefused.get(), outDir, "shell_openrefused_toolarge");

    // A hand-edited file whose controller's label is a number.
    SystemModel edited;
    edited.addDevice(ModelFixture::handleOf(ModelFixture::kTav1020, 0));
    QJsonObject data;
    edited.writeJson(data);
    QJsonArray devices = data["Devices"].toArray();
    QJsonObject entry = devices[0].toObject();
    entry["label"] = 12;
    devices[0] = entry;
    data["Devices"] = devices;
    SystemModel refusing;
    refusing.readJson(data);
    const std::unique_ptr<QMessageBox> unfitLabel(QtPrompts::makeMessageBox(
        QMessageBox::Information, QCoreApplication::applicationName(),
        ConfigurationStorage::loadErrorMessage(
            App::makeError(App::ErrorCode::ModelRead, App::ErrorCode::RuleBroken,
                           refusing.refusedRule()),
            file)));
    Gallery::save(unfitLabel.get(), outDir, "shell_openrefused_unfitlabel");

    App::Error missing;
    missing.code = App::ErrorCode::FileRead;
    missing.subCode = ConfigurationStorage::NotFound;
    const std::unique_ptr<QMessageBox> notFound(QtPrompts::makeMessageBox(
        QMessageBox::Information, QCoreApplication::applicationName(),
        ConfigurationStorage::loadErrorMessage(missing, Gallery::demo("/home/operator/станция.tavc",
                                                                      "/home/operator/plant.tavc"))));
    Gallery::save(notFound.get(), outDir, "shell_openrefused_notfound");

    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
    QCoreApplication::setApplicationVersion(version);
}
