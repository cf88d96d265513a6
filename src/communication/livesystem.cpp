#include "communication/livesystem.h"

#include "catalogue/settingsprovider.h"
#include "model/resourcekind.h"

#include <QDebug>

#include <atomic>

namespace {

// Ids of live systems carry this byte so they never look like a channel's id.
constexpr uchar LiveSystemMark = 3;

} // namespace

LiveSystem::LiveSystem(QObject* parent)
    : QObject(parent)
    , m_id(nextId())
    , m_cpu(new KorCpu())
{
}

LiveSystem::~LiveSystem() = default;

LiveSystem::Id_t LiveSystem::nextId()
{
    static std::atomic<quint32> counter{0};
    return Id_t(counter.fetch_add(1), 0, 0, LiveSystemMark, 0, 0, 0, 0, 0, 0, 0);
}

void LiveSystem::registerMetaTypes()
{
    // Signal spies and queued connections look the types up by these exact names.
    static const bool registered = [] {
        qRegisterMetaType<LiveSystem::Ptr_t>("LiveSystem::Ptr_t");
        qRegisterMetaType<LiveSystem::Id_t>("LiveSystem::Id_t");
        return true;
    }();
    Q_UNUSED(registered)
}

bool LiveSystem::prepareSysBlock()
{
    ProtoEntry entry;
    if (!SettingsProvider::instance().protoEntry(QStringLiteral("sys"), ResourceKind::KorCpu,
                                                 &entry))
        return false;
    m_cpu->setRegisters(entry);
    return true;
}

bool LiveSystem::isValid() const
{
    return m_info.kernelSn != 0 && m_info.kernelId != 0 && m_info.kernelAux != 0
        && m_info.cpuId != 0;
}

bool LiveSystem::isSameSystem() const
{
    const QList<CpuRecord>& records = m_cpu->records();
    if (records.isEmpty())
        return false;
    return records.first().serialNumber == m_info.kernelSn && records.first().type == m_info.cpuId;
}

void LiveSystem::onSystemLoaded()
{
    m_cpu->toSystemInfo(m_info);
    qDebug() << "LiveSystem [Loaded]: After collection" << describeSystemInfo(m_info);

    const QList<BusEntry> devices = detectedDevices(m_info);
    for (const BusEntry& device : devices)
        qDebug() << "LiveSystem [Loaded]:" << device.controller << device.number << device.type;

    emit endProcessing();
}

void LiveSystem::onConfigurationLoaded() {}

void LiveSystem::updateCheckedSystem()
{
    m_cpu->toSystemInfo(m_info);
}

namespace {

[[maybe_unused]] const bool metaTypesRegistered = (LiveSystem::registerMetaTypes(), true);

} // namespace
