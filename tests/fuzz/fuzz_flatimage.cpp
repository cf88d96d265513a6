// A configuration image read back from a controller: the detected bus, the image and the device
// table all come from the input.
#include "model/flatconfiguration.h"
#include "fuzzcatalogue.h"
#include "model/nodeid.h"
#include "model/systemmodel.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SettingsProvider& catalogue = fuzzCatalogue();
    if (size < 4)
        return 0;
    // Byte 0: the controller; byte 1: number of modules, each then a byte of type and one of
    // revision; then a 16-bit image length, the image, and the table.
    SystemInfo_t info;
    info.cpuId = catalogue.tavTypes.at(data[0] % catalogue.tavTypes.size());
    info.hw = data[0] & 0x04;
    info.kernelSn = 1;
    size_t at = 2;
    for (int i = 0; i < (data[1] & 0x07) && at + 2 <= size; ++i, at += 2) {
        BusEntry e;
        e.type = catalogue.pexTypes.at(data[at] % catalogue.pexTypes.size());
        e.revision = data[at + 1] & 0x04;
        info.bus.append(e);
    }
    if (at + 2 > size)
        return 0;
    const size_t imageLength = qMin<size_t>(size - at - 2, size_t(data[at]) | size_t(data[at + 1]) << 8);
    at += 2;
    const QByteArray image(reinterpret_cast<const char*>(data + at), int(imageLength));
    const QByteArray table(reinterpret_cast<const char*>(data + at + imageLength),
                           int(size - at - imageLength));

    SystemModel model;
    FlatConfiguration flat(&model);
    NodeId::resetImageIds();
    if (flat.parse(info, image, table)) {
        QByteArray again;
        flat.compose(again);
        // The same controller read again goes into the devices it made, in place.
        NodeId::resetImageIds();
        flat.update(info, image, table);
        flat.compose(again);
    }
    return 0;
}
