#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QPair>
#include <QString>

#include <initializer_list>
#include <vector>

// What devices, I/O resources and the system model share: they read and write themselves as a JSON
// object and carry one flag, which their owners use to mark whether the last read succeeded.
// The destructor is protected and not virtual: nobody owns an object through this interface.
class Configuration
{
public:
    virtual bool readJson(const QJsonObject& json) = 0;
    virtual bool writeJson(QJsonObject& json) const = 0;
    virtual bool flag() const;
    virtual void setFlag(bool value);

protected:
    using JsonMember = QPair<QString, QJsonValue>;
    using JsonValues = std::initializer_list<JsonMember>;

    // The object one call site writes, made from the first values written there and kept as a
    // static local (`static const JsonShape shape(values);`): the call site always writes the same
    // keys in the same order.
    class JsonShape
    {
    public:
        explicit JsonShape(JsonValues values) : JsonShape(values.begin(), values.end()) {}
        JsonShape(const JsonMember* first, const JsonMember* last);

        QJsonObject object;
        std::vector<QJsonValue> values;
    };

    // `values` as an object, filled into a copy of `shape`. Qt allocates for every key it inserts
    // into an object but only swaps the value of a key already there, so an object written for
    // every resource of a system is built from a shape that already holds its keys; a value the
    // shape already holds is not inserted at all, so an object all of whose values are the
    // shape's is the shape's own, shared.
    static QJsonObject filledJson(const JsonShape& shape, JsonValues values)
    {
        return filledJson(shape, values.begin(), values.end());
    }
    static QJsonObject filledJson(const JsonShape& shape, const JsonMember* first,
                                  const JsonMember* last);
    static QJsonObject filledJson(const QJsonObject& shape, JsonValues values)
    {
        return filledJson(shape, values.begin(), values.end());
    }
    static QJsonObject filledJson(const QJsonObject& shape, const JsonMember* first,
                                  const JsonMember* last);

    Configuration() = default;
    Configuration(const Configuration&) = default;
    Configuration& operator=(const Configuration&) = default;
    ~Configuration() = default;

private:
    bool m_flag = false;
};
