// Scenes of the application shell: the empty screen, the page tab bar, the about box and the
// unsaved-changes question.
#include "gallery.h"

#include "shell/emptyscreen.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/programstart.h"
#include "shell/qtprompts.h"
#include "shell/systemoperation.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTabBar>

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

    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
    QCoreApplication::setApplicationVersion(version);
}
