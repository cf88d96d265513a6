#include "resourceconfigurator/editorserialport.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "ui_editorserialport.h"
#include "widgets/stylesource.h"
#include "widgets/tabbarnowheel.h"

#include <QEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

const QColor panelColour(0x38, 0x3b, 0x3f);
const QColor portsColour(0x2b, 0x2d, 0x30);

} // namespace

EditorSerialPort::EditorSerialPort(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorSerialPort)
    , m_portTabs(new TabBarNoWheel(this))
{
    m_portTabs->setDocumentMode(true);
    ui->setupUi(this);
    ui->radioButtonStopBitHidden->hide();
    ui->radioButtonParityHidden->hide();
    // The device keeps the response delay in 16 bits: a larger entry would reach it wrapped.
    ui->spinBoxResponseDelay->setMaximum(std::numeric_limits<quint16>::max());
    applyStyles();
    setUpPortTabs();
    ui->widgetWithPortSelector->setAutoFillBackground(true);
    setAutoFillBackground(true);
}

EditorSerialPort::~EditorSerialPort()
{
    delete ui;
}

void EditorSerialPort::applyStyles()
{
    applyPanelHeaderStyle(ui->widgetWithUi);
    setWidgetBackground(this, panelColour);
    applyPanelHeaderStyle(ui->widgetWithPortSelector);
    for (QWidget* w : std::vector<QWidget*>{ui->labelBaudRate, ui->parityBox, ui->stopBitBox,
                                            ui->labelProtocol, ui->labelResponseDelay,
                                            ui->labelAddress})
        applyPanelTitlesStyle(w);
    applyPanelTitlesSmallStyle(ui->labelSafeModeDesc);
    applyPanelTitlesSmallStyle(ui->labelNoPorts);
    applyPanelUnitStyle(ui->labelResponseDelayMeasure);
    applyPanelUnitStyle(ui->labelSafeModeEu);
    for (RadioButton* b : {ui->radioButtonParityEven, ui->radioButtonParityHidden,
                           ui->radioButtonParityNone, ui->radioButtonParityOdd,
                           ui->radioButtonStopBitOne, ui->radioButtonStopBitTwo})
        applyRadioButtonStyle(b);
    for (QSpinBox* box : {ui->spinBoxResponseDelay, ui->spinBoxAddress, ui->spinBoxSafeMode})
        applySpinBoxStyle(box);
    applyComboBoxStyle(ui->comboBoxBaudRate);
    applyComboBoxStyle(ui->comboBoxProtocol);
    applyUnitTextStyle(ui->labelResponseDelayMeasure);
}

void EditorSerialPort::setUpPortTabs()
{
    applyEditorTabStyle(m_portTabs, panelColour, portsColour, 25);
    m_portTabs->addTab(QStringLiteral("COM1"));
    m_portTabs->addTab(QStringLiteral("COM2"));
    m_portTabs->hide();
    ui->widgetWithPortSelector->layout()->addWidget(m_portTabs);
    connect(m_portTabs, &QTabBar::currentChanged, this,
            &EditorSerialPort::on_portSelector_currentIndexChanged);
}

void EditorSerialPort::setPortsVisible(bool show)
{
    const bool visible = show && BrandRules::showsPorts();
    ui->internalVisibilitiWidget->setVisible(visible);
    ui->widgetWithPortSelector->setVisible(visible);
    m_portTabs->setVisible(visible);
    // Without it the panel would be an empty box that says nothing.
    ui->labelNoPorts->setVisible(!visible);
    setWidgetBackground(this, visible ? portsColour : panelColour);
}

void EditorSerialPort::setCurrentPort(const IoResource::Ptr_t& port)
{
    if (port)
        m_current = port;
}

void EditorSerialPort::installShortcutFilter(QObject* filter)
{
    if (!filter)
        return;
    for (QSpinBox* box : {ui->spinBoxResponseDelay, ui->spinBoxAddress, ui->spinBoxSafeMode})
        box->installEventFilter(filter);
}

void EditorSerialPort::setResources(QList<IoResource::Ptr_t> ports)
{
    if (ports.isEmpty()) {
        // The ports of a system that is gone must not take the next safe-time edit.
        m_ports.clear();
        m_current.reset();
        return;
    }
    m_ports = ports;
    // A tab without a port behind it cannot be chosen: it would name a port that is not edited.
    for (int i = 0; i < m_portTabs->count(); ++i)
        m_portTabs->setTabEnabled(i, i < m_ports.size());
    const int index = m_current ? int(m_ports.indexOf(m_current)) : -1;
    if (index < 0)
        m_current.reset();
    showPort(qMax(index, 0));
}

