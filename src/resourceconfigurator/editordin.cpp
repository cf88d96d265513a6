#include "resourceconfigurator/editordin.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "ui_editordin.h"
#include "widgets/stylesource.h"

#include <QEvent>
#include <QSignalBlocker>

#include <vector>

namespace {

// A check state of 1 is the mixed state of a selection; it is shown, never written.
constexpr int PartlyChecked = Qt::PartiallyChecked;

} // namespace

EditorDin::EditorDin(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorDin)
{
    ui->setupUi(this);
    keepFormNotes();
    m_frameTop = ui->frameControl->y();
    ui->frameControl->hide();
    applyStyles();
    if (!BrandRules::showsPollingOptions()) {
        for (QWidget* w : std::vector<QWidget*>{ui->checkBoxFreqPool, ui->checkBoxContrPool,
                                                ui->labelCommonNote, ui->labelCntr, ui->labelFreq,
                                                ui->labelDin})
            w->hide();
    }
}

EditorDin::~EditorDin()
{
    delete ui;
}

void EditorDin::applyStyles()
{
    const QPalette p = palette();
    applySpinBoxStyle(ui->spinBoxFilterWindow);
    for (QCheckBox* box : {ui->checkBoxFilter, ui->checkBoxAcEnable, ui->checkBoxFreqPool,
                           ui->checkBoxContrPool})
        applyCheckBoxStyle(box);
    for (QWidget* w : std::vector<QWidget*>{ui->labelAcEnable, ui->labelFilter,
                                            ui->labelFilterWindow, ui->label,
                                            ui->label_InfoHwFilter})
        applyEditorTitleStyle(w, p);
    for (QWidget* w : std::vector<QWidget*>{ui->labelNote, ui->label_Value, ui->label_Value_Units})
        applyValueLabelStyle(w, p);
    applyDarkButtonStyle(ui->pushButtonReset);
    for (QWidget* w : std::vector<QWidget*>{ui->labelNoteFreq, ui->label_Value_Freq,
                                            ui->label_Value_Units_Freq})
        applyValueLabelStyle(w, p);
    for (QWidget* w : std::vector<QWidget*>{ui->labelNoteFreq, ui->labelNote, ui->labelCommonNote})
        applyUnitLabelStyle(w);
    applyUnitValueStyle(ui->label_Value);
    applyUnitValueStyle(ui->label_Value_Freq);
    applyUnitTextStyle(ui->label_Value_Units);
    applyUnitTextStyle(ui->label_Value_Units_Freq);
    applyEditorTitleStyle(ui->labelDin, p);
    applyValueLabelStyle(ui->labelCntr, p);
    applyValueLabelStyle(ui->labelFreq, p);
}

EditorDin::Reading EditorDin::formatPulseLength(double microseconds)
{
    if (microseconds >= 1000000.0)
        return {QString::number(microseconds / 1000000.0, 'f', 1), tr("сек")};
    if (microseconds >= 1000.0)
        return {QString::number(microseconds / 1000.0, 'f', 1), tr("мс")};
    return {QString::number(microseconds, 'f', 1), tr("мкс")};
}

EditorDin::Reading EditorDin::formatPassFrequency(double hertz)
{
    if (hertz >= 550.0)
        return {QString::number(hertz / 1000.0, 'f', 1), tr("кГц")};
    return {QString::number(hertz, 'f', 1), tr("Гц")};
}

void EditorDin::keepFormNotes()
{
    m_pulseNote = ui->labelNote->text();
    m_hardwareNote = ui->label_InfoHwFilter->text();
}

void EditorDin::showPulseValues(bool shown)
{
    // A row hidden with the whole filter section stays hidden.
    const bool visible = shown && !ui->labelNote->isHidden();
    for (QWidget* w : std::vector<QWidget*>{ui->label_Value, ui->label_Value_Units,
                                            ui->labelNoteFreq, ui->label_Value_Freq,
                                            ui->label_Value_Units_Freq})
        w->setVisible(visible);
}

void EditorDin::showPulseLength(double microseconds)
{
    ui->labelNote->setText(m_pulseNote);
    showPulseValues(true);
    const Reading pulse = formatPulseLength(microseconds);
    ui->label_Value->setText(pulse.number);
    ui->label_Value_Units->setText(pulse.unit);
    // Callers pass a length of at least the hardware filter's, never 0.
    const Reading frequency = formatPassFrequency(1.0 / (microseconds / 1000000.0) * 0.5);
    ui->label_Value_Freq->setText(frequency.number);
    ui->label_Value_Units_Freq->setText(frequency.unit + QLatin1Char(')'));
}

