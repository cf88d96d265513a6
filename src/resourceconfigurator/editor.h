#pragma once

#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QList>
#include <QPalette>
#include <QMap>
#include <QWidget>

#include <functional>
#include <stdexcept>

// The base of every resource and device editor. An editor fills its widgets from the selection
// with signals blocked, and reports each user edit as one map from every selected item to its
// own exported record with the one edited field changed; it never touches the system itself.
class Editor : public QWidget
{
    Q_OBJECT

public:
    using DeviceConfigs_t = QMap<Device::Ptr_t, AbstractConfig>;
    using ResourceConfigs_t = QMap<IoResource::Ptr_t, AbstractConfig>;
    using ResourceValues_t = QMap<IoResource::Ptr_t, AbstractValue>;
    using ConfigSetter_t = std::function<void(AbstractConfig&)>;
    using ValueSetter_t = std::function<void(AbstractValue&)>;

    explicit Editor(QWidget* parent = nullptr);

    virtual void installShortcutFilter(QObject* filter);
    virtual void setResources(QList<IoResource::Ptr_t> resources) = 0;
    virtual void setDevices(QList<Device::Ptr_t> devices);
    virtual void updateValues(QList<Device::Ptr_t> devices);
    virtual void updateSystem(QList<DeviceHandle> devices);
    virtual void setControlling(bool controlling);
    // The monitoring loop has read the selected resources again.
    virtual void showLiveValues();

    // The edit pattern: each item exports its current record into a fresh one, the setter
    // changes one field of it. An empty setter is a programming error and throws.
    static ResourceConfigs_t edited(const QList<IoResource::Ptr_t>& resources,
                                    const ConfigSetter_t& setter);
    static DeviceConfigs_t edited(const QList<Device::Ptr_t>& devices, const ConfigSetter_t& setter);
    static ResourceValues_t controlled(const QList<IoResource::Ptr_t>& resources,
                                       const ValueSetter_t& setter);

signals:
    void change(const QMap<Device::Ptr_t, AbstractConfig>& devices);
    void change(const QMap<IoResource::Ptr_t, AbstractConfig>& resources);
    void control(const QMap<IoResource::Ptr_t, AbstractValue>& values);
};

class QDoubleSpinBox;
class QSpinBox;
class QTabBar;
// The palette the device and resource editors share, in every colour group.
QPalette editorPalette(QPalette base);
// The tab bars over an editor's pages: white text, the bar in `window`, the chosen tab in
// `selected`.
void applyEditorTabStyle(QTabBar* tabs, const QColor& window, const QColor& selected,
                         int minimumHeight);

// Shows a numeric setting the selected items agree on; a maximum of 0 keeps the form's maximum.
void setSpinBoxRange(QDoubleSpinBox* box, double value, double minimum, double maximum);
void setSpinBoxRange(QSpinBox* box, double value, double minimum, double maximum);
// Shows a blank: the selected items differ. The minimum is chosen just below the real range; a
// decimal box puts its blank below it at the decimals it shows (set them first), so that every
// value of the real range typed into the blank is an edit.
void setSpinBoxMixed(QDoubleSpinBox* box, double minimum);
void setSpinBoxMixed(QSpinBox* box, double minimum);

Q_DECLARE_METATYPE(Editor::DeviceConfigs_t)
Q_DECLARE_METATYPE(Editor::ResourceConfigs_t)
Q_DECLARE_METATYPE(Editor::ResourceValues_t)
