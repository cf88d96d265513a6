// What the system tree paints: a row is drawn as dragged (red text) while it or its controller is
// dragged and at no other time, a group's arrow is the same at every device pixel ratio, and the
// system page's tree paints through its own renderer.
#include "model/systemmodel.h"
#include "support/isolatedenvironment.h"
#include "support/pixelprobe.h"
#include "systemconfigurator/systemconfigurator.h"
#include "treeviewfixture.h"

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

bool paintedRed(const Renderer& renderer, const QModelIndex& row)
{
    const QImage picture =
        PixelProbe::paintedCell(renderer, row, PixelProbe::cellOption({200, 30}));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                return true;
        }
    return false;
}

// The logical-pixel box of what is painted near black (a group row's expand arrow) at a device
// pixel ratio.
QRectF arrowBox(const Renderer& renderer, const QModelIndex& row, bool open, qreal ratio)
{
    const QStyle::State state = open ? QStyle::State_Enabled | QStyle::State_Open
                                     : QStyle::State(QStyle::State_Enabled);
    const QImage picture = PixelProbe::paintedCell(
        renderer, row, PixelProbe::cellOption({200, 30}, state), Qt::white, ratio);
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 70)
                box |= QRect(x, y, 1, 1);
    return QRectF(box.topLeft() / ratio, box.size() / ratio);
}

} // namespace

class SystemTreePaintingTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

private slots:
    void initTestCase() { QVERIFY(pickBusTypes(tav, pex)); }

    // Rows: 0 controller A, 1 its module, 2 controller B, 3 its module; -1 drags nothing.
    void rowIsDrawnAsDraggedWithItsController_data()
    {
        QTest::addColumn<int>("dragged");
        QTest::addColumn<QList<bool>>("red");
        QTest::newRow("nothing") << -1 << QList<bool>{false, false, false, false};
        QTest::newRow("controller A") << 0 << QList<bool>{true, true, false, false};
        QTest::newRow("module of A") << 1 << QList<bool>{false, true, false, false};
        QTest::newRow("controller B") << 2 << QList<bool>{false, false, true, true};
    }

    void rowIsDrawnAsDraggedWithItsController()
    {
        QFETCH(int, dragged);
        QFETCH(QList<bool>, red);
        TreeViewFixture f;
        const QList<DeviceHandle> handles =
            controllerWithModules(tav, pex, 0, 1) + controllerWithModules(tav, pex, 1, 1);
        f.load(handles);
        if (dragged >= 0)
            f.model.startMove(f.model.rowOfDevice().value(handles.at(dragged).id));
        for (int i = 0; i < handles.size(); ++i) {
            const QModelIndex row = f.model.rowOfDevice().value(handles.at(i).id);
            QVERIFY(row.isValid());
            QVERIFY2(paintedRed(f.renderer, row) == red.at(i), qPrintable(QString::number(i)));
        }
    }

    // On a high-density screen the arrow of a group row is as large, and where, it is at ratio 1.
    void groupArrowKeepsItsSizeAtEveryPixelRatio_data()
    {
        QTest::addColumn<bool>("expanded");
        QTest::newRow("collapsed") << false;
        QTest::newRow("expanded") << true;
    }

    void groupArrowKeepsItsSizeAtEveryPixelRatio()
    {
        QFETCH(bool, expanded);
        TreeViewFixture f;
        QList<DeviceHandle> handles;
        for (const DeviceHandle& h : controllerWithModules(tav, pex, 0, 1))
            handles << grouped(h, QStringLiteral("G"));
        f.load(handles);
        const QModelIndex group = f.model.index(0, 0);
        QCOMPARE(group.data(KindRole).toInt(), GroupKind);
        const QRectF single = arrowBox(f.renderer, group, expanded, 1.0);
        QVERIFY(!single.isEmpty());
        const QRectF dense = arrowBox(f.renderer, group, expanded, 2.0);
        QVERIFY2(qAbs(dense.width() - single.width()) <= 1.5
                     && qAbs(dense.height() - single.height()) <= 1.5
                     && qAbs(dense.left() - single.left()) <= 1.5
                     && qAbs(dense.top() - single.top()) <= 1.5,
                 qPrintable(QStringLiteral("ratio 1: %1,%2 %3x%4; ratio 2: %5,%6 %7x%8")
                                .arg(single.left()).arg(single.top()).arg(single.width())
                                .arg(single.height()).arg(dense.left()).arg(dense.top())
                                .arg(dense.width()).arg(dense.height())));
    }

    void systemPageTreePaintsThroughItsRenderer()
    {
        SystemModel system;
        SystemConfigurator page(&system);
        auto* view = page.findChild<View*>();
        QVERIFY(view);
        QVERIFY(qobject_cast<Renderer*>(view->itemDelegate()));
    }
};

QTEST_MAIN(SystemTreePaintingTest)
#include "tst_systemtreepainting.moc"