void EditorDin::showPulsesDiffer()
{
    showPulseValues(false);
    ui->labelNote->setText(tr("Выбранные входы считают импульсы разной длины"));
}

void EditorDin::installShortcutFilter(QObject* filter)
{
    if (filter)
        ui->spinBoxFilterWindow->installEventFilter(filter);
}

void EditorDin::setDevices(QList<Device::Ptr_t> devices)
{
    m_devices = devices;
}

void EditorDin::setControlling(bool on)
{
    ui->frameControl->setVisible(on);
}

void EditorDin::setResources(QList<IoResource::Ptr_t> resources)
{
    if (resources.isEmpty())
        return;
    const Refill refill(this, resources);
    m_resources = resources;
    fill();
}

void EditorDin::showCheck(QCheckBox* box, bool agree, bool checked)
{
    box->setTristate(!agree);
    box->setCheckState(!agree ? Qt::PartiallyChecked : checked ? Qt::Checked : Qt::Unchecked);
}

void EditorDin::fill()
{
    const QSignalBlocker blocker(this);
    // The widgets' own slots must not run either: they would change what is shown.
    const QSignalBlocker filterBlocker(ui->checkBoxFilter);
    const QSignalBlocker windowBlocker(ui->spinBoxFilterWindow);
    const QSignalBlocker acBlocker(ui->checkBoxAcEnable);
    const QSignalBlocker counterBlocker(ui->checkBoxContrPool);
    const QSignalBlocker frequencyBlocker(ui->checkBoxFreqPool);

    AbstractConfig reference;
    m_resources.first()->exportConfig(reference);
    bool filterAgree = true, windowAgree = true, acAgree = true, counterAgree = true,
         frequencyAgree = true, anySlow = false, anyOther = false;
    for (const IoResource::Ptr_t& r : qAsConst(m_resources)) {
        AbstractConfig c;
        r->exportConfig(c);
        filterAgree = filterAgree && c.din.filterOn == reference.din.filterOn;
        windowAgree = windowAgree && c.din.filter == reference.din.filter;
        acAgree = acAgree && c.din.ac == reference.din.ac;
        counterAgree = counterAgree && c.din.pollCntr == reference.din.pollCntr;
        frequencyAgree = frequencyAgree && c.din.pollFreq == reference.din.pollFreq;
        (r->subType() == 1 ? anySlow : anyOther) = true;
    }
    fillFilter(reference, anySlow, anyOther, filterAgree, windowAgree);
    showCheck(ui->checkBoxAcEnable, acAgree, reference.din.ac);

    bool pollable = true;
    for (const Device::Ptr_t& d : qAsConst(m_devices))
        pollable = pollable
                   && (d->deviceClass() == Device::TavClass || d->deviceClass() == Device::PexClass);
    showCheck(ui->checkBoxContrPool, counterAgree && pollable, reference.din.pollCntr);
    showCheck(ui->checkBoxFreqPool, frequencyAgree && pollable, reference.din.pollFreq);
    ui->dinContainer->setVisible(pollable);
    // The counter reset moves below the polling switches when they are offered.
    const bool switchesShown = pollable && !ui->labelDin->isHidden();
    ui->frameControl->move(0, switchesShown ? ui->dinContainer->geometry().bottom() + 1 : m_frameTop);
}

