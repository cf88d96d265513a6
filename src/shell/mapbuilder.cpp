#include "shell/mapbuilder.h"

#include "catalogue/settingsprovider.h"
#include "shell/filewriter.h"
#include "shell/requestcollector.h"
#include "model/errorcodes.h"
#include "model/resourcekind.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

const QString kSys = QStringLiteral("sys");
constexpr quint32 kAlarmPeriod = 5000;
constexpr quint32 kValuePeriod = 1000;

// One walk over a kind's resources. A pass that continues lays its variables out after the
// previous pass's, in the same open request.
struct Pass
{
    const char* iort;
    quint32 fallbackOffset;
    bool continues;
    qint32 direction;
    qint32 kind;
    qint32 type;
    QString pattern;
    QString description;
};

void layOut(const SystemModel* model, const SerialPortConfig& settings, const QList<Pass>& passes,
            const SystemModel::Resources_t& resources, QList<MapRequest>& out)
{
    if (resources.isEmpty())
        return;
    RequestCollector collector(model, settings);
    const SettingsProvider& provider = SettingsProvider::instance();
    for (int i = 0; i < passes.size(); ++i) {
        const Pass& pass = passes.at(i);
        if (pass.continues) {
            collector.continueLayout(pass.type);
        } else {
            ProtoEntry entry;
            entry.offset = pass.fallbackOffset;
            provider.iortEntry(QLatin1String(pass.iort), &entry);
            collector.startLayout(pass.direction, pass.kind, kValuePeriod, pass.type, entry.offset);
        }
        collector.setText(pass.description, pass.pattern);
        collector.add(resources);
        out += collector.takeCompleted();
        if (i + 1 == passes.size() || !passes.at(i + 1).continues)
            out += collector.takeOpen();
    }
}

using namespace App::ErrorCode;

} // namespace

int MapBuilder::build(SystemModel* model)
{
    m_built = false;
    if (!model || !readPortSettings(model))
        return -1;
    m_requests.clear();
    const QMap<int, SystemModel::Resources_t> groups = model->ioResources(Device::Ptr_t());
    systemVariables();
    ainVariables(model, groups.value(ResourceKind::Ain));
    aoutVariables(model, groups.value(ResourceKind::Aout));
    dinVariables(model, groups.value(ResourceKind::Din));
    doutVariables(model, groups.value(ResourceKind::Dout));
    alarmGroups(model);
    m_built = true;
    return 0;
}

bool MapBuilder::readPortSettings(SystemModel* model)
{
    const SystemModel::Resources_t ports = model->serialPorts();
    if (ports.isEmpty() || !ports.first())
        return false;
    AbstractConfig config;
    ports.first()->exportConfig(config);
    if (config.kind != ResourceKind::SerialPort)
        return false;
    m_settings = config.port;
    return true;
}

MapRequest MapBuilder::newRequest(qint32 direction, qint32 kind, quint32 period) const
{
    MapRequest request;
    request.direction = direction;
    request.kind = kind;
    request.baudRate = m_settings.baud;
    request.address = m_settings.address;
    request.period = period;
    return request;
}

void MapBuilder::systemVariables()
{
    ProtoEntry cpu;
    if (!SettingsProvider::instance().protoEntry(kSys, ResourceKind::KorCpu, &cpu))
        throw App::makeError(Export, ExportNoSystemEntry);
    MapRequest request = newRequest(MapRequest::Read, MapRequest::Registers, 0);
    const QString description = QStringLiteral("System page");
    const struct
    {
        quint32 step;
        qint32 type;
        const char* name;
    } rows[] = {{8, MapVariable::Long, "Module id"},
                {32, MapVariable::Long, "Serial number"},
                {38, MapVariable::Int, "System state"}};
    for (const auto& row : rows) {
        MapVariable variable;
        variable.address = cpu.offset + row.step;
        variable.type = row.type;
        variable.name = QLatin1String(row.name);
        variable.description = description;
        request.variables.append(variable);
    }
    m_requests.append(request);
}

