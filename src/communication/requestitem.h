#pragma once

#include "catalogue/cataloguerecords.h"
#include "model/resource.h"

#include <QSharedPointer>

// One value of one resource in a multi-item request: where it lies on the device and which of the
// resource's values it is.
struct RequestItem
{
    QSharedPointer<Resource> resource;
    ProtoEntry entry;
    qint32 role = 0;
};
