#pragma once

#include <QJsonObject>

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
    Configuration() = default;
    Configuration(const Configuration&) = default;
    Configuration& operator=(const Configuration&) = default;
    ~Configuration() = default;

private:
    bool m_flag = false;
};
