#pragma once

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "support/modelfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QtTest>

// Catalogue types and systems the system editor tests build on.
namespace SystemFixture {

inline int boardsOf(DeviceType_t type)
{
    DeviceTemplate tpl;
    return SettingsProvider::instance().deviceTemplate(type, -1, &tpl, false) ? tpl.boardIds.size()
                                                                               : -1;
}

// The first type of a class with exactly `boards` I/O boards; 0 when there is none.
inline DeviceType_t typeWithBoards(int deviceClass, int boards)
{
    for (const DeviceType_t t : SettingsProvider::instance().types(deviceClass)) {
        if (boardsOf(t) == boards)
            return t;
    }
    return 0;
}

// The "Tav Configurator" brand's catalogue, with the pair most buses here are built from: a
// controller with `controllerBoards` I/O boards and a module with one. False where it has none.
inline bool pickBusTypes(DeviceType_t& tav, DeviceType_t& pex, int controllerBoards = 2)
{
    ModelFixture::loadCatalogueAs(QStringLiteral("Tav Configurator"));
    tav = typeWithBoards(2, controllerBoards);
    pex = typeWithBoards(3, 1);
    return tav && pex;
}

// Types of a class whose templates have a channel of the resource kind, in catalogue order.
inline QList<DeviceType_t> typesWith(int deviceClass, int kind)
{
    QList<DeviceType_t> out;
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (const DeviceType_t t : catalogue.types(deviceClass)) {
        for (const IoChannel& channel : catalogue.templates.value(t).channels) {
            if (channel.kind == kind) {
                out << t;
                break;
            }
        }
    }
    return out;
}

inline QByteArray jsonOf(const SystemModel& model)
{
    QJsonObject data;
    if (!model.writeJson(data))
        return QByteArray("write failed");
    return QJsonDocument(data).toJson(QJsonDocument::Indented);
}

// A controller followed by `modules` modules of its own, numbered as the bus numbers them.
inline QList<DeviceHandle> controllerWithModules(DeviceType_t controller, DeviceType_t module,
                                                 int number, int modules)
{
    QList<DeviceHandle> list{ModelFixture::handleOf(controller, number)};
    for (int i = 1; i <= modules; ++i)
        list.append(ModelFixture::handleOf(module, i, list.first().id));
    return list;
}

inline DeviceHandle grouped(DeviceHandle h, const QString& group)
{
    h.group = group;
    return h;
}

inline QList<DeviceHandle> inGroup(QList<DeviceHandle> handles, const QString& group)
{
    for (DeviceHandle& h : handles)
        h.group = group;
    return handles;
}

inline void addAll(SystemModel& model, const QList<DeviceHandle>& handles)
{
    for (const DeviceHandle& h : handles)
        QVERIFY(model.addDevice(h));
}

} // namespace SystemFixture
