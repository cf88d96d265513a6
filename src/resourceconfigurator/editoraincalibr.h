#pragma once

#include "resourceconfigurator/editor.h"

#include <QMap>

#include <memory>

class BaseClibrationUI;
class QCheckBox;
class DecimalSpinBox;
class QDoubleSpinBox;
class QLabel;
namespace Ui {
class EditorAinCalibr;
}

// The calibration page of the analogue-input editor: a small grid of number fields whose meaning
// the panel of the selected inputs' mode gives (input and output range, sensor parameters).
class EditorAinCalibr : public Editor
{
    Q_OBJECT

public:
    explicit EditorAinCalibr(QWidget* parent = nullptr);
    ~EditorAinCalibr() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;

    const BaseClibrationUI* currentPanel() const { return current; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showPanel(BaseClibrationUI* panel);
    void refreshGrid();
    void onCellChanged(const QString& cell, double value);
    void onManualToggled(bool on);

    Ui::EditorAinCalibr* ui;
    BaseClibrationUI* current = nullptr;
    std::map<int, std::unique_ptr<BaseClibrationUI>> panels;
    QMap<QString, DecimalSpinBox*> boxes;
    QList<QLabel*> columnLabels;
    QList<QLabel*> rowLabels;
    QList<IoResource::Ptr_t> selection;
};
