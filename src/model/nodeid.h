#pragma once

#include <QList>
#include <QUuid>

// Key of every device and resource node of the edited system. Maps keyed by it follow QUuid's
// ordering; its text form is QUuid::toString() and QUuid's text constructor parses it back.
using NodeId_t = QUuid;

namespace NodeId {

// Ids of devices rebuilt from a controller's flat image: data1 counts up from 1 across the process,
// data2 and data3 come from the device's catalogue template, data4 is {1, 0, ..., 0}. They only need
// to be unique while one image's system lives, so clearing the model restarts the count.
NodeId_t nextImageId(quint16 data2, quint16 data3);
void resetImageIds();

} // namespace NodeId
