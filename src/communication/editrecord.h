#pragma once

#include "model/device.h"
#include "model/nodeid.h"

#include <QHash>
#include <QList>
#include <QSet>

class SystemModel;

// What a controller is known not to hold of the edits made while monitoring: every resource
// edited whose last edit no rewrite has confirmed, with the number of that edit, and the devices
// whose configuration area a rewrite may have left cut part-way. Only the controller's answer to
// a rewrite's blocks and command word takes edits off it, those made up to the rewrite's building
// on its devices: an edit made while the rewrite was on its way stays.
class EditRecord
{
public:
    void clear();
    // Numbers a new edit of the resources `ids`.
    void edit(const QList<NodeId_t>& ids);
    // The number of the last edit: a rewrite built now carries every edit up to it.
    quint64 last() const { return edits; }
    // The controller took the blocks of `devices` built after edit `stamp`.
    void written(const SystemModel& model, quint64 stamp, const QList<NodeId_t>& devices);
    // A block of `devices` went out, and not all of them were written.
    void cut(const QList<NodeId_t>& devices);

    bool isEmpty() const { return edited.isEmpty(); }
    bool hasCut() const { return !cutDevices.isEmpty(); }
    QList<NodeId_t> resources() const { return edited.keys(); }
    // The devices of the edited resources as the model holds them now, each once; a resource
    // gone from the model, or one of no device (the controller's label), has none.
    QList<Device::Ptr_t> devices(const SystemModel& model) const;

private:
    QHash<NodeId_t, quint64> edited;
    quint64 edits = 0;
    QSet<NodeId_t> cutDevices;
};