void MapBuilder::ainVariables(const SystemModel* model, const SystemModel::Resources_t& resources)
{
    layOut(model, m_settings,
           {{"ain", 0, false, MapRequest::Read, MapRequest::Registers, MapVariable::Real,
             QStringLiteral("/%2%1"), QStringLiteral("Analog input value")},
            {"", 0, true, 0, 0, MapVariable::Real, QStringLiteral("/%2%1/Raw"),
             QStringLiteral("Raw analog input value")}},
           resources, m_requests);
}

void MapBuilder::aoutVariables(const SystemModel* model, const SystemModel::Resources_t& resources)
{
    layOut(model, m_settings,
           {{"aout", 0, false, MapRequest::ReadWrite, MapRequest::Registers, MapVariable::Int,
             QStringLiteral("/%2%1"),
             QCoreApplication::translate("MapBuilder", "Analog output value")}},
           resources, m_requests);
}

void MapBuilder::dinVariables(const SystemModel* model, const SystemModel::Resources_t& resources)
{
    layOut(model, m_settings,
           {{"din", 0, false, MapRequest::Read, MapRequest::Bits, MapVariable::Bool,
             QStringLiteral("/%2%1"), QStringLiteral("Discrete input value")},
            {"din-cntr", 1024, false, MapRequest::Read, MapRequest::Registers, MapVariable::Long,
             QStringLiteral("/%2%1/Cntr"), QStringLiteral("Counter value")},
            {"", 0, true, 0, 0, MapVariable::Int, QStringLiteral("/%2%1/Freq"),
             QStringLiteral("Freq value")},
            {"cntr-rst", 1000, false, MapRequest::ReadWrite, MapRequest::Bits, MapVariable::Bool,
             QStringLiteral("/%2%1/Cntr_reset"), QStringLiteral("Reset counter")},
            {"cntr-ack", 1000, false, MapRequest::Read, MapRequest::Bits, MapVariable::Bool,
             QStringLiteral("/%2%1/Cntr_ack"), QStringLiteral("Ack. of counter reset")}},
           resources, m_requests);
}

void MapBuilder::doutVariables(const SystemModel* model, const SystemModel::Resources_t& resources)
{
    layOut(model, m_settings,
           {{"dout", 0, false, MapRequest::ReadWrite, MapRequest::Bits, MapVariable::Bool,
             QStringLiteral("/%2%1"), QStringLiteral("Discrete output")}},
           resources, m_requests);
}

void MapBuilder::alarmGroups(const SystemModel* model)
{
    const QList<DeviceHandle> handles = model->deviceHandles();
    const quint32 count = quint32(handles.size());
    const SettingsProvider& provider = SettingsProvider::instance();
    ProtoEntry entry;
    const quint32 latched = provider.protoEntry(kSys, 9, &entry) ? entry.offset : 0;
    entry = ProtoEntry();
    const quint32 control = provider.protoEntry(kSys, 10, &entry) ? entry.offset : 0;

    QList<MapRequest> alarms = {newRequest(MapRequest::Read, MapRequest::Registers, kAlarmPeriod),
                                newRequest(MapRequest::ReadWrite, MapRequest::Registers, kAlarmPeriod),
                                newRequest(MapRequest::ReadWrite, MapRequest::Registers, kAlarmPeriod)};
    for (quint32 i = 0; i < count; ++i) {
        // The programming environment names alarm words by the device's own number, modules
        // included; it does not know the controller-module form of the value names.
        const QString prefix =
            count < 2 ? QString()
                      : QStringLiteral("%1/").arg(handles.at(int(i)).number, 2, 10, QLatin1Char('0'));
        alarmBits(alarms, prefix, i, count, latched, control);
    }
    m_requests += alarms;
}

