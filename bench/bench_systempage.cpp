// Median times of the system page with the largest system of the board budget (22 one-board
// devices: three controllers and 19 modules, every second controller in a group): from creating
// the page to its first paint, and a full reload after an edit (the edit's redo, the tree rebuilt,
// the panel recomputed, the page repainted) and after its undo.
#include "benchsupport.h"
#include "model/systemmodel.h"
#include "systemconfigurator/changegroup.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/systemfixture.h"

#include <QApplication>
#include <QTextStream>
#include <QUndoStack>
#include <QWindow>

using namespace Bench;
using SystemFixture::typeWithBoards;

namespace {

void fill(SystemModel& system)
{
    const int modules[] = {7, 6, 6};
    for (int c = 0; c < 3; ++c) {
        DeviceHandle controller;
        controller.type = typeWithBoards(2, 1);
        controller.id = SystemModel::newNodeId();
        controller.number = c;
        controller.group = c % 2 ? QStringLiteral("Group %1").arg(c) : QString();
        system.addDevice(controller);
        for (int m = 1; m <= modules[c]; ++m) {
            DeviceHandle module = controller;
            module.type = typeWithBoards(3, 1);
            module.id = SystemModel::newNodeId();
            module.owner = controller.id;
            module.number = m;
            system.addDevice(module);
        }
    }
}

void paintNow(QWidget* page)
{
    page->repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Bench::Environment environment;
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const int runs = int(Bench::argument(argc, argv, 1, 30, 1));
    QTextStream out(stdout);

    SystemModel system;
    fill(system);
    std::vector<qint64> built, shown, edit, undo;
    for (int i = 0; i < runs; ++i) {
        SystemConfigurator* page = nullptr;
        shown.push_back(timed([&] {
            built.push_back(timed([&] { page = new SystemConfigurator(&system); }));
            page->resize(1000, 560);
            page->show();
            // The offscreen platform exposes a window as it is shown; a real one needs the
            // event loop.
            while (!page->windowHandle() || !page->windowHandle()->isExposed())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            paintNow(page);
        }));
        QUndoStack stack;
        QObject::connect(page, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push);
        QList<DeviceHandle> grouped = system.deviceHandles();
        for (DeviceHandle& h : grouped)
            h.group = QStringLiteral("Щит");
        edit.push_back(timed([&] {
            stack.push(new ChangeGroup(grouped, &system));
            paintNow(page);
        }));
        undo.push_back(timed([&] {
            stack.undo();
            paintNow(page);
        }));
        delete page;
    }
    out << "22-board system: " << system.deviceHandles().size() << " devices\n"
        << "  page created:             " << QString::number(medianMs(built), 'f', 3) << " ms\n"
        << "  start to shown:           " << QString::number(medianMs(shown), 'f', 3) << " ms\n"
        << "  edit and full reload:     " << QString::number(medianMs(edit), 'f', 3) << " ms\n"
        << "  undo and full reload:     " << QString::number(medianMs(undo), 'f', 3) << " ms\n";
    return 0;
}
