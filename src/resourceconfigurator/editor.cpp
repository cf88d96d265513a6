#include "resourceconfigurator/editor.h"

#include "widgets/decimalspinbox.h"
#include "widgets/numberspinbox.h"
#include "widgets/pendingentry.h"
#include "widgets/stylesource.h"
#include "widgets/switch.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLocale>
#include <QSet>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabBar>

#include <algorithm>
#include <cmath>
#include <functional>

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
    : m_editor(editor)
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

Editor::Refill::~Refill()
{
    // Before the caret comes back: what the box holds then is the records' value.
    PendingEntry::refilled(m_editor);
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

namespace {

// The mark of a box that shows a held value, outside its range or finer than its decimals: the
// warning colour and a note, told again in the program's language whenever that changes. Once
// the user enters a value the box is an ordinary one again. It lives as long as its box, found
// by its name.
class RangeNote : public QObject
{
public:
    explicit RangeNote(QAbstractSpinBox* box)
        : QObject(box)
        , m_box(box)
    {
        setObjectName(name());
        box->installEventFilter(this);
    }

    static QString name() { return QStringLiteral("rangeNote"); }

    static RangeNote* of(QAbstractSpinBox* box)
    {
        return static_cast<RangeNote*>(
            box->findChild<QObject*>(name(), Qt::FindDirectChildrenOnly));
    }

    // An empty `held` takes the mark away. Empty ends tell of a value inside the range that is
    // finer than the box's decimals.
    void tell(const QString& held, const QString& minimum, const QString& maximum,
              const std::function<void()>& release = {})
    {
        m_held = held;
        m_minimum = minimum;
        m_maximum = maximum;
        m_release = release;
        retell();
        const bool marked = !held.isEmpty();
        if (m_box->property(outOfRangeProperty).toBool() != marked) {
            m_box->setProperty(outOfRangeProperty, marked);
            m_box->style()->unpolish(m_box);
            m_box->style()->polish(m_box);
        }
        fit();
    }

    // The value left the held one: the user entered a value of the range.
    void entered()
    {
        if (m_held.isEmpty())
            return;
        const std::function<void()> release = m_release;
        tell(QString(), QString(), QString());
        release();
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            retell();
        return false;
    }

private:
    void retell()
    {
        if (m_held.isEmpty())
            m_box->setToolTip(QString());
        else if (m_minimum.isEmpty())
            m_box->setToolTip(Editor::tr("Значение %1 точнее, чем позволяет поле: оно останется, "
                                         "пока не введено другое")
                                  .arg(m_held));
        else
            m_box->setToolTip(Editor::tr("Значение %1 вне диапазона от %2 до %3: оно останется, "
                                         "пока не введено другое")
                                  .arg(m_held, m_minimum, m_maximum));
    }

    // A held value longer than the box's own values widens the box while it is shown, so that
    // none of its digits is cut; the box takes its own width back with the mark.
    void fit()
    {
        if (m_held.isEmpty()) {
            if (m_formWidth >= 0) {
                m_box->setMinimumWidth(m_formMinimumWidth);
                m_box->resize(m_formWidth, m_box->height());
                m_formWidth = -1;
            }
            return;
        }
        QStyleOptionSpinBox option;
        option.initFrom(m_box);
        option.frame = m_box->hasFrame();
        option.buttonSymbols = m_box->buttonSymbols();
        option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        if (m_box->buttonSymbols() != QAbstractSpinBox::NoButtons)
            option.subControls |= QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        const QRect field = m_box->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                           QStyle::SC_SpinBoxEditField, m_box);
        // The line edit's own margins and its caret.
        const int needed = m_box->width() - field.width()
                           + m_box->fontMetrics().horizontalAdvance(m_held) + 4;
        if (needed <= m_box->width())
            return;
        if (m_formWidth < 0) {
            m_formWidth = m_box->width();
            m_formMinimumWidth = m_box->minimumWidth();
        }
        m_box->setMinimumWidth(needed);
    }

    QAbstractSpinBox* m_box;
    QString m_held, m_minimum, m_maximum;
    std::function<void()> m_release;
    int m_formWidth = -1;
    int m_formMinimumWidth = 0;
};

void unmark(QAbstractSpinBox* box)
{
    if (RangeNote* note = RangeNote::of(box))
        note->tell(QString(), QString(), QString());
}

QString numberText(const QAbstractSpinBox* box, double value, int decimals)
{
    QLocale locale = box->locale();
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

// A held value is shown whole: at the box's own decimals, or at as many more as it needs. A
// field kept in single precision comes with noise in its eighth digit, which is no decimal of
// the value.
int decimalsOf(double value, int decimals)
{
    const double tolerance = 1e-7 * std::fabs(value);
    for (; decimals < 9; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        if (!(std::fabs(std::round(value * scale) / scale - value) > tolerance))
            break;
    }
    return decimals;
}

int decimalsOf(const QDoubleSpinBox* box) { return box->decimals(); }
int decimalsOf(const QSpinBox*) { return 0; }

// The box's range is set; the value is shown within it or, where the box would show another
// value (one outside its range, or one its decimals would round), held at a blank below the
// range: a rounded value typed back would change nothing while the controller keeps the record's.
template <typename Box, typename Number>
void showNumber(Box* box, double value, Number below)
{
    const int decimals = decimalsOf(box);
    const bool inRange = value >= box->minimum() && value <= box->maximum();
    const int needed = decimalsOf(value, decimals);
    if (inRange && needed == decimals) {
        box->setHeld(std::nullopt);
        box->setSpecialValueText(QString());
        unmark(box);
        box->setValue(Number(value));
        return;
    }
    const Number minimum = box->minimum();
    const QString held = box->prefix() + numberText(box, value, needed) + box->suffix();
    RangeNote* note = RangeNote::of(box);
    if (!note) {
        note = new RangeNote(box);
        QObject::connect(box, qOverload<Number>(&Box::valueChanged), note,
                         [box, note](Number now) {
                             if (now != box->minimum())
                                 note->entered();
                         });
    }
    // The held value is shown while the box sits at its blank below the range.
    box->setMinimum(below);
    box->setSpecialValueText(held);
    box->setValue(box->minimum());
    box->setHeld(value, double(minimum));
    // An entry made, the blank and the held value must not be typed back.
    const auto release = [box, minimum] {
        box->setHeld(std::nullopt);
        box->setSpecialValueText(QString());
        box->setMinimum(minimum);
    };
    if (inRange)
        note->tell(held, QString(), QString(), release);
    else
        note->tell(held, numberText(box, minimum, decimals),
                   numberText(box, box->maximum(), decimals), release);
}

} // namespace

void setSpinBoxRange(DecimalSpinBox* box, double value, double minimum, double maximum)
{
    box->setMinimum(minimum);
    if (maximum != 0)
        box->setMaximum(maximum);
    // The next value the box can show below its minimum, at the decimals it shows.
    const double scale = std::pow(10.0, box->decimals());
    showNumber(box, value, (std::round(box->minimum() * scale) - 1.0) / scale);
}

void setSpinBoxRange(NumberSpinBox* box, double value, double minimum, double maximum)
{
    box->setMinimum(int(minimum));
    if (int(maximum) != 0)
        box->setMaximum(int(maximum));
    showNumber(box, value, box->minimum() - 1);
}

void setSpinBoxMixed(QDoubleSpinBox* box, double minimum)
{
    // The box rounds its minimum to the decimals it shows: -0.01 in a box of one decimal would
    // become 0.0, the lowest real value, and typing that value into the blank would then change
    // nothing. The blank goes down to the next value the box can show instead.
    const double scale = std::pow(10.0, box->decimals());
    box->setMinimum(std::floor(minimum * scale) / scale);
    box->setSpecialValueText(QStringLiteral(" "));
    unmark(box);
    box->setValue(box->minimum());
}

void setSpinBoxMixed(QSpinBox* box, double minimum)
{
    box->setMinimum(int(minimum));
    box->setSpecialValueText(QStringLiteral(" "));
    unmark(box);
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
