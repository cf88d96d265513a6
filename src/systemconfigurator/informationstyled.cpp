#include "systemconfigurator/informationstyled.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/portsstatisticsadaptor.h"
#include "systemconfigurator/loadcalculator.h"
#include "systemconfigurator/systemedits.h"
#include "widgets/header.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/stylesource.h"
#include "widgets/tabbarnowheel.h"
#include "widgets/utils/shortcutredirector.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

bool templateOf(DeviceType_t type, HardwareVersion revision, DeviceTemplate* tpl)
{
    return SettingsProvider::instance().deviceTemplate(type, revision, tpl, false);
}

} // namespace

InformationStyled::InformationStyled(SystemModel* model, QWidget* parent)
    : QWidget(parent)
    , header(new Header(this))
    , systemPanel(new InfoPanel(this))
    , devicePanel(new InfoPanel(this))
    , serialPortEditor(new EditorSerialPort(this))
    , model(model)
    , systemStats(new PortsStatisticsAdaptor(systemPanel, false, true))
    , deviceStats(new PortsStatisticsAdaptor(devicePanel, true, false))
{
    applyHeaderStyle(header);
    applyInfoPanelStyle(systemPanel);
    applyInfoPanelStyle(devicePanel);
    header->setTexts(QString(), QString());
    buildLayout();
    connect(serialPortEditor,
            QOverload<const QMap<IoResource::Ptr_t, AbstractConfig>&>::of(&Editor::change), this,
            &InformationStyled::onSerialPortEditorChange);
    serialPortEditor->installShortcutFilter(new Utils::ShortCutRedirector(serialPortEditor));
    systemStats->setCycleVisible(BrandRules::showsCycleTime());
    retranslateHeadings();
}

InformationStyled::~InformationStyled() = default;

void InformationStyled::buildLayout()
{
    setAutoFillBackground(true);
    applyDarkBackground(this);
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(header);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->setContentsMargins(12, 12, 12, 12);
    auto* panels = new QVBoxLayout;
    panels->setSpacing(10);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->addWidget(devicePanel);
    panels->addWidget(systemPanel);
    row->addLayout(panels);
    row->addWidget(serialPortEditor);
    outer->addLayout(row);
}

void InformationStyled::updateSerialPortEditor(const QList<IoResource::Ptr_t>& ports,
                                               const IoResource::Ptr_t& changed)
{
    serialPortEditor->setPortsVisible(!ports.isEmpty());
    // Without port settings to show the editor would be an empty box beside the panels.
    serialPortEditor->setVisible(!serialPortEditor->portTabs()->isHidden());
    serialPortEditor->setCurrentPort(changed);
    serialPortEditor->setResources(ports);
}

void InformationStyled::onSerialPortEditorChange(
    const QMap<IoResource::Ptr_t, AbstractConfig>& changes)
{
    if (!changes.isEmpty())
        emit serialPortSettingsChanging(changes);
}

void InformationStyled::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateHeadings();
    QWidget::changeEvent(event);
}

QString InformationStyled::headerKindText(const QString& modelName, const QString& groupName) const
{
    if (groupName.isEmpty())
        return tr("Устройство") + QLatin1Char(' ') + modelName;
    // A name that already says it is a group ("Group 2", or the user's "Группа 2") is not
    // prefixed a second time; a default name reads in the interface's language.
    const QString kind = tr("Группа");
    if (SystemConfiguration::SystemEdits::defaultGroupNumber(groupName) > 0)
        return SystemConfiguration::SystemEdits::groupDisplayName(groupName);
    if (groupName.startsWith(kind + QLatin1Char(' '), Qt::CaseInsensitive))
        return groupName;
    return kind + QLatin1Char(' ') + groupName;
}

QList<IoChannel> InformationStyled::collectTemplates(const Types_t& types, QString* modelName) const
{
    QList<IoChannel> resources;
    modelName->clear();
    bool named = false;
    for (const auto& type : types) {
        DeviceTemplate tpl;
        if (!templateOf(type.first, type.second, &tpl))
            continue;
        resources += tpl.channels;
        if (!named)
            *modelName = tpl.name;
        named = true;
    }
    return resources;
}

