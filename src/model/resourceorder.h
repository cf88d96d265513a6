#pragma once

#include "model/device.h"
#include "model/ioresource.h"
#include "model/nodeid.h"
#include "model/resourcekind.h"

#include <QHash>
#include <QList>
#include <QMap>

#include <array>
#include <vector>

// The order in which the system lists its resources: pairing, registers, the image and the file
// all walk it. Resources whose owner is filed come first, by their owner's bus key, then by the
// owner's id (a controller and a module can share a key), then by index; resources whose owner has
// left the model (an undo command's copies) follow, by owner and index. Lists handed to sort()
// keep their ties as given; the kind lists break them by id, so that they come out the same
// whatever order the resources were filed in.
//
// It reads the model's filing and keeps views built from it, each made when first asked for after
// a change, because an image read or a file opened files thousands of resources and asks for them
// in order only at the end. What the views promise:
// - byId() and the kind lists hold exactly the resources filed now, once changed() was told of
//   every resource that came or went; one that went is let go at once, not at the next request.
// - A kind list follows device numbers and owners changed behind its back (the editors set them
//   on the devices): each request checks it in one pass and sorts it again only when one moved.
// - The kind lists (serial ports on every device lookup, inputs on every pairing, each kind's
//   registers) are handed out without a walk over the whole system; listOfKind() hands out one
//   shared list until that kind changes or moves.
class ResourceOrder
{
public:
    using Resources_t = QList<IoResource::Ptr_t>;
    using KindList = std::vector<IoResource::Ptr_t>;

    // The model's filing, which outlives the order.
    ResourceOrder(const QHash<NodeId_t, IoResource::Ptr_t>& resources,
                  const QHash<NodeId_t, Device::Ptr_t>& devices);

    // Where controller `number` sits on the bus; its modules follow it one step each.
    static qint64 busSlot(int number);
    qint64 busKey(const Device& device) const;
    // Same owner: by index; otherwise by the owners' bus keys. A resource or owner that is not
    // filed compares as not less, which is why sort() does not sort by this.
    bool less(const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) const;
    void sort(Resources_t& resources) const;
    void sort(KindList& resources) const;

    // A resource of `kind` came or went; None when the kind is not known (one may have replaced a
    // resource of another kind under its id).
    void changed(int kind);
    void clear();

    const QMap<NodeId_t, IoResource::Ptr_t>& byId();
    // Kinds Ain to SerialPort.
    const KindList& ofKind(int kind);
    // Any kind; the kinds the model makes from their kind list.
    Resources_t listOfKind(int kind);

private:
    // Where the owner's resources go: a filed owner by its bus key, any other after all of them.
    qint64 ownerRank(const NodeId_t& owner) const;
    // Collects the resources of every kind dropped since, in one walk: a device added on its own
    // leaves the kinds it does not have as they were.
    void collectKinds();
    // Puts a collected kind in order when it is first asked for: an image read asks for its ports
    // and inputs only.
    void orderKind(int kind);
    template <typename List>
    void sortList(List& list) const;

    const QHash<NodeId_t, IoResource::Ptr_t>& m_filed;
    const QHash<NodeId_t, Device::Ptr_t>& m_devices;
    bool m_byIdStale = false;
    QMap<NodeId_t, IoResource::Ptr_t> m_byId;
    std::array<KindList, ResourceKind::SerialPort + 1> m_kindInOrder;
    // One bit per kind whose list was dropped.
    unsigned m_staleKinds = 0;
    // The resources of the kinds collected but not yet put in order (one bit each). Held by their
    // own pointers, not by where the model's filing keeps them: the filing may move its values (a
    // copy of it detached by a change) before the kind is asked for. A change to a kind drops its
    // collection with its list, so a resource that left is not kept alive here.
    std::array<KindList, ResourceKind::SerialPort + 1> m_filedOfKind;
    unsigned m_unorderedKinds = 0;
    std::array<Resources_t, ResourceKind::SerialPort + 1> m_kindLists;
    std::array<bool, ResourceKind::SerialPort + 1> m_kindListsMade{};
};
