#include "resourceconfigurator/editorkor.h"

#include "ui_editorkor.h"
#include "widgets/stylesource.h"

#include <QSignalBlocker>

EditorKor::EditorKor(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorKor)
{
    ui->setupUi(this);
    setPalette(editorPalette(palette()));
    applyEditorTitleStyle(ui->labelId, palette());
}

EditorKor::~EditorKor()
{
    delete ui;
}

void EditorKor::installShortcutFilter(QObject*) {}

void EditorKor::setResources(QList<IoResource::Ptr_t>) {}

void EditorKor::updateSystem(QList<DeviceHandle>) {}

void EditorKor::setDevices(QList<Device::Ptr_t> devices)
{
    if (devices.isEmpty())
        return;
    const QSignalBlocker blocker(this);
    const QSignalBlocker fieldBlocker(ui->lineEditLabel);
    m_devices = devices;
    AbstractConfig first;
    devices.first()->exportConfig(first);
    bool controllersOnly = true;
    for (const Device::Ptr_t& d : devices)
        controllersOnly = controllersOnly && d->deviceClass() == Device::TavClass;
    ui->labelContainer->setVisible(controllersOnly);
    if (!controllersOnly)
        return;
    const bool single = devices.size() == 1;
    ui->lineEditLabel->setEnabled(single);
    ui->lineEditLabel->setText(single ? first.device.label : QString());
}

void EditorKor::on_lineEditLabel_textEdited(const QString& text)
{
    emit change(edited(m_devices, [text](AbstractConfig& c) { c.device.label = text; }));
}
