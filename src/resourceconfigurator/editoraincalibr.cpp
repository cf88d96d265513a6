#include "resourceconfigurator/editoraincalibr.h"

#include "model/ain.h"
#include "resourceconfigurator/currentvoltage.h"
#include "resourceconfigurator/ntccalibr.h"
#include "resourceconfigurator/rtdcalibr.h"
#include "ui_editoraincalibr.h"
#include "widgets/stylesource.h"

#include <QEvent>
#include <QSignalBlocker>

namespace {

// The panel key of an input mode; 0 for a mode without calibration.
int panelKeyOf(qint32 range)
{
    switch (range) {
    case Ain::Voltage: return 2;
    case Ain::Current: return 1;
    case Ain::Rtd:
    case Ain::Rtd3Wire: return 3;
    case Ain::Ntc: return 4;
    default: return 0;
    }
}

// The panel every input of the selection takes; 0 when they take different ones or none. The
// page shows one input mode's table or none: a table chosen from one input would show that
// input's cells to the others and write its fields into them.
int sharedPanelKey(const QList<IoResource::Ptr_t>& selection)
{
    int shared = 0;
    for (const IoResource::Ptr_t& input : selection) {
        if (input->kind() != ResourceKind::Ain)
            return 0;
        AbstractConfig config;
        input->exportConfig(config);
        const int key = panelKeyOf(config.ain.range);
        if (key == 0 || (shared != 0 && key != shared))
            return 0;
        shared = key;
    }
    return shared;
}

} // namespace

EditorAinCalibr::EditorAinCalibr(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorAinCalibr)
{
    ui->setupUi(this);
    boxes = {{QStringLiteral("00"), ui->f00}, {QStringLiteral("01"), ui->f01},
             {QStringLiteral("10"), ui->f10}, {QStringLiteral("11"), ui->f11},
             {QStringLiteral("20"), ui->f20}};
    for (auto it = boxes.cbegin(); it != boxes.cend(); ++it) {
        const QString cell = it.key();
        connect(*it, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, cell](double value) { onCellChanged(cell, value); });
        applyDoubleSpinBoxStyle(*it);
    }
    columnLabels = {ui->col0, ui->col1};
    rowLabels = {ui->row0, ui->row1, ui->row2};
    connect(ui->manual, &QCheckBox::toggled, this, &EditorAinCalibr::onManualToggled);

    panels[1] = std::make_unique<CurrentVoltage>(1, 4.0, 20.0);
    panels[2] = std::make_unique<CurrentVoltage>(2, 0.0, 10000.0);
    panels[3] = std::make_unique<RtdCalibr>();
    panels[4] = std::make_unique<NtcCalibr>();
    for (auto& panel : panels)
        panel.second->retranslate();

    applyCheckBoxStyle(ui->manual);
    applyEditorTitleStyle(ui->type, palette());
    for (QLabel* label : columnLabels + rowLabels)
        applyCalibrLabelStyle(label, palette());
}

EditorAinCalibr::~EditorAinCalibr()
{
    delete ui;
}

void EditorAinCalibr::installShortcutFilter(QObject* filter)
{
    if (!filter)
        return;
    for (QDoubleSpinBox* box : qAsConst(boxes))
        box->installEventFilter(filter);
}

void EditorAinCalibr::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        for (auto& panel : panels)
            panel.second->retranslate();
        showPanel(current);
    }
    Editor::changeEvent(event);
}

void EditorAinCalibr::setResources(QList<IoResource::Ptr_t> resources)
{
    const Refill refill(this, resources);
    // Every selection replaces the last one, those without a common table too: the page must
    // neither show an earlier selection's values nor write into its inputs.
    selection = resources;
    const auto found = panels.find(sharedPanelKey(selection));
    BaseClibrationUI* panel = found == panels.end() ? nullptr : found->second.get();
    if (panel != current || !panel) {
        current = panel;
        showPanel(panel);
    }
    if (!panel)
        return;
    panel->loadCells(selection);
    panel->setManual(ui->manual->isChecked());
    refreshGrid();
}

void EditorAinCalibr::showPanel(BaseClibrationUI* panel)
{
    ui->type->setText(panel ? panel->title() : QString());
    ui->manual->setVisible(panel && panel->isManualAllowed());
    for (int i = 0; i < columnLabels.size(); ++i)
        columnLabels.at(i)->setText(panel ? panel->columnTitles().value(i) : QString());
    for (int i = 0; i < rowLabels.size(); ++i)
        rowLabels.at(i)->setText(panel ? panel->rowTitles().value(i) : QString());
    // Without a table no field means anything; the next table's cells show their own again.
    if (!panel) {
        for (QDoubleSpinBox* box : qAsConst(boxes))
            box->hide();
    }
}

void EditorAinCalibr::refreshGrid()
{
    if (!current)
        return;
    const QSignalBlocker blocker(this);
    const BaseClibrationUI::Cells_t& cells = current->cells();
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        DecimalSpinBox* box = boxes.value(it.key());
        if (!box)
            continue;
        box->setEnabled(!it->readOnly);
        box->setVisible(!it->hidden);
        box->setDecimals(it->decimals);
        box->setSuffix(it->unit.isEmpty() ? QString() : QLatin1Char(' ') + it->unit);
        // The blank sits one below the real minimum: any valid value typed into the blank
        // differs from it at every number of decimals, so it is taken as an edit.
        if (it->mixed)
            setSpinBoxMixed(box, it->minimum - 1.0);
        else
            setSpinBoxRange(box, it->value, it->minimum, it->maximum);
    }
}

void EditorAinCalibr::onCellChanged(const QString& cell, double value)
{
    if (!current)
        return;
    BaseClibrationUI* panel = current;
    emit change(edited(selection, [panel, cell, value](AbstractConfig& c) {
        panel->setCell(cell, value, c);
    }));
}

void EditorAinCalibr::onManualToggled(bool on)
{
    if (!current)
        return;
    current->setManual(on);
    refreshGrid();
}
