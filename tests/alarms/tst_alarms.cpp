// Alarm polling against a scripted register device: what is read and how often, how the words
// become alarms, and what acknowledge and mask write back.
#include "alarms/alarmsprovider.h"
#include "alarms/alrmsmanager.h"
#include "alarms/systemalarms.h"
#include "catalogue/settingsprovider.h"
#include "communication/changealarmrequest.h"
#include "communication/scriptediodevice.h"
#include "support/isolatedenvironment.h"
#include "support/simulatedcontroller.h"

#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class AlarmsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    ProtoEntry states;
    ProtoEntry controls;
    SystemInfo_t info;
    QList<Request::Ptr_t> sent;
    Alarms::AlarmsProvider* provider = nullptr;

    // As a channel would: run on the device, then hand back in the GUI thread.
    void answerAll(ScriptedIoDevice& device)
    {
        while (!sent.isEmpty()) {
            const Request::Ptr_t r = sent.takeFirst();
            r->doRequest(device);
            r->notify();
        }
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        QVERIFY(p.sysEntry("alarm-reg", &states));
        QVERIFY(p.sysEntry("alarm-reg-ctrl", &controls));
        info.cpuId = 0x0B0A140Au;
        BusEntry module;
        module.type = p.pexTypes.first();
        module.present = true;
        info.bus = {module};
    }

    void init()
    {
        sent.clear();
        provider = new Alarms::AlarmsProvider;
        connect(provider, &Alarms::AlarmsProvider::sendRequest, this,
                [this](Request::Ptr_t r) { sent.append(r); });
    }
    void cleanup() { delete provider; }

    void pollsOnlyWithASelectedSystemWhileEnabled()
    {
        provider->poll();
        QVERIFY(sent.isEmpty());
        QVERIFY(!provider->isPolling());

        provider->systemSelected(info);
        QVERIFY(provider->isPolling());
        QCOMPARE(provider->pollInterval(), 3000);
        // Two devices, three words each: active and latched halves, then the mask half.
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[0]->registers().rcmd, states.rcmd);
        QCOMPARE(sent[0]->registers().offset, states.offset);
        QCOMPARE(sent[0]->registers().registers, 12u);
        QCOMPARE(sent[1]->registers().rcmd, controls.rcmd);
        QCOMPARE(sent[1]->registers().registers, 6u);

        // No second round while the first is unanswered; a dropped round does not block.
        provider->poll();
        QCOMPARE(sent.size(), 2);
        sent.clear();
        QVERIFY(!provider->isPollPending());
        provider->poll();
        QCOMPARE(sent.size(), 2);

        provider->monitoring(true);
        QCOMPARE(provider->pollInterval(), 1500);
        provider->enableCheckAlarm(false);
        QVERIFY(!provider->isPolling());
        sent.clear();
        provider->poll();
        QVERIFY(sent.isEmpty());
        provider->enableCheckAlarm(true);
        QVERIFY(provider->isPolling());

        QSignalSpy updates(provider, &Alarms::AlarmsProvider::updateAlarms);
        provider->systemLost();
        QVERIFY(!provider->isPolling());
        QCOMPARE(updates.count(), 1);
        QVERIFY(updates[0][0].value<QList<AlarmItem>>().isEmpty());
    }

    void wordsBecomeAlarmsWithCatalogueTexts()
    {
        ScriptedIoDevice device;
        // Controller: active low voltage (bit 3); module: latched input overload on channel 3
        // (word 3 + 1 of the latched half, which starts at word 6).
        device.setWords(
            int(states.rcmd), int(states.offset),
            SimulatedController::wordBytes({0x0008, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0004, 0}));
        // Module output channel 1 masked.
        device.setWords(int(controls.rcmd), int(controls.offset),
                        SimulatedController::wordBytes({0, 0, 0, 0, 0, 0x0001}));
        QSignalSpy updates(provider, &Alarms::AlarmsProvider::updateAlarms);
        provider->systemSelected(info);
        answerAll(device);
        QCOMPARE(updates.count(), 1);
        const QList<AlarmItem> items = updates[0][0].value<QList<AlarmItem>>();
        QCOMPARE(items.size(), 3);
        QVERIFY(items[0].active && !items[0].latched && items[0].device == 0);
        QCOMPARE(items[0].display, QString("Низкое напряжение питания"));
        QVERIFY(items[1].latched && !items[1].active && items[1].device == 1);
        QCOMPARE(items[1].code(), 100);
        QCOMPARE(items[1].bit, 2);
        QVERIFY(items[2].masked && items[2].group == AlarmItem::AnalogueOutputs);

        Alarms::SystemAlarms set;
        QSignalSpy counts(&set, &Alarms::SystemAlarms::alarmsChanged);
        set.setAlarms(items);
        set.setAlarms(items);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts[0], (QList<QVariant>{1, 1, 1}));
    }

    void acknowledgeAndMaskWriteTheControlBits()
    {
        ScriptedIoDevice device;
        device.setWords(int(controls.rcmd), int(controls.offset),
                        SimulatedController::wordBytes({0x8000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        provider->systemSelected(info);
        sent.clear();

        AlarmItem latched;
        latched.device = 1;
        latched.group = AlarmItem::AnalogueInputs;
        latched.bit = 2;
        latched.latched = true;
        Alarms::SystemAlarms set;
        connect(&set, &Alarms::SystemAlarms::alarmsUpdated, provider,
                &Alarms::AlarmsProvider::changeAlarms);
        set.setAlarms({latched});
        set.acknowledge(0);
        set.setMasked(0, true);
        QCOMPARE(sent.size(), 2);
        const Request::Ptr_t ack = sent[0];
        const Request::Ptr_t mask = sent[1];
        sent.clear();
        ack->doRequest(device);
        mask->doRequest(device);
        QVERIFY(ack->error().ok() && mask->error().ok());
        // Mask half: word 4 gets bit 2; clear half (from word 6): word 10 gets bit 2; the mask
        // bit the device held stays.
        const QByteArray stored = device.words(int(controls.rcmd), int(controls.offset), 12);
        const QVector<quint16> expected{0x8000, 0, 0, 0, 0x0004, 0, 0, 0, 0, 0, 0x0004, 0};
        QCOMPARE(stored, SimulatedController::wordBytes(expected));
        // A change done is followed by a fresh poll.
        ack->notify();
        QCOMPARE(sent.size(), 2);
    }

    // A poll that brings an alarm above the selected one, then takes the selected one away: the
    // selection follows its alarm and then goes, so acknowledge never reaches another alarm.
    void selectionFollowsItsAlarmAcrossPolls()
    {
        AlarmItem second;
        second.device = 1;
        second.bit = 4;
        second.latched = true;
        Alarms::SystemAlarms set;
        QSignalSpy out(&set, &Alarms::SystemAlarms::alarmsUpdated);
        AlrmsManager dialog(&set);
        set.setAlarms({second});
        dialog.table()->selectRow(0);

        AlarmItem above = second;
        above.device = 0;
        set.setAlarms({above, second});
        dialog.acknowledgeButton()->click();
        QCOMPARE(out.count(), 1);
        const QList<AlarmItem> acknowledged = out[0][0].value<QList<AlarmItem>>();
        QCOMPARE(acknowledged.size(), 1);
        QVERIFY(acknowledged[0].sameAlarm(second));

        set.setAlarms({above});
        QVERIFY(dialog.table()->selectedItems().isEmpty());
        QVERIFY(!dialog.acknowledgeButton()->isEnabled());
    }
};

QTEST_MAIN(AlarmsTest)
#include "tst_alarms.moc"
