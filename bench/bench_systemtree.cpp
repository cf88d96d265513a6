// Median times of the system page's structural work: a rebuild of the tree model for the largest
// system of the board budget (22 one-board devices) and for a mode-0 system of 245 devices, and an
// addition of 45 devices with its undo and redo.
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "systemconfigurator/adddevice.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Bench::medianMs;
using Bench::timed;
using SystemFixture::typeWithBoards;

DeviceHandle handle(DeviceType_t type, int number, const NodeId_t& owner, const QString& group)
{
    DeviceHandle h = ModelFixture::handleOf(type, number, owner);
    h.group = group;
    return h;
}

// `controllers` controllers sharing `modules` modules, every second controller in a group.
QList<DeviceHandle> system(int controllers, int modules)
{
    const DeviceType_t tav = typeWithBoards(2, 1);
    const DeviceType_t pex = typeWithBoards(3, 1);
    QList<DeviceHandle> bus;
    for (int c = 0; c < controllers; ++c) {
        const QString group = c % 2 ? QStringLiteral("Group %1").arg(c) : QString();
        bus << handle(tav, c, NodeId_t(), group);
        const NodeId_t owner = bus.last().id;
        const int own = modules / controllers + (c < modules % controllers ? 1 : 0);
        for (int m = 1; m <= own; ++m)
            bus << handle(pex, m, owner, group);
    }
    return bus;
}

void measureRebuild(QTextStream& out, const QString& name, const QList<DeviceHandle>& bus, int runs)
{
    SystemConfiguration::Model model;
    std::vector<qint64> ns;
    for (int i = 0; i < runs; ++i)
        ns.push_back(timed([&] { model.rebuild(bus); }));
    out << name << ": " << bus.size() << " devices, " << model.boardsInUse() << " boards\n"
        << "  tree rebuild:          " << QString::number(medianMs(ns), 'f', 3) << " ms\n";
}

void measureAddition(QTextStream& out, int runs)
{
    const DeviceType_t pex = typeWithBoards(3, 1);
    std::vector<qint64> first, undo, redo;
    for (int i = 0; i < runs; ++i) {
        SystemModel model;
        const Device::Ptr_t controller =
            model.addDevice(handle(typeWithBoards(2, 1), 0, NodeId_t(), QString()));
        QList<DeviceHandle> added;
        for (int m = 1; m <= 45; ++m)
            added << handle(pex, m, controller->id(), QString());
        QUndoStack stack;
        first.push_back(timed([&] { stack.push(new AddDevice(added, &model)); }));
        undo.push_back(timed([&] { stack.undo(); }));
        redo.push_back(timed([&] { stack.redo(); }));
    }
    out << "45-device addition\n"
        << "  first redo (creation): " << QString::number(medianMs(first), 'f', 3) << " ms\n"
        << "  undo:                  " << QString::number(medianMs(undo), 'f', 3) << " ms\n"
        << "  redo (same objects):   " << QString::number(medianMs(redo), 'f', 3) << " ms\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    const int runs = int(Bench::argument(argc, argv, 1, 50, 1));
    QTextStream out(stdout);

    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    SettingsProvider::instance();
    measureRebuild(out, QStringLiteral("22-board system"), system(3, 19), runs);
    measureAddition(out, qMax(1, runs / 5));

    // Another application name is the device-count mode; the catalogue reloads to take it.
    QCoreApplication::setApplicationName(QStringLiteral("bench"));
    SettingsProvider::instance(QStringLiteral("reload"));
    measureRebuild(out, QStringLiteral("mode-0 system"), system(5, 240), qMax(1, runs / 5));
    return 0;
}
