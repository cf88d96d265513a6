#pragma once

#include "resourceconfigurator/editor.h"

namespace Ui {
class EditorKor;
}

// Edits the label of the selected controllers: the device's identifier on the diagram. Only
// one device at a time can be relabelled; several selected show a disabled, empty field.
class EditorKor : public Editor
{
    Q_OBJECT

public:
    explicit EditorKor(QWidget* parent = nullptr);
    ~EditorKor() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setDevices(QList<Device::Ptr_t> devices) override;
    void updateSystem(QList<DeviceHandle> devices) override;

private slots:
    void on_lineEditLabel_textEdited(const QString& text);

private:
    Ui::EditorKor* ui;
    QList<Device::Ptr_t> m_devices;
};
