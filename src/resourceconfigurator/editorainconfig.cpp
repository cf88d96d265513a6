#include "resourceconfigurator/editorainconfig.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/ain.h"
#include "resourceconfigurator/editorainrules.h"
#include "ui_editorainconfig.h"
#include "widgets/radiobutton.h"
#include "widgets/stylesource.h"
#include "widgets/switch.h"

#include <QButtonGroup>
#include <QEvent>
#include <QSignalBlocker>

using namespace EditorAinRules;

namespace {

QString numberOf(const QString& name)
{
    return QString(name).remove(QStringLiteral("AIN"));
}

// The catalogue names the sensors of the Russian standard in Russian; a reader of another language
// gets them by metal and temperature coefficient. Other names are the catalogue's or the user's
// own and are shown as they are.
const char* const kStandardSensorNames[] = {
    QT_TRANSLATE_NOOP("EditorAinConfig", "ТСП50"),  QT_TRANSLATE_NOOP("EditorAinConfig", "ТСП100"),
    QT_TRANSLATE_NOOP("EditorAinConfig", "ТСП500"), QT_TRANSLATE_NOOP("EditorAinConfig", "ТСП1000"),
    QT_TRANSLATE_NOOP("EditorAinConfig", "ТСМ50"),  QT_TRANSLATE_NOOP("EditorAinConfig", "ТСМ100"),
    QT_TRANSLATE_NOOP("EditorAinConfig", "ТСМ1000"),
};

QString sensorName(const QString& catalogueName)
{
    for (const char* name : kStandardSensorNames) {
        if (catalogueName == QString::fromUtf8(name))
            return EditorAinConfig::tr(name);
    }
    return catalogueName;
}

} // namespace

EditorAinConfig::EditorAinConfig(QWidget* parent)
    : Editor(parent)
    , radioButtonRtd(makeModeButton("radioButtonRtd", QStringLiteral("RTD"), {16, 38, 78, 30}))
    , radioButtonNtc(makeModeButton("radioButtonNtc", QStringLiteral("NTC"), {16, 63, 78, 30}))
    , radioButton010(makeModeButton("radioButton010", QStringLiteral("0-10"), {16, 88, 78, 30}))
    , radioButton420(makeModeButton("radioButton420", QStringLiteral("4-20"), {16, 112, 78, 30}))
    , radioButtonDIN(makeModeButton("radioButtonDIN", QStringLiteral("DIN"), {16, 137, 78, 30}))
    , ui(new Ui::EditorAinConfig)
{
    ui->setupUi(this);
    auto* group = new QButtonGroup(this);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             radioButtonRtd, radioButtonNtc, radioButton010, radioButton420, radioButtonDIN,
             ui->radioButtonHidden})
        group->addButton(b);
    ui->radioButtonHidden->hide();
    ui->frameControl->hide();
    applyStyles();
    connect(ui->comboBoxConnection, &Switch::currentChanged, this,
            &EditorAinConfig::onRtdWireCountChanged);
    connect(ui->debugOnOff, &Switch::currentChanged, this, &EditorAinConfig::onAinFreezingOnOff);
    connect(ui->comboBoxAinMode, &Switch::currentChanged, this, &EditorAinConfig::onAinModeChanged);
    if (!BrandRules::showsAinValueMode()) {
        ui->labelCommonAin->hide();
        ui->comboBoxAinMode->hide();
        ui->labelCommonNote->hide();
    }
    retranslate();
}

EditorAinConfig::~EditorAinConfig()
{
    delete ui;
}

