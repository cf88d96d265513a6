#pragma once

#include "alarms/systemalarms.h"
#include "model/systemmodel.h"
#include "shell/fileoperations.h"
#include "shell/operationmenus.h"
#include "shell/systemoperation.h"
#include "shell/transactionengine.h"

#include <QMainWindow>

class AbstractOperations;
class Communication;
class ControlAndMonitoring;
class DeviceConfigurator;
class DebugOperations;
class DeviceChangeWatcher;
class DeviceOperation;
class DeviceShutdown;
class DevicePool;
class EmptyScreen;
class HelpOperations;
class OptionsOperation;
class PendingEntry;
class PortPermissionNotice;
class PortScans;
class QStackedWidget;
class QToolBar;
class ResourceConfigurator;
class SystemConfigurator;
class UsbRestarter;

namespace Ui {
class TavConfigurator;
}

namespace Alarms {
class AlarmSysModelAdapter;
class AlarmsProvider;
}

// The program's one main window. It owns the edited system and every long-lived object around
// it, builds menus, tool bar and the three pages from them, connects the subsystems once, and
// follows the model, file and device events with its pages, its save offer and its title.
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
    QStackedWidget* pageStack() const;
    QToolBar* toolBar() const { return m_toolBar; }
    Communication* communication() const { return m_communication; }
    DevicePool* devicePool() const { return m_pool; }
    DeviceConfigurator* deviceConfigurator() const { return m_configurator; }
    ControlAndMonitoring* controlAndMonitoring() const { return m_monitoring; }
    DeviceOperation* deviceOperation() const { return m_device; }
    HelpOperations& help() const { return *m_help; }
    OptionsOperation* options() const { return m_options; }
    // Null unless the program was started with "-dev".
    DebugOperations* engineering() const { return m_debug; }
    bool isPerpetualUpgrade() const { return m_perpetualUpgrade; }
    PortScans* portScans() const { return m_portScans; }
    DeviceShutdown* deviceShutdown() const { return m_shutdown; }
    QWidget* page(Page number) const;

signals:
    // Serial devices came or went and a scan was started for them.
    void devNodesChanged();

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
    // A rewrite on its way at the stop put the last edits into the controller.
    void onEditsAllWritten();
    // What the end of monitoring on its way waits for; empty once it is over.
    void showEnding(const QString& waited);
    void onConfigLoaded(bool ok);
    void onFileOpened();
    void upgradeFirmware();
    void perpetualUpgrade(bool on);

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
    void connectDevice();
    void connectAlarms();
    void connectPortScans();
    void connectEngineering();

    void updateWindowTitle();
    void saveWindowState();
    void restoreWindowState();
    void retranslateOperations();

    Ui::TavConfigurator* m_form;
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
    OptionsOperation* m_options = nullptr;
    HelpOperations* m_help = nullptr;
    DebugOperations* m_debug = nullptr;
    ControlAndMonitoring* m_monitoring = nullptr;
    Alarms::AlarmsProvider* m_alarmsProvider = nullptr;
    Alarms::AlarmSysModelAdapter* m_alarmAdapter = nullptr;
    UsbRestarter* m_usbRestarter = nullptr;
    PortScans* m_portScans = nullptr;
    DeviceChangeWatcher* m_deviceWatcher = nullptr;
    PortPermissionNotice* m_portNotice = nullptr;
    DeviceShutdown* m_shutdown = nullptr;
    PendingEntry* m_pendingEntry = nullptr;
    OperationMenus m_menus;
    QToolBar* m_toolBar = nullptr;
    bool m_perpetualUpgrade = false;
    bool m_titleNamesFile = false;
    // A close past its save question is final: the controllers are settled, then the window
    // goes. Presses of the close button held back by the settling come after it.
    enum class Close { Open, Asking, Settling, Closed };
    Close m_close = Close::Open;
};
