#include "model/singlejson.h"

#include <QString>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

const QString kNaN = QStringLiteral("NaN");
const QString kNaNBits = QStringLiteral("NaN 0x");
const QString kInfinity = QStringLiteral("Infinity");
const QString kMinusInfinity = QStringLiteral("-Infinity");
const QString kMinusZero = QStringLiteral("-0");
constexpr quint32 kQuietNaN = 0x7fc00000u;
constexpr quint32 kExponent = 0x7f800000u;

} // namespace

namespace SingleJson {

QJsonValue write(float value)
{
    if (std::isinf(value))
        return value > 0 ? kInfinity : kMinusInfinity;
    if (value == 0.0f && std::signbit(value))
        return kMinusZero;
    if (!std::isnan(value))
        return double(value);
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits == kQuietNaN)
        return kNaN;
    return kNaNBits + QString::number(bits, 16).rightJustified(8, QLatin1Char('0'));
}

QJsonValue writeDouble(double value)
{
    if (std::isfinite(value) && !(value == 0.0 && std::signbit(value)))
        return value;
    return write(float(value));
}

double read(const QJsonValue& value)
{
    if (!value.isString())
        return value.toDouble();
    const QString text = value.toString();
    if (text == kInfinity)
        return std::numeric_limits<double>::infinity();
    if (text == kMinusInfinity)
        return -std::numeric_limits<double>::infinity();
    if (text == kMinusZero)
        return -0.0;
    float nan = 0.0f;
    return readNaN(value, nan) ? double(nan) : 0.0;
}

bool isWritten(const QJsonValue& value)
{
    if (!value.isString())
        return false;
    const QString text = value.toString();
    if (text == kInfinity || text == kMinusInfinity || text == kMinusZero)
        return true;
    float nan = 0.0f;
    return readNaN(value, nan) && write(nan) == value;
}

bool readNaN(const QJsonValue& value, float& single)
{
    const QString text = value.toString();
    quint32 bits = kQuietNaN;
    if (text != kNaN) {
        if (!text.startsWith(kNaNBits))
            return false;
        bool ok = false;
        bits = text.midRef(kNaNBits.size()).toUInt(&ok, 16);
        if (!ok || (bits & kExponent) != kExponent || (bits & ~kExponent & 0x7fffffu) == 0)
            return false;
    }
    std::memcpy(&single, &bits, sizeof single);
    return true;
}

} // namespace SingleJson
