// A configuration image read back from a controller: the detected bus, the image and the device
// table all come from the input. Whatever a controller holds must save to a configuration file and
// open again as the same system.
#include "model/flatconfiguration.h"
#include "fuzzcatalogue.h"
#include "model/ain.h"
#include "model/crc16.h"
#include "model/nodeid.h"
#include "model/systemmodel.h"
#include "shell/configurationstorage.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray systemJson(const SystemModel& model)
{
    QJsonObject data;
    if (!model.writeJson(data))
        abort();
    return QJsonDocument(data).toJson(QJsonDocument::Compact);
}

// What the file does not carry: the block words of the analogue outputs and the ports, which are
// the device's own, and the sensor of an input whose range has none. A configuration opened from a
// file has zeros there, as one made in the editor.
void forgetWhatTheFileLeavesOut(const SystemModel& model)
{
    for (const int kind : {ResourceKind::Ain, ResourceKind::Aout, ResourceKind::SerialPort}) {
        for (const IoResource::Ptr_t& r : model.resourcesOfKind(kind)) {
            AbstractConfig config;
            r->exportConfig(config);
            const qint32 range = config.ain.range;
            if (range != Ain::Rtd && range != Ain::Rtd3Wire && range != Ain::Ntc)
                config.ain.sensors[0] = SensorBlock();
            config.aout.blockWord = 0;
            config.port.blockWord = 0;
            r->importConfig(config);
        }
    }
}

// Saves the system to a file, as the File menu does, and opens that file into a system of its own,
// which must write the same text and compose the same image.
void saveAndOpen(SystemModel& model)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("read.tavc"));
    ConfigurationStorage writer(&model);
    writer.setFileName(path);
    if (!writer.save())
        abort();
    SystemModel reopened;
    ConfigurationStorage reader(&reopened);
    if (!reader.load(path) || systemJson(reopened) != systemJson(model))
        abort();
    forgetWhatTheFileLeavesOut(model);
    QByteArray image;
    FlatConfiguration(&model).compose(image);
    QByteArray again;
    FlatConfiguration(&reopened).compose(again);
    if (again != image)
        abort();
}

// Gives every device block of the image the CRC of its body, so that changed records reach the
// readers behind the check instead of all ending at it.
void mendBlockCrcs(QByteArray& image)
{
    constexpr int headerSize = 8;
    int position = 4;
    while (position + headerSize <= image.size()) {
        const auto* header = reinterpret_cast<const quint8*>(image.constData() + position);
        const int bodyLength = header[4] | header[5] << 8;
        if (bodyLength == 0 || position + headerSize + bodyLength > image.size())
            return;
        const quint16 crc = crc16(header + headerSize, quint16(bodyLength));
        image[position + 6] = char(crc & 0xFF);
        image[position + 7] = char(crc >> 8);
        position += headerSize + bodyLength;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SettingsProvider& catalogue = fuzzCatalogue();
    if (size < 4)
        return 0;
    // Byte 0: the controller; byte 1: number of modules (its top bit: the blocks' CRCs are made
    // right), each then a byte of type and one of revision; then a 16-bit image length, the
    // image, and the table.
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
    QByteArray image(reinterpret_cast<const char*>(data + at), int(imageLength));
    if (data[1] & 0x80)
        mendBlockCrcs(image);
    const QByteArray table(reinterpret_cast<const char*>(data + at + imageLength),
                           int(size - at - imageLength));

    SystemModel model;
    FlatConfiguration flat(&model);
    NodeId::resetImageIds();
    if (flat.parse(info, image, table)) {
        QByteArray again;
        flat.compose(again);
        saveAndOpen(model);
        // The same controller read again goes into the devices it made, in place.
        NodeId::resetImageIds();
        flat.update(info, image, table);
        flat.compose(again);
    }
    return 0;
}