InformationStyled::Budget InformationStyled::powerBudget(const NodeId_t& id) const
{
    Budget budget;
    const Device::Ptr_t device = model ? model->device(id) : Device::Ptr_t();
    if (!device)
        return budget;
    DeviceTemplate tpl;
    templateOf(device->type(), device->revision(), &tpl);
    if (tpl.pgen > 0)
        budget.supply = tpl.pgen - tpl.preq;
    else
        budget.load = tpl.preq;
    for (const NodeId_t& child : device->childIds()) {
        const Device::Ptr_t module = model->device(child);
        DeviceTemplate moduleTpl;
        if (module && templateOf(module->type(), module->revision(), &moduleTpl))
            budget.load += moduleTpl.preq;
    }
    return budget;
}

void InformationStyled::showStatistics(const QString& title, const QList<IoChannel>& resources,
                                       int supply, int system, int modules)
{
    stats.build(resources, supply, system, modules);
    deviceStats->setStatistics(stats);
    setHeaderNames(title);
}

void InformationStyled::setHeaderNames(const QString& title)
{
    header->setTexts(title, QString());
    deviceStats->setTitle(title.split(QLatin1Char(' ')).value(0));
}

void InformationStyled::retranslateHeadings()
{
    systemStats->setTitle(tr("Система"));
    deviceStats->setTitle(tr("Устройство"));
    systemStats->retranslate();
    deviceStats->retranslate();
}

void InformationStyled::showCurrent(const Types_t& types, const QString& name, const NodeId_t& id)
{
    QString modelName;
    const QList<IoChannel> resources = collectTemplates(types, &modelName);
    const Budget budget = powerBudget(id);
    showStatistics(headerKindText(modelName, name), resources, budget.supply, budget.load, 0);
}

void InformationStyled::showCurrent(DeviceType_t type, HardwareVersion revision, int supply,
                                    int system, int modules)
{
    DeviceTemplate tpl;
    templateOf(type, revision, &tpl);
    showStatistics(headerKindText(tpl.name, QString()), tpl.channels, supply, system, modules);
}

void InformationStyled::setSystem(const QList<DeviceHandle>& handles)
{
    selectionResources.clear();
    selectionTitle.clear();
    showStatistics(selectionTitle, selectionResources, 0, 0, 0);

    QList<IoChannel> resources;
    QList<Device::Ptr_t> devices;
    for (const DeviceHandle& h : handles) {
        DeviceTemplate tpl;
        if (!templateOf(h.type, h.revision, &tpl))
            continue;
        resources += tpl.channels;
        const Device::Ptr_t device = model ? model->device(h.id) : Device::Ptr_t();
        if (device)
            devices.append(device);
    }
    stats.build(resources, 0, 0, 0);
    if (BrandRules::showsCycleTime())
        stats.cycleTime = LoadCalculator(devices).cycleTime() / 1000.0;
    systemStats->setStatistics(stats);
}

void InformationStyled::clearCurrent()
{
    header->setTexts(QString(), QString());
    deviceStats->clearAll();
    deviceStats->layoutLines();
}

void InformationStyled::showSelected()
{
    showStatistics(selectionTitle, selectionResources, selectionSupply, selectionLoad, 0);
}

void InformationStyled::showSelected(const Types_t& types, const QString& name, const NodeId_t& id,
                                     bool withPower)
{
    QString modelName;
    selectionResources = collectTemplates(types, &modelName);
    selectionSupply = 0;
    selectionLoad = 0;
    if (withPower) {
        const Budget budget = powerBudget(id);
        selectionSupply = budget.supply;
        selectionLoad = budget.load;
    }
    selectionTitle = headerKindText(modelName, name);
    showStatistics(selectionTitle, selectionResources, selectionSupply, selectionLoad, 0);
}
