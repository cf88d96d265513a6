#include "shell/tavconfigurator.h"

#include "alarms/alarmsprovider.h"
#include "alarms/alarmsysmodeladapter.h"
#include "catalogue/settingsprovider.h"
#include "communication/communication.h"
#include "communication/communicationwiring.h"
#include "communication/controlandmonitoring.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "platform/devicechangewatcher.h"
#include "platform/sysfsusbrestarter.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "shell/debugoperations.h"
#include "shell/deviceoperation.h"
#include "shell/deviceshutdown.h"
#include "shell/emptyscreen.h"
#include "shell/helpoperations.h"
#include "shell/optionsoperation.h"
#include "shell/portpermissionnotice.h"
#include "shell/portscans.h"
#include "shell/programstart.h"
#include "shell/prompts.h"
#include "shell/upgradehookup.h"
#include "systemconfigurator/systemconfigurator.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "upgrade/upgrademanager.h"
#include "widgets/finishedentry.h"
#include "widgets/pendingentry.h"
#include "widgets/stylesource.h"

#include "ui_tavconfigurator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QPointer>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>

namespace {

const QString GeometryKey = QStringLiteral("geometry");
const QString WindowStateKey = QStringLiteral("windowState");

} // namespace

TavConfigurator::TavConfigurator(bool engineering, QWidget* parent)
    : QMainWindow(parent)
    , m_form(new Ui::TavConfigurator)
    , m_files(&m_model)
    , m_systemPage(new SystemConfigurator(&m_model))
    , m_resourcesPage(new ResourceConfigurator(&m_model))
    , m_communication(new Communication(this))
    , m_emptyScreen(new EmptyScreen(this))
    , m_configurator(new DeviceConfigurator(&m_model, this))
    , m_pool(new DevicePool(this))
    , m_device(new DeviceOperation(&m_model, &m_alarms, m_pool, m_configurator, this))
    , m_options(new OptionsOperation(this))
    , m_help(new HelpOperations(this))
    , m_monitoring(new ControlAndMonitoring(&m_model, this))
    , m_alarmsProvider(new Alarms::AlarmsProvider(this))
    , m_alarmAdapter(new Alarms::AlarmSysModelAdapter(&m_alarms, &m_model, this))
    , m_usbRestarter(new SysfsUsbRestarter(this))
    , m_portScans(new PortScans(m_communication, m_pool, m_usbRestarter, this))
    , m_deviceWatcher(new DeviceChangeWatcher(this))
    , m_portNotice(new PortPermissionNotice(this))
    , m_shutdown(new DeviceShutdown(m_pool, m_configurator, m_communication, this))
    , m_pendingEntry(new PendingEntry(this, this))
{
    QApplication::setStartDragDistance(5);
    m_form->setupUi(this);
    qRegisterMetaType<Request::Ptr_t>("Request::Ptr_t");
    applyMenuBarStyle(menuBar());
    if (engineering) {
        m_debug = new DebugOperations(&m_model, this);
        m_debug->createActions();
    }
    // Before any port is scanned: a controller found first thing pays what it owes.
    m_shutdown->restore();
    init();
    restoreWindowState();
}

TavConfigurator::~TavConfigurator()
{
    // The pages and the objects the window parents read the model, the alarms and the file
    // operations while they go. Those are members, and members go before the children would:
    // the children go first, as the window would take them, while the members are still there.
    // The boxes going is no end of an entry to show.
    delete m_pendingEntry;
    delete m_form->toolStack;
    QList<QPointer<QObject>> owned;
    for (QObject* child : children()) {
        if (!child->isWidgetType() && !qobject_cast<QLayout*>(child))
            owned.append(child);
    }
    // One may take another with it; its pointer is null then.
    for (const QPointer<QObject>& child : qAsConst(owned))
        delete child.data();
    delete m_form;
}

QStackedWidget* TavConfigurator::pageStack() const
{
    return m_form->toolStack;
}

