#pragma once

#include "resourceconfigurator/editor.h"

namespace Ui {
class EditorAout;
}

// Edits the safe-state voltage of the selected analogue outputs and, while monitoring, sets their
// output voltage with a spin box or a slider (one slider step is 0.1 V).
class EditorAout : public Editor
{
    Q_OBJECT

public:
    explicit EditorAout(QWidget* parent = nullptr);
    ~EditorAout() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setControlling(bool on) override;

    // Volts as the spin boxes show them to the millivolts the device stores, rounded so that
    // a value typed with one decimal never loses a millivolt to binary fractions.
    static quint16 toMillivolts(double volts);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void onSaveMode(double volts);
    void onControlSpin(double volts);
    void onControlSlider(int position);
    void onControlSliderMoved(int position);

private:
    void showPresentValue();
    void showControlMixed();
    void sendControl(quint16 millivolts);

    Ui::EditorAout* ui;
    QList<IoResource::Ptr_t> m_resources;
};
