// The configuration and value records that editors, undo commands and the model pass around.
#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/ioresource.h"

#include <QtTest>

#include <cstring>
#include <functional>

class ConfigRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultConfigHoldsTheDeviceDefaults()
    {
        const AbstractConfig c;
        QCOMPARE(c.kind, -1);
        QCOMPARE(c.ain.pollAin, 1);
        QCOMPARE(c.ain.scMax, 10.0f);
        QCOMPARE(c.ain.calibration, (std::array<float, 6>{{4.0f, 20.0f, 0.0f, 0.0f, 10.0f, 0.0f}}));
        QCOMPARE(c.din.filter, quint16(1));
        QCOMPARE(c.port.baud, 3750000u);
        QCOMPARE(c.port.sbits, quint8(2));
        QCOMPARE(c.port.address, quint8(1));
        QCOMPARE(c.port.safeTime, 2000u);
        QCOMPARE(c.device.pollAin, 1u);
    }

    void copiesAreIndependent()
    {
        AbstractConfig original;
        original.kind = ResourceKind::DevicePart;
        original.device.label = "Pump room";
        AbstractConfig copy = original;
        QCOMPARE(copy, original);
        copy.device.label[0] = 'L';
        copy.ain.sensors[1].rref = 100;
        QCOMPARE(original.device.label, QString("Pump room"));
        QCOMPARE(original.ain.sensors[1].rref, 0);

        AbstractConfig assigned;
        assigned = original;
        QCOMPARE(assigned.device.label, QString("Pump room"));
        QCOMPARE(assigned.kind, int(ResourceKind::DevicePart));
    }

    // Undo commands compare records to decide what changed; a field forgotten in the comparison
    // would make such an edit invisible, the carried fields most easily of all.
    void comparisonSeesEveryField()
    {
        using Edit = std::function<void(AbstractConfig&)>;
        const QList<Edit> edits = {
            [](auto& c) { c.kind = 0; }, [](auto& c) { c.ain.range = 3; },
            [](auto& c) { c.ain.onePole = 1; }, [](auto& c) { c.ain.median = -1; },
            [](auto& c) { c.ain.freq60 = true; }, [](auto& c) { c.ain.pollAin = 2; },
            [](auto& c) { c.ain.scMin = -1; }, [](auto& c) { c.ain.scMax = 1; },
            [](auto& c) { c.ain.scOffset = 1; }, [](auto& c) { c.ain.calibration[5] = 1; },
            [](auto& c) { c.ain.tsType = 91; }, [](auto& c) { c.ain.reserved1 = 1; },
            [](auto& c) { c.ain.reserved2 = 1; }, [](auto& c) { c.ain.sensors[0].rref = 1; },
            [](auto& c) { c.ain.sensors[0].tref = 25; },
            [](auto& c) { c.ain.sensors[0].abFactor = 1; },
            [](auto& c) { c.ain.sensors[1].a = 1; }, [](auto& c) { c.ain.sensors[1].b = 1; },
            [](auto& c) { c.ain.sensors[2].c = 1; }, [](auto& c) { c.aout.reserved1 = 1; },
            [](auto& c) { c.aout.reserved2 = 1; }, [](auto& c) { c.aout.save = 1; },
            [](auto& c) { c.aout.blockWord = 1; }, [](auto& c) { c.din.filterOn = true; },
            [](auto& c) { c.din.filter = 5; }, [](auto& c) { c.din.ac = true; },
            [](auto& c) { c.din.pollCntr = true; }, [](auto& c) { c.din.pollFreq = true; },
            [](auto& c) { c.dout.save = 1; }, [](auto& c) { c.dout.reserved = 1; },
            [](auto& c) { c.port.baud = 1; }, [](auto& c) { c.port.parity = 1; },
            [](auto& c) { c.port.sbits = 1; }, [](auto& c) { c.port.blockWord = 1; },
            [](auto& c) { c.port.delay = 1; }, [](auto& c) { c.port.mode = 1; },
            [](auto& c) { c.port.address = 44; }, [](auto& c) { c.port.safeTime = 0; },
            [](auto& c) { c.device.pollCntr = 1; }, [](auto& c) { c.device.pollFreq = 1; },
            [](auto& c) { c.device.pollAin = 2; }, [](auto& c) { c.device.label = "x"; },
        };
        const AbstractConfig base;
        for (int i = 0; i < edits.size(); ++i) {
            AbstractConfig edited;
            edits[i](edited);
            QVERIFY2(edited != base, qPrintable(QString("edit %1").arg(i)));
        }
    }

    // An editor's map can mix kinds; a resource handed another kind's record, or a default one,
    // must not take the member that happens to sit at its own place.
    void recordsOfAnotherKindChangeNothing()
    {
        for (int from = ResourceKind::None; from <= ResourceKind::SerialPort; ++from) {
            AbstractConfig foreign;
            if (from != ResourceKind::None)
                IoResource::create(from, QUuid::createUuid())->exportConfig(foreign);
            foreign.ain.range = 3;
            foreign.ain.pollAin = 2;
            foreign.aout.save = 1234;
            foreign.din.filter = 9;
            foreign.din.pollCntr = true;
            foreign.dout.save = 1;
            foreign.port.baud = 9600;
            for (int to = ResourceKind::Ain; to <= ResourceKind::SerialPort; ++to) {
                if (to == from)
                    continue;
                const IoResource::Ptr_t r = IoResource::create(to, QUuid::createUuid());
                AbstractConfig before;
                r->exportConfig(before);
                r->importConfig(foreign);
                AbstractConfig after;
                r->exportConfig(after);
                QVERIFY2(after == before, qPrintable(QString("%1 into %2").arg(from).arg(to)));
                QVERIFY(!r->changesPolling(foreign));
            }
        }
    }

    // Editors fill only the fields they change; whatever they leave must not reach a device as
    // stray memory.
    void defaultValueIsZeroed()
    {
        alignas(AbstractValue) unsigned char storage[sizeof(AbstractValue)];
        std::memset(storage, 0xA5, sizeof storage);
        auto* v = new (storage) AbstractValue;
        QCOMPARE(v->kind, -1);
        QCOMPARE(v->ain.value, 0.0);
        QCOMPARE(v->ain.raw, 0.0);
        QCOMPARE(v->ain.status, 0u);
        QCOMPARE(v->ain.freeze, quint8(0));
        QCOMPARE(v->aout.overrideValue, qint16(0));
        QCOMPARE(v->din.counter, 0u);
        QCOMPARE(v->din.reset, quint16(0));
        QCOMPARE(v->dout.value, quint16(0));
        QCOMPARE(v->port.words[2], 0u);
        v->~AbstractValue();

    }
};

QTEST_GUILESS_MAIN(ConfigRecordsTest)
#include "tst_configrecords.moc"
