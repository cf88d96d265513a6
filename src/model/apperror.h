#pragma once

#include <QString>

namespace App {

// The program's error value: lower layers fill the fields one by one and throw it by value;
// the object that began the operation catches it, logs it and keeps it as its last error.
struct Error
{
    qint32 code = 0;
    qint32 subCode = 0;
    QString text;
};

} // namespace App
