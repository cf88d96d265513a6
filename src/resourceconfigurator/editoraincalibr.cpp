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
    if (resources.isEmpty() || resources.first()->kind() != ResourceKind::Ain)
        return;
    AbstractConfig first;
    resources.first()->exportConfig(first);
    const auto found = panels.find(panelKeyOf(first.ain.range));
    if (found == panels.end())
        return;
    BaseClibrationUI* panel = found->second.get();
    if (panel != current) {
        showPanel(panel);
        current = panel;
    }
    selection = resources;
    panel->loadCells(selection);
    panel->setManual(ui->manual->isChecked());
    refreshGrid();
}

void EditorAinCalibr::showPanel(BaseClibrationUI* panel)
{
    if (!panel)
        return;
    ui->type->setText(panel->title());
    ui->manual->setVisible(panel->isManualAllowed());
    for (int i = 0; i < columnLabels.size(); ++i)
        columnLabels.at(i)->setText(panel->columnTitles().value(i));
    for (int i = 0; i < rowLabels.size(); ++i)
        rowLabels.at(i)->setText(panel->rowTitles().value(i));
}

void EditorAinCalibr::refreshGrid()
{
    if (!current)
        return;
    const QSignalBlocker blocker(this);
    const BaseClibrationUI::Cells_t& cells = current->cells();
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        QDoubleSpinBox* box = boxes.value(it.key());
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