QWidget* TavConfigurator::page(Page number) const
{
    switch (number) {
    case EmptyPage:
        return m_emptyScreen;
    case SystemPage:
        return m_systemPage;
    case ResourcesPage:
        return m_resourcesPage;
    }
    return nullptr;
}

void TavConfigurator::init()
{
    m_files.createActions();
    m_transactions.createActions();
    m_tabs.createTabBar();
    m_device->createActions();
    m_options->createActions();
    m_help->createActions();
    m_emptyScreen->retranslate();
    createMenusAndToolBar();
    createScreens();
    connectPages();
    connectFiles();
    connectDevice();
    wireCommunication(m_communication, m_pool, m_configurator, m_monitoring);
    connectAlarms();
    // The Device menu puts the unsaved-changes question before a read from the controller.
    m_device->saveQuestion = [this](const QString& text) { return m_files.maybeSave(text); };
    m_device->keepOwedAhead = [this](const ControllerIdentity& controller, PasswordUse use) {
        return m_shutdown->mayUnlock(controller, use);
    };
    // Every password on its way out, whichever operation sends it, passes here first.
    const auto passwordMayGo = [this](const ControllerIdentity& controller, PasswordUse use) {
        return m_shutdown->passwordMayGo(controller, use);
    };
    m_configurator->keepOwedAhead = passwordMayGo;
    m_monitoring->keepOwedAhead = passwordMayGo;
    m_device->waitForWork = [this] { m_shutdown->finishWork(); };
    m_device->endOnItsWay = [this] {
        return m_shutdown->isEndOnItsWay() ? m_shutdown->endingNow() : QString();
    };
    m_shutdown->stopOnItsWay = [this] { return m_monitoring->isStopOnItsWay(); };
    // No answer to the unsaved-changes question of New, Open or the close throws away an edit
    // made while monitoring unless the user heard first that it is not in the controller: the
    // monitoring ends before it, its rewrite built from the configuration the user edited.
    m_files.beforeQuestion = [this] {
        m_device->endMonitoringBeforeQuestion();
        return m_close != Close::Closed;
    };
    connectPortScans();
    m_communication->runComPortScan();
    connectEngineering();
    goToEmptyScreen();
    qDebug().noquote() << "TAVC Vesrion: " + QCoreApplication::applicationVersion()
                              + QCoreApplication::organizationName();
}

// In menu and tool-bar order; the engineering menu comes last and only with "-dev".
QList<AbstractOperations*> TavConfigurator::operations()
{
    QList<AbstractOperations*> groups{&m_files, &m_transactions, m_device, m_options, m_help};
    if (m_debug)
        groups.append(m_debug);
    return groups;
}

void TavConfigurator::createMenusAndToolBar()
{
    m_toolBar = m_menus.createToolBar(this, operations());
    m_menus.createMenus(this, operations());
}

void TavConfigurator::createScreens()
{
    for (Page number : {EmptyPage, SystemPage, ResourcesPage})
        m_form->toolStack->addWidget(page(number));
    m_form->toolStack->setCurrentWidget(m_emptyScreen);
}

void TavConfigurator::connectPages()
{
    connect(m_resourcesPage, &ResourceConfigurator::changeResource, &m_transactions,
            &TransactionEngine::push);
    connect(m_systemPage, &SystemConfigurator::changeSystem, &m_transactions,
            &TransactionEngine::push);
    connect(&m_model, &SystemModel::changed, this, &TavConfigurator::onSystemChanged);
    connect(&m_model, &SystemModel::changedResources, this, &TavConfigurator::onResourcesChanged);
    connect(&m_tabs, &SystemOperation::editSystem, this, &TavConfigurator::goToEditSystem);
    connect(&m_tabs, &SystemOperation::editResources, this, &TavConfigurator::goToEditResources);
}

void TavConfigurator::connectFiles()
{
    connect(&m_files, &FileOperations::needCreate, this, &TavConfigurator::newSystem);
    connect(&m_files, &FileOperations::opened, this, &TavConfigurator::onFileOpened);
    connect(&m_files, &FileOperations::saved, this, &TavConfigurator::onChangesSaved);
    connect(m_pendingEntry, &PendingEntry::pendingChanged, this, [this](bool pending) {
        m_files.setEntryPending(pending);
        updateWindowTitle();
    });
}

