#include "model/resource.h"

#include <QCoreApplication>

#include <algorithm>

Resource::Resource(const NodeId_t& id)
    : m_id(id)
{
}

Resource::~Resource() = default;

bool Resource::isValid() const
{
    return m_valid;
}

bool Resource::hasBlockToRead() const
{
    return false;
}

void Resource::endRead() {}

const ProtoEntry& Resource::registers() const
{
    return m_registers;
}

void Resource::setRegisters(const ProtoEntry& entry)
{
    m_registers = entry;
}

bool Resource::decodeValue(int, const QByteArray&)
{
    return false;
}

void Resource::encodeValue(int, QByteArray*) const {}

QList<int> Resource::rolesA() const
{
    return {ValueRole::None};
}

QList<int> Resource::rolesB() const
{
    return {ValueRole::None};
}

QList<int> Resource::rolesC() const
{
    return {ValueRole::None};
}

void Resource::setRole(int role, const ProtoEntry& entry)
{
    auto* at = std::lower_bound(m_roles.begin(), m_roles.end(), role,
                                [](const QPair<int, ProtoEntry>& e, int r) { return e.first < r; });
    if (at != m_roles.end() && at->first == role)
        at->second = entry;
    else
        m_roles.insert(at, qMakePair(role, entry));
}

ProtoEntry Resource::role(int role) const
{
    for (const QPair<int, ProtoEntry>& e : m_roles) {
        if (e.first == role)
            return e.second;
    }
    return ProtoEntry();
}

QSharedPointer<Resource> Resource::scratchReader() const
{
    return {};
}

QString Resource::roleWord(int role)
{
    switch (role) {
    case ValueRole::AinValue: return QStringLiteral("ain");
    case ValueRole::AinRaw: return QStringLiteral("ain-raw");
    case ValueRole::RtdFreeze: return QStringLiteral("rtd-frz");
    case ValueRole::AoutValue: return QStringLiteral("aout");
    case ValueRole::AoutOverride: return QStringLiteral("aout-over");
    case ValueRole::DinState: return QStringLiteral("din");
    case ValueRole::DinCounter: return QStringLiteral("din-cntr");
    case ValueRole::DinFrequency: return QStringLiteral("din-freq");
    case ValueRole::CounterReset: return QStringLiteral("cntr-rst");
    case ValueRole::CounterAck: return QStringLiteral("cntr-ack");
    case ValueRole::DoutState: return QStringLiteral("dout");
    case ValueRole::DoutOverride: return QStringLiteral("dout-over");
    default: return QCoreApplication::translate("Resource", "cant parse role");
    }
}

const ProtoEntry& Resource::noEntry()
{
    static const ProtoEntry entry;
    return entry;
}
