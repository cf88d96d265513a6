#pragma once

#include "resourceconfigurator/editor.h"

#include <functional>

namespace Ui {
class EditorSerialPort;
}
class TabBarNoWheel;

// Edits a controller's serial ports, one at a time behind the "COM1"/"COM2" tabs: baud rate,
// parity, stop bits, response delay, protocol and (second port only) the slave address. The
// delay before the safe state belongs to the controller, so it is kept in the first port and
// written into every port.
class EditorSerialPort : public Editor
{
    Q_OBJECT

public:
    explicit EditorSerialPort(QWidget* parent = nullptr);
    ~EditorSerialPort() override;

    void installShortcutFilter(QObject* filter) override;
    void setResources(QList<IoResource::Ptr_t> ports) override;
    void setPortsVisible(bool show);
    void setCurrentPort(const IoResource::Ptr_t& port);
    IoResource::Ptr_t currentPort() const { return m_current; }
    TabBarNoWheel* portTabs() const { return m_portTabs; }

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_comboBoxBaudRate_currentIndexChanged(const QString& text);
    void on_radioButtonStopBitOne_toggled(bool checked);
    void on_radioButtonStopBitTwo_toggled(bool checked);
    void on_radioButtonParityNone_toggled(bool checked);
    void on_radioButtonParityOdd_toggled(bool checked);
    void on_radioButtonParityEven_toggled(bool checked);
    void on_comboBoxProtocol_currentIndexChanged(const QString& text);
    void on_spinBoxResponseDelay_valueChanged(int value);
    void on_spinBoxAddress_valueChanged(int value);
    void on_spinBoxSafeMode_valueChanged(int value);

private:
    // Connected to the tab bar by the constructor; not a slot, so that connecting the form's
    // slots by name does not look for a widget of this name.
    void on_portSelector_currentIndexChanged(int index);
    using PortSetter_t = std::function<void(SerialPortConfig&)>;

    void applyStyles();
    void setUpPortTabs();
    void showPort(int index);
    void showSafeTime();
    void editCurrent(const PortSetter_t& setter);

    Ui::EditorSerialPort* ui;
    QList<IoResource::Ptr_t> m_ports;
    IoResource::Ptr_t m_current;
    TabBarNoWheel* m_portTabs;
};
