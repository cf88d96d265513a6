#include "resourceconfigurator/editordout.h"

#include "ui_editordout.h"
#include "widgets/stylesource.h"

#include <QEvent>
#include <QSignalBlocker>

EditorDout::EditorDout(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorDout)
{
    ui->setupUi(this);
    ui->radioButtonHidden->hide();
    ui->frameControl->hide();
    applyEditorTitleStyle(ui->labelSafeState, palette());
    applyEditorTitleStyle(ui->label, palette());
    applyRadioButtonStyle(ui->radioButtonOpen);
    applyRadioButtonStyle(ui->radioButtonClose);
    applyBlueSwitchStyle(ui->onoffSwitch);
    setSwitchItems();
    connect(ui->onoffSwitch, &Switch::currentChanged, this, &EditorDout::on_switchIndexChanged);
}

EditorDout::~EditorDout()
{
    delete ui;
}

void EditorDout::setSwitchItems()
{
    ui->onoffSwitch->setItems({tr("Вкл."), tr("Выкл.")});
    ui->onoffSwitch->update();
}

void EditorDout::setResources(QList<IoResource::Ptr_t> resources)
{
    if (resources.isEmpty())
        return;
    const Refill refill(this, resources);
    const QSignalBlocker blocker(this);
    m_resources = resources;
    AbstractConfig reference;
    resources.first()->exportConfig(reference);
    bool agree = true;
    for (const IoResource::Ptr_t& r : resources) {
        AbstractConfig c;
        r->exportConfig(c);
        agree = agree && c.dout.save == reference.dout.save;
    }
    if (!agree)
        ui->radioButtonHidden->setChecked(true);
    else if (reference.dout.save != 0)
        ui->radioButtonClose->setChecked(true);
    else
        ui->radioButtonOpen->setChecked(true);
    if (ui->frameControl->isVisibleTo(this))
        showLiveState();
}

void EditorDout::showLiveState()
{
    // Set once, to the state to show: a blank in between would flash with every reading.
    AbstractValue reference;
    reference.kind = ResourceKind::Block;
    m_resources.first()->exportValue(reference);
    bool agree = reference.dout.control != 0;
    for (const IoResource::Ptr_t& r : qAsConst(m_resources)) {
        AbstractValue v;
        v.kind = ResourceKind::Block;
        r->exportValue(v);
        agree = agree && v.dout.value == reference.dout.value;
    }
    showChoice(ui->onoffSwitch, agree ? (reference.dout.value != 0 ? 0 : 1) : -1);
}

void EditorDout::setControlling(bool on)
{
    ui->frameControl->setVisible(on);
}

void EditorDout::showLiveValues()
{
    if (!m_resources.isEmpty() && ui->frameControl->isVisibleTo(this))
        showLiveState();
}

void EditorDout::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setSwitchItems();
    }
    Editor::changeEvent(event);
}

void EditorDout::fetchOpenColoseState(bool closed)
{
    emit change(edited(m_resources, [closed](AbstractConfig& c) { c.dout.save = closed ? 1 : 0; }));
}

void EditorDout::on_radioButtonClose_toggled(bool checked)
{
    if (checked)
        fetchOpenColoseState(true);
}

void EditorDout::on_radioButtonOpen_toggled(bool checked)
{
    if (checked)
        fetchOpenColoseState(false);
}

void EditorDout::on_switchIndexChanged(int index)
{
    if (index == -1)
        return;
    const quint16 on = index == 0 ? 1 : 0;
    // The override is what the output takes from us; the state alone is only the device's report
    // and would send back the state the output already has.
    emit control(controlled(m_resources, [on](AbstractValue& v) {
        v.dout.control = 1;
        v.dout.value = on;
        v.dout.overrideValue = on;
    }));
}
