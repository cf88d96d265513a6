#pragma once

#include "shell/abstractoperations.h"

#include <QObject>

class QAction;
class QMessageBox;

// The program's version text, which the program entry gives to the application object.
QString applicationVersionText();

// The Help menu: the about box with the program's name, version and web page.
class HelpOperations : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    explicit HelpOperations(QObject* parent = nullptr);
    ~HelpOperations() override;

    void createActions();
    QAction* aboutAction() const { return m_about; }
    // The about box as the Help menu shows it; the caller owns it.
    static QMessageBox* makeAboutBox();

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

public slots:
    void aboutProgramm();

private:
    QAction* m_about = nullptr;
    QList<QAction*> m_menuList;
};