void EditorDin::fillFilter(const AbstractConfig& reference, bool anySlow, bool anyOther,
                           bool filterAgree, bool windowAgree)
{
    const bool mixedKinds = anySlow && anyOther;
    showFilterSection(!mixedKinds);
    QCheckBox* box = ui->checkBoxFilter;
    box->setEnabled(true);
    box->setTristate(!filterAgree);
    if (mixedKinds) {
        box->setCheckState(Qt::PartiallyChecked);
        box->setEnabled(false);
    } else if (anySlow) {
        box->hide();
        box->setCheckState(Qt::Checked);
        showWindowWidgets(true);
    } else if (filterAgree) {
        box->setCheckState(reference.din.filterOn ? Qt::Checked : Qt::Unchecked);
        showWindowWidgets(reference.din.filterOn);
    } else {
        box->setCheckState(Qt::PartiallyChecked);
        showWindowWidgets(false);
        // The hardware alone filters only the inputs whose filter is off.
        ui->label_InfoHwFilter->setText(tr("Фильтр включён не у всех выбранных входов"));
    }

    // A window stored outside the device's range (from an old file) is shown as it is, and its
    // labels are the pulses it stands for: below the hardware's own filter, the hardware's.
    const int window = reference.din.filter;
    if (mixedKinds || !windowAgree) {
        // The maximum is the device's too, so that an entry from the blank is never beyond it;
        // the blank sits at 0, so one step up gives the smallest window.
        ui->spinBoxFilterWindow->setMaximum(WindowMax);
        setSpinBoxMixed(ui->spinBoxFilterWindow, WindowMin - 1);
    } else {
        setSpinBoxRange(ui->spinBoxFilterWindow, window, WindowMin, WindowMax);
    }
    // A slow input's filter is always on, whatever its record says; inputs whose filters are all
    // off count the hardware's pulse length, whatever their windows.
    const bool filterOn = anySlow || reference.din.filterOn;
    const bool filterMixed = !anySlow && !filterAgree;
    if (mixedKinds || filterMixed || (filterOn && !windowAgree))
        showPulsesDiffer();
    else
        showPulseLength(filterOn ? qMax(window * 500.0, HardwarePulse) : HardwarePulse);
}

void EditorDin::showFilterSection(bool visible)
{
    for (QWidget* w : std::vector<QWidget*>{
             ui->checkBoxFilter, ui->labelFilter, ui->labelFilterWindow, ui->label_InfoHwFilter,
             ui->spinBoxFilterWindow, ui->labelNote, ui->label_Value, ui->label_Value_Units,
             ui->labelNoteFreq, ui->label_Value_Freq, ui->label_Value_Units_Freq})
        w->setVisible(visible);
}

void EditorDin::showWindowWidgets(bool filterOn)
{
    ui->labelFilterWindow->setVisible(filterOn);
    ui->spinBoxFilterWindow->setVisible(filterOn);
    ui->label_InfoHwFilter->setVisible(!filterOn);
    ui->label_InfoHwFilter->setText(m_hardwareNote);
    if (!filterOn)
        showPulseLength(HardwarePulse);
}

void EditorDin::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        keepFormNotes();
        // The form's texts stand in the pulse-length labels until they are computed again.
        if (!m_resources.isEmpty())
            fill();
    }
    Editor::changeEvent(event);
}

void EditorDin::editConfig(const ConfigSetter_t& setter)
{
    emit change(edited(m_resources, setter));
}

void EditorDin::on_spinBoxFilterWindow_valueChanged(int value)
{
    // The blank below the range is not a window: an entry made from it lands in the range.
    const quint16 window = quint16(qBound(int(WindowMin), value, int(WindowMax)));
    editConfig([window](AbstractConfig& c) { c.din.filter = window; });
}

void EditorDin::on_checkBoxFilter_stateChanged(int state)
{
    if (state == PartlyChecked)
        return;
    const bool on = state == Qt::Checked;
    showWindowWidgets(on);
    editConfig([on](AbstractConfig& c) { c.din.filterOn = on; });
}

void EditorDin::on_checkBoxAcEnable_stateChanged(int state)
{
    if (state == PartlyChecked)
        return;
    const bool on = state == Qt::Checked;
    editConfig([on](AbstractConfig& c) { c.din.ac = on; });
}

void EditorDin::on_checkBoxContrPool_stateChanged(int state)
{
    if (state == PartlyChecked)
        return;
    const bool on = state == Qt::Checked;
    editConfig([on](AbstractConfig& c) { c.din.pollCntr = on; });
}

void EditorDin::on_checkBoxFreqPool_stateChanged(int state)
{
    if (state == PartlyChecked)
        return;
    const bool on = state == Qt::Checked;
    editConfig([on](AbstractConfig& c) { c.din.pollFreq = on; });
}

void EditorDin::sendReset(bool pressed)
{
    const quint16 reset = pressed ? 1 : 0;
    emit control(controlled(m_resources, [reset](AbstractValue& v) { v.din.reset = reset; }));
}

void EditorDin::on_pushButtonReset_pressed()
{
    sendReset(true);
}

void EditorDin::on_pushButtonReset_released()
{
    sendReset(false);
}
