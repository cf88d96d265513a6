#pragma once

#include <QByteArray>
#include <QJsonDocument>

#include <sanitizer/lsan_interface.h>

// Parses JSON text for a target whose input is a document. Qt 5.15's parser leaks the values of
// duplicate object keys, in frames that cannot be named in a suppression; what it allocates is
// kept out of the leak check, so a leak in the readers under test still shows at exit.
inline QJsonDocument parseFuzzJson(const QByteArray& text)
{
    __lsan::ScopedDisabler qtJsonLeak;
    return QJsonDocument::fromJson(text);
}
