#pragma once

#include <QDialog>

class InfoWidget;
class QLabel;
class QPushButton;
class UpgradeManager;

// The firmware upgrade dialog: the controller connected now, or a line saying that none is, and
// a Close button. The program carries no firmware packages and starts no flashing tool, so the
// dialog only shows what an upgrade would start from.
class UpgradeFirmwareDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpgradeFirmwareDialog(QWidget* parent = nullptr);

    // The engineering menu's endless-upgrade switch; it marks the title.
    void setDebugPerpetualUpgrade(bool on);
    bool debugPerpetualUpgrade() const { return m_perpetual; }
    UpgradeManager* manager() const { return m_manager; }

    // The translated title, with "[Perpetual]" right after it when the switch is on.
    static QString titleText(bool perpetual);

    InfoWidget* details() const { return m_details; }
    QLabel* noControllerLabel() const { return m_noController; }
    QPushButton* closeButton() const { return m_close; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showSystem();

    UpgradeManager* m_manager;
    InfoWidget* m_details;
    QLabel* m_noController;
    QPushButton* m_close;
    bool m_perpetual = false;
};
