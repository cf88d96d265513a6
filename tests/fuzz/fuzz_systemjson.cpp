// The "data" object of a configuration file, read into a fresh system model: whatever the file
// holds, the read ends, and a system it accepted can be used, saved and opened again.
#include "fuzzcatalogue.h"
#include "fuzzjson.h"
#include "model/systemmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    fuzzCatalogue();
    const QByteArray data(reinterpret_cast<const char*>(bytes), int(size));
    const QJsonObject json = parseFuzzJson(data).object();

    SystemModel model;
    const bool ok = model.readJson(json);
    if (ok != model.flag())
        abort();

    // The lookups and edits the screens run on whatever was built, accepted or not.
    const QList<DeviceHandle> handles = model.deviceHandles();
    SystemModel::nodePath(handles);
    model.systemKey();
    model.ownersOf(model.resources().values());
    for (const Device::Ptr_t& d : model.devices()) {
        model.ioResources(d);
        model.applyDeviceSettings(d);
    }
    model.ioResources(Device::Ptr_t());
    model.renumber();
    model.moveBus(handles);
    model.assignRegisters();
    model.pairAnalogInputs();

    QJsonObject out;
    const bool written = model.writeJson(out);
    if (!ok)
        return 0;
    // An accepted file, saved again, must open again.
    if (!written)
        abort();
    SystemModel again;
    if (!again.readJson(out) || again.devices().keys() != model.devices().keys()
        || again.resources().size() != model.resources().size())
        abort();
    return 0;
}
