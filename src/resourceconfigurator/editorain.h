#pragma once

#include "resourceconfigurator/editor.h"

class EditorAinCalibr;
class EditorAinConfig;
class TabBarNoWheel;
namespace Ui {
class EditorAin;
}

// The analogue-input editor: a tab bar over the settings page and the calibration page. It
// decides whether the selection can be calibrated and passes its pages' edits on as its own.
class EditorAin : public Editor
{
    Q_OBJECT

public:
    explicit EditorAin(QWidget* parent = nullptr);
    ~EditorAin() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setControlling(bool controlling) override;

    // Calibration needs one input mode other than discrete and, for sensors, one chosen sensor.
    static bool calibrationAvailable(const QList<IoResource::Ptr_t>& resources);

    TabBarNoWheel* tabBar() const { return tabs; }
    EditorAinConfig* configPage() const { return config; }
    EditorAinCalibr* calibrationPage() const { return calibr; }
    QWidget* currentPage() const;

    static constexpr int settingsIndex = 0;
    static constexpr int calibrationIndex = 1;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void onTabChanged(int index);

    Ui::EditorAin* ui;
    TabBarNoWheel* tabs;
    EditorAinConfig* config;
    EditorAinCalibr* calibr;
};
