#pragma once

#include "model/nodeid.h"

#include <QList>
#include <QModelIndexList>

namespace SystemConfiguration {

class Model;

// The controllers a selection of tree rows touches: a module's owner, any other device itself;
// each once, in the order first met. Rows without a device name none.
QList<NodeId_t> selectionControllers(const Model& model, const QModelIndexList& rows);

} // namespace SystemConfiguration
