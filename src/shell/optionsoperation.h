#pragma once

#include "shell/abstractoperations.h"

#include <QActionGroup>
#include <QList>
#include <QObject>
#include <QPair>

class QMenu;
class QTranslator;

// The Options menu: the controller firmware update (announced for the window to open its dialog)
// and the interface language, chosen from the translation files beside the program. The choice
// is kept in the settings store; switching exchanges the installed translators (the program's and
// Qt's own), and Qt's language-change event then retranslates every open window.
class OptionsOperation : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    // Code ("en") and language name ("English").
    using Translation = QPair<QString, QString>;

    // `folder` holds the "tavcfg_<code>.qm" files; the program's is translationFolder().
    explicit OptionsOperation(QObject* parent = nullptr, const QString& folder = translationFolder());
    ~OptionsOperation() override;

    void createActions();

    static QString translationFolder();
    QList<Translation> findTranslations() const;
    static QString savedLanguage();
    static void saveLanguage(const QString& code);
    // The saved choice; else the system's language when a file exists for it; else English.
    static QString defaultLanguage(const QList<Translation>& translations);
    // True when the translation was loaded and installed; the code is saved in every case.
    bool switchLanguage(const QString& code);
    // Loads into `translator` Qt's own texts (the file dialogs, their questions, the standard
    // buttons) in the language `code`, from the translations Qt is installed with. Without them
    // those texts stay in English, which one log line tells.
    static bool loadQtTranslation(QTranslator* translator, const QString& code);

    QAction* firmwareAction() const { return m_firmware; }
    QMenu* languageMenu() const { return m_languageMenu; }
    QList<QAction*> languageActions() const { return m_languages.actions(); }

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

signals:
    void firmwareUpgrade();

private:
    void addLanguageAction(const Translation& translation, const QString& chosen);

    const QString m_folder;
    QTranslator* m_translator;
    QTranslator* m_qtTranslator;
    QActionGroup m_languages;
    QAction* m_firmware = nullptr;
    QAction* m_language = nullptr;
    QMenu* m_languageMenu = nullptr;
    QList<QAction*> m_menuList;
};
