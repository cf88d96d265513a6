#include "model/jsonfield.h"

#include "model/singlejson.h"

#include <cmath>

JsonField JsonField::wholeNumber(const QString& key, double least, double most)
{
    return {QStringList(), key, Form::Number, least, most};
}

JsonField JsonField::text(const QString& key)
{
    return {QStringList(), key, Form::Text};
}

JsonField JsonField::object(const QString& key, const QStringList& parents)
{
    return {parents, key, Form::Object};
}

bool JsonField::fits(const QJsonValue& value) const
{
    if (value.isUndefined() || value.isNull())
        return true;
    switch (form) {
    case Form::Flag: return value.isBool();
    case Form::Text: return value.isString();
    case Form::Object: return value.isObject();
    case Form::Single:
        if (value.isString())
            return SingleJson::isWritten(value);
        break;
    case Form::Number: break;
    }
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    const double whole = std::trunc(number);
    return std::isfinite(number) && whole >= least && whole <= most
           && (form == Form::Single || whole == number);
}

bool findUnfitValue(const QJsonObject& json, const std::vector<JsonField>& fields,
                    UnfitValue* unfit)
{
    for (const JsonField& field : fields) {
        // A holder of another form is a field of its own; inside it nothing is read.
        QJsonObject holder = json;
        for (const QString& parent : field.parents)
            holder = holder.value(parent).toObject();
        const QJsonValue value = holder.value(field.key);
        if (field.fits(value))
            continue;
        if (unfit)
            *unfit = {field, value};
        return true;
    }
    return false;
}
