#include "resourceconfigurator/editordefault.h"

#include "catalogue/settingsprovider.h"
#include "resourceconfigurator/portsstatisticsadaptor.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/deviceparamsadaptor.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/stylesource.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

EditorDefault::EditorDefault(QWidget* parent)
    : Editor(parent)
    , m_stack(new QStackedWidget(this))
    , m_devicePanel(new InfoPanel(this))
    , m_paramsPanel(new InfoPanel(this))
    , m_statistics(new PortsStatisticsAdaptor(m_devicePanel, false, false))
    , m_params(new DeviceParamsAdaptor(m_paramsPanel))
    , m_hint1(new QLabel(this))
    , m_hint2(new QLabel(this))
{
    m_stack->addWidget(makeInformationPage());
    m_stack->addWidget(makeHintPage());
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    retranslate();
    applyInfoPanelStyle(m_devicePanel);
    applyInfoPanelStyle(m_paramsPanel);
    m_params->setActive(false);
    m_stack->setCurrentIndex(HintPage);
}

EditorDefault::~EditorDefault() = default;

QWidget* EditorDefault::makeInformationPage()
{
    auto* page = new QFrame;
    auto* row = new QHBoxLayout(page);
    row->setSpacing(10);
    row->setContentsMargins(12, 12, 12, 12);
    auto* panels = new QVBoxLayout;
    panels->setSpacing(10);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->addWidget(m_devicePanel);
    panels->addWidget(m_paramsPanel);
    row->addLayout(panels);
    auto* filler = new QWidget;
    filler->setFixedWidth(250);
    row->addWidget(filler);
    return page;
}

QWidget* EditorDefault::makeHintPage()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(16, 0, 0, 0);
    column->addWidget(m_hint1);
    column->addWidget(m_hint2);
    column->addStretch();
    applyEditorTitleStyle(m_hint1, palette());
    applyEditorTitleStyle(m_hint2, palette());
    m_hint1->setMinimumHeight(60);
    setForegroundColor(m_hint2, QColor(0xaa, 0xb3, 0xba));
    return page;
}

void EditorDefault::retranslate()
{
    m_hint1->setText(tr("Для начала работы выберите один\nили несколько однотипных ресурсов."));
    m_hint2->setText(tr("При выборе разных ресурсов в контекстном меню\nдоступны механизмы "
                        "фильтрации."));
    m_devicePanel->setTitle(tr("Устройство"));
    m_paramsPanel->setTitle(tr("Параметры"));
}

void EditorDefault::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    Editor::changeEvent(event);
}

int EditorDefault::currentPage() const
{
    return m_stack->currentIndex();
}

void EditorDefault::setResources(QList<IoResource::Ptr_t>) {}

void EditorDefault::setDevices(QList<Device::Ptr_t> devices)
{
    m_shown = NodeId_t();
    if (devices.size() != 1) {
        m_stack->setCurrentIndex(HintPage);
        return;
    }
    const Device::Ptr_t device = devices.first();
    if (!device)
        return;
    m_shown = device->id();
    m_builder.build(device->channels(), 0, 0, 0);
    m_statistics->setStatistics(m_builder);
    m_params->update(device);
    m_stack->setCurrentIndex(InformationPage);
}

void EditorDefault::updateValues(QList<Device::Ptr_t> devices)
{
    for (const Device::Ptr_t& d : devices) {
        if (d && d->id() == m_shown) {
            m_params->update(d);
            return;
        }
    }
}

void EditorDefault::updateSystem(QList<DeviceHandle> devices)
{
    // The summary of the whole system is kept for a later selection; no panel shows it.
    QList<IoChannel> channels;
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (const DeviceHandle& h : devices) {
        DeviceTemplate tpl;
        if (catalogue.deviceTemplate(h.type, h.revision, &tpl, false))
            channels.append(tpl.channels);
    }
    m_builder.build(channels, 0, 0, 0);
}

void EditorDefault::setControlling(bool controlling)
{
    m_params->setActive(controlling);
}
