#include "shell/helpoperations.h"

#include "shell/prompts.h"
#include "widgets/stylesource.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPixmap>

#include <memory>

QString applicationVersionText()
{
    return QStringLiteral("5.5.0.001");
}

HelpOperations::HelpOperations(QObject* parent)
    : QObject(parent)
{
}

HelpOperations::~HelpOperations() = default;

void HelpOperations::createActions()
{
    m_about = new QAction(this);
    connect(m_about, &QAction::triggered, this, &HelpOperations::aboutProgramm);
    m_menuList.append(m_about);
    retranslate();
}

QList<QAction*> HelpOperations::toolBarActions() const
{
    return {};
}

QMap<QString, QList<QAction*>> HelpOperations::menuActions() const
{
    return {{tr("Помощь"), m_menuList}};
}

void HelpOperations::retranslate()
{
    m_about->setText(tr("О программе"));
}

QStringList HelpOperations::menuTitles() const
{
    return {tr("Помощь")};
}

QMessageBox* HelpOperations::makeAboutBox()
{
    const QString name = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    // Each translation may point to the web page in its own language.
    const QString page = tr("https://www.drovanix.com/tav-configurator");
    // The link's own colour: the default blue is unreadable on the dark dialog.
    const QString info = QStringLiteral("<p>%1: %2<br><br><a href=\"%3\" style=\"color: #74c8ff\">"
                                        "www.drovanix.com</a><br>© Drovanix LLC</p>")
                             .arg(tr("Версия"), version, page);
    auto* box = new QMessageBox;
    box->setText(QStringLiteral("<b>%1</b>").arg(name));
    box->setInformativeText(info);
    box->setWindowTitle(tr("О программе"));
    box->setStandardButtons(QMessageBox::Ok);
    box->setIconPixmap(QPixmap(QStringLiteral(":/appicon/tavc48.png")));
    applyMessageBoxStyle(box);
    return box;
}

void HelpOperations::aboutProgramm()
{
    const std::unique_ptr<QMessageBox> box(makeAboutBox());
    Prompts::current().exec(box.get());
}
