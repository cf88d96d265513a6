#include "resourceconfigurator/editorkor.h"

#include "ui_editorkor.h"
#include "widgets/stylesource.h"

#include <QSignalBlocker>

namespace {

// The palette the device and resource editors share.
QPalette editorPalette(QPalette p)
{
    p.setColor(QPalette::All, QPalette::Window, QColor(0x38, 0x3b, 0x3f));
    p.setColor(QPalette::All, QPalette::Base, QColor(0x2b, 0x2d, 0x30));
    p.setColor(QPalette::All, QPalette::Button, QColor(0xe1, 0xe1, 0xe1));
    p.setColor(QPalette::All, QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::All, QPalette::Highlight, QColor(0x08, 0x8b, 0xd4));
    p.setColor(QPalette::All, QPalette::Text, Qt::white);
    return p;
}

} // namespace

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
