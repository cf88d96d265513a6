#include "shell/tavconfiguratorform.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QStackedWidget>

namespace {

QPalette windowPalette()
{
    const QColor grey(0x54, 0x56, 0x59);
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, const QColor& active,
                                const QColor& disabled) {
        palette.setColor(QPalette::Active, role, active);
        palette.setColor(QPalette::Inactive, role, active);
        palette.setColor(QPalette::Disabled, role, disabled);
    };
    set(QPalette::WindowText, white, grey);
    for (QPalette::ColorRole role : {QPalette::Button, QPalette::Light, QPalette::Midlight,
                                     QPalette::Dark, QPalette::Mid, QPalette::Window,
                                     QPalette::Shadow, QPalette::Link})
        set(role, grey, grey);
    set(QPalette::Text, black, grey);
    set(QPalette::ButtonText, white, grey);
    set(QPalette::Base, white, grey);
    set(QPalette::Highlight, grey, QColor(0x0a, 0x24, 0x6a));
    set(QPalette::AlternateBase, white, white);
    return palette;
}

} // namespace

void TavConfiguratorForm::setupUi(QMainWindow* window)
{
    window->setObjectName(QStringLiteral("TavConfigurator"));
    window->resize(970, 600);
    window->setMinimumSize(970, 600);
    window->setPalette(windowPalette());

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    gridLayout = new QGridLayout(centralWidget);
    gridLayout->setSpacing(0);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    toolStack = new QStackedWidget(centralWidget);
    toolStack->setObjectName(QStringLiteral("toolStack"));
    toolStack->setLineWidth(0);
    gridLayout->addWidget(toolStack, 0, 0, 1, 1);
    window->setCentralWidget(centralWidget);

    menuBar = new QMenuBar(window);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setStyleSheet(QStringLiteral(
        "QMenuBar { background: #545659; }"
        "QMenuBar::item { color: #cfd1d7; margin-top: 2px; spacing: 4px;"
        " padding: 1px 5px 1px 5px; border-radius: 2px; }"
        "QMenuBar::item:selected { background: #3c3d3f; }"
        "QMenuBar::item:pressed { background: #2a2b2d; }"));
    window->setMenuBar(menuBar);

    retranslateUi(window);
}

void TavConfiguratorForm::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(QCoreApplication::translate("TavConfigurator", "TavConfigurator"));
}
