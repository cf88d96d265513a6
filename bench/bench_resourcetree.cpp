// Median times of the resource tree: building it (model behind the sorting and filtering proxy,
// as the resource page holds it) for a full 22-board system and for a mode-0 system of 245
// devices, beside a bare QStandardItemModel of the same rows and columns built in bulk; every row
// reached through the proxy, as an expanded view reaches them (each device's rows filtered and
// ordered); and one monitoring update of the value texts of every resource row, with the reading of
// the texts of the rows a screen shows (the tree makes them when a row is shown).
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()>& work,
                const std::function<void()>& prepare = {})
{
    std::vector<qint64> ns;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        ns.push_back(timer.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

void build(SystemModel& model, DeviceType_t controller, DeviceType_t module, int modules)
{
    DeviceHandle h;
    h.type = controller;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 0;
    h.group = QStringLiteral("Щит 1");
    const NodeId_t owner = model.addDevice(h)->id();
    for (int i = 1; i <= modules; ++i) {
        h.type = module;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = i;
        // Groups of ten, so group rows and ungrouped rows both appear.
        h.group = (i / 10) % 2 ? QString() : QStringLiteral("Щит %1").arg(i / 10 + 1);
        model.addDevice(h);
    }
}

// The same rows and columns as standard items holding the group and device names, made detached
// and handed to the model one top-level row at a time (a row handed over takes its subtree along).
void buildBare(QStandardItemModel& bare, const SystemModel& system)
{
    QList<QStandardItem*> top;
    QHash<QString, QStandardItem*> groups;
    for (const DeviceHandle& handle : system.deviceHandles()) {
        const Device::Ptr_t device = system.device(handle.id);
        auto* row = new QStandardItem(device ? device->displayName(0) : QString());
        if (device) {
            row->setColumnCount(2);
            for (int i = 0; i < device->resourceIds().size(); ++i)
                row->appendRow({new QStandardItem, new QStandardItem});
        }
        if (handle.group.isEmpty()) {
            top.append(row);
            continue;
        }
        QStandardItem*& group = groups[handle.group];
        if (!group) {
            group = new QStandardItem(handle.group);
            top.append(group);
        }
        group->appendRow(row);
    }
    for (QStandardItem* group : qAsConst(groups))
        group->appendRow(new QStandardItem);
    for (QStandardItem* row : qAsConst(top))
        bare.appendRow(row);
}

// Every row below parent, as a view with every row expanded asks for them: rows without
// children are not opened.
int walk(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    if (parent.isValid() && !model.hasChildren(parent))
        return 0;
    int rows = model.rowCount(parent);
    for (int row = rows - 1; row >= 0; --row)
        rows += walk(model, model.index(row, 0, parent));
    return rows;
}

void measure(QTextStream& out, const QString& name, DeviceType_t controller, DeviceType_t module,
             int modules, int runs)
{
    SystemModel system;
    build(system, controller, module, modules);
    const QList<NodeId_t> ids = system.resources().keys();

    std::unique_ptr<ResourceConfiguration::Model> model;
    FilteringProxyModel proxy;
    const double built = medianMs(runs, [&] {
        proxy.setSourceModel(nullptr);
        model.reset(new ResourceConfiguration::Model(&system));
        proxy.setSourceModel(model.get());
        proxy.sort(0);
    });
    std::unique_ptr<QStandardItemModel> bare;
    const double bareBuilt = medianMs(runs, [&] {
        bare.reset(new QStandardItemModel);
        buildBare(*bare, system);
    });
    int rows = 0;
    const double walked = medianMs(runs, [&] { rows = walk(proxy); }, [&] { proxy.invalidate(); });
    model->setMonitoring(true);
    int tick = 0;
    const auto freshValues = [&] {
        // Fresh values each time, so every stored text changes.
        for (const IoResource::Ptr_t& r : system.resources()) {
            AbstractValue v;
            r->exportValue(v);
            v.ain.raw = v.ain.value = tick;
            v.aout.value = quint16(tick);
            v.din.counter = quint32(tick);
            v.dout.value = quint16(tick & 1);
            r->importValue(v);
        }
        ++tick;
    };
    const double updated = medianMs(runs, [&] { model->updateValues(ids); }, freshValues);
    // A screen of the tree shows about forty rows.
    const QList<QModelIndex> shown = model->indexes(ids.mid(0, 40));
    const double read = medianMs(runs, [&] {
        for (const QModelIndex& row : shown) {
            const QModelIndex cell = row.siblingAtColumn(1);
            row.data(ResourceConfiguration::Model::StatusRole);
            cell.data(ResourceConfiguration::Model::StatusRole);
            cell.data(ResourceConfiguration::Model::ValueRole);
            cell.data(ResourceConfiguration::Model::SecondValueRole);
        }
    }, [&] {
        freshValues();
        model->updateValues(ids);
    });
    out << name << ": " << system.devices().size() << " devices, " << ids.size()
        << " resources\n  tree build (model + proxy):  " << QString::number(built, 'f', 3)
        << " ms (bare QStandardItemModel of the same rows " << QString::number(bareBuilt, 'f', 3)
        << " ms, ratio " << QString::number(built / bareBuilt, 'f', 2) << ")\n  all " << rows
        << " rows through the proxy: " << QString::number(walked, 'f', 3)
        << " ms\n  value update of all rows:    " << QString::number(updated, 'f', 3)
        << " ms\n  texts of " << shown.size() << " shown rows:     " << QString::number(read, 'f', 3)
        << " ms\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    const int runs = int(Bench::argument(argc, argv, 1, 30, 1));
    QTextStream out(stdout);

    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& p = SettingsProvider::instance();
    const DeviceType_t twoBoardModule = Bench::twoBoardModule(p);
    // 22 boards: a two-board controller and ten two-board modules.
    measure(out, QStringLiteral("22-board system"), 0x0B0A140Au, twoBoardModule, 10, runs);

    QCoreApplication::setApplicationName(QStringLiteral("bench"));
    SettingsProvider::instance(QStringLiteral("reload"));
    measure(out, QStringLiteral("245-device system"), 0x0B0A140Au, 0x0A14000Au, 244,
            qMax(1, runs / 3));
    return 0;
}
