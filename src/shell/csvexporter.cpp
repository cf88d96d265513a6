#include "shell/csvexporter.h"

#include "model/ain.h"
#include "model/aout.h"
#include "model/errorcodes.h"
#include "catalogue/settingsprovider.h"
#include "model/din.h"
#include "model/dout.h"
#include "model/resourcekind.h"
#include "model/systemmodel.h"
#include "model/valueroles.h"

#include <QCoreApplication>
#include <QIODevice>

namespace {

struct Field
{
    int role;
    const char* word;
    const char* type;
};

const QList<Field> kAinFields = {{ValueRole::AinValue, "scaled", "real"},
                                 {ValueRole::AinRaw, "raw", "real"}};
const QList<Field> kAoutFields = {{ValueRole::AoutValue, "value", "int"}};
const QList<Field> kDinFields = {{ValueRole::DinState, "value", "bool"},
                                 {ValueRole::DinCounter, "counter", "long"},
                                 {ValueRole::DinFrequency, "freq", "int"},
                                 {ValueRole::CounterAck, "counter ACK", "bool"},
                                 {ValueRole::CounterReset, "counter RST", "bool"}};
const QList<Field> kDoutFields = {{ValueRole::DoutState, "value", "bool"}};

// The alarm and system numbers are written even when the catalogue gives no valid base (-1): the
// reading tools expect the lines, so the sum wraps like the unsigned register words it names.
quint32 wrapped(qint64 base, qint64 step)
{
    return quint32(base + step);
}

QString alarmName(const SettingsProvider& provider, int alarm, const QString& suffix)
{
    AlarmText text;
    return (provider.alarmText(alarm, &text) ? text.display : QString()) + suffix;
}

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace

CSVExporter::CSVExporter(QIODevice* device, SystemModel* model)
    : stream(device)
    , model(model)
{
}

void CSVExporter::exportSystem(QIODevice* device, SystemModel* model)
{
    CSVExporter exporter(device, model);
    if (!model || model->devices().isEmpty())
        return;
    exporter.multiDevice = model->deviceHandles().size() > 1;
    model->assignRegisters();

    exporter.stream << "Register;Type;Name\n";

    ProtoEntry cpu;
    if (!SettingsProvider::instance().protoEntry(QStringLiteral("sys"), ResourceKind::KorCpu, &cpu)) {
        throw App::makeError(App::ErrorCode::Export, App::ErrorCode::ExportNoSystemEntry);
    }
    const qint64 base = registerNumber(cpu);
    exporter.writeLine(wrapped(base, 8), "long", QStringLiteral("System module id"));
    exporter.writeLine(wrapped(base, 32), "long", QStringLiteral("System serial number"));
    exporter.writeLine(wrapped(base, 38), "int", QStringLiteral("System state"));

    const QMap<int, SystemModel::Resources_t> groups = model->ioResources(Device::Ptr_t());
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        for (const IoResource::Ptr_t& listed : group.value()) {
            const IoResource::Ptr_t resource = listed ? model->resource(listed->id()) : listed;
            if (resource)
                exporter.visit(resource);
        }
    }
    exporter.writeAlarms();
}

qint64 CSVExporter::registerNumber(const ProtoEntry& entry)
{
    const qint64 n = qint64(entry.offset) + 1;
    const qint64 factor = n <= 9999 ? 10000 : 100000;
    switch (entry.rcmd) {
    case 1: return n;
    case 2: return factor + n;
    case 3: return 4 * factor + n;
    case 4: return 3 * factor + n;
    default: return -1;
    }
}

void CSVExporter::visit(Din* resource)
{
    writeRows(*resource);
}

void CSVExporter::visit(Dout* resource)
{
    writeRows(*resource);
}

void CSVExporter::visit(Ain* resource)
{
    // The secondary input of a coupled pair measures for the primary and has no value of its own.
    if (resource->isCoupled() && resource->isSecondary())
        return;
    writeRows(*resource);
}

void CSVExporter::visit(Aout* resource)
{
    writeRows(*resource);
}

void CSVExporter::writeRows(const IoResource& resource)
{
    const QList<Field>* fields = nullptr;
    switch (resource.kind()) {
    case ResourceKind::Ain: fields = &kAinFields; break;
    case ResourceKind::Aout: fields = &kAoutFields; break;
    case ResourceKind::Din: fields = &kDinFields; break;
    case ResourceKind::Dout: fields = &kDoutFields; break;
    default: return;
    }
    const Device::Ptr_t device = model->device(resource.owner());
    const QString prefix = device ? devicePrefix(*device) : QString();
    const QString path = prefix + resource.valueText().value(0);
    for (const Field& field : *fields) {
        const qint64 number = registerNumber(resource.role(field.role));
        if (number == -1)
            continue;
        writeLine(number, field.type, path + QLatin1Char('\\') + QLatin1String(field.word));
    }
}

void CSVExporter::writeAlarms()
{
    const QList<DeviceHandle> handles = model->deviceHandles();
    const qint64 count = handles.size();
    const SettingsProvider& provider = SettingsProvider::instance();

    ProtoEntry entry;
    const qint64 alarms =
        provider.protoEntry(QStringLiteral("sys"), 9, &entry) ? registerNumber(entry) : -1;
    entry = ProtoEntry();
    const qint64 control =
        provider.protoEntry(QStringLiteral("sys"), 10, &entry) ? registerNumber(entry) : -1;

    // Per device: its own alarms, then the overloads of its analogue inputs and outputs.
    const QString groupNames[3] = {QCoreApplication::translate("QObject", "System alarms"),
                                   alarmName(provider, 100, QStringLiteral(" AIN")),
                                   alarmName(provider, 101, QStringLiteral(" AOUT"))};

    for (int i = 0; i < handles.size(); ++i) {
        const DeviceHandle& handle = handles.at(i);
        const Device::Ptr_t owner = model->device(handle.owner);
        DeviceTemplate tpl;
        provider.deviceTemplate(handle.type, handle.revision, &tpl, false);
        const QString prefix = devicePrefix(handle.number, owner.data(), tpl.name);
        for (int g = 0; g < 3; ++g) {
            const qint64 k = 3 * qint64(i) + g;
            const QString name = prefix + groupNames[g];
            writeLine(wrapped(alarms, 3 * count + k), "int", name);
            writeLine(wrapped(control, 3 * count + k), "int", name + QStringLiteral("\\clear"));
            writeLine(wrapped(control, k), "int", name + QStringLiteral("\\mask"));
        }
    }
}

QString CSVExporter::devicePrefix(const Device& device) const
{
    const Device::Ptr_t owner = model->device(device.owner());
    return devicePrefix(device.number(), owner.data(), device.name());
}

QString CSVExporter::devicePrefix(int number, const Device* owner, const QString& modelName) const
{
    if (!multiDevice)
        return QString();
    const QChar slash = QLatin1Char('\\');
    if (!owner)
        return slash + twoDigits(number) + slash + modelName + slash;
    return slash + twoDigits(owner->number()) + QLatin1Char('-') + QString::number(number) + slash
           + modelName + slash;
}

void CSVExporter::writeLine(qint64 number, const char* type, const QString& name)
{
    stream << quint32(number) << ';' << type << ';' << name << '\n';
}
