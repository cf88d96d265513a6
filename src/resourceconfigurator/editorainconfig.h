#pragma once

#include "resourceconfigurator/editor.h"

#include <QMap>

class RadioButton;
class QRadioButton;
namespace Ui {
class EditorAinConfig;
}

// The settings page of the analogue-input editor: input mode, sensor, wiring, filter time, value
// mode and, while monitoring, freezing of a single RTD input. Settings the selected inputs
// disagree on show blank.
class EditorAinConfig : public Editor
{
    Q_OBJECT

public:
    explicit EditorAinConfig(QWidget* parent = nullptr);
    ~EditorAinConfig() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setControlling(bool on) override;

    // The quantity and unit an input of this record shows.
    static QString unitText(const AinConfig& config);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_radioButtonRtd_toggled(bool checked);
    void on_radioButtonNtc_toggled(bool checked);
    void on_radioButton010_toggled(bool checked);
    void on_radioButton420_toggled(bool checked);
    void on_radioButtonDIN_toggled(bool checked);
    void on_comboBoxType_currentIndexChanged(int index);
    void onRtdWireCountChanged(int index);
    void on_spinBoxImpulse_valueChanged(int value);
    void onAinFreezingOnOff(int index);
    void onAinModeChanged(int index);

private:
    RadioButton* makeModeButton(const char* name, const QString& text, const QRect& geometry);
    void applyStyles();
    void retranslate();
    bool sameModeClass(const AinConfig& shown) const;
    bool allSame(const std::function<bool(const AinConfig&, const AinConfig&)>& equal) const;
    void applyInputMode(qint32 mode);
    void fillSensorCombo(qint32 mode);
    // Edits that a coupled pair takes together.
    void applyToPairs(const ConfigSetter_t& setter);
    void showModeButtons(const AinConfig& shown);
    void showSwitches(const AinConfig& shown);
    void showFilterTime(const AinConfig& shown);
    void showWiring(const AinConfig& shown);
    void showVisibility(const AinConfig& shown);

    // Made before the form so that the form connects their slots by name.
    RadioButton* radioButtonRtd;
    RadioButton* radioButtonNtc;
    RadioButton* radioButton010;
    RadioButton* radioButton420;
    RadioButton* radioButtonDIN;
    Ui::EditorAinConfig* ui;
    QList<IoResource::Ptr_t> selection;
    int filterStep = 120;
    AinConfig shownRecord;
    QMap<int, int> sensorIndex;
    IoResource::Ptr_t frozen;
};
