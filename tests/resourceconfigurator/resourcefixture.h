#pragma once

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "support/modelfixture.h"

#include <QJsonDocument>
#include <QJsonObject>

// Systems the resource page tests share, built from the first vendor's catalogue.
namespace ResourceFixture {

// PEX-2000-10: one board with two analogue outputs, eight discrete inputs and four outputs.
constexpr DeviceType_t kPex2000 = 0x0A14000Au;
// PEX-5000-10: eight analogue inputs and two analogue outputs.
constexpr DeviceType_t kPex5000 = 0x0A32000Au;

// The "Tav Configurator" brand's catalogue (mode 1), loaded once per test process.
inline void loadCatalogue()
{
    ModelFixture::loadCatalogueAs(QStringLiteral("Tav Configurator"));
    SystemModel::registerMetaTypes();
}

inline Device::Ptr_t add(SystemModel& model, DeviceType_t type, int number,
                         const QString& group = QString(), const NodeId_t& owner = NodeId_t())
{
    DeviceHandle h = ModelFixture::handleOf(type, number, owner);
    h.revision = 0;
    h.group = group;
    return model.addDevice(h);
}

// A controller and three modules; groups as given (empty: none).
struct System
{
    Device::Ptr_t controller, m1, m2, m3;
};

inline System build(SystemModel& model, const QStringList& groups = {"", "", "", ""})
{
    System s;
    s.controller = add(model, ModelFixture::kTav1020, 0, groups.value(0));
    s.m1 = add(model, kPex2000, 1, groups.value(1), s.controller->id());
    s.m2 = add(model, kPex5000, 2, groups.value(2), s.controller->id());
    s.m3 = add(model, kPex2000, 3, groups.value(3), s.controller->id());
    return s;
}

inline QByteArray json(const SystemModel& model)
{
    QJsonObject data;
    model.writeJson(data);
    return QJsonDocument(data).toJson(QJsonDocument::Compact);
}

inline QList<IoResource::Ptr_t> ofKind(const SystemModel& model, const Device::Ptr_t& device,
                                       int kind)
{
    QList<IoResource::Ptr_t> out;
    for (const IoResource::Ptr_t& r : model.deviceResources(device->id(), false)) {
        if (r->kind() == kind)
            out.append(r);
    }
    return out;
}

} // namespace ResourceFixture
