#pragma once

#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/device.h"
#include "model/ioresource.h"
#include "model/nodeid.h"

#include <QList>
#include <QMap>
#include <QScopedPointer>
#include <QWidget>

class Editor;
class Header;
class QStackedWidget;
class SystemModel;

namespace Utils {
class ShortCutRedirector;
}

// The right half of the resource page: a header over one page per editor. It picks the editor
// that fits the tree's selection, forwards every editor's edits under its own names and passes
// values, system changes and the monitoring mode on to the editors.
class EditorViewer : public QWidget
{
    Q_OBJECT

public:
    // Keys of the editors that stand for devices rather than a resource kind.
    enum : int { LabelEditor = 11, DefaultEditor = 12 };

    EditorViewer(SystemModel* model, QWidget* parent = nullptr);
    ~EditorViewer() override;

    static QString kindName(int kind, bool plural);
    Editor* editor(int key) const { return m_editors.value(key); }
    Editor* currentEditor() const;
    Header* header() const { return m_header; }

signals:
    void changeResources(const QMap<IoResource::Ptr_t, AbstractConfig>& resources);
    void controlResources(const QMap<IoResource::Ptr_t, AbstractValue>& values);
    void changeDevices(const QMap<Device::Ptr_t, AbstractConfig>& devices);

public slots:
    void edit(const QList<Device::Ptr_t>& devices, const QList<IoResource::Ptr_t>& resources);
    void update(const QList<NodeId_t>& ids);
    void updateValues(const QList<NodeId_t>& ids);
    void updateLiveValues(const QList<NodeId_t>& ids);
    void updateSystem();
    void controlling(bool on);

protected:
    void changeEvent(QEvent* event) override;

private:
    void addEditor(int key, Editor* editor);
    void showMessage(const QString& text);
    void setTitle(const QList<Device::Ptr_t>& devices, const QList<IoResource::Ptr_t>& resources);
    QString deviceList(const QList<Device::Ptr_t>& devices) const;
    void showEditor(Editor* editor);

    SystemModel* m_model;
    Header* m_header;
    QStackedWidget* m_stack;
    QMap<int, Editor*> m_editors;
    QList<Device::Ptr_t> m_devices;
    QList<IoResource::Ptr_t> m_resources;
    QScopedPointer<Utils::ShortCutRedirector> m_redirector;
};
