#pragma once

#include "catalogue/cataloguerecords.h"
#include "model/nodeid.h"
#include "model/resourcekind.h"
#include "model/valueroles.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QString>
#include <QVarLengthArray>

// Every configurable item of a device: it knows its kind, the register block a request reads into
// it or writes from it, and, for live values, one register entry per value role. Resources are
// shared between the model and the requests in flight, without a lock: a request's worker thread
// only moves bytes, and the decoding into resources happens on the GUI thread when the request
// comes back.
class Resource
{
public:
    using Ptr_t = QSharedPointer<Resource>;

    virtual ~Resource();

    virtual int kind() const = 0;
    // The configuration register block of the resource.
    virtual bool decode(const QByteArray& data) = 0;
    virtual void encode(QByteArray* data) const = 0;
    virtual bool isValid() const;
    // A read request keeps asking for blocks while this holds, taking registers() each time, and
    // calls endRead() when its sequence is over.
    virtual bool hasBlockToRead() const;
    virtual void endRead();
    virtual const ProtoEntry& registers() const;
    virtual void setRegisters(const ProtoEntry& entry);
    // One live value at a time; the data layout of each role belongs to the kind.
    virtual bool decodeValue(int role, const QByteArray& data);
    virtual void encodeValue(int role, QByteArray* data) const;
    // Roles the user controls while monitoring, roles the monitoring loop polls, and a third list
    // of the kind.
    virtual QList<int> rolesA() const;
    virtual QList<int> rolesB() const;
    virtual QList<int> rolesC() const;
    virtual void setRole(int role, const ProtoEntry& entry);
    // A role without an entry answers four zeros, so callers need no presence check.
    virtual ProtoEntry role(int role) const;
    // A fresh object of the same kind in the same read state, for a reader whose next block is
    // known only by decoding the one before: a read request walks the copy on a worker thread and
    // replays the blocks into this object on the GUI thread. Null: not a stepped reader.
    virtual QSharedPointer<Resource> scratchReader() const;

    // The key of the role's register entry "iort/" + word in the catalogue. A code without a word
    // gets a text no catalogue entry uses, so such a role never receives registers.
    static QString roleWord(int role);
    // The entry of four zeros, for overrides of registers() that have no block to offer.
    static const ProtoEntry& noEntry();

    const NodeId_t& id() const { return m_id; }
    const NodeId_t& owner() const { return m_owner; }
    void setOwner(const NodeId_t& owner) { m_owner = owner; }
    // In role order, each role once.
    using Roles = QVarLengthArray<QPair<int, ProtoEntry>, 5>;
    const Roles& roles() const { return m_roles; }

protected:
    explicit Resource(const NodeId_t& id = NodeId_t());
    void setValid(bool valid) { m_valid = valid; }

private:
    Q_DISABLE_COPY(Resource)

    NodeId_t m_owner;
    NodeId_t m_id;
    ProtoEntry m_registers;
    bool m_valid = false;
    // A resource has a few roles (a discrete input the most, five): kept in the object, they cost
    // no allocation for each of the thousands of resources a system read or an image parse lays
    // out.
    Roles m_roles;
};
