// Where a dropped row lands on the bus, which group it joins, and how numbers and owners follow.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/treerole.h"
#include "systemfixture.h"

#include <QSignalSpy>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

class BusOrderTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    QMap<QString, DeviceHandle> byName;
    QMap<NodeId_t, QString> nameOf;

    // "A A1 A2:G B": controllers are letters, modules a letter and their number, ":G" a group.
    QList<DeviceHandle> system(const QString& text)
    {
        byName.clear();
        nameOf.clear();
        QList<DeviceHandle> bus;
        NodeId_t controller;
        int controllers = 0;
        for (const QString& token : text.split(' ', Qt::SkipEmptyParts)) {
            const QString name = token.section(':', 0, 0);
            const bool module = name.size() > 1;
            DeviceHandle h = module ? handleOf(pex, name.mid(1).toInt(), controller)
                                    : handleOf(tav, controllers++);
            if (!module)
                controller = h.id;
            h.group = token.section(':', 1);
            bus << h;
            byName.insert(name, h);
            nameOf.insert(h.id, name);
        }
        return bus;
    }

    // The same notation with numbers and owners: "A=0 A1=1@A B=1:G".
    QString describe(const QList<DeviceHandle>& bus) const
    {
        QStringList out;
        for (const DeviceHandle& h : bus) {
            QString s = nameOf.value(h.id) + "=" + QString::number(h.number);
            if (!h.owner.isNull())
                s += "@" + nameOf.value(h.owner);
            if (!h.group.isEmpty())
                s += ":" + h.group;
            out << s;
        }
        return out.join(' ');
    }

    QModelIndex row(const Model& model, const QString& what) const
    {
        if (what == "none")
            return QModelIndex();
        if (what == "add")
            return model.index(model.rowCount() - 1, 0);
        const QString name = what.section(':', 1);
        for (auto it = model.groupRows().cbegin(); it != model.groupRows().cend(); ++it) {
            if (it.value() != name)
                continue;
            if (what.startsWith("group:"))
                return it.key();
            return model.index(model.rowCount(it.key()) - 1, 0, it.key());
        }
        return model.rowOfDevice().value(byName.value(what).id);
    }

private slots:
    void initTestCase() { QVERIFY(pickBusTypes(tav, pex, 1)); }

    void drops_data()
    {
        QTest::addColumn<QString>("bus");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected"); // empty: no move

        QTest::newRow("controller onto another's last module") << "B B1 B2 A A1 A2" << "B" << "A2"
            << "A=0 A1=1@A A2=2@A B=1 B1=1@B B2=2@B";
        QTest::newRow("module onto another controller") << "A A1 A2 D D1 D2" << "A1" << "D"
            << "A=0 A2=1@A D=1 A1=1@D D1=2@D D2=3@D";
        QTest::newRow("module onto its own controller") << "A A1 A2" << "A2" << "A"
            << "A=0 A2=1@A A1=2@A";
        QTest::newRow("onto a group's spacer") << "A B:G C:G D" << "A" << "end:G"
            << "B=0:G C=1:G A=2 D=3";
        QTest::newRow("leaving one member dissolves the group") << "A:G B:G C" << "A" << "C"
            << "B=0 C=1 A=2";
        QTest::newRow("onto a later group's header") << "A B:G C:G D" << "D" << "group:G"
            << "A=0 D=1:G B=2:G C=3:G";
        QTest::newRow("onto the first group's header") << "A:G B:G C" << "C" << "group:G" << "";
        QTest::newRow("onto itself") << "A B" << "A" << "A" << "";
        QTest::newRow("onto the add row") << "A B" << "A" << "add" << "";
        QTest::newRow("onto nothing") << "A B" << "A" << "none" << "";
        QTest::newRow("controller onto its own module") << "A A1 A2 B" << "A" << "A2" << "";
    }

    void drops()
    {
        QFETCH(QString, bus);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        Model model;
        model.rebuild(system(bus));
        QSignalSpy moved(&model, &Model::busMove);
        const QModelIndex from = row(model, source);
        const QModelIndex to = row(model, target);
        model.startMove(from);
        model.moveDest(to);
        QCOMPARE(to.isValid() ? to.data(DropTargetRole).toInt() : 1, 1);
        model.finishMove(from, to);
        QCOMPARE(from.data(DragSourceRole).toInt(), 0);
        if (expected.isEmpty()) {
            QCOMPARE(moved.count(), 0);
            return;
        }
        QCOMPARE(moved.count(), 1);
        QCOMPARE(describe(moved.last().at(0).value<QList<DeviceHandle>>()), expected);
    }
};

QTEST_GUILESS_MAIN(BusOrderTest)
#include "tst_busorder.moc"
