#pragma once

#include "resourceconfigurator/editor.h"

#include <QTimer>

namespace Ui {
class EditorDout;
}

// Edits the safe state of the selected discrete outputs and, while monitoring, switches them on
// or off. Outputs that disagree show no visible safe-state button checked. While controlling, the
// switch follows what the controller reports, so a switching the controller refused goes back to
// the output's real state with the next reading.
class EditorDout : public Editor
{
    Q_OBJECT

public:
    // How often the switch looks again at the outputs' reported state.
    static constexpr int LiveStateRefreshMs = 250;

    explicit EditorDout(QWidget* parent = nullptr);
    ~EditorDout() override;

    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setControlling(bool on) override;

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
    // The monitoring loop updates the outputs in place, on this thread, without telling editors.
    QTimer m_liveRefresh;
};