RadioButton* EditorAinConfig::makeModeButton(const char* name, const QString& text,
                                             const QRect& geometry)
{
    auto* button = new RadioButton(QIcon(), text, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

void EditorAinConfig::applyStyles()
{
    const QPalette p = palette();
    for (QWidget* title : {static_cast<QWidget*>(ui->labType), static_cast<QWidget*>(ui->lablConnection),
                           static_cast<QWidget*>(ui->labFiltration), static_cast<QWidget*>(ui->labFreeze),
                           static_cast<QWidget*>(ui->labelCommonAin)})
        applyEditorTitleStyle(title, p);
    for (RadioButton* b : {radioButtonRtd, radioButtonNtc, radioButton010, radioButton420, radioButtonDIN})
        applyRadioButtonPalette(b, p);
    applyUnitLabelStyle(ui->labelNote);
    applyUnitLabelStyle(ui->labelCommonNote);
    applyUnitTextStyle(ui->labelMeasure);
    applyValueLabelStyle(ui->euImpulse, p);
    applyUnitTextStyle(ui->euImpulse);
    applyGreenSwitchStyle(ui->comboBoxConnection);
    applyGreenSwitchStyle(ui->comboBoxAinMode);
    applyBlueSwitchStyle(ui->debugOnOff);
    applyComboBoxStyle(ui->comboBoxType);
    applySpinBoxStyle(ui->spinBoxImpulse);
}

void EditorAinConfig::retranslate()
{
    // Filling the switches keeps their current index and emits nothing.
    ui->comboBoxAinMode->setItems({tr("Исходное"), tr("Масштаб.")});
    ui->comboBoxConnection->setItems({tr("Двухпроводное"), tr("Трёхпроводное")});
    ui->debugOnOff->setItems({tr("Вкл."), tr("Выкл.")});
    ui->labelMeasure->setText(unitText(shownRecord));
    SensorInfo sensor;
    for (int i = 0; i < ui->comboBoxType->count(); ++i) {
        if (SettingsProvider::instance().sensor(ui->comboBoxType->itemData(i).toInt(), &sensor))
            ui->comboBoxType->setItemText(i, sensorName(sensor.name));
    }
}

void EditorAinConfig::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    Editor::changeEvent(event);
}

void EditorAinConfig::installShortcutFilter(QObject* filter)
{
    if (filter)
        ui->spinBoxImpulse->installEventFilter(filter);
}

void EditorAinConfig::setControlling(bool on)
{
    ui->frameControl->setVisible(on);
}

QString EditorAinConfig::unitText(const AinConfig& config)
{
    const bool raw = config.pollAin == 1;
    switch (config.range) {
    case Ain::Voltage:
        return tr("Напряжение\n")
               + (raw ? tr("мВ") : config.scMin == 0.0f && config.scMax == 10.0f ? tr("В") : tr("—"));
    case Ain::Current:
        return tr("Сила тока\n")
               + (raw || (config.scMin == 4.0f && config.scMax == 20.0f) ? tr("мА") : tr("—"));
    case Ain::Rtd:
    case Ain::Rtd3Wire:
    case Ain::Ntc: return raw ? tr("Сопротивление\nОм") : tr("Температура\n°C");
    default: return QStringLiteral(" ");
    }
}

bool EditorAinConfig::allSame(const std::function<bool(const AinConfig&, const AinConfig&)>& equal) const
{
    const AinConfig first = ainConfig(selection.first());
    for (const IoResource::Ptr_t& r : selection) {
        if (!equal(first, ainConfig(r)))
            return false;
    }
    return true;
}

bool EditorAinConfig::sameModeClass(const AinConfig& shown) const
{
    if (selection.isEmpty())
        return false;
    for (const IoResource::Ptr_t& r : selection) {
        if (modeClass(ainConfig(r).range) != modeClass(shown.range))
            return false;
    }
    return true;
}

void EditorAinConfig::setResources(QList<IoResource::Ptr_t> resources)
{
    if (resources.isEmpty())
        return;
    const Refill refill(this, resources);
    filterStep = SettingsProvider::instance().irrFilterStep;
    const QSignalBlocker blocker(this);
    selection = resources;
    const AinConfig shown = ainConfig(selection.first());
    shownRecord = shown;

    const bool freezable = selection.size() == 1 && isRtd(shown.range);
    ui->labFreeze->setVisible(freezable);
    ui->debugOnOff->setVisible(freezable);
    AbstractValue value;
    value.kind = ResourceKind::Block;
    selection.first()->exportValue(value);
    if (value.kind == ResourceKind::Ain)
        showChoice(ui->debugOnOff, value.ain.freeze == 1 ? 0 : 1);

    showModeButtons(shown);
    // Differing sensors show no choice, but the list is still the shown mode's: a choice made
    // from it writes a sensor of that mode into every selected input.
    fillSensorCombo(shown.range);
    const bool sameSensor =
        allSame([](const AinConfig& a, const AinConfig& b) { return a.tsType == b.tsType; });
    showChoice(ui->comboBoxType, sameSensor ? sensorIndex.value(shown.tsType, -1) : -1);
    showSwitches(shown);
    ui->labelMeasure->setText(unitText(shown));
    showFilterTime(shown);
    showWiring(shown);
    showVisibility(shown);
}

void EditorAinConfig::showModeButtons(const AinConfig& shown)
{
    QAbstractButton* button = ui->radioButtonHidden;
    if (sameModeClass(shown)) {
        switch (shown.range) {
        case Ain::Rtd:
        case Ain::Rtd3Wire: button = radioButtonRtd; break;
        case Ain::Ntc: button = radioButtonNtc; break;
        case Ain::Voltage: button = radioButton010; break;
        case Ain::Current: button = radioButton420; break;
        case Ain::Discrete: button = radioButtonDIN; break;
        default: break;
        }
    }
    button->setChecked(true);
}

void EditorAinConfig::showSwitches(const AinConfig& shown)
{
    const bool threeWire = allSame([](const AinConfig&, const AinConfig& b) {
        return b.range == Ain::Rtd3Wire;
    });
    showChoice(ui->comboBoxConnection, shown.range == Ain::Rtd3Wire && threeWire ? 1 : 0);
    const bool samePolling = allSame([](const AinConfig& a, const AinConfig& b) {
        return a.pollAin == b.pollAin;
    });
    int pollIndex = -1;
    if (samePolling && (shown.pollAin == 1 || shown.pollAin == 2))
        pollIndex = shown.pollAin - 1;
    showChoice(ui->comboBoxAinMode, pollIndex);
}

void EditorAinConfig::showFilterTime(const AinConfig& shown)
{
    if (allSame([](const AinConfig& a, const AinConfig& b) { return a.onePole == b.onePole; })) {
        setSpinBoxRange(ui->spinBoxImpulse, double(quint16(shown.onePole)) * filterStep, 0, 0);
        ui->spinBoxImpulse->setSingleStep(filterStep);
    } else {
        setSpinBoxMixed(ui->spinBoxImpulse, -1);
    }
}

void EditorAinConfig::showWiring(const AinConfig& shown)
{
    const IoResource::Ptr_t& input = selection.first();
    const QString n = numberOf(input->textId());
    const bool even = n.toInt() % 2 == 0;
    QStringList pins{QString::number(input->terminal()), QString::number(input->commonTerminal())};
    QStringList ains{n};
    const IoResource::Ptr_t partner = input->partner();
    if (shown.range == Ain::Rtd3Wire && partner) {
        pins << QString::number(partner->terminal());
        ains << numberOf(partner->textId());
    } else if (even) {
        pins = QStringList{QString(), pins.at(1), pins.at(0)};
        ains = QStringList{QString(), n};
    }
    ui->ainConnection->showConnection(shown.range, even ? 1 : 0);
    ui->ainConnection->setPinTexts(pins);
    ui->ainConnection->setAinTexts(ains);
    ui->ainConnection->setFlipped(input->isTop());
}

void EditorAinConfig::showVisibility(const AinConfig& shown)
{
    const bool same = sameModeClass(shown);
    bool noDin = true;
    for (const IoResource::Ptr_t& r : qAsConst(selection))
        noDin = noDin && ainConfig(r).range != Ain::Discrete;
    ui->comboBoxType->setVisible(same && hasSensor(shown.range));
    ui->comboBoxConnection->setEnabled(same && isRtd(shown.range));
    ui->comboBoxConnection->setVisible(shown.range != Ain::Discrete);
    ui->lablConnection->setVisible(same && noDin);
    ui->labelNote->setVisible(same && noDin);
    ui->labelMeasure->setVisible(same && noDin);
    ui->frImpulse->setVisible(noDin);
    const bool pairShown = selection.size() == 2 && shown.range == Ain::Rtd3Wire
                           && selection.at(1) == selection.first()->partner();
    ui->ainConnection->setVisible(shown.range != Ain::Discrete
                                  && (selection.size() == 1 || pairShown));
}

void EditorAinConfig::fillSensorCombo(qint32 mode)
{
    const int wanted = sensorClass(mode);
    if (wanted == 0)
        return;
    // Refilling moves the combo's index; that is no choice of the user's.
    const QSignalBlocker blocker(ui->comboBoxType);
    sensorIndex.clear();
    ui->comboBoxType->clear();
    const QMap<int, SensorInfo>& sensors = SettingsProvider::instance().sensors();
    for (auto it = sensors.cbegin(); it != sensors.cend(); ++it) {
        if (it->sensorClass != wanted)
            continue;
        sensorIndex.insert(it.key(), ui->comboBoxType->count());
        ui->comboBoxType->addItem(sensorName(it->name), it.key());
    }
}

void EditorAinConfig::applyInputMode(qint32 mode)
{
    ResourceConfigs_t map;
    for (const IoResource::Ptr_t& r : qAsConst(selection)) {
        AbstractConfig config;
        r->exportConfig(config);
        const AbstractConfig before = config;
        switchMode(config.ain, mode);
        map.insert(r, config);
        // A partner that is itself selected keeps its own record.
        const IoResource::Ptr_t partner = r->partner();
        if (partner && !selection.contains(partner)
            && (Ain::entersThreeWire(before, config) || Ain::leavesThreeWire(before, config)))
            map.insert(partner, config);
    }
    emit change(map);
}

void EditorAinConfig::applyToPairs(const ConfigSetter_t& setter)
{
    ResourceConfigs_t map = edited(selection, setter);
    for (const IoResource::Ptr_t& r : qAsConst(selection)) {
        const IoResource::Ptr_t partner = r->partner();
        if (partner && r->isCoupled() && !selection.contains(partner))
            map.insert(partner, map.value(r));
    }
    emit change(map);
}

void EditorAinConfig::on_radioButtonRtd_toggled(bool checked)
{
    if (checked)
        applyInputMode(Ain::Rtd);
}

void EditorAinConfig::on_radioButtonNtc_toggled(bool checked)
{
    if (checked)
        applyInputMode(Ain::Ntc);
}

void EditorAinConfig::on_radioButton010_toggled(bool checked)
{
    if (checked)
        applyInputMode(Ain::Voltage);
}

void EditorAinConfig::on_radioButton420_toggled(bool checked)
{
    if (checked)
        applyInputMode(Ain::Current);
}

void EditorAinConfig::on_radioButtonDIN_toggled(bool checked)
{
    if (checked)
        applyInputMode(Ain::Discrete);
}

void EditorAinConfig::onRtdWireCountChanged(int index)
{
    applyInputMode(index == 0 ? Ain::Rtd : Ain::Rtd3Wire);
}

void EditorAinConfig::on_comboBoxType_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    const int id = ui->comboBoxType->itemData(index).toInt();
    const SensorBlock sensor = sensorParameters(id);
    applyToPairs([id, sensor](AbstractConfig& c) {
        c.ain.tsType = id;
        c.ain.sensors[0] = sensor;
    });
}

void EditorAinConfig::onAinModeChanged(int index)
{
    const qint32 pollAin = index == 0 ? 1 : 2;
    applyToPairs([pollAin](AbstractConfig& c) { c.ain.pollAin = pollAin; });
}

void EditorAinConfig::on_spinBoxImpulse_valueChanged(int value)
{
    const quint16 steps = filterSteps(value, filterStep);
    emit change(edited(selection, [steps](AbstractConfig& c) { c.ain.onePole = qint16(steps); }));
}

void EditorAinConfig::onAinFreezingOnOff(int index)
{
    if (index == -1 || selection.isEmpty() || !selection.first())
        return;
    const IoResource::Ptr_t input = selection.first();
    const quint8 flag = index == 0 ? 1 : 0;
    ResourceValues_t map = controlled({input}, [flag](AbstractValue& v) { v.ain.freeze = flag; });
    // Only one input is frozen at a time: freezing another releases the one before.
    if (frozen && frozen->id() != input->id()) {
        AbstractValue released;
        released.kind = ResourceKind::Block;
        frozen->exportValue(released);
        released.ain.freeze = 0;
        map.insert(frozen, released);
    }
    frozen = flag == 1 ? input : IoResource::Ptr_t();
    emit control(map);
}
