#pragma once

#include "resourceconfigurator/editor.h"

#include <QString>

namespace Ui {
class EditorDin;
}
class QCheckBox;

// Edits the selected discrete inputs: the counting-input filter and its window (with the pulse
// length and pass frequency the window gives), AC enable and the device-wide polling switches;
// while monitoring it resets the input counters.
class EditorDin : public Editor
{
    Q_OBJECT

public:
    // The window the device accepts, in steps of 500 µs: 0.5 ms to 10 s.
    static constexpr int WindowMin = 1;
    static constexpr int WindowMax = 20000;
    // The pulse length the hardware filter alone lets through, in µs.
    static constexpr double HardwarePulse = 25.0;

    explicit EditorDin(QWidget* parent = nullptr);
    ~EditorDin() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setDevices(QList<Device::Ptr_t> devices) override;
    void setControlling(bool on) override;

    // A number with one decimal and its unit.
    struct Reading
    {
        QString number;
        QString unit;
    };
    static Reading formatPulseLength(double microseconds);
    static Reading formatPassFrequency(double hertz);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_checkBoxAcEnable_stateChanged(int state);
    void on_spinBoxFilterWindow_valueChanged(int value);
    void on_checkBoxFilter_stateChanged(int state);
    void on_pushButtonReset_pressed();
    void on_pushButtonReset_released();
    void on_checkBoxContrPool_stateChanged(int state);
    void on_checkBoxFreqPool_stateChanged(int state);

private:
    void applyStyles();
    void fill();
    void fillFilter(const AbstractConfig& reference, bool anySlow, bool anyOther, bool filterAgree,
                    bool windowAgree);
    void showFilterSection(bool visible);
    void showWindowWidgets(bool filterOn);
    void keepFormNotes();
    void showPulseValues(bool shown);
    void showPulseLength(double microseconds);
    void showPulsesDiffer();
    void editConfig(const ConfigSetter_t& setter);
    void sendReset(bool pressed);
    static void showCheck(QCheckBox* box, bool agree, bool checked);

    Ui::EditorDin* ui;
    QList<IoResource::Ptr_t> m_resources;
    QList<Device::Ptr_t> m_devices;
    int m_frameTop = 0;
    // The form's own texts of the notes that a differing selection replaces.
    QString m_pulseNote;
    QString m_hardwareNote;
};