void TavConfigurator::connectDevice()
{
    connect(m_device, &DeviceOperation::configLoaded, this, &TavConfigurator::onConfigLoaded);
    connect(m_device, &DeviceOperation::monitoringMode, this, &TavConfigurator::onMonitoringMode);
    connect(&m_files, &FileOperations::opened, m_device, &DeviceOperation::stopMonitoringMode);
    connect(m_options, &OptionsOperation::firmwareUpgrade, this, &TavConfigurator::upgradeFirmware);
    // A monitoring handshake's lost clear leaves the controller as unlocked as a write's does.
    connect(m_monitoring, &ControlAndMonitoring::clearOwed, m_device, &DeviceOperation::onClearOwed);
    connect(m_monitoring, &ControlAndMonitoring::clearOwedByAnother, m_device,
            &DeviceOperation::onClearOwedByAnother);
    connect(m_monitoring, &ControlAndMonitoring::commandFailed, m_device,
            &DeviceOperation::onCommandFailed);
    connect(m_monitoring, &ControlAndMonitoring::commandWithheld, m_device,
            &DeviceOperation::onCommandWithheld);
    connect(m_monitoring, &ControlAndMonitoring::stopNotSent, m_device,
            &DeviceOperation::onStopNotSent);
    connect(m_monitoring, &ControlAndMonitoring::valuesNotWritten, m_device,
            &DeviceOperation::onValuesNotWritten);
    connect(m_configurator, &DeviceConfigurator::editsAllWritten, this,
            &TavConfigurator::onEditsAllWritten);
    connect(m_device, &DeviceOperation::endingShown, this, &TavConfigurator::showEnding);
}

void TavConfigurator::connectAlarms()
{
    connect(m_alarmsProvider, &Alarms::AlarmsProvider::sendRequest, m_communication,
            &Communication::sendRequest);
    connect(m_alarmsProvider, &Alarms::AlarmsProvider::updateAlarms, &m_alarms,
            &Alarms::SystemAlarms::setAlarms);
    connect(&m_alarms, &Alarms::SystemAlarms::alarmsUpdated, m_alarmsProvider,
            &Alarms::AlarmsProvider::changeAlarms);
    connect(m_device, &DeviceOperation::monitoringMode, m_alarmAdapter,
            &Alarms::AlarmSysModelAdapter::onMonitoring);
    connect(m_device, &DeviceOperation::monitoringMode, m_alarmsProvider,
            &Alarms::AlarmsProvider::monitoring);
    connect(m_pool, &DevicePool::activeRemoved, m_alarmAdapter,
            &Alarms::AlarmSysModelAdapter::systemLost);
    connect(m_pool, &DevicePool::activeRemoved, m_alarmsProvider,
            &Alarms::AlarmsProvider::systemLost);
    Alarms::AlarmsProvider* provider = m_alarmsProvider;
    connect(m_pool, &DevicePool::systemSelected, provider, [provider](LiveSystem::Ptr_t system) {
        if (system)
            provider->systemSelected(system->info());
    });
}

// Ports are scanned at start, when serial devices come or go, and after a hung USB serial port
// has been restarted.
void TavConfigurator::connectPortScans()
{
    connect(m_communication, &Communication::restartHangupPort, m_portScans,
            &PortScans::restartHangupUsbSerialPort);
    connect(m_portScans, &PortScans::scanRequested, m_communication,
            &Communication::runComPortScan);
    connect(m_deviceWatcher, &DeviceChangeWatcher::devicesChanged, m_portScans,
            &PortScans::devicesChanged);
    connect(m_communication, &Communication::portOpenFailed, m_portNotice,
            &PortPermissionNotice::portOpenFailed);
    connect(m_portScans, &PortScans::restartFailed, m_portNotice,
            &PortPermissionNotice::restartFailed);
    connect(m_portScans, &PortScans::devNodesChanged, this, &TavConfigurator::devNodesChanged);
}

