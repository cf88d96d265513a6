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

// Whether `value` is exactly what the shape holds: same type and, for numbers, the same bits, not
// merely an equal value (0 and -0). A whole number beyond what a double holds exactly, an object
// and an array are never taken as held, and so always put in.
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

Configuration::JsonShape::JsonShape(const JsonMember* first, const JsonMember* last)
{
    values.reserve(std::size_t(last - first));
    for (const JsonMember* member = first; member != last; ++member) {
        object.insert(member->first, member->second);
        values.push_back(member->second);
    }
}

QJsonObject Configuration::filledJson(const JsonShape& shape, const JsonMember* first,
                                      const JsonMember* last)
{
    if (std::size_t(last - first) != shape.values.size())
        return filledJson(shape.object, first, last);
    QJsonObject json = shape.object;
    auto held = shape.values.cbegin();
    for (const JsonMember* member = first; member != last; ++member) {
        if (!holds(*held++, member->second))
            json.insert(member->first, member->second);
    }
    return json;
}

QJsonObject Configuration::filledJson(const QJsonObject& shape, const JsonMember* first,
                                      const JsonMember* last)
{
    QJsonObject json = shape;
    for (const JsonMember* member = first; member != last; ++member)
        json.insert(member->first, member->second);
    return json;
}
