#include "resourceconfigurator/editorviewer.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editorain.h"
#include "resourceconfigurator/editoraout.h"
#include "resourceconfigurator/editordefault.h"
#include "resourceconfigurator/editordin.h"
#include "resourceconfigurator/editordout.h"
#include "resourceconfigurator/editorkor.h"
#include "widgets/header.h"
#include "widgets/stylesource.h"
#include "widgets/utils/shortcutredirector.h"

#include <QEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

EditorViewer::EditorViewer(SystemModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_header(new Header(this))
    , m_stack(new QStackedWidget(this))
    , m_redirector(new Utils::ShortCutRedirector)
{
    QPalette p = palette();
    p.setColor(QPalette::All, QPalette::Window, QColor(0x44, 0x48, 0x4e));
    p.setColor(QPalette::All, QPalette::WindowText, Qt::white);
    setPalette(p);

    // The editors of the resource kinds (keys 0 to 3) join as they are built; until then their
    // kinds answer with "no editor installed".
    addEditor(ResourceKind::Aout, new EditorAout(this));
    addEditor(ResourceKind::Din, new EditorDin(this));
    addEditor(ResourceKind::Dout, new EditorDout(this));
    addEditor(DefaultEditor, new EditorDefault(this));
    if (BrandRules::hasControllerLabelEditor())
        addEditor(LabelEditor, new EditorKor(this));
    addEditor(ResourceKind::Ain, new EditorAin(this));
    for (Editor* e : qAsConst(m_editors)) {
        e->installShortcutFilter(m_redirector.data());
        connect(e, qOverload<const QMap<IoResource::Ptr_t, AbstractConfig>&>(&Editor::change), this,
                &EditorViewer::changeResources);
        connect(e, qOverload<const QMap<Device::Ptr_t, AbstractConfig>&>(&Editor::change), this,
                &EditorViewer::changeDevices);
        connect(e, &Editor::control, this, &EditorViewer::controlResources);
        m_stack->addWidget(e);
    }
    applyHeaderTitleStyle(m_header->titleLabel(), palette());
    applyHeaderSubtitleStyle(m_header->subtitleLabel(), palette());

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_header);
    layout->addWidget(m_stack);
    showMessage(tr("Нет выбранных ресурсов"));
}

EditorViewer::~EditorViewer() = default;

void EditorViewer::addEditor(int key, Editor* editor)
{
    m_editors.insert(key, editor);
}

Editor* EditorViewer::currentEditor() const
{
    return qobject_cast<Editor*>(m_stack->currentWidget());
}

QString EditorViewer::kindName(int kind, bool plural)
{
    switch (kind) {
    case ResourceKind::Ain: return plural ? tr("Аналоговые входы") : tr("Аналоговый вход");
    case ResourceKind::Aout: return plural ? tr("Аналоговые выходы") : tr("Аналоговый выход");
    case ResourceKind::Din: return plural ? tr("Цифровые входы") : tr("Цифровой вход");
    case ResourceKind::Dout: return plural ? tr("Цифровые выходы") : tr("Цифровой выход");
    case ResourceKind::SerialPort:
        return plural ? tr("Последовательные порты") : tr("Последовательный порт");
    default: return QString();
    }
}

void EditorViewer::showEditor(Editor* editor)
{
    m_stack->setCurrentWidget(editor);
}

void EditorViewer::showMessage(const QString& text)
{
    m_header->setTexts(text, QString());
    Editor* placeholder = m_editors.value(DefaultEditor);
    placeholder->setDevices({});
    showEditor(placeholder);
}

void EditorViewer::edit(const QList<Device::Ptr_t>& devices,
                        const QList<IoResource::Ptr_t>& resources)
{
    m_devices = devices;
    m_resources = resources;
    setTitle(devices, resources);
    if (!resources.isEmpty()) {
        const int kind = resources.first()->kind();
        for (const IoResource::Ptr_t& r : resources) {
            if (r->kind() != kind) {
                showMessage(tr("Выбраны разные типы ресурсов"));
                return;
            }
        }
        Editor* e = m_editors.value(kind);
        if (!e || m_stack->indexOf(e) < 0) {
            showMessage(tr("Редактор не установлен"));
            return;
        }
        e->setDevices(m_model->ownersOf(resources));
        e->setResources(resources);
        showEditor(e);
        return;
    }
    if (devices.isEmpty()) {
        showMessage(tr("Нет выбранных ресурсов"));
        return;
    }
    bool controllersOnly = BrandRules::hasControllerLabelEditor();
    for (const Device::Ptr_t& d : devices) {
        controllersOnly = controllersOnly
                          && (d->deviceClass() == Device::PlcClass
                              || d->deviceClass() == Device::TavClass);
    }
    Editor* e = m_editors.value(controllersOnly ? LabelEditor : DefaultEditor);
    if (!e)
        return;
    e->setDevices(devices);
    showEditor(e);
}

QString EditorViewer::deviceList(const QList<Device::Ptr_t>& devices) const
{
    QStringList names;
    for (int i = 0; i < devices.size() && i < 3; ++i)
        names << devices.at(i)->name();
    return (devices.size() > 1 ? tr("Устройства ") : tr("Устройство ")) + names.join(QStringLiteral(", "))
           + (devices.size() > 3 ? QStringLiteral("...") : QString());
}

void EditorViewer::setTitle(const QList<Device::Ptr_t>& devices,
                            const QList<IoResource::Ptr_t>& resources)
{
    if (!resources.isEmpty()) {
        const int n = resources.size();
        const QString title = kindName(resources.first()->kind(), n > 1) + QLatin1Char(' ')
                              + (n > 1 ? QString::number(n) : resources.first()->textId());
        m_header->setTexts(title, deviceList(m_model->ownersOf(resources)));
    } else if (!devices.isEmpty()) {
        m_header->setTexts(deviceList(devices), QString());
    } else {
        m_header->setTexts(QString(), QString());
    }
}

void EditorViewer::update(const QList<NodeId_t>& ids)
{
    QList<Device::Ptr_t> devices;
    QList<IoResource::Ptr_t> resources;
    for (const NodeId_t& id : ids) {
        if (const Device::Ptr_t d = m_model->device(id))
            devices.append(d);
        else if (const IoResource::Ptr_t r = m_model->resource(id))
            resources.append(r);
    }
    edit(devices, resources);
}

void EditorViewer::updateValues(const QList<NodeId_t>& ids)
{
    QList<Device::Ptr_t> devices;
    for (const NodeId_t& id : ids) {
        if (const Device::Ptr_t d = m_model->device(id))
            devices.append(d);
    }
    m_editors.value(DefaultEditor)->updateValues(devices);
}

void EditorViewer::updateLiveValues(const QList<NodeId_t>& ids)
{
    Editor* shown = currentEditor();
    for (const IoResource::Ptr_t& r : qAsConst(m_resources)) {
        if (ids.contains(r->id())) {
            if (shown)
                shown->showLiveValues();
            return;
        }
    }
}

void EditorViewer::updateSystem()
{
    m_editors.value(DefaultEditor)->updateSystem(m_model->deviceHandles());
}

void EditorViewer::controlling(bool on)
{
    for (Editor* e : qAsConst(m_editors))
        e->setControlling(on);
}

void EditorViewer::changeEvent(QEvent* event)
{
    // Choosing the page again also retranslates a message that stands in the title.
    if (event->type() == QEvent::LanguageChange)
        edit(m_devices, m_resources);
    QWidget::changeEvent(event);
}
