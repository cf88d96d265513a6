#include "communication/serialportinfo.h"

#include <QSerialPortInfo>

SerialPortInfo::SerialPortInfo(const QSerialPortInfo& info)
    : m_portName(info.portName())
    , m_description(info.description())
    , m_serialNumber(info.serialNumber())
    , m_vendorId(info.hasVendorIdentifier() ? info.vendorIdentifier() : 0)
    , m_productId(info.hasProductIdentifier() ? info.productIdentifier() : 0)
{
}

SerialPortInfo::SerialPortInfo(const QString& portName, const QString& description,
                               const QString& serialNumber, quint16 vendorId, quint16 productId)
    : m_portName(portName)
    , m_description(description)
    , m_serialNumber(serialNumber)
    , m_vendorId(vendorId)
    , m_productId(productId)
{
}

SerialPortInfo::~SerialPortInfo() = default;

SerialPortInfo SerialPortInfo::fromPath(const QString& path)
{
    return SerialPortInfo(path, QString(), QString());
}

QString SerialPortInfo::identity() const
{
    return m_description + m_portName + m_serialNumber;
}

uint qHash(const SerialPortInfo& port, uint seed)
{
    return qHash(port.identity(), seed) ^ 0xA03Fu;
}
