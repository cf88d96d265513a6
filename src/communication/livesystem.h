#pragma once

#include "model/korcpu.h"
#include "model/systeminfo.h"

#include <QMetaType>
#include <QObject>
#include <QSharedPointer>
#include <QUuid>

// One controller found behind one serial port. It keeps the controller's CPU block for its whole
// life, so every read of that block (detection, keep-alive) decodes into the same object, and the
// identity condensed from it, which the keep-alive compares against the next read.
class LiveSystem : public QObject
{
    Q_OBJECT

public:
    // Not the channel's id: a system gets a fresh one every time it is detected.
    using Id_t = QUuid;
    using Ptr_t = QSharedPointer<LiveSystem>;

    explicit LiveSystem(QObject* parent = nullptr);
    ~LiveSystem() override;

    const Id_t& id() const { return m_id; }
    const KorCpu::Ptr_t& cpu() const { return m_cpu; }
    const SystemInfo_t& info() const { return m_info; }

    // False when the catalogue has no register entry for the CPU block.
    bool prepareSysBlock();
    // A block of zeros or a controller that never answered leaves these at zero.
    bool isValid() const;
    // The block just read against the identity kept since the last check: false when nothing
    // was decoded.
    bool isSameSystem() const;

    static void registerMetaTypes();

signals:
    void endProcessing();

public slots:
    void onSystemLoaded();
    void onConfigurationLoaded();
    void updateCheckedSystem();

private:
    static Id_t nextId();

    const Id_t m_id;
    const KorCpu::Ptr_t m_cpu;
    SystemInfo_t m_info;
};

Q_DECLARE_METATYPE(LiveSystem::Ptr_t)
