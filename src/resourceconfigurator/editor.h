#pragma once

#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "widgets/finishedentry.h"

#include <QList>
#include <QPalette>
#include <QMap>
#include <QWidget>

#include <functional>
#include <optional>
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

protected:
    // Held by every refill of the boxes from the records it names, before the editor takes them
    // as its own. When they are not the records the boxes show (another selection, another
    // port's tab), a value still typed into a box of this editor is entered first, for the record
    // it was typed for; the caret comes back once the refill is over.
    class Refill
    {
    public:
        Refill(Editor* editor, const QList<IoResource::Ptr_t>& records);
        // The boxes show the records: a value still typed into one of them is gone.
        ~Refill();
        Refill(const Refill&) = delete;
        Refill& operator=(const Refill&) = delete;

    private:
        Editor* m_editor;
        std::optional<FinishedEntry> m_entry;
    };

private:
    QList<IoResource::Ptr_t> m_shownRecords;
};

class DecimalSpinBox;
class NumberSpinBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QTabBar;
class Switch;
// The palette the device and resource editors share, in every colour group.
QPalette editorPalette(QPalette base);
// The tab bars over an editor's pages: white text, the bar in `window`, the chosen tab in
// `selected`.
void applyEditorTabStyle(QTabBar* tabs, const QColor& window, const QColor& selected,
                         int minimumHeight);

// A choice fed from the records shows the item at `index`; an index that is no item's (the
// records differ, or hold a value none of the items stands for) shows none, and the records keep
// their value until the user chooses. Showing is no edit: the box tells nobody.
void showChoice(QComboBox* box, int index);
void showChoice(Switch* box, int index);

// Shows a numeric setting the selected items agree on; a maximum of 0 keeps the form's maximum.
// A value outside the range (from a file, or from a controller) is shown as it is, marked as
// outside the range, in a blank of its own just below the range: the records keep it until the
// user enters a value, and every value of the range entered then, its ends included, is an edit.
// So is a value finer than the box's decimals, which it would otherwise show rounded: what the
// box shows is what the controller gets. A step from a held value lands in the range.
void setSpinBoxRange(DecimalSpinBox* box, double value, double minimum, double maximum);
void setSpinBoxRange(NumberSpinBox* box, double value, double minimum, double maximum);
// Shows a blank: the selected items differ. The minimum is chosen just below the real range; a
// decimal box puts its blank below it at the decimals it shows (set them first), so that every
// value of the real range typed into the blank is an edit.
void setSpinBoxMixed(QDoubleSpinBox* box, double minimum);
void setSpinBoxMixed(QSpinBox* box, double minimum);

Q_DECLARE_METATYPE(Editor::DeviceConfigs_t)
Q_DECLARE_METATYPE(Editor::ResourceConfigs_t)
Q_DECLARE_METATYPE(Editor::ResourceValues_t)
