#include "resourceconfigurator/editor.h"

#include "widgets/stylesource.h"
#include "widgets/switch.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSet>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>

#include <cmath>

namespace {

template <typename Setter>
void requireSetter(const Setter& setter)
{
    if (!setter)
        throw std::invalid_argument("Editor: an edit without a setter");
}

} // namespace

Editor::Editor(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

void Editor::installShortcutFilter(QObject*) {}

void Editor::setDevices(QList<Device::Ptr_t>) {}

void Editor::updateValues(QList<Device::Ptr_t>) {}

void Editor::updateSystem(QList<DeviceHandle>) {}

void Editor::setControlling(bool) {}

void Editor::showLiveValues() {}

Editor::Refill::Refill(Editor* editor, const QList<IoResource::Ptr_t>& records)
{
    // The same records in another order are no other records. The entry's edit may come back as
    // a refill of the records still shown; that one changes no record under the box either.
    const auto asSet = [](const QList<IoResource::Ptr_t>& list) {
        return QSet<IoResource::Ptr_t>(list.cbegin(), list.cend());
    };
    if (asSet(records) != asSet(editor->m_shownRecords))
        m_entry.emplace(editor);
    editor->m_shownRecords = records;
}

namespace {

// Resources and devices export their records the same way.
template <typename Ptr>
QMap<Ptr, AbstractConfig> editedConfigs(const QList<Ptr>& items,
                                        const Editor::ConfigSetter_t& setter)
{
    requireSetter(setter);
    QMap<Ptr, AbstractConfig> out;
    for (const Ptr& item : items) {
        AbstractConfig config;
        item->exportConfig(config);
        setter(config);
        out.insert(item, config);
    }
    return out;
}

} // namespace

Editor::ResourceConfigs_t Editor::edited(const QList<IoResource::Ptr_t>& resources,
                                         const ConfigSetter_t& setter)
{
    return editedConfigs(resources, setter);
}

Editor::DeviceConfigs_t Editor::edited(const QList<Device::Ptr_t>& devices,
                                       const ConfigSetter_t& setter)
{
    return editedConfigs(devices, setter);
}

Editor::ResourceValues_t Editor::controlled(const QList<IoResource::Ptr_t>& resources,
                                            const ValueSetter_t& setter)
{
    requireSetter(setter);
    ResourceValues_t out;
    for (const IoResource::Ptr_t& r : resources) {
        AbstractValue value;
        value.kind = ResourceKind::Block;
        r->exportValue(value);
        setter(value);
        out.insert(r, value);
    }
    return out;
}

void showChoice(QComboBox* box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void showChoice(Switch* box, int index)
{
    box->setCurrentIndex(index, false);
}

void setSpinBoxRange(QDoubleSpinBox* box, double value, double minimum, double maximum)
{
    box->setMinimum(minimum);
    if (maximum != 0)
        box->setMaximum(maximum);
    box->setSpecialValueText(QString());
    box->setValue(value);
}

void setSpinBoxRange(QSpinBox* box, double value, double minimum, double maximum)
{
    box->setMinimum(int(minimum));
    if (int(maximum) != 0)
        box->setMaximum(int(maximum));
    box->setSpecialValueText(QString());
    box->setValue(int(value));
}

void setSpinBoxMixed(QDoubleSpinBox* box, double minimum)
{
    // The box rounds its minimum to the decimals it shows: -0.01 in a box of one decimal would
    // become 0.0, the lowest real value, and typing that value into the blank would then change
    // nothing. The blank goes down to the next value the box can show instead.
    const double scale = std::pow(10.0, box->decimals());
    box->setMinimum(std::floor(minimum * scale) / scale);
    box->setSpecialValueText(QStringLiteral(" "));
    box->setValue(box->minimum());
}

void setSpinBoxMixed(QSpinBox* box, double minimum)
{
    box->setMinimum(int(minimum));
    box->setSpecialValueText(QStringLiteral(" "));
    box->setValue(box->minimum());
}

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

void applyEditorTabStyle(QTabBar* tabs, const QColor& window, const QColor& selected,
                         int minimumHeight)
{
    QFont font(fontFamilySegoe);
    font.setPixelSize(12);
    tabs->setFont(font);
    QPalette p = tabs->palette();
    p.setColor(QPalette::All, QPalette::Window, window);
    p.setColor(QPalette::All, QPalette::Highlight, selected);
    p.setColor(QPalette::All, QPalette::Text, Qt::white);
    p.setColor(QPalette::All, QPalette::HighlightedText, Qt::white);
    tabs->setPalette(p);
    tabs->setMinimumHeight(minimumHeight);
    tabs->setMinimumWidth(100);
    tabs->setExpanding(false);
}
