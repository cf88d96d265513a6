#pragma once

#include "resourceconfigurator/editor.h"

namespace Ui {
class EditorDout;
}

// Edits the safe state of the selected discrete outputs and, while monitoring, switches them on
// or off. Outputs that disagree show no visible safe-state button checked. While controlling, the
// switch follows what the controller reports with every reading, so a switching the controller
// refused goes back to the output's real state.
class EditorDout : public Editor
{
    Q_OBJECT

public:
    explicit EditorDout(QWidget* parent = nullptr);
    ~EditorDout() override;

    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setControlling(bool on) override;
    void showLiveValues() override;

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_radioButtonClose_toggled(bool checked);
    void on_radioButtonOpen_toggled(bool checked);
    void on_switchIndexChanged(int index);

private:
    void fetchOpenColoseState(bool closed);
    void setSwitchItems();
    void showLiveState();

    Ui::EditorDout* ui;
    QList<IoResource::Ptr_t> m_resources;
};
