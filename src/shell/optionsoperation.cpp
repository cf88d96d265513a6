#include "shell/optionsoperation.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QTranslator>

namespace {

const QString kLanguageKey = QStringLiteral("GuiLanguage");

QString fileOf(const QString& folder, const QString& code)
{
    return folder + QStringLiteral("tavcfg_%1.qm").arg(code);
}

} // namespace

OptionsOperation::OptionsOperation(QObject* parent, const QString& folder)
    : QObject(parent)
    , m_folder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'))
    , m_translator(new QTranslator(this))
    , m_qtTranslator(new QTranslator(this))
    , m_languages(nullptr)
{
}

OptionsOperation::~OptionsOperation()
{
    // A menu is a widget and cannot be the child of the group: the group deletes it.
    delete m_languageMenu;
    // The translators go with this object and take themselves out of the application.
}

QString OptionsOperation::translationFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tools/i18n/");
}

void OptionsOperation::createActions()
{
    m_firmware = new QAction(this);
    onActivated(m_firmware, &QAction::triggered, this, [this] { emit firmwareUpgrade(); });
    m_menuList.append(m_firmware);

    const QList<Translation> translations = findTranslations();
    if (!translations.isEmpty()) {
        m_languageMenu = new QMenu;
        const QString chosen = defaultLanguage(translations);
        for (const Translation& translation : translations)
            addLanguageAction(translation, chosen);
        m_language = new QAction(tr("Язык"), this);
        m_language->setMenu(m_languageMenu);
        m_menuList.append(m_language);
    }
    retranslate();
}

void OptionsOperation::addLanguageAction(const Translation& translation, const QString& chosen)
{
    auto* action = new QAction(translation.second, &m_languages);
    action->setCheckable(true);
    m_languages.addAction(action);
    m_languageMenu->addAction(action);
    const QString code = translation.first;
    if (code == chosen) {
        action->setChecked(true);
        switchLanguage(code);
    }
    // The pages read every value again in the new language: a typed one is entered first.
    onActivated(action, &QAction::triggered, this, [this, code] { switchLanguage(code); });
}

QList<OptionsOperation::Translation> OptionsOperation::findTranslations() const
{
    QList<Translation> found;
    const QStringList files =
        QDir(m_folder).entryList({QStringLiteral("tavcfg_*.qm")}, QDir::NoFilter,
                                 QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        QString code = file.left(file.lastIndexOf(QLatin1Char('.')));
        code.remove(0, code.indexOf(QLatin1Char('_')) + 1);
        found.append({code, QLocale::languageToString(QLocale(code).language())});
    }
    return found;
}

QString OptionsOperation::savedLanguage()
{
    return QSettings().value(kLanguageKey).toString();
}

void OptionsOperation::saveLanguage(const QString& code)
{
    QSettings().setValue(kLanguageKey, code);
}

QString OptionsOperation::defaultLanguage(const QList<Translation>& translations)
{
    const QString saved = savedLanguage();
    if (!saved.isEmpty())
        return saved;
    const QString system = QLocale::system().name().left(2);
    for (const Translation& translation : translations) {
        if (translation.first == system)
            return system;
    }
    return QStringLiteral("en");
}

bool OptionsOperation::switchLanguage(const QString& code)
{
    saveLanguage(code);
    QCoreApplication::removeTranslator(m_qtTranslator);
    if (loadQtTranslation(m_qtTranslator, code))
        QCoreApplication::installTranslator(m_qtTranslator);
    QCoreApplication::removeTranslator(m_translator);
    if (!m_translator->load(fileOf(m_folder, code)))
        return false;
    return QCoreApplication::installTranslator(m_translator);
}

bool OptionsOperation::loadQtTranslation(QTranslator* translator, const QString& code)
{
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (translator->load(QStringLiteral("qtbase_") + code, folder))
        return true;
    // Qt speaks English of itself.
    if (code != QLatin1String("en"))
        qDebug().noquote() << QStringLiteral("Options: no Qt translation %1 in %2, Qt's own dialogs "
                                             "stay in English")
                                  .arg(code, folder);
    return false;
}

QList<QAction*> OptionsOperation::toolBarActions() const
{
    return {};
}

QMap<QString, QList<QAction*>> OptionsOperation::menuActions() const
{
    return {{tr("Опции"), m_menuList}};
}

void OptionsOperation::retranslate()
{
    m_firmware->setText(tr("Обновить ПО контроллера"));
    if (m_language)
        m_language->setText(tr("Язык"));
    if (m_languageMenu)
        m_languageMenu->setTitle(tr("Язык"));
}

QStringList OptionsOperation::menuTitles() const
{
    return {tr("Опции")};
}