// The offline scan runs only while its switch is on and no valid system is selected.
void TavConfigurator::connectEngineering()
{
    if (!m_debug)
        return;
    connect(m_debug, &DebugOperations::scanSystem, m_portScans, &PortScans::scanOfflineSystem);
    connect(m_debug, &DebugOperations::needPerpetualUpgrade, this,
            &TavConfigurator::perpetualUpgrade);
    connect(m_pool, &DevicePool::activeRemoved, m_debug, &DebugOperations::systemLost);
    connect(m_pool, &DevicePool::systemSelected, m_debug, &DebugOperations::systemFound);
}

// The dialog is built anew each time and tied to the running services only while it is open.
// The configurator's keep-alive switch is not tied again: the window keeps it connected for
// good, and a second connection would count each hold twice.
void TavConfigurator::upgradeFirmware()
{
    UpgradeFirmwareDialog* dialog = UpgradeHookup::createDialog(this, m_perpetualUpgrade);
    UpgradeHookup hookup(m_pool, nullptr, m_communication);
    if (UpgradeManager* manager = dialog->manager()) {
        hookup.add(connect(manager, &UpgradeManager::keepAliveControl, m_alarmsProvider,
                           &Alarms::AlarmsProvider::enableCheckAlarm));
        hookup.connectManager(manager);
        hookup.add(connect(this, &TavConfigurator::devNodesChanged, manager,
                           &UpgradeManager::devicesChanged));
    }
    hookup.run(dialog);
}

void TavConfigurator::perpetualUpgrade(bool on)
{
    m_perpetualUpgrade = on;
}

void TavConfigurator::openCommandLineFile(const QString& path)
{
    ProgramStart::openCommandLineFile(this, &m_files, path);
}

void TavConfigurator::goToEmptyScreen()
{
    m_tabs.tabBar()->hide();
    m_form->toolStack->setCurrentWidget(m_emptyScreen);
}

void TavConfigurator::goToEditSystem()
{
    m_form->toolStack->setCurrentWidget(m_systemPage);
    m_systemPage->insertTopWidget(m_tabs.tabBar());
    m_systemPage->reloadSystem(QList<NodeId_t>());
}

void TavConfigurator::goToEditResources()
{
    m_form->toolStack->setCurrentWidget(m_resourcesPage);
    m_resourcesPage->insertBarWidget(m_tabs.tabBar());
}

void TavConfigurator::goToSelectedMode()
{
    if (m_tabs.isSystemTabCurrent())
        goToEditSystem();
    else if (m_tabs.isResourcesTabCurrent())
        goToEditResources();
    else
        goToEmptyScreen();
}

void TavConfigurator::newSystem()
{
    m_model.clear();
    m_transactions.clear();
    m_device->stopMonitoringMode();
    m_tabs.setResourceEditable(false);
    m_tabs.setSystemEditable(true);
    goToEditSystem();
    updateWindowTitle();
}

void TavConfigurator::onChangesSaved()
{
    updateWindowTitle();
    m_transactions.clear();
}

void TavConfigurator::onSystemChanged()
{
    const bool hasDevices = !m_model.devices().isEmpty();
    m_tabs.setResourceEditable(hasDevices);
    if (hasDevices)
        m_tabs.goEditSystem();
    m_files.setSaveAvailable(hasDevices, hasDevices);
    updateWindowTitle();
}

void TavConfigurator::onResourcesChanged(const QList<NodeId_t>& ids)
{
    if (!ids.isEmpty())
        m_files.setSaveAvailable(true, true);
    m_tabs.goEditResources();
    updateWindowTitle();
}

