#pragma once

#include <QHashFunctions>
#include <QString>

class QSerialPortInfo;

// One serial port as the scan sees it. Ports the system enumerates carry what the enumeration
// reports; a port named by its path alone (a pseudo-terminal, a link to one) carries only that
// path as its name. Both are treated alike from here on.
class SerialPortInfo
{
public:
    SerialPortInfo() = default;
    explicit SerialPortInfo(const QSerialPortInfo& info);
    SerialPortInfo(const QString& portName, const QString& description,
                   const QString& serialNumber, quint16 vendorId = 0, quint16 productId = 0);
    virtual ~SerialPortInfo();
    SerialPortInfo(const SerialPortInfo&) = default;
    SerialPortInfo& operator=(const SerialPortInfo&) = default;

    // A port known only by its device path.
    static SerialPortInfo fromPath(const QString& path);

    // The name the link opens: a system name ("ttyACM0", "COM3") or an absolute path.
    QString portName() const { return m_portName; }
    QString description() const { return m_description; }
    QString serialNumber() const { return m_serialNumber; }
    quint16 vendorIdentifier() const { return m_vendorId; }
    quint16 productIdentifier() const { return m_productId; }
    bool isNull() const { return m_portName.isEmpty(); }

    // Description, name and serial number without separator: a port whose description or serial
    // number changes is another port.
    QString identity() const;

    bool operator==(const SerialPortInfo& other) const { return identity() == other.identity(); }
    bool operator!=(const SerialPortInfo& other) const { return !(*this == other); }

private:
    QString m_portName;
    QString m_description;
    QString m_serialNumber;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
};

uint qHash(const SerialPortInfo& port, uint seed = 0);
