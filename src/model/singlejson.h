#pragma once

#include <QJsonValue>

// A device's single-precision fields may hold infinities, NaNs and a negative zero, for which JSON
// has no number (and Qt keeps -0 as the integer 0). The configuration file carries them as texts:
// "Infinity", "-Infinity", "-0", "NaN" for the plain quiet NaN and "NaN 0xffbd1eff" for any other,
// with its bits, so the device gets back the very word it held.
namespace SingleJson {

// The JSON value of a single.
QJsonValue write(float value);
// The JSON value of a double that the device keeps as a single.
QJsonValue writeDouble(double value);
// The number `value` holds, the texts above included; any other text reads as 0, as it always has
// (the file reader refuses such a text before it gets here: see isWritten).
double read(const QJsonValue& value);
// Whether `value` is one of the texts above exactly as write() gives it: a NaN's bits in eight
// lower-case digits, and the plain quiet NaN as "NaN" alone. Any other text is not a single the
// program wrote, and reading it as 0 would hide a hand-made mistake.
bool isWritten(const QJsonValue& value);
// Whether `value` is the text of a NaN; its bits then go to `single` as they are, where a
// conversion would quieten a signalling NaN.
bool readNaN(const QJsonValue& value, float& single);

} // namespace SingleJson
