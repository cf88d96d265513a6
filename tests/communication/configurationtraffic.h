#pragma once

#include "catalogue/settingsprovider.h"
#include "model/flatconfiguration.h"
#include "support/simulatedcontroller.h"
#include "model/systemmodel.h"

// A configuration write as the controller saw it: the device control words by register, and the
// bytes written into the configuration area in order, from the first register written.
struct ConfigurationTraffic
{
    using Words = QList<QPair<int, QVector<quint16>>>;
    static constexpr int PasswordRegister = 4000;
    static constexpr int AreaBase = 4016;

    Words control;
    QByteArray area;
    int areaStart = -1;

    static ConfigurationTraffic of(const QList<SimulatedController::Served>& writes)
    {
        ConfigurationTraffic t;
        for (const auto& w : writes) {
            if (w.address < AreaBase) {
                t.control.append({w.address, w.values});
                continue;
            }
            t.areaStart = t.areaStart < 0 ? w.address : t.areaStart;
            for (quint16 v : w.values)
                t.area.append(char(v & 0xFF)).append(char(v >> 8));
        }
        return t;
    }

    // Password, command word, password cleared.
    static Words handshake(int command)
    {
        return {{PasswordRegister, {23517}}, {PasswordRegister + 1, {quint16(command)}},
                {PasswordRegister, {0}}};
    }
};

// The bus of a TAV-1020-10 with `modules` modules of one type; another serial number makes it
// another controller of the same make-up.
inline QList<SimulatedController::BusDevice> heldBus(DeviceType_t module, int modules,
                                                     quint32 serial = 31337)
{
    QList<SimulatedController::BusDevice> bus{{0x0B0A140Au, 0, serial, 9, 0, 77}};
    for (int i = 1; i <= modules; ++i)
        bus.append({module, 0, quint32(100 + i), quint32(i), 0, 1});
    return bus;
}

// Makes `source` a TAV-1020-10 with `modules` modules of one type; the controller reports that
// bus and holds that system's image.
inline bool holdSystem(SimulatedController& controller, SystemModel& source, DeviceType_t module,
                       int modules)
{
    constexpr DeviceType_t tav = 0x0B0A140Au;
    DeviceHandle h{tav, 0, SystemModel::newNodeId(), NodeId_t(), 0, QString()};
    const NodeId_t owner = source.addDevice(h)->id();
    const QList<SimulatedController::BusDevice> bus = heldBus(module, modules);
    for (int i = 1; i <= modules; ++i)
        if (!source.addDevice({module, 0, SystemModel::newNodeId(), owner, i, QString()}))
            return false;
    QByteArray composed;
    return FlatConfiguration(&source).compose(composed) && controller.setBus(bus)
        && controller.setConfiguration(composed);
}

// A two-board module type with discrete outputs, whose safe state a test can edit.
inline DeviceType_t twoBoardModule()
{
    const SettingsProvider& p = SettingsProvider::instance();
    for (DeviceType_t t : p.pexTypes) {
        const DeviceTemplate tpl = p.templates.value(t);
        for (const IoChannel& c : tpl.channels)
            if (tpl.boardIds.size() == 2 && c.kind == 3)
                return t;
    }
    return 0;
}

inline QByteArray composed(SystemModel& model)
{
    QByteArray image;
    FlatConfiguration(&model).compose(image);
    return image;
}
