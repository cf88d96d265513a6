#pragma once

class QGridLayout;
class QMainWindow;
class QMenuBar;
class QStackedWidget;
class QWidget;

// The main window's fixed frame: the page stack filling the central widget, the menu bar, the
// window's size, palette and object name "TavConfigurator".
class TavConfiguratorForm
{
public:
    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);

    QWidget* centralWidget = nullptr;
    QGridLayout* gridLayout = nullptr;
    QStackedWidget* toolStack = nullptr;
    QMenuBar* menuBar = nullptr;
};