void EditorSerialPort::showPort(int index)
{
    if (!m_ports.value(index)) {
        m_current.reset();
        return;
    }
    // The safe time shown is the first port's, whichever port is.
    const Refill refill(this, {m_ports.value(index), m_ports.first()});
    // The entry ended above may have come back as a new list of ports.
    m_current = m_ports.value(index);
    if (!m_current)
        return;
    const QSignalBlocker blocker(this);
    const QSignalBlocker tabBlocker(m_portTabs);
    AbstractConfig config;
    m_current->exportConfig(config);
    const SerialPortConfig& c = config.port;
    showChoice(ui->comboBoxBaudRate, ui->comboBoxBaudRate->findText(QString::number(c.baud)));
    (c.sbits == 1   ? ui->radioButtonStopBitOne
     : c.sbits == 2 ? ui->radioButtonStopBitTwo
                    : ui->radioButtonStopBitHidden)
        ->setChecked(true);
    (c.parity == 0   ? ui->radioButtonParityNone
     : c.parity == 1 ? ui->radioButtonParityOdd
     : c.parity == 2 ? ui->radioButtonParityEven
                     : ui->radioButtonParityHidden)
        ->setChecked(true);
    showChoice(ui->comboBoxProtocol, c.mode);
    setSpinBoxRange(ui->spinBoxResponseDelay, c.delay, 0, 0);
    setSpinBoxRange(ui->spinBoxAddress, c.address, 0, 0);
    m_portTabs->setCurrentIndex(index);
    // Only the second port answers as a slave; the first is the controller's own.
    ui->labelAddress->setVisible(index > 0);
    ui->spinBoxAddress->setVisible(index > 0);
    showSafeTime();
}

void EditorSerialPort::showSafeTime()
{
    // The one box writes every port: it shows a value only when they all hold it, or the value
    // typed there would not reach a port that holds another one (the box would see no change).
    const auto safeTime = [](const IoResource::Ptr_t& port) {
        AbstractConfig c;
        port->exportConfig(c);
        return c.port.safeTime;
    };
    const quint32 first = safeTime(m_ports.first());
    if (std::all_of(m_ports.cbegin(), m_ports.cend(), [&](const IoResource::Ptr_t& port) {
            return !port || safeTime(port) == first;
        })) {
        setSpinBoxRange(ui->spinBoxSafeMode, first, 0, 0);
        return;
    }
    // One step below the range: a step up from the blank gives 0, not a value between the steps.
    setSpinBoxMixed(ui->spinBoxSafeMode, -ui->spinBoxSafeMode->singleStep());
}

void EditorSerialPort::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // Retranslating refills the combo boxes; that refill is not the user's choice.
        const QSignalBlocker blocker(this);
        const QSignalBlocker baudBlocker(ui->comboBoxBaudRate);
        const QSignalBlocker protocolBlocker(ui->comboBoxProtocol);
        ui->retranslateUi(this);
        if (m_current)
            showPort(int(m_ports.indexOf(m_current)));
    }
    Editor::changeEvent(event);
}

void EditorSerialPort::editCurrent(const PortSetter_t& setter)
{
    if (!m_current)
        return;
    emit change(edited({m_current}, [&setter](AbstractConfig& c) { setter(c.port); }));
}

void EditorSerialPort::on_portSelector_currentIndexChanged(int index)
{
    if (index < 0 || index >= m_ports.size() || !m_ports.at(index)) {
        // The tab bar goes back to the port that is still edited.
        const QSignalBlocker tabBlocker(m_portTabs);
        m_portTabs->setCurrentIndex(qMax(0, int(m_ports.indexOf(m_current))));
        return;
    }
    showPort(index);
}

void EditorSerialPort::on_comboBoxBaudRate_currentIndexChanged(const QString& text)
{
    const quint32 baud = text.toUInt();
    editCurrent([baud](SerialPortConfig& c) { c.baud = baud; });
}

void EditorSerialPort::on_radioButtonStopBitOne_toggled(bool checked)
{
    if (checked)
        editCurrent([](SerialPortConfig& c) { c.sbits = 1; });
}

void EditorSerialPort::on_radioButtonStopBitTwo_toggled(bool checked)
{
    if (checked)
        editCurrent([](SerialPortConfig& c) { c.sbits = 2; });
}

void EditorSerialPort::on_radioButtonParityNone_toggled(bool checked)
{
    if (checked)
        editCurrent([](SerialPortConfig& c) { c.parity = 0; });
}

void EditorSerialPort::on_radioButtonParityOdd_toggled(bool checked)
{
    if (checked)
        editCurrent([](SerialPortConfig& c) { c.parity = 1; });
}

void EditorSerialPort::on_radioButtonParityEven_toggled(bool checked)
{
    if (checked)
        editCurrent([](SerialPortConfig& c) { c.parity = 2; });
}

void EditorSerialPort::on_comboBoxProtocol_currentIndexChanged(const QString& text)
{
    const quint8 mode = text == QLatin1String("RTU") ? 0 : 1;
    editCurrent([mode](SerialPortConfig& c) { c.mode = mode; });
}

void EditorSerialPort::on_spinBoxResponseDelay_valueChanged(int value)
{
    const quint16 delay = quint16(qBound(0, value, int(std::numeric_limits<quint16>::max())));
    editCurrent([delay](SerialPortConfig& c) { c.delay = delay; });
}

void EditorSerialPort::on_spinBoxAddress_valueChanged(int value)
{
    const quint8 address = quint8(qBound(0, value, 255));
    editCurrent([address](SerialPortConfig& c) { c.address = address; });
}

void EditorSerialPort::on_spinBoxSafeMode_valueChanged(int value)
{
    if (m_ports.isEmpty() || !m_ports.first())
        return;
    QList<IoResource::Ptr_t> ports;
    for (const IoResource::Ptr_t& p : qAsConst(m_ports)) {
        if (p)
            ports.append(p);
    }
    const quint32 safeTime = quint32(qMax(0, value));
    emit change(edited(ports, [safeTime](AbstractConfig& c) { c.port.safeTime = safeTime; }));
}
