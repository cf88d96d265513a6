#include "communication/portenumerator.h"

#include "communication/modbusdevice.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSet>

namespace {

// Two names of one device (a system name and a path, or a link and its target) would open the
// same tty twice.
QString deviceOf(const QString& portName)
{
    const QString path = ModbusDevice::devicePath(portName);
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

} // namespace

QList<SerialPortInfo> PortEnumerator::systemPorts()
{
    QList<SerialPortInfo> ports;
    // The test suites talk to simulated controllers only; the machine's own ports stay untouched.
    if (qEnvironmentVariable(SystemPortsVariable) == QLatin1String("0"))
        return ports;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : available)
        ports.append(SerialPortInfo(info));
    return ports;
}

QList<SerialPortInfo> PortEnumerator::extraPorts()
{
    QList<SerialPortInfo> ports;
    const QString value = qEnvironmentVariable(ExtraPortsVariable);
    const auto paths = value.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& entry : paths) {
        const QString path = entry.trimmed();
        // A pulled device takes its node (and a pty its /dev/pts entry) with it: like an
        // unplugged tty it is no longer listed, and a link to it dangles.
        if (!path.isEmpty() && QFileInfo::exists(ModbusDevice::devicePath(path)))
            ports.append(SerialPortInfo::fromPath(path));
    }
    return ports;
}

QList<SerialPortInfo> PortEnumerator::currentPorts(const Source_t& system)
{
    QList<SerialPortInfo> ports = system ? system() : QList<SerialPortInfo>();
    QSet<QString> devices;
    for (const SerialPortInfo& port : qAsConst(ports))
        devices.insert(deviceOf(port.portName()));
    const auto extra = extraPorts();
    for (const SerialPortInfo& port : extra) {
        if (port.isNull())
            continue;
        const QString device = deviceOf(port.portName());
        if (devices.contains(device))
            continue;
        devices.insert(device);
        ports.append(port);
    }
    return ports;
}