// The channel leaves monitoring first: its queue is emptied, so the rewrite of the edits still
// waiting for their delay, then the stop command and the password clear that the loop queues, are
// the last words the controller hears. The page leaves monitoring after them: what asks about the
// stop or the rewrite asks while monitoring is shown.
void TavConfigurator::onMonitoringMode(bool on)
{
    if (on)
        m_resourcesPage->monitoringMode(on);
    m_communication->monitoringMode(on);
    // A controller gone takes no rewrite: its edits go with the monitoring.
    m_configurator->monitoring(on, m_pool->activeSystem() != nullptr);
    m_monitoring->monitoring(on);
    if (!on)
        m_resourcesPage->monitoringMode(on);
    m_transactions.clear();
    // Monitoring starts on what was just read. Edits made while it ran are in the controller
    // once their rewrites went; one withheld, failed, or still on its way at the stop is in
    // neither the controller nor a file, until its rewrite ends.
    if (!on && m_configurator->hasUnwrittenEdits())
        m_files.setUnsavedUntilWritten();
    else
        m_files.setSaveAvailable(false, true);
    m_tabs.setSystemEditable(!on);
    if (on)
        m_files.storage().setFileName(m_device->loadedKey());
    updateWindowTitle();
    goToEditResources();
}

void TavConfigurator::onEditsAllWritten()
{
    m_files.setEditsWritten();
    updateWindowTitle();
}

// Said where the user looks, not in a box: the edits stay at hand while the end waits for a slow
// line. Only then is the bar there, taking no room from the pages otherwise.
void TavConfigurator::showEnding(const QString& waited)
{
    statusBar()->setVisible(!waited.isEmpty());
    statusBar()->showMessage(QString(waited).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

void TavConfigurator::onConfigLoaded(bool ok)
{
    m_transactions.clear();
    if (!ok)
        return;
    goToSelectedMode();
    m_files.setSaveAvailable(false, true);
    m_files.storage().setFileName(m_device->loadedKey());
    updateWindowTitle();
}

void TavConfigurator::onFileOpened()
{
    m_transactions.clear();
    updateWindowTitle();
    goToSelectedMode();
}

void TavConfigurator::updateWindowTitle()
{
    m_titleNamesFile = true;
    setWindowTitle(m_files.windowTitle());
}

void TavConfigurator::closeEvent(QCloseEvent* event)
{
    // One close, one question: a close asked for while the save question is open or the
    // controllers are settled is that close, and one asked for after it finds the window closed
    // already.
    if (m_close != Close::Open) {
        event->setAccepted(m_close == Close::Closed);
        return;
    }
    const FinishedEntry entry;
    const Prompts::OfTheClose own;
    event->ignore();
    m_close = Close::Asking;
    // At the session's end the program ends whatever the answer: asked again, the question
    // would keep the logout waiting, and the controllers would be left unsettled.
    if (!m_files.maybeSave(QString()) && !Prompts::isProgramEnding()) {
        m_close = Close::Open;
        return;
    }
    m_close = Close::Settling;
    m_shutdown->settle();
    saveWindowState();
    m_close = Close::Closed;
    event->accept();
}

void TavConfigurator::saveWindowState()
{
    QSettings settings;
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(WindowStateKey, saveState(0));
}

void TavConfigurator::restoreWindowState()
{
    QSettings settings;
    restoreGeometry(settings.value(GeometryKey).toByteArray());
    restoreState(settings.value(WindowStateKey).toByteArray(), 0);
}

void TavConfigurator::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_emptyScreen->retranslate();
        m_form->retranslateUi(this);
        // The form's title is only the one shown before any file: the file name and its
        // unsaved-changes mark stay, in every language.
        if (m_titleNamesFile)
            updateWindowTitle();
        m_tabs.retranslate();
        retranslateOperations();
        m_menus.retranslateMenuTitiles();
        SettingsProvider::instance().retranslate();
    }
    QMainWindow::changeEvent(event);
}

void TavConfigurator::retranslateOperations()
{
    m_files.retranslate();
    m_device->retranslate();
    m_options->retranslate();
    m_help->retranslate();
    if (m_debug)
        m_debug->retranslate();
    m_transactions.retranslate();
}
