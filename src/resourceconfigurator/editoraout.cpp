#include "resourceconfigurator/editoraout.h"

#include "ui_editoraout.h"
#include "widgets/pendingentry.h"
#include "widgets/stylesource.h"

#include <QEvent>
#include <QSignalBlocker>

#include <cmath>

EditorAout::EditorAout(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorAout)
{
    ui->setupUi(this);
    connect(ui->spinBoxSaveMode, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &EditorAout::onSaveMode);
    applyRoundDoubleSpinBoxStyle(ui->spinBoxSaveMode);
    applyEditorTitleStyle(ui->labelSaveMode, palette());
    applyValueLabelStyle(ui->unitSafe, palette());
    applyUnitTextStyle(ui->unitSafe);
    applyUnitTextStyle(ui->unitOut);
    applySliderStyle(ui->sliderControl);

    ui->frameControl->hide();
    PendingEntry::setCommandBox(ui->spinBoxControl);
    connect(ui->spinBoxControl, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &EditorAout::onControlSpin);
    connect(ui->sliderControl, &QSlider::valueChanged, this, &EditorAout::onControlSlider);
    connect(ui->sliderControl, &QSlider::sliderMoved, this, &EditorAout::onControlSliderMoved);
    applyEditorTitleStyle(ui->labelControl, palette());
    applyEditorTitleStyle(ui->labelControlOut, palette());
    applyRoundDoubleSpinBoxStyle(ui->spinBoxControl);
    applyValueLabelStyle(ui->unitOut, palette());
    applyValueLabelStyle(ui->labelControlMin, palette());
    applyValueLabelStyle(ui->labelControlMax, palette());
}

EditorAout::~EditorAout()
{
    delete ui;
}

quint16 EditorAout::toMillivolts(double volts)
{
    // The blank of a differing selection sits below 0 V; it is no voltage and must not wrap
    // around to the top of the range. std::round takes halves away from zero.
    return quint16(qint64(std::round(qMax(volts, 0.0) * 10000.0)) / 10);
}

void EditorAout::installShortcutFilter(QObject* filter)
{
    if (filter)
        ui->spinBoxSaveMode->installEventFilter(filter);
}

void EditorAout::setResources(QList<IoResource::Ptr_t> resources)
{
    if (resources.isEmpty())
        return;
    const Refill refill(this, resources);
    const QSignalBlocker blocker(this);
    m_resources = resources;
    AbstractConfig first;
    resources.first()->exportConfig(first);
    bool agree = true;
    for (const IoResource::Ptr_t& r : resources) {
        AbstractConfig c;
        r->exportConfig(c);
        agree = agree && c.aout.save == first.aout.save;
    }
    if (agree)
        setSpinBoxRange(ui->spinBoxSaveMode, first.aout.save / 1000.0, 0, 0);
    else
        setSpinBoxMixed(ui->spinBoxSaveMode, -0.01);
    showPresentValue();
}

void EditorAout::showPresentValue()
{
    if (!ui->frameControl->isVisibleTo(this) || m_resources.isEmpty())
        return;
    AbstractValue first;
    first.kind = ResourceKind::Block;
    m_resources.first()->exportValue(first);
    bool agree = true;
    for (const IoResource::Ptr_t& r : qAsConst(m_resources)) {
        AbstractValue v;
        v.kind = ResourceKind::Block;
        r->exportValue(v);
        agree = agree && v.aout.control == first.aout.control && v.aout.value == first.aout.value;
    }
    if (!agree) {
        showControlMixed();
        return;
    }
    const QSignalBlocker spinBlocker(ui->spinBoxControl);
    const QSignalBlocker sliderBlocker(ui->sliderControl);
    setSpinBoxRange(ui->spinBoxControl, first.aout.value / 1000.0, 0, 0);
    ui->sliderControl->setValue(first.aout.value / 100);
}

void EditorAout::showControlMixed()
{
    const QSignalBlocker spinBlocker(ui->spinBoxControl);
    const QSignalBlocker sliderBlocker(ui->sliderControl);
    setSpinBoxMixed(ui->spinBoxControl, -0.01);
    ui->sliderControl->setValue((ui->sliderControl->maximum() - ui->sliderControl->minimum()) / 2);
}

void EditorAout::setControlling(bool on)
{
    ui->frameControl->setVisible(on);
    showControlMixed();
}

void EditorAout::changeEvent(QEvent* event)
{
    Editor::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}

void EditorAout::onSaveMode(double volts)
{
    const quint16 millivolts = toMillivolts(volts);
    emit change(edited(m_resources, [millivolts](AbstractConfig& c) { c.aout.save = millivolts; }));
}

void EditorAout::onControlSpin(double volts)
{
    const quint16 millivolts = toMillivolts(volts);
    {
        // An entry leaves the blank: nothing refills the live box after a control value, and
        // the blank's own value below the range must not be typed next.
        const QSignalBlocker spinBlocker(ui->spinBoxControl);
        const QSignalBlocker sliderBlocker(ui->sliderControl);
        setSpinBoxRange(ui->spinBoxControl, millivolts / 1000.0, 0, 0);
        ui->sliderControl->setValue(millivolts / 100);
    }
    sendControl(millivolts);
}

void EditorAout::onControlSlider(int position)
{
    const quint16 millivolts = quint16(position * 100);
    {
        const QSignalBlocker spinBlocker(ui->spinBoxControl);
        setSpinBoxRange(ui->spinBoxControl, millivolts / 1000.0, 0, 0);
    }
    sendControl(millivolts);
}

void EditorAout::onControlSliderMoved(int position)
{
    const QSignalBlocker spinBlocker(ui->spinBoxControl);
    setSpinBoxRange(ui->spinBoxControl, position * 100 / 1000.0, 0, 0);
}

void EditorAout::sendControl(quint16 millivolts)
{
    emit control(controlled(m_resources, [millivolts](AbstractValue& v) {
        v.aout.control = 1;
        v.aout.overrideValue = qint16(millivolts);
    }));
}
