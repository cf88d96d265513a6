#include "model/configuration.h"

#include <cmath>
#include <cstring>

bool Configuration::flag() const
{
    return m_flag;
}

void Configuration::setFlag(bool value)
{
    m_flag = value;
}

namespace {

// Whether the value is written exactly as `held` is: same type and, for numbers, the same bits, so
// that 0 and -0 stay apart. A whole number too large for a double to hold exactly, an object and
// an array are never taken as held.
bool holds(const QJsonValue& held, const QJsonValue& value)
{
    if (held.type() != value.type())
        return false;
    switch (held.type()) {
    case QJsonValue::Null:
        return true;
    case QJsonValue::Bool:
        return held.toBool() == value.toBool();
    case QJsonValue::Double: {
        const double a = held.toDouble();
        const double b = value.toDouble();
        constexpr double exact = 9007199254740992.0; // 2^53
        return std::memcmp(&a, &b, sizeof a) == 0 && !(std::fabs(a) >= exact);
    }
    case QJsonValue::String:
        return held.toString() == value.toString();
    default:
        return false;
    }
}

} // namespace

Configuration::JsonShape::JsonShape(JsonValues values)
    : object(values)
{
    this->values.reserve(values.size());
    for (const QPair<QString, QJsonValue>& value : values)
        this->values.push_back(value.second);
}

QJsonObject Configuration::filledJson(const JsonShape& shape, JsonValues values)
{
    if (values.size() != shape.values.size())
        return filledJson(shape.object, values);
    QJsonObject json = shape.object;
    auto held = shape.values.cbegin();
    for (const QPair<QString, QJsonValue>& value : values) {
        if (!holds(*held++, value.second))
            json.insert(value.first, value.second);
    }
    return json;
}

QJsonObject Configuration::filledJson(const QJsonObject& shape, JsonValues values)
{
    QJsonObject json = shape;
    for (const QPair<QString, QJsonValue>& value : values)
        json.insert(value.first, value.second);
    return json;
}