void MapBuilder::alarmBits(QList<MapRequest>& alarms, const QString& prefix, quint32 device,
                           quint32 count, quint32 latched, quint32 control) const
{
    const char* const groups[3] = {"ALARM/%1/SYS", "ALARM/%1/AIN", "ALARM/%1/AOUT"};
    const struct
    {
        const char* word;
        const char* description;
    } requests[3] = {{"LATCH", "latched alarms"}, {"CLEAR", "Clear of alarm"}, {"MASK", "Masking of alarm"}};
    for (quint32 g = 0; g < 3; ++g) {
        // Three words per device in each half of the alarm blocks: latched alarms and their
        // clear words sit in the second halves, the masks in the first half of the control block.
        const quint32 k = 3 * device + g;
        const quint32 addresses[3] = {latched + 3 * count + k, control + 3 * count + k, control + k};
        for (int r = 0; r < 3; ++r) {
            MapVariable variable;
            variable.address = addresses[r];
            variable.type = MapVariable::Int;
            variable.name = QLatin1Char('/') + prefix
                            + QLatin1String(groups[g]).arg(QLatin1String(requests[r].word));
            variable.description = QLatin1String(requests[r].description);
            alarms[r].variables.append(variable);
        }
    }
}

QString MapBuilder::accessText(qint32 direction)
{
    switch (direction) {
    case MapRequest::Read: return QStringLiteral("read");
    case MapRequest::Write: return QStringLiteral("write");
    case MapRequest::ReadWrite: return QStringLiteral("read/write");
    default: return QString();
    }
}

QString MapBuilder::kindText(qint32 kind)
{
    switch (kind) {
    case MapRequest::Bits: return QStringLiteral("bit");
    case MapRequest::Registers: return QStringLiteral("reg");
    default: return QString();
    }
}

QString MapBuilder::typeText(qint32 type)
{
    switch (type) {
    case MapVariable::Bool: return QStringLiteral("bool");
    case MapVariable::Int: return QStringLiteral("int");
    case MapVariable::Real: return QStringLiteral("real");
    case MapVariable::Long: return QStringLiteral("long");
    default: return QStringLiteral("unknown");
    }
}

QString MapBuilder::sectionText(int index, const MapRequest& request)
{
    QString text = QStringLiteral("[Request%1]\n").arg(index);
    text += QStringLiteral("Direction=") + accessText(request.direction) + QLatin1Char('\n');
    text += QStringLiteral("Type=") + kindText(request.kind) + QLatin1Char('\n');
    text += QStringLiteral("Baudrate=") + QString::number(request.baudRate) + QLatin1Char('\n');
    text += QStringLiteral("Address=") + QString::number(request.address) + QLatin1Char('\n');
    text += QStringLiteral("Period=") + QString::number(request.period) + QLatin1Char('\n');
    for (int v = 0; v < request.variables.size(); ++v) {
        const MapVariable& variable = request.variables.at(v);
        text += QStringLiteral("var") + QString::number(v) + QLatin1Char('=')
                + QString::number(variable.address, 16) + QLatin1Char('#') + typeText(variable.type)
                + QLatin1Char('#') + variable.name + QLatin1Char('#') + variable.description
                + QLatin1Char('\n');
    }
    return text;
}

int MapBuilder::writeMapFile(const QString& path, App::Error* error) const
{
    if (!m_built)
        return -1;
    FileWriter file(path, Export, ExportFileNotOpened);
    try {
        file.open();
        QByteArray text;
        for (int s = 0; s < m_requests.size(); ++s)
            text += sectionText(s, m_requests.at(s)).toLocal8Bit();
        const int unconfirmed = file.commit(text);
        if (unconfirmed != 0) {
            qDebug() << "Export map unconfirmed: " << unconfirmed << ", file" << path;
            return 1;
        }
    } catch (const App::Error& e) {
        if (error)
            *error = e;
        return -1;
    }
    return 0;
}

bool MapBuilder::exportMap(SystemModel* model, const QString& path, App::Error* error, bool* unconfirmed)
{
    App::Error failure;
    try {
        MapBuilder builder;
        const QString rule = model->brokenRule();
        if (!rule.isEmpty()) {
            failure = App::makeError(Export, RuleBroken, rule);
        } else if (builder.build(model) != 0) {
            failure = App::makeError(Export, ExportNoSerialPort);
        }
        if (failure.code == 0 && builder.writeMapFile(path, &failure) > 0 && unconfirmed)
            *unconfirmed = true;
    } catch (const App::Error& e) {
        failure = e;
    }
    if (failure.code == 0)
        return true;
    qDebug() << "Export map error: " << failure.code << failure.subCode << failure.text << ", file"
             << path;
    if (error)
        *error = failure;
    return false;
}
