#include "shell/fileoperations.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/errorcodes.h"
#include "model/systemmodel.h"
#include "shell/mapbuilder.h"
#include "shell/prompts.h"
#include "shell/toolicon.h"
#include "widgets/layoutmetrics.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

#include <utility>

namespace {

const QString kConfigDirKey = QStringLiteral("lastdir/config");
const QString kCsvDirKey = QStringLiteral("lastdir/csvexport");
const QString kMapDirKey = QStringLiteral("lastdir/mapexport");
const QString kSuffix = QStringLiteral("tavc");

enum SaveQuestionAnswer { SaveChanges, DiscardChanges, Cancel };

QString directoryOf(const QString& fileName)
{
    return QFileInfo(fileName).absolutePath();
}

// The wait cursor while it lives; nothing without a GUI application (the tools that run the
// operations without a window).
class BusyCursor
{
public:
    BusyCursor()
        : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    const bool m_shown;
};

} // namespace

FileOperations::FileOperations(SystemModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_storage(model)
{
    const QSettings settings;
    m_lastConfigDir = settings.value(kConfigDirKey).toString();
    m_lastCsvDir = settings.value(kCsvDirKey).toString();
    m_lastMapDir = settings.value(kMapDirKey).toString();
}

FileOperations::~FileOperations()
{
    QSettings settings;
    settings.setValue(kConfigDirKey, m_lastConfigDir);
    settings.setValue(kCsvDirKey, m_lastCsvDir);
    settings.setValue(kMapDirKey, m_lastMapDir);
}

QAction* FileOperations::makeAction(const std::function<void()>& work, const QString& iconPattern)
{
    auto* action = new QAction(this);
    if (!iconPattern.isEmpty())
        action->setIcon(toolIcon(iconPattern));
    onActivated(action, &QAction::triggered, this, work);
    return action;
}

void FileOperations::createActions()
{
    m_actions[New] = makeAction([this] { createNew(); }, QStringLiteral("new%1.png"));
    m_actions[New]->setShortcuts(QKeySequence::New);
    m_actions[Open] = makeAction([this] { open(); }, QStringLiteral("open%1.png"));
    m_actions[Open]->setShortcuts(QKeySequence::Open);
    m_actions[Save] = makeAction([this] { save(); }, QStringLiteral("save%1.png"));
    m_actions[Save]->setShortcuts(QKeySequence::Save);
    m_actions[SaveAs] = makeAction([this] { saveAs(); }, QStringLiteral("save%1.png"));
    m_actions[SaveAs]->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_actions[ExportCsv] = makeAction([this] { exportCSV(); });
    m_actions[ExportMap] = makeAction([this] { exportAs(); });
    m_actions[ExportLast] = makeAction([this] { exportLast(); });
    for (QAction*& separator : m_separators) {
        separator = new QAction(this);
        separator->setSeparator(true);
    }

    m_menuList = {m_actions[New], m_actions[Open], m_separators[0], m_actions[Save],
                  m_actions[SaveAs], m_separators[1], m_actions[ExportCsv], m_actions[ExportMap],
                  m_actions[ExportLast]};
    m_toolBarList.clear();
    if (BrandRules::hasFileToolBar()) {
        m_toolBarList = {m_actions[New], m_actions[Open], m_actions[Save]};
        for (QAction* action : qAsConst(m_toolBarList))
            setToolButtonSizeWide(action);
    }

    setSaveAvailable(false, false);
    retranslate();
}

QList<QAction*> FileOperations::toolBarActions() const
{
    return m_toolBarList;
}

QMap<QString, QList<QAction*>> FileOperations::menuActions() const
{
    return {{tr("Файл"), m_menuList}};
}

QStringList FileOperations::menuTitles() const
{
    return {tr("Файл")};
}

void FileOperations::retranslate()
{
    m_actions[New]->setText(tr("&Новая"));
    m_actions[Open]->setText(tr("&Открыть"));
    m_actions[Save]->setText(tr("&Сохранить"));
    m_actions[SaveAs]->setText(tr("&Сохранить как"));
    m_actions[ExportCsv]->setText(tr("Экспорт в &csv"));
    m_actions[ExportMap]->setText(tr("&Экспорт в map файл"));
    m_actions[ExportLast]->setData(tr("&Экспорт в "));
    showExportLast();
}

QString FileOperations::title()
{
    return QCoreApplication::applicationName();
}

QString FileOperations::fileFilter()
{
    return BrandRules::namesTavConfiguration() ? tr("Tav Configuration (*.tavc)")
                                               : tr("Zem Configuration (*.tavc)");
}

QString FileOperations::strippedName() const
{
    const QString& name = m_storage.fileName();
    return name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileOperations::windowTitle() const
{
    return (hasUnsavedChanges() ? QStringLiteral("*") : QString()) + strippedName()
           + QStringLiteral(" - Tav Configurator");
}

void FileOperations::setSaveAvailable(bool save, bool saveAs)
{
    m_untilWritten = false;
    m_saveAvailable = save;
    m_saveAsAvailable = saveAs;
    offerSaving();
}

void FileOperations::setSaveAvailable(bool save)
{
    setSaveAvailable(save, true);
}

void FileOperations::setUnsavedUntilWritten()
{
    setSaveAvailable(true, true);
    m_untilWritten = true;
}

void FileOperations::setEditsWritten()
{
    if (std::exchange(m_untilWritten, false))
        setSaveAvailable(false, true);
}

void FileOperations::setEntryPending(bool pending)
{
    m_entryPending = pending;
    offerSaving();
}

void FileOperations::offerSaving()
{
    if (!m_actions[Save])
        return;
    const bool savable = !m_model->devices().isEmpty();
    const bool saveAs = m_saveAsAvailable || m_entryPending;
    m_actions[Save]->setEnabled(hasUnsavedChanges() && savable);
    m_actions[SaveAs]->setEnabled(saveAs && savable);
    updateExportLast(saveAs);
}

void FileOperations::updateExportLast(bool enable)
{
    m_actions[ExportMap]->setEnabled(enable);
    m_actions[ExportCsv]->setEnabled(enable);
    m_exportsOffered = enable;
    showExportLast();
}

void FileOperations::showExportLast()
{
    // The action writes without a dialog: while it can, its label names the file it overwrites,
    // in every language; the ellipsis is only for the disabled action.
    const bool known = m_exportsOffered && !m_lastMapFile.isEmpty();
    QAction* exportLast = m_actions[ExportLast];
    exportLast->setEnabled(known);
    exportLast->setText(exportLast->data().toString()
                        + (known ? QFileInfo(m_lastMapFile).fileName() : QStringLiteral("...")));
}

QString FileOperations::saveQuestionText(const QString& fileName)
{
    return tr("Сохранить изменения в файл:\n\"%1\"").arg(fileName);
}

QStringList FileOperations::saveQuestionButtons(bool ending)
{
    QStringList buttons{tr("Сохранить"), tr("Не сохранять")};
    if (!ending)
        buttons << tr("Отмена");
    return buttons;
}

bool FileOperations::maybeSave(const QString& name)
{
    Q_UNUSED(name)
    if (beforeQuestion && !beforeQuestion())
        return false;
    // Asked whatever comes next, the file that is open included: reopening it from disk throws
    // the changes away just the same.
    if (!hasUnsavedChanges())
        return true;
    // Closing the box counts as "Отмена": nothing is lost by staying. At the program's end (the
    // session ends, a signal) there is no staying: "Отмена" would promise it and end without a
    // save all the same, so the user chooses between saving and not, and the box cannot be closed
    // without a choice. A save that failed or whose dialog was cancelled there would end the
    // program with the edits in no file, the failure's remedy (another disk) out of reach: the
    // question comes back until a save succeeds or the user lets the edits go.
    for (;;) {
        const bool ending = Prompts::isProgramEnding();
        switch (Prompts::current().question(title(), saveQuestionText(m_storage.fileName()),
                                            saveQuestionButtons(ending), SaveChanges,
                                            ending ? -1 : int(Cancel))) {
        case SaveChanges:
            if (save())
                return true;
            if (!Prompts::isProgramEnding())
                return false;
            break;
        case DiscardChanges:
            return true;
        default:
            return false;
        }
    }
}

bool FileOperations::refuseEmptySystem()
{
    if (!m_model->devices().isEmpty())
        return false;
    // The system file format needs at least one device; a file saved without one could never
    // be opened again.
    Prompts::current().information(
        title(), tr("Конфигурация не содержит ни одного устройства.\n"
                    "Добавьте устройство, чтобы сохранить конфигурацию в файл."));
    return true;
}

bool FileOperations::save()
{
    emit aboutToSave();
    if (refuseEmptySystem())
        return false;
    const QString& name = m_storage.fileName();
    if (name != ConfigurationStorage::defaultFileName() && name.contains(QStringLiteral(".tavc")))
        return writeFile();
    return saveAs();
}

bool FileOperations::writeFile()
{
    if (!m_storage.save()) {
        Prompts::current().warning(title(), saveErrorText(m_storage.lastError(), m_storage.fileName()));
        return false;
    }
    setSaveAvailable(false, true);
    emit saved();
    if (m_storage.unconfirmed())
        Prompts::current().warning(title(), unconfirmedSaveText(m_storage.fileName()));
    return true;
}

QString FileOperations::proposedFileName() const
{
    return m_lastConfigDir.isEmpty() ? strippedName() : QDir(m_lastConfigDir).filePath(strippedName());
}

bool FileOperations::saveAs()
{
    if (refuseEmptySystem())
        return false;
    const QString name = Prompts::current().saveFileName(tr("Сохранить файл"), proposedFileName(),
                                                         fileFilter(), kSuffix);
    if (name.isEmpty())
        return false;
    m_lastConfigDir = directoryOf(name);
    const QString previous = m_storage.fileName();
    m_storage.setFileName(name);
    if (writeFile())
        return true;
    m_storage.setFileName(previous);
    return false;
}

void FileOperations::open()
{
    open(QString());
}

void FileOperations::open(const QString& path)
{
    const QString name = path.isEmpty() ? Prompts::current().openFileName(
                                              tr("Открыть файл"), m_lastConfigDir, fileFilter(), kSuffix)
                                        : path;
    if (name.isEmpty() || !maybeSave(name))
        return;
    bool loaded = false;
    {
        // A large configuration takes a while to read and to show.
        const BusyCursor busy;
        loaded = m_storage.load(name);
    }
    if (loaded) {
        setSaveAvailable(false, true);
        emit opened();
        return;
    }
    Prompts::current().information(title(),
                                   ConfigurationStorage::loadErrorMessage(m_storage.lastError(), name));
}

void FileOperations::createNew()
{
    if (!maybeSave(QString()))
        return;
    m_lastMapFile.clear();
    m_storage.reset();
    setSaveAvailable(false, false);
    emit needCreate();
}

void FileOperations::exportCSV()
{
    const QString name = Prompts::current().saveFileName(
        tr("Экспортировать в CSV"), m_lastCsvDir,
        tr("Comma-Separated Values (*.csv);;Text files (*.txt)"), QStringLiteral("csv"));
    if (name.isEmpty())
        return;
    m_lastCsvDir = directoryOf(name);
    if (!m_storage.exportCsv(name))
        Prompts::current().warning(title(), exportErrorText(m_storage.lastError(), name));
    else if (m_storage.unconfirmed())
        Prompts::current().warning(title(), unconfirmedExportText(name));
}

void FileOperations::exportAs()
{
    const QString name = Prompts::current().saveFileName(
        tr("Экспортировать конфигурацию в map файл"), m_lastMapDir, tr("Brelvox map (*.map)"),
        QStringLiteral("map"));
    if (name.isEmpty())
        return;
    m_lastMapDir = directoryOf(name);
    m_lastMapFile = name;
    exportLast();
    updateExportLast(true);
}

void FileOperations::exportLast()
{
    if (m_lastMapFile.isEmpty())
        return;
    App::Error error;
    bool unconfirmed = false;
    if (!MapBuilder::exportMap(m_model, m_lastMapFile, &error, &unconfirmed))
        Prompts::current().warning(title(), exportErrorText(error, m_lastMapFile));
    else if (unconfirmed)
        Prompts::current().warning(title(), unconfirmedExportText(m_lastMapFile));
}

QString FileOperations::saveErrorText(const App::Error& error, const QString& fileName)
{
    return ConfigurationStorage::writeErrorText(tr("Не могу сохранить файл"), error) + QLatin1Char('\n')
           + fileName;
}

QString FileOperations::unconfirmedSaveText(const QString& fileName)
{
    return unconfirmedText(tr("Файл сохранён"), fileName);
}

QString FileOperations::unconfirmedExportText(const QString& fileName)
{
    return unconfirmedText(tr("Конфигурация экспортирована"), fileName);
}

QString FileOperations::unconfirmedText(const QString& done, const QString& fileName)
{
    return tr("%1, но диск не подтвердил запись: после отключения питания или извлечения "
              "диска файл может оказаться прежним или пропасть.\nПроверьте диск и повторите запись.")
               .arg(done)
           + QLatin1Char('\n') + fileName;
}

QString FileOperations::exportErrorText(const App::Error& error, const QString& fileName)
{
    QString text = tr("Не могу экспортировать конфигурацию");
    using namespace App::ErrorCode;
    if (error.code == Export && error.subCode == ExportNoSerialPort)
        text += QStringLiteral(", ") + tr("в системе нет последовательного порта");
    return ConfigurationStorage::writeErrorText(text, error) + QLatin1Char('\n') + fileName;
}
