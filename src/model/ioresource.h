#pragma once

#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/configuration.h"
#include "model/jsonfield.h"
#include "model/resource.h"

#include <QJsonObject>
#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QWeakPointer>

#include <functional>
#include <vector>

class ResourceVisitor;

// An I/O channel or serial port of a device: a Resource that also reads and writes itself as JSON,
// exchanges its configuration and live value through AbstractConfig and AbstractValue, and may be
// paired with a neighbouring analogue input for three-wire measurement.
class IoResource : public Resource, public Configuration
{
public:
    using Ptr_t = QSharedPointer<IoResource>;

    // 0 Ain, 1 Aout, 2 Din, 3 Dout, 4 SerialPort, each with `id` as its node id; null for any
    // other kind. Every kind has a constructor taking only its node id.
    static Ptr_t create(int kind, const NodeId_t& id);

    virtual QString typeName() const = 0;
    // Writes the resource's kind code and its own member; the other members stay as they were.
    virtual void exportConfig(AbstractConfig& config) const = 0;
    // Takes the resource's own member only when the record's kind is the resource's kind.
    virtual void importConfig(const AbstractConfig& config) = 0;
    // Takes back a record this resource exported, exactly as it was: an undo, or a device-wide
    // setting carried to every resource, must not add a change of its own to it.
    virtual void restoreConfig(const AbstractConfig& config) { importConfig(config); }
    // Whether taking the record would change what the monitoring loop polls.
    virtual bool changesPolling(const AbstractConfig& config) const;
    virtual void exportValue(AbstractValue& value) const = 0;
    virtual void importValue(const AbstractValue& value) = 0;
    // Display texts of the current value by column; key 0 is the row label.
    virtual QMap<int, QString> valueText() const;
    virtual bool statusFlag() const;
    virtual void setStatusFlag(quint8 status);
    virtual void accept(ResourceVisitor& visitor) = 0;
    // The resource's object in the system JSON: {"settings": {...}, "info": {...}}.
    bool readJson(const QJsonObject& json) override = 0;
    bool writeJson(QJsonObject& json) const override;
    // The object as the system JSON stores it, with the owning device's key as "info"/"owner":
    // `owner` is ownerInfo(key, kind()), made once for all resources of one kind of the device, so
    // that each resource only fills in its text id.
    bool writeJson(QJsonObject& json, const QJsonObject& owner) const;
    // The same with the text id as a JSON value made beforehand: Qt allocates a container for every
    // string value made, and devices of one type share their text ids.
    bool writeJson(QJsonObject& json, const QJsonObject& owner, const QJsonValue& textId) const;
    static QJsonObject ownerInfo(const QString& ownerKey, int kind);

    // Whether a value of the element is not of its key's form (the "settings" object, or a key
    // of the kind's own), lies beyond the ends of its field, or has a fraction the field cannot
    // keep; readJson refuses such an element rather than read the value as 0, false or absent, or
    // let a number wrap on its way to the device. The first one found goes to `unfit`.
    bool unfitValue(const QJsonObject& json, UnfitValue* unfit = nullptr) const;

    // Pairs analogue inputs two by two in the given order (the model's resource order): the first
    // of each pair is primary. Other kinds in the list are skipped; an odd last input is left
    // without partner. Pairs may span two devices.
    static void pairAnalogInputs(const QList<Ptr_t>& resources);
    static void pairAnalogInputs(const Ptr_t* first, const Ptr_t* last);

    void setPartner(const Ptr_t& partner, bool primary);
    Ptr_t partner() const { return m_partner.toStrongRef(); }
    bool isPrimary() const;
    bool isSecondary() const;
    // Couples or uncouples both resources of the pair; an unpaired resource stays uncoupled.
    void setCoupled(bool coupled);
    bool isCoupled() const;
    // Uncoupled as a resource is when it is made, with or without a partner now.
    void clearCoupledFlag() { m_coupled = false; }

    // The JSON identity. The model adds the owning device's key as "info"/"owner" and matches
    // elements to resources by that key and the text id.
    QJsonObject infoJson() const;
    static void setJsonOwner(QJsonObject& resourceJson, const QString& ownerKey);

    qint32 terminal() const { return m_terminal; }
    void setTerminal(qint32 terminal) { m_terminal = terminal; }
    qint32 index() const { return m_index; }
    void setIndex(qint32 index) { m_index = index; }
    qint32 commonTerminal() const { return m_commonTerminal; }
    void setCommonTerminal(qint32 terminal) { m_commonTerminal = terminal; }
    bool isTop() const { return m_top != 0; }
    void setTop(bool top) { m_top = top ? 1 : 0; }
    // 1 left board top, 2 left board bottom, 3 right board top, 4 right board bottom.
    quint32 connectorPosition() const { return m_connectorPosition; }
    void setConnectorPosition(quint32 position) { m_connectorPosition = position; }
    const QString& textId() const { return m_textId; }
    void setTextId(const QString& textId) { m_textId = textId; }
    quint32 subType() const { return m_subType; }
    void setSubType(quint32 subType) { m_subType = subType; }

protected:
    explicit IoResource(const NodeId_t& id);

    // Every key the kind's reader takes from "settings", with its form; none here.
    virtual const std::vector<JsonField>& jsonFields() const;

    // The kind's "settings" object.
    virtual QJsonObject settingsJson() const = 0;
    // Reads "settings" with the kind's reader, clearing the flag first and setting it again only
    // when the reader succeeds; an element holding a value its field cannot hold is not read.
    bool readJsonFrame(const QJsonObject& json,
                       const std::function<bool(const QJsonObject&)>& readSettings);
    // A range read from a device block or a file can say "coupled" before the pair exists, so the
    // kind sets its own flag without going through the partner.
    void setCoupledFlag(bool coupled) { m_coupled = coupled; }

private:
    // Each object of the frame is built once: "info" complete, then "settings" and "info" beside
    // whatever the caller already put in `json`.
    void writeJsonFrame(QJsonObject& json, const QJsonObject& info) const;

    qint32 m_terminal = -1;
    qint32 m_index = -1;
    qint32 m_commonTerminal = -1;
    quint8 m_top = 1;
    quint32 m_connectorPosition = 0;
    QString m_textId;
    // The two resources of a pair point at each other; a weak link keeps the pair from holding
    // itself alive after the model lets go of it.
    QWeakPointer<IoResource> m_partner;
    bool m_primary = true;
    bool m_coupled = false;
    quint32 m_subType = 0;
};

Q_DECLARE_METATYPE(IoResource::Ptr_t)
