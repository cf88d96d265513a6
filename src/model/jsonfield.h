#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <limits>
#include <type_traits>
#include <vector>

// A key of the configuration file and the form of value it takes. Qt reads a value of any other
// form as 0, false, an empty text or an absent object without a word, which would hand a
// hand-made mistake to the controller as a setting nobody chose; so a reader declares every key it
// takes here and refuses an object holding a value outside its form. A key that is missing, or
// null, reads as it always has: files in the field leave keys out.
struct JsonField
{
    // A whole number; a number or one of the texts SingleJson gives a single's infinities, NaNs
    // and negative zero; true or false; a text; an object.
    enum class Form { Number, Single, Flag, Text, Object };

    // The objects that hold the key, outermost first.
    QStringList parents;
    QString key;
    Form form = Form::Number;
    // The ends of a number.
    double least = 0.0;
    double most = 0.0;

    // A field of the C++ type `Field`: a bool takes true and false, a floating point field the
    // numbers it can hold and the texts of SingleJson, an integer field the whole numbers it can
    // hold.
    template <typename Field>
    static JsonField of(const QString& key, const QStringList& parents = QStringList())
    {
        const Form form = std::is_same<Field, bool>::value       ? Form::Flag
                          : std::is_floating_point<Field>::value ? Form::Single
                                                                 : Form::Number;
        return {parents, key, form, double(std::numeric_limits<Field>::lowest()),
                double(std::numeric_limits<Field>::max())};
    }
    static JsonField wholeNumber(const QString& key, double least, double most);
    static JsonField text(const QString& key);
    static JsonField object(const QString& key, const QStringList& parents = QStringList());

    bool fits(const QJsonValue& value) const;
};

// A value of an object that its key's field cannot hold.
struct UnfitValue
{
    JsonField field;
    QJsonValue value;
};

// Whether a value of `json` does not fit its field in `fields`; the first one, in the order of
// `fields`, goes to `unfit` when that is not null.
bool findUnfitValue(const QJsonObject& json, const std::vector<JsonField>& fields,
                    UnfitValue* unfit);
