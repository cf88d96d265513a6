#pragma once

#include "alarms/systemalarms.h"
#include "model/systemmodel.h"
#include "shell/fileoperations.h"
#include "shell/operationmenus.h"
#include "shell/systemoperation.h"
#include "shell/tavconfiguratorform.h"
#include "shell/transactionengine.h"

#include <QHash>
#include <QMainWindow>

class AbstractOperations;
class Communication;
class ControlAndMonitoring;
class DeviceConfigurator;
class DeviceChangeWatcher;
class DeviceOperation;
class DevicePool;
class EmptyScreen;
class HelpOperations;
class PortPermissionNotice;
class PortScans;
class QStackedWidget;
class QToolBar;
class ResourceConfigurator;
class SystemConfigurator;
class UsbRestarter;

namespace Alarms {
class AlarmSysModelAdapter;
class AlarmsProvider;
}

// The program's one main window. It owns the edited system and every long-lived object around
// it, builds menus, tool bar and the three pages from them, connects the subsystems once, and
// follows the model, file and device events with its pages, its save offer and its title.
//
// Each further menu group (Options, Engineering) adds its member, its place in operations() and
// its own connect step; nothing here needs rewriting for it.
class TavConfigurator : public QMainWindow
{
    Q_OBJECT

public:
    enum Page { EmptyPage = 1, SystemPage = 2, ResourcesPage = 3 };

    explicit TavConfigurator(bool engineering, QWidget* parent = nullptr);
    ~TavConfigurator() override;

    // Opens `path` from the event loop once the window has been shown (the command line's file).
    void openCommandLineFile(const QString& path);

    SystemModel& model() { return m_model; }
    FileOperations& files() { return m_files; }
    TransactionEngine& transactions() { return m_transactions; }
    SystemOperation& tabs() { return m_tabs; }
    SystemConfigurator* systemPage() const { return m_systemPage; }
    ResourceConfigurator* resourcesPage() const { return m_resourcesPage; }
    EmptyScreen* emptyScreen() const { return m_emptyScreen; }
    QStackedWidget* pageStack() const { return m_form.toolStack; }
    QToolBar* toolBar() const { return m_toolBar; }
    Communication* communication() const { return m_communication; }
    DevicePool* devicePool() const { return m_pool; }
    DeviceConfigurator* deviceConfigurator() const { return m_configurator; }
    ControlAndMonitoring* controlAndMonitoring() const { return m_monitoring; }
    DeviceOperation* deviceOperation() const { return m_device; }
    HelpOperations& help() const { return *m_help; }
    PortScans* portScans() const { return m_portScans; }
    QWidget* page(Page number) const { return m_pages.value(number); }

public slots:
    void goToEditResources();
    void goToEditSystem();
    void goToEmptyScreen();
    void goToSelectedMode();
    void newSystem();
    void onChangesSaved();
    void onSystemChanged();
    void onResourcesChanged(const QList<NodeId_t>& ids);
    void onMonitoringMode(bool on);
    void onConfigLoaded(bool ok);
    void onFileOpened();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void init();
    QList<AbstractOperations*> operations();
    void createMenusAndToolBar();
    void createScreens();
    void connectPages();
    void connectFiles();
    void connectCommunication();
    void connectDevice();
    void connectAlarms();
    void connectPortScans();

    void updateWindowTitle();
    void saveWindowState();
    void restoreWindowState();
    void retranslateOperations();

    TavConfiguratorForm m_form;
    SystemModel m_model;
    Alarms::SystemAlarms m_alarms;
    FileOperations m_files;
    SystemOperation m_tabs;
    TransactionEngine m_transactions;
    SystemConfigurator* m_systemPage = nullptr;
    ResourceConfigurator* m_resourcesPage = nullptr;
    Communication* m_communication = nullptr;
    EmptyScreen* m_emptyScreen = nullptr;
    DeviceConfigurator* m_configurator = nullptr;
    DevicePool* m_pool = nullptr;
    DeviceOperation* m_device = nullptr;
    HelpOperations* m_help = nullptr;
    ControlAndMonitoring* m_monitoring = nullptr;
    Alarms::AlarmsProvider* m_alarmsProvider = nullptr;
    Alarms::AlarmSysModelAdapter* m_alarmAdapter = nullptr;
    UsbRestarter* m_usbRestarter = nullptr;
    PortScans* m_portScans = nullptr;
    DeviceChangeWatcher* m_deviceWatcher = nullptr;
    PortPermissionNotice* m_portNotice = nullptr;
    QHash<int, QWidget*> m_pages;
    OperationMenus m_menus;
    QToolBar* m_toolBar = nullptr;
    bool m_engineering = false;
    QString m_commandLineFile;
};
