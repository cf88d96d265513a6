#include "model/configuration.h"

bool Configuration::flag() const
{
    return m_flag;
}

void Configuration::setFlag(bool value)
{
    m_flag = value;
}

QJsonObject Configuration::filledJson(const QJsonObject& shape, JsonValues values)
{
    QJsonObject json = shape;
    for (const QPair<QString, QJsonValue>& value : values)
        json.insert(value.first, value.second);
    return json;
}
