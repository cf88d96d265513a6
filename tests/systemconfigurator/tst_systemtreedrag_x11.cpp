// One whole row drag of the system tree on a real X server: the pointer hovers the row, presses
// its move handle, carries it over the tree and lets go on another row. QDrag runs its own event
// loop that only a window system drives, so this test starts Xvfb and moves the pointer with
// xdotool; it is skipped, saying so, where no X server can start.
#include "support/isolatedenvironment.h"
#include "treeviewfixture.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

// A private X server for this process, found through -displayfd so parallel tests never collide.
class XServer
{
public:
    bool start(QString* why)
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
            *why = "Xvfb is not installed (Debian package xvfb)";
            return false;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            *why = "no pipe for Xvfb's display number";
            return false;
        }
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const QByteArray fd = QByteArray::number(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "640x480x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        QByteArray number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number.append(c);
        close(fds[0]);
        if (pid < 0 || number.isEmpty()) {
            *why = "Xvfb did not start";
            stop();
            return false;
        }
        qputenv("DISPLAY", ":" + number);
        return true;
    }

    void stop()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }

    ~XServer() { stop(); }

private:
    pid_t pid = -1;
};

QString& skipReason()
{
    static QString reason;
    return reason;
}

} // namespace

class SystemTreeRealDragTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        if (!skipReason().isEmpty())
            QSKIP(qPrintable("no X server: " + skipReason()));
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed (Debian package xdotool)");
        QCoreApplication::setApplicationName("Tav Configurator");
    }

    void aControllerDraggedByItsHandleMovesOnTheBus()
    {
        const DeviceType_t tav = typeWithBoards(2, 2);
        const DeviceType_t pex = typeWithBoards(3, 1);
        QVERIFY(tav && pex);
        TreeViewFixture f;
        const DeviceHandle last = handleOf(tav, 2);
        f.load(controllerWithModules(tav, pex, 0, 1) + controllerWithModules(tav, pex, 1, 1)
               + QList<DeviceHandle>{last});
        f.view.move(20, 20);
        f.view.show();
        f.view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.view));

        QSignalSpy started(&f.model, &Model::busMove);
        QSignalSpy finished(&f.view, &View::finishMove);
        QSignalSpy targets(&f.view, &View::moveDest);
        const QModelIndex source = f.model.index(4, 0);
        const QModelIndex target = f.model.index(1, 0);
        const QPoint handle = f.view.viewport()->mapToGlobal(f.at(source, 150));
        const QPoint drop = f.view.viewport()->mapToGlobal(f.at(target, 100));
        const auto to = [](const QPoint& p) {
            return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y()),
                               "sleep", "0.15"};
        };
        QStringList script = to(handle - QPoint(20, 0)) + to(handle) + QStringList{"mousedown", "1"};
        for (int step = 1; step <= 6; ++step)
            script += to(handle + (drop - handle) * step / 6);
        script += to(drop) + QStringList{"mouseup", "1"};

        QProcess pointer;
        pointer.start("xdotool", script);
        QVERIFY(pointer.waitForStarted(5000));
        QVERIFY(finished.wait(20000));
        pointer.waitForFinished(5000);

        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toModelIndex(), source);
        QCOMPARE(finished.at(0).at(1).toModelIndex(), target);
        QVERIFY(!targets.isEmpty());
        QCOMPARE(started.count(), 1);
        const QList<DeviceHandle> order = started.at(0).at(0).value<QList<DeviceHandle>>();
        QCOMPARE(order.at(2).id, last.id);
        QVERIFY(!f.view.dragEnabled());
        QCOMPARE(source.data(DragSourceRole).toInt(), 0);
    }
};

int main(int argc, char* argv[])
{
    XServer server;
    if (server.start(&skipReason())) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Nothing here draws with OpenGL; the GLX driver would keep allocations past exit.
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    QApplication app(argc, argv);
    SystemTreeRealDragTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemtreedrag_x11.moc"
