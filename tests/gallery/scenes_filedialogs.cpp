// Scenes of the file dialogs as the program's prompts show them over a folder of configurations,
// and the question Qt's own dialog puts when the name chosen to save under is taken.
#include "gallery.h"

#include "shell/fileoperations.h"
#include "shell/qtprompts.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLockFile>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <utime.h>

#include <memory>

namespace {

// The dialog lists its folder in the background: waits until every entry shows its date.
void waitForListing(QFileDialog* dialog, int entries)
{
    const auto* model = dialog->findChild<QFileSystemModel*>();
    for (QDeadlineTimer deadline(10000); model && !deadline.hasExpired();) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        const QModelIndex folder = model->index(dialog->directory().absolutePath());
        bool listed = model->rowCount(folder) >= entries;
        for (int row = 0; listed && row < entries; ++row)
            listed = !model->index(row, 3, folder).data().toString().isEmpty();
        if (listed)
            return;
    }
}

} // namespace

TAV_GALLERY_SCENES(filedialogs)
{
    // The dialogs show the folder's path and the home folder's name: a place that is the same on
    // every machine keeps the pictures alike, and the lock keeps two gallery runs out of each
    // other's way. The dialogs' remembered state stays out of the user's settings.
    const QString root = QStringLiteral("/tmp/tavcfg-gallery");
    QLockFile lock(root + QStringLiteral(".lock"));
    if (!lock.tryLock(60000))
        return;
    const QByteArray home = qgetenv("HOME");
    const QString settings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, settings);
        QDir(root).removeRecursively();
    });
    QDir(root).removeRecursively();
    const QString folder = root + Gallery::demo("/operator/Проекты", "/operator/Projects");
    const QStringList entries{Gallery::demo("Архив", "Archive"),
                              Gallery::demo("станция.tavc", "plant.tavc"),
                              Gallery::demo("Насосная станция 2.tavc", "Pump station 2.tavc"),
                              Gallery::demo("Котельная.tavc", "Boiler house.tavc")};
    QDir().mkpath(folder + '/' + entries.at(0));
    const qint64 stamp = QDateTime(QDate(2026, 3, 14), QTime(9, 30)).toSecsSinceEpoch();
    for (const QString& entry : entries) {
        QFile file(folder + '/' + entry);
        if (entry.endsWith(QLatin1String(".tavc")) && file.open(QIODevice::WriteOnly))
            file.write(QByteArray(2048, ' '));
        file.close();
        const utimbuf times{stamp, stamp};
        utime(QFile::encodeName(file.fileName()).constData(), &times);
    }
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/operator")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root + "/config");

    const std::unique_ptr<QFileDialog> open(QtPrompts::makeFileDialog(
        QCoreApplication::translate("FileOperations", "Открыть файл"), folder,
        FileOperations::fileFilter(), QStringLiteral("tavc"), false));
    open->show();
    waitForListing(open.get(), entries.size());
    Gallery::save(open.get(), outDir, "filedialogs_open_default");

    const std::unique_ptr<QFileDialog> save(QtPrompts::makeFileDialog(
        QCoreApplication::translate("FileOperations", "Сохранить файл"),
        folder + '/' + entries.at(2), FileOperations::fileFilter(), QStringLiteral("tavc"), true));
    save->show();
    waitForListing(save.get(), entries.size());
    Gallery::save(save.get(), outDir, "filedialogs_save_default");
    // Qt's question runs its own event loop inside the dialog's accept: saved from in there.
    QTimer::singleShot(0, save.get(), [outDir] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Gallery::save(box, outDir, "filedialogs_save_replacequestion");
            box->done(QMessageBox::No);
        }
    });
    static_cast<QDialog*>(save.get())->accept();
}
