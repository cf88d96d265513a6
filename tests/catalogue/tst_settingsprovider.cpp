// Queries of the settings provider over the compiled-in catalogues of both vendors.
#include "catalogue/settingsprovider.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

class SettingsProviderTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    SettingsProvider& loadVendor(const QString& df)
    {
        env.setVendorChoice(df);
        const QString expected = TmLoader_vendor(df);
        return SettingsProvider::instance(expected);
    }
    static QString TmLoader_vendor(const QString& df)
    {
        const QString l = df.toLower();
        return (l == "vio4" || l == "tpe") ? "holmark" : "drovanix";
    }
    static const DeviceTemplate& byName(const SettingsProvider& p, const QString& name)
    {
        for (const DeviceTemplate& t : p.templates) {
            if (t.name == name)
                return t;
        }
        static const DeviceTemplate none;
        return none;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
    }

    void deviceTypeFunctions()
    {
        QCOMPARE(deviceKind(0xFF000000u), 255);
        QCOMPARE(deviceKind(0x80123456u), 128);
        QCOMPARE(setDeviceKind(16, makeDeviceType(11, 10, 20, 30)), makeDeviceType(16, 10, 20, 30));
        QCOMPARE(makeDeviceType(11, 511, 20, 30), 0x0BFF141Eu);
        for (int k : {10, 11, 12, 14, 15, 19, 20, 0, 255})
            QVERIFY(!isSecondVendorKind(k));
        for (int k : {13, 16, 17, 18})
            QVERIFY(isSecondVendorKind(k));
    }

    void vendorChoiceSelectsTheCatalogue()
    {
        for (const QString& df : {QString("VIO4"), QString("tPe")}) {
            SettingsProvider& p = loadVendor(df);
            QCOMPARE(p.vendorKey, QString("holmark"));
            QVERIFY(!p.tavTypes.isEmpty());
            for (DeviceType_t t : p.tavTypes)
                QCOMPARE(deviceKind(t), 16);
            for (DeviceType_t t : p.pexTypes)
                QCOMPARE(deviceKind(t), 17);
            QCOMPARE(SettingsProvider::activeVendor(), QString("holmark"));
        }
        for (const QString& df : {QString("vio"), QString()}) {
            SettingsProvider& p = loadVendor(df);
            QCOMPARE(p.vendorKey, QString("drovanix"));
            QCOMPARE(deviceKind(p.tavTypes.first()), 11);
            QCOMPARE(deviceKind(p.pexTypes.first()), 10);
        }
        // Asking with an empty key or the loaded key never reloads.
        SettingsProvider& p = SettingsProvider::instance();
        env.setVendorChoice("VIO4");
        QCOMPARE(SettingsProvider::instance().vendorKey, QString("drovanix"));
        QCOMPARE(SettingsProvider::instance("drovanix").vendorKey, QString("drovanix"));
        QCOMPARE(&SettingsProvider::instance(), &p);
        env.setVendorChoice(QString());
    }

    void bothCataloguesCarryTheFixedSectionsAndEveryLoadClass()
    {
        for (const QString& df : {QString("tpe"), QString()}) {
            SettingsProvider& p = loadVendor(df);
            QCOMPARE(p.sensors().size(), 29);
            QCOMPARE(p.sensors().value(30).name, QString::fromUtf8("ТСП50"));
            QCOMPARE(p.sensors().value(21).c, 5.585e-09);
            QCOMPARE(p.sensors().value(190).abFactor, 3837.7);
            QCOMPARE(p.defaultRtdSensor, 2);
            QCOMPARE(p.defaultNtcSensor, 103);
            QCOMPARE(p.filterState, 0);
            QCOMPARE(p.hangupRestart, 400);
            QCOMPARE(p.scanAfterRestart, 200);
            QCOMPARE(p.protocol.size(), 28);
            ProtoEntry e;
            QVERIFY(p.protoEntry("sys", 6, &e));
            QCOMPARE(e, (ProtoEntry{4, 0, 40963, 2}));
            QCOMPARE(p.iocfgBase(), (ProtoEntry{3, 6, 4016, 2}));
            QVERIFY(p.iortEntry("din-freq", &e));
            QCOMPARE(e, (ProtoEntry{4, 0, 65535, 1}));
            QVERIFY(p.iortEntry("cntr-ack", &e));
            QCOMPARE(e.wcmd, 8u);
            QCOMPARE(p.defaultTypes["din"].toObject()["types"].toObject()["cntr"].toString(), QString("long"));

            QSet<int> classes;
            QSet<int> pgens;
            for (const DeviceTemplate& t : p.templates) {
                for (auto it = t.loadClasses.cbegin(); it != t.loadClasses.cend(); ++it)
                    classes.insert(it.key());
                QVERIFY2(t.boardIds.size() == 2 || t.boardIds.size() == 1, qPrintable(t.name));
                QVERIFY(t.preq > 0);
                pgens.insert(t.pgen);
            }
            QCOMPARE(classes, QSet<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
            QVERIFY(pgens.contains(0)); // modules are powered by their controller
        }
    }

    void workedExampleOfTheFirstCatalogue()
    {
        SettingsProvider& p = loadVendor(QString());
        const DeviceType_t type = 0x0B0A140Au;
        DeviceTemplate t;
        QVERIFY(p.deviceTemplate(type, -1, &t));
        QCOMPARE(t.name, QString("TAV-1020-10"));
        QCOMPARE(t.preq, 2760);
        QCOMPARE(t.pgen, 16000);
        QCOMPARE(t.deviceClass, 2);
        QCOMPARE(p.deviceClass(type), 2);
        QCOMPARE(t.boardIds, QList<int>({10, 20}));
        const QMap<int, int> classes{{1, 1}, {2, 1}, {3, 1}, {7, 2}, {10, 1}, {12, 1}};
        QCOMPARE(t.loadClasses, classes);
        QMap<QString, QPair<int, int>> byName; // name -> (terminal, index)
        for (const IoChannel& c : t.channels)
            byName.insert(c.name, {c.offset, c.index});
        QCOMPARE(byName.size(), 26);
        QCOMPARE(byName["AIN1"], qMakePair(19, 0));
        QCOMPARE(byName["AIN6"], qMakePair(27, 5));
        QCOMPARE(byName["DIN1"], qMakePair(28, 6));
        QCOMPARE(byName["DIN8"], qMakePair(35, 13));
        QCOMPARE(byName["AIN7"], qMakePair(1, 14));
        QCOMPARE(byName["DOUT4"], qMakePair(8, 19));
        QCOMPARE(byName["DOUT5"], qMakePair(10, 20));
        QCOMPARE(byName["DOUT7 (Opto)"], qMakePair(13, 22));
        QCOMPARE(byName["AOUT2"], qMakePair(17, 25));
        QList<int> leftBottomGnd;
        for (const IoChannel& c : t.channels) {
            if (c.position == 2)
                leftBottomGnd << c.gnd;
        }
        QCOMPARE(leftBottomGnd, QList<int>({20, 20, 23, 23, 26, 26}));
    }

    void revisionRulesOnTemplatesAndNames()
    {
        SettingsProvider& p = loadVendor(QString());
        const DeviceType_t type = 0x0B0A140Au;
        DeviceTemplate plain, rev4, rev0;
        QVERIFY(p.deviceTemplate(type, -1, &plain));
        QVERIFY(p.deviceTemplate(type, 4, &rev4));
        QVERIFY(p.deviceTemplate(type, 0, &rev0));
        QCOMPARE(rev4.name, QString("TAV-1020-10-4"));
        QCOMPARE(rev4.revision, 4);
        QCOMPARE(p.templates.value(type).revision, -1); // the stored template never changes
        for (int i = 0; i < plain.channels.size(); ++i) {
            const IoChannel& c = rev4.channels.at(i);
            if (c.kind != 2) {
                QCOMPARE(c.sub, plain.channels.at(i).sub);
                continue;
            }
            QCOMPARE(c.sub, (c.position == 1 || c.position == 3) ? 1 : 0);
            QCOMPARE(rev0.channels.at(i).sub, (c.position == 1 || c.position == 2) ? 1 : 0);
        }
        QCOMPARE(SettingsProvider::formatModelName("X", 9), QString("X-0"));
        QCOMPARE(SettingsProvider::formatModelName("X", 1), QString("X"));
        QCOMPARE(SettingsProvider::formatModelName("RaVo4", 4), QString("RaVo4"));
        QCOMPARE(SettingsProvider::formatModelName("SELK5", 0), QString("SELK5"));
        QCOMPARE(p.modelName(type, 0), QString("TAV-1020-10-0"));
        QCOMPARE(p.modelName(0x0B000000u, 0), QString("Unknown"));
    }

    void modelCodeReportsOnlyKnownConflicts()
    {
        SettingsProvider& p = loadVendor(QString());
        const DeviceType_t tav = 0x0B0A140Au;
        BusEntry found;
        found.type = tav;
        found.revision = 4;
        auto conflicts = p.modelCode({{tav, 0}}, {found});
        QCOMPARE(conflicts.size(), 1);
        QCOMPARE(conflicts.first(), qMakePair(QString("TAV-1020-10-0"), QString("TAV-1020-10-4")));

        // Equal revisions, different types, unknown types and a shorter list: no conflict.
        QVERIFY(p.modelCode({{tav, 4}}, {found}).isEmpty());
        BusEntry other = found;
        other.type = p.tavTypes.last();
        QVERIFY(p.modelCode({{tav, 0}}, {other}).isEmpty());
        QVERIFY(p.modelCode({{tav, 0}, {tav, 0}}, {}).isEmpty());

        // A left-board-only controller has a single board id: nothing to compose, no read past it.
        const DeviceType_t single = makeDeviceType(11, 10, 0, 10);
        QVERIFY(p.templates.contains(single));
        found.type = single;
        QVERIFY(p.modelCode({{single, 0}}, {found}).isEmpty());
        // A code outside the set is no conflict.
        const DeviceType_t quiet = makeDeviceType(11, 10, 50, 10);
        if (p.templates.contains(quiet)) {
            found.type = quiet;
            QVERIFY(p.modelCode({{quiet, 0}}, {found}).isEmpty());
        }
    }

    void queriesOnHitAndMiss()
    {
        SettingsProvider& p = loadVendor(QString());
        DeviceTemplate t;
        t.name = "keep";
        QVERIFY(!p.deviceTemplate(1, -1, &t, true));
        QVERIFY(!p.hiddenTemplate(1, &t));
        QCOMPARE(t.name, QString("keep"));

        AlarmText a{"keep", "keep"};
        QVERIFY(!p.alarmText(5, &a));
        QCOMPARE(a.display, QString("keep"));
        QVERIFY(p.alarmText(101, &a));
        QCOMPARE(a.display, QString::fromUtf8("Перегрузка выхода"));

        SensorInfo s;
        s.name = "keep";
        QVERIFY(!p.sensor(5, &s));
        QCOMPARE(s.name, QString("keep"));
        QVERIFY(p.sensor(103, &s));
        QCOMPARE(s.rRef, 10000);

        const ProtoEntry sentinel{9, 9, 9, 9};
        ProtoEntry e = sentinel;
        QVERIFY(!p.sysEntry("nope", &e));
        QVERIFY(!p.iortEntry("AIN", &e));
        QVERIFY(!p.iocfgEntry("serial", &e));
        QVERIFY(!p.protoEntry("iocfg", 11, &e));
        QVERIFY(!p.protoEntry("sys", 5, &e));
        QCOMPARE(e, sentinel);
        QVERIFY(p.sysEntry("password", &e));
        QCOMPARE(e, (ProtoEntry{3, 6, 4000, 1}));
        QVERIFY(p.protoEntry("iocfg", 0, &e));
        QCOMPARE(e.registers, 19u);
        QCOMPARE(SettingsProvider::kindKey(11), QString());
        QCOMPARE(SettingsProvider::kindKey(10), QString("alarm-reg-ctrl"));

        QList<int> roles{42};
        QVERIFY(!SettingsProvider::rolesOfKind(4, &roles));
        QCOMPARE(roles, QList<int>({42}));
        QVERIFY(SettingsProvider::rolesOfKind(2, &roles));
        QCOMPARE(roles, QList<int>({7, 8, 9, 10, 11}));

        QCOMPARE(&p.types(0), &p.types(4));
        QVERIFY(p.types(0).isEmpty());
        QCOMPARE(p.deviceClass(0x0B0A140Au), 2);
        QCOMPARE(p.deviceClass(p.pexTypes.first()), 3);
        QCOMPARE(p.deviceClass(1), 0);
        QVERIFY(SettingsProvider::isControllerType(0x13000000u));
        QVERIFY(!SettingsProvider::isControllerType(0x11000000u));
        QCOMPARE(SettingsProvider::vendorOf(0x11000000u), QString("holmark"));
        QCOMPARE(SettingsProvider::vendorOf(0x14000000u), QString("drovanix"));
    }

    void powerAndSlotFilters()
    {
        SettingsProvider& p = loadVendor(QString());
        const DeviceType_t first = p.pexTypes.first();
        const int preq = p.templates.value(first).preq;
        QVERIFY(!p.pexTypesWithinBudget(preq + 100, 100).contains(first)); // equal is not within
        QVERIFY(p.pexTypesWithinBudget(preq + 101, 100).contains(first));
        QCOMPARE(p.typesWithinBudget({2, 3}, 2147483647, 0).size(), p.tavTypes.size() + p.pexTypes.size());
        const QList<DeviceType_t> modules = p.typesWithinBudget({3}, 2147483647, 0);
        QCOMPARE(modules, p.pexTypes);

        const QList<DeviceType_t> mixed{first, 1, 0x0B0A140Au};
        QCOMPARE(p.typesWithinSlots(mixed, 0, 0), QList<DeviceType_t>({first, 0x0B0A140Au}));
        const int used = p.templates.value(first).boardIds.size();
        QCOMPARE(p.typesWithinSlots({first}, used * 2 - 1, 2), QList<DeviceType_t>());
        QCOMPARE(p.typesWithinSlots({first}, used * 2, 2), QList<DeviceType_t>({first}));
    }

    void vendorRecognitionFromOtherSources()
    {
        QCOMPARE(SettingsProvider::vendorFromArguments("-f VIO4"), QString("holmark"));
        QCOMPARE(SettingsProvider::vendorFromArguments("-f LUMO"), QString("drovanix"));
        QCOMPARE(SettingsProvider::vendorFromArguments("VIO4"), QString());
        QCOMPARE(SettingsProvider::vendorFromArguments("-f vio"), QString());

        QFile cfg(env.path() + "/a.tavc");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write("{\"Vendor\": \"holmark\"}");
        cfg.close();
        QCOMPARE(SettingsProvider::vendorOfConfigurationFile(cfg.fileName()), QString("holmark"));
        QCOMPARE(SettingsProvider::vendorOfConfigurationFile(env.path() + "/missing"), QString());

        QFile txt(env.path() + "/a.txt");
        QVERIFY(txt.open(QIODevice::WriteOnly));
        txt.write("model TAV and YUL");
        txt.close();
        QCOMPARE(SettingsProvider::vendorOfTextFile(txt.fileName()), QString("holmark"));
    }

    void retranslateRebuildsOnlyTheAlarmTexts()
    {
        SettingsProvider& p = loadVendor(QString());
        const int templates = p.templates.size();
        p.alarmTexts.clear();
        env.setVendorChoice("VIO4");
        p.retranslate();
        QCOMPARE(p.alarmTexts.size(), 7);
        QCOMPARE(p.vendorKey, QString("drovanix"));
        QCOMPARE(p.templates.size(), templates);
        env.setVendorChoice(QString());
    }
};

QTEST_GUILESS_MAIN(SettingsProviderTest)
#include "tst_settingsprovider.moc"
