#include "shell/requestcollector.h"

namespace {

constexpr quint32 kRegisterSpan = 125;
constexpr quint32 kBitSpan = 2000;

} // namespace

RequestCollector::RequestCollector(const SystemModel* model, const SerialPortConfig& settings)
    : model(model)
    , settings(settings)
    , singleDevice(model->deviceHandles().size() == 1)
{
    open.baudRate = settings.baud;
    open.address = settings.address;
}

quint32 RequestCollector::maxSpanOf(qint32 kind)
{
    return kind == MapRequest::Bits ? kBitSpan : kRegisterSpan;
}

void RequestCollector::startLayout(qint32 direction, qint32 kind, quint32 period, qint32 type,
                                   quint32 offset)
{
    open.direction = direction;
    open.kind = kind;
    open.period = period;
    open.variables.clear();
    completed.clear();
    maxSpan = maxSpanOf(kind);
    continueLayout(type);
    cursor = offset;
    start = offset;
}

void RequestCollector::continueLayout(qint32 type)
{
    this->type = type;
    width = MapVariable::width(type);
}

void RequestCollector::setText(const QString& description, const QString& pattern)
{
    this->description = description;
    this->pattern = pattern;
}

void RequestCollector::add(const SystemModel::Resources_t& resources)
{
    for (const IoResource::Ptr_t& resource : resources) {
        const Device::Ptr_t device = resource ? model->device(resource->owner()) : Device::Ptr_t();
        if (!device)
            return;
        MapVariable variable;
        variable.address = cursor;
        variable.type = type;
        variable.name = pattern.arg(resource->textId(), prefixOf(*device));
        variable.description = description;
        open.variables.append(variable);
        cursor += width;
        // Close as soon as one more variable of this width would not fit.
        if (cursor - start + width > maxSpan) {
            close();
            start = cursor;
        }
    }
}

QList<MapRequest> RequestCollector::takeCompleted()
{
    QList<MapRequest> out;
    out.swap(completed);
    return out;
}

QList<MapRequest> RequestCollector::takeOpen()
{
    QList<MapRequest> out;
    if (!open.variables.isEmpty())
        out.append(open);
    open.variables.clear();
    return out;
}

QString RequestCollector::prefixOf(const Device& device) const
{
    if (singleDevice)
        return QString();
    const Device::Ptr_t owner = model->device(device.owner());
    if (!owner || owner->number() < 0)
        return QStringLiteral("%1/").arg(device.number(), 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1-%2/").arg(owner->number(), 2, 10, QLatin1Char('0')).arg(device.number());
}

void RequestCollector::close()
{
    completed.append(open);
    open.variables.clear();
}
