#pragma once

#include "model/apperror.h"
#include "shell/abstractoperations.h"
#include "shell/configurationstorage.h"

#include <QObject>

#include <functional>

class QAction;
class SystemModel;

// The File menu: new, open, save and save as of configuration files, the CSV and register map
// exports, the last directories of each dialog and the unsaved-changes mark with its question.
// All questions and messages go through Prompts.
class FileOperations : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    explicit FileOperations(SystemModel* model, QObject* parent = nullptr);
    // Keeps the last directories for the next run.
    ~FileOperations() override;

    void createActions();

    // Asks whether to save the unsaved changes before the configuration is replaced by `name`
    // (even by the file that is open: it is read again from disk); false means the user wants to
    // stay where they are (also when the save failed; at the program's end, where nobody stays,
    // the question comes back instead).
    bool maybeSave(const QString& name);
    // Runs first, whether the question is asked or not: whatever could still change what the
    // answer throws away settles before it. False when the window was closed meanwhile (by a
    // signal during its wait): nothing more is asked, and the caller stays where it is.
    std::function<bool()> beforeQuestion;
    // The unsaved-changes mark: edits since the last save, open or read, or a value typed into a
    // box and not yet entered.
    bool hasUnsavedChanges() const { return m_saveAvailable || m_entryPending; }
    // The current file name without its directory, for the window title.
    QString strippedName() const;
    // "*" for unsaved changes, the file name without its directory, " - Tav Configurator".
    QString windowTitle() const;
    ConfigurationStorage& storage() { return m_storage; }

    static QString fileFilter();
    static QString saveQuestionText(const QString& fileName);
    // At the program's end without "Отмена": nothing can stay open then.
    static QStringList saveQuestionButtons(bool ending = false);
    // The warning of a failed save: its cause (the rule the system breaks, a full disk, ...) and
    // what to do about it.
    static QString saveErrorText(const App::Error& error, const QString& fileName);
    // The warning of a save the disk did not confirm: the file holds the new text, but a power cut
    // may still bring back the old one.
    static QString unconfirmedSaveText(const QString& fileName);

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

    enum Action { New, Open, Save, SaveAs, ExportCsv, ExportMap, ExportLast, ActionCount };
    QAction* action(Action which) const { return m_actions[which]; }

signals:
    void aboutToSave();
    void saved();
    void opened();
    void needCreate();

public slots:
    // An empty system can never be saved: it could not be opened again.
    void setSaveAvailable(bool save, bool saveAs);
    void setSaveAvailable(bool save);
    // While a box holds a typed value, whatever an edit offers is offered for it: the action ends
    // the entry, so it is an edit by the time the action runs.
    void setEntryPending(bool pending);
    // Monitoring ended with edits the controller may not hold: the configuration is in neither
    // the controller nor a file until they are written, unless it changes meanwhile.
    void setUnsavedUntilWritten();
    // Those edits reached the controller: the configuration is the controller's again, unless
    // it changed, was saved or was replaced since.
    void setEditsWritten();
    bool save();
    void open(const QString& path);
    void open();
    bool saveAs();
    void createNew();
    void exportAs();
    void exportLast();
    void exportCSV();

private:
    QAction* makeAction(const std::function<void()>& work, const QString& iconPattern = QString());
    // The one place the save actions and the exports get their enablement from the mark.
    void offerSaving();
    void updateExportLast(bool enable);
    // The one place the export to the last map file gets its enablement and its label.
    void showExportLast();
    bool refuseEmptySystem();
    bool writeFile();
    QString proposedFileName() const;

    static QString title();
    static QString exportErrorText(const App::Error& error, const QString& fileName);
    static QString unconfirmedExportText(const QString& fileName);
    // `done` (what was written), then why the user cannot count on it yet and what to do.
    static QString unconfirmedText(const QString& done, const QString& fileName);

    SystemModel* m_model;
    ConfigurationStorage m_storage;
    QAction* m_actions[ActionCount] = {};
    QAction* m_separators[2] = {};
    QList<QAction*> m_menuList;
    QList<QAction*> m_toolBarList;
    bool m_saveAvailable = false;
    // The mark stands only for edits a rewrite after monitoring still has to write.
    bool m_untilWritten = false;
    bool m_saveAsAvailable = false;
    bool m_entryPending = false;
    bool m_exportsOffered = false;
    QString m_lastConfigDir;
    QString m_lastCsvDir;
    QString m_lastMapDir;
    QString m_lastMapFile;
};
