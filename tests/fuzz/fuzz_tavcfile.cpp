// A configuration file from disk, opened over a system being edited: whatever the file holds, the
// load ends without harm, a refused file leaves the system exactly as it was, and an accepted one
// saves and opens again to the same system.
#include "shell/configurationstorage.h"
#include "fuzzcatalogue.h"
#include "model/systemmodel.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <sanitizer/lsan_interface.h>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray systemJson(const SystemModel& model)
{
    QJsonObject data;
    model.writeJson(data);
    return QJsonDocument(data).toJson(QJsonDocument::Compact);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    fuzzCatalogue();
    static QTemporaryDir dir;
    static const QString input = dir.filePath(QStringLiteral("input.tavc"));
    static const QString again = dir.filePath(QStringLiteral("again.tavc"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            abort();
        file.write(reinterpret_cast<const char*>(bytes), qint64(size));
    }

    SystemModel model;
    DeviceHandle handle;
    handle.type = makeDeviceType(11, 10, 20, 10);
    handle.id = QUuid(QStringLiteral("{00000000-0000-0000-0000-0000000000aa}"));
    handle.number = 0;
    if (!model.addDevice(handle))
        abort();
    const QByteArray before = systemJson(model);

    ConfigurationStorage storage(&model);
    storage.setFileName(QStringLiteral("current.tavc"));
    bool loaded = false;
    {
        // The storage parses the text with QJsonDocument::fromJson, which in Qt 5.15 leaks the
        // values of duplicate object keys; the reopening below, of a file without duplicates,
        // runs the same reader with leak checking.
        __lsan::ScopedDisabler qtJsonLeak;
        loaded = storage.load(input);
    }
    if (!loaded) {
        if (storage.lastErrorCode() == 0 || systemJson(model) != before
            || storage.fileName() != QStringLiteral("current.tavc") || !storage.lastData().isEmpty())
            abort();
        return 0;
    }

    if (!model.flag() || storage.fileName() != input)
        abort();
    const QByteArray system = systemJson(model);
    storage.setFileName(again);
    if (!storage.save())
        abort();
    SystemModel reopened;
    ConfigurationStorage reader(&reopened);
    if (!reader.load(again) || systemJson(reopened) != system)
        abort();
    return 0;
}
