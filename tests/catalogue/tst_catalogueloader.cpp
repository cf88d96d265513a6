// The loader and the template composition, driven through override catalogues written per test.
#include "catalogue/settingsprovider.h"
#include "support/isolatedenvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QJsonObject ch(const QString& rt, const QString& nm, int offset, int gnd = 0, int sub = 0)
{
    QJsonObject o{{"rt", rt}, {"nm", nm}, {"offset", offset}};
    if (gnd)
        o.insert("gnd", gnd);
    if (sub)
        o.insert("sub", sub);
    return o;
}

QJsonObject board(int id, const QString& name, int preq, const QJsonArray& top,
                  const QJsonArray& bottom)
{
    return {{"id", id}, {"name", name}, {"preq", preq}, {"top", top}, {"bottom", bottom}};
}

QJsonObject board10()
{
    return board(10, "10", 930,
                 {ch("ai", "AIN%1", 1, 2), ch("ai", "AIN%1", 3, 2), ch("do", "DOUT%1", 4, 6),
                  ch("do", "DOUT%1", 5, 6), ch("do", "DOUT%1", 7, 9), ch("do", "DOUT%1", 8, 9)},
                 {ch("ai", "AIN%1", 1, 2), ch("ai", "AIN%1", 3, 2), ch("ai", "AIN%1", 4, 5),
                  ch("ai", "AIN%1", 6, 5), ch("ai", "AIN%1", 7, 8), ch("ai", "AIN%1", 9, 8)});
}

QJsonObject board20()
{
    QJsonArray dins;
    for (int i = 1; i <= 8; ++i)
        dins.append(ch("di", "DIN%1", i));
    return board(20, "20", 900,
                 {ch("do", "DOUT%1", 1), ch("do", "DOUT%1", 2), ch("do", "DOUT%1 (Opto)", 4, 0, 1),
                  ch("do", "DOUT%1 (Opto)", 5, 0, 1), ch("ao", "AOUT%1", 7), ch("ao", "AOUT%1", 8)},
                 dins);
}

QJsonObject protoEntry(const QString& id, int r, int w, int offset, int registers)
{
    return {{"id", id}, {"rcmd", r}, {"wcmd", w}, {"offset", offset}, {"registers", registers}};
}

QJsonObject sensor(int id, const QString& name, const QString& cls, double ab, int rRef, int tRef)
{
    return {{"id", id}, {"name", name}, {"class", cls},
            {"param", QJsonObject{{"ab-factor", ab}, {"Rref", rRef}, {"Tref", tRef}}}};
}

// The smallest catalogue that loads: boards 10 and 20, one controller and one module section.
QJsonObject baseCatalogue()
{
    QJsonObject tav{{"device", 11}, {"prefix", "TAV"}, {"pgen", 16000}, {"preq", 930},
                    {"boards", QJsonArray{10}},
                    {"uso", QJsonArray{QJsonObject{{"left", 10}, {"right", QJsonArray{0, 20}}}}}};
    QJsonObject pex{{"device", 10}, {"prefix", "PEX"}, {"preq", 500}, {"modpreq", 200},
                    {"boards", QJsonArray{10, 30}},
                    {"uso", QJsonArray{QJsonObject{{"left", 20}, {"right", QJsonArray{0}}}}}};
    QJsonObject proto{
        {"sys", QJsonArray{protoEntry("korcpu", 4, 0, 40963, 2), protoEntry("password", 3, 6, 4000, 1)}},
        {"iocfg", QJsonArray{protoEntry("base", 3, 6, 4016, 2), protoEntry("ain", 3, 6, 0, 19)}},
        {"iort", QJsonArray{protoEntry("ain", 4, 0, 0, 2), protoEntry("ain-raw", 4, 0, -1, 2)}}};
    return {{"hardware", QJsonObject{{"uso", QJsonArray{board10(), board20()}}, {"tav", tav}, {"pex", pex}}},
            {"proto", proto},
            {"sensors", QJsonArray{sensor(2, "Pt100", "rtd", 0.00385, 100, 0),
                                   sensor(103, "10.0K@3837.7", "ntc", 3837.7, 10000, 25)}}};
}

QJsonObject withHardware(QJsonObject doc, const QString& key, const QJsonValue& value)
{
    QJsonObject hw = doc.value("hardware").toObject();
    hw.insert(key, value);
    doc.insert("hardware", hw);
    return doc;
}

const DeviceTemplate* findByName(const SettingsProvider& p, const QString& name)
{
    for (const DeviceTemplate& t : p.templates) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

QStringList capturedLog;
void captureLog(QtMsgType, const QMessageLogContext&, const QString& msg)
{
    capturedLog.append(msg);
}

} // namespace

class CatalogueLoaderTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    // The loader takes the override file whenever it exists; asking for a vendor key that differs
    // from the (then empty) recorded key makes the provider reload it.
    SettingsProvider& load(const QJsonObject& doc, bool normalMode = true)
    {
        return loadBytes(QJsonDocument(doc).toJson(), normalMode);
    }
    SettingsProvider& loadBytes(const QByteArray& bytes, bool normalMode = true)
    {
        QCoreApplication::setApplicationName(normalMode ? "Tav Configurator" : "Other");
        env.putOverrideCatalogue("drovanix", bytes);
        return SettingsProvider::instance("drovanix");
    }

private slots:
    void overrideFolderIsReadAndEmptiesVendorKey()
    {
        SettingsProvider& p = load(baseCatalogue());
        QCOMPARE(p.vendorKey, QString());
        QCOMPARE(p.resolvedVendorKey, QString("drovanix"));
        QCOMPARE(p.templates.size(), 4);
        QCOMPARE(p.mode, 1);
    }

    void workedExampleComposition()
    {
        SettingsProvider& p = load(baseCatalogue());
        const DeviceTemplate* t = findByName(p, "TAV-1020-10");
        QVERIFY(t);
        QCOMPARE(t->type, makeDeviceType(11, 10, 20, 10));
        QCOMPARE(t->preq, 2760);
        QCOMPARE(t->pgen, 16000);
        QCOMPARE(t->boardIds, QList<int>({10, 20}));
        const QMap<int, int> classes{{1, 1}, {2, 1}, {3, 1}, {7, 2}, {10, 1}, {12, 1}};
        QCOMPARE(t->loadClasses, classes);

        // Board 10's bottom connector is numbered first: AIN1..6, then the right bottom DIN1..8.
        QStringList names;
        QList<int> offsets;
        for (const IoChannel& c : t->channels) {
            names << c.name;
            offsets << c.offset;
        }
        QCOMPARE(names, QStringList({"AIN7", "AIN8", "DOUT1", "DOUT2", "DOUT3", "DOUT4",
                                     "AIN1", "AIN2", "AIN3", "AIN4", "AIN5", "AIN6",
                                     "DOUT5", "DOUT6", "DOUT7 (Opto)", "DOUT8 (Opto)", "AOUT1", "AOUT2",
                                     "DIN1", "DIN2", "DIN3", "DIN4", "DIN5", "DIN6", "DIN7", "DIN8"}));
        QCOMPARE(offsets, QList<int>({1, 3, 4, 5, 7, 8, 19, 21, 22, 24, 25, 27,
                                      10, 11, 13, 14, 16, 17, 28, 29, 30, 31, 32, 33, 34, 35}));
        QCOMPARE(t->channels.at(6).gnd, 20);
        QCOMPARE(t->channels.at(8).gnd, 23);
        QCOMPARE(t->channels.at(10).gnd, 26);
        QCOMPARE(t->channels.at(6).index, 0);
        QCOMPARE(t->channels.at(18).index, 6);
        QCOMPARE(t->channels.at(0).index, 14);
        QCOMPARE(t->channels.at(12).index, 20);
        QCOMPARE(t->channels.at(0).position, 1);
        QCOMPARE(t->channels.at(6).position, 2);
        QVERIFY(t->channels.at(0).top && t->channels.at(12).top && !t->channels.at(6).top);
        QCOMPARE(t->channels.at(14).sub, 1); // opto output keeps its catalogue sub-type
        QCOMPARE(t->revision, -1);
    }

    void leftBoardOnlyAndBoardSetCodes()
    {
        SettingsProvider& p = load(baseCatalogue());
        const DeviceTemplate* alone = findByName(p, "TAV-1000-10");
        QVERIFY(alone);
        QCOMPARE(alone->preq, 930 + 930);
        QCOMPARE(alone->boardIds, QList<int>({10}));
        QCOMPARE(alone->channels.size(), 12);
        // No right top connector: the left bottom follows the left top directly.
        QCOMPARE(alone->channels.at(6).offset, 10);
        for (const IoChannel& c : alone->channels)
            QVERIFY(c.position == 1 || c.position == 2);

        // Module of board 20 alone: not board 10, so top connectors are named first.
        const DeviceTemplate* m10 = findByName(p, "PEX-2000-10");
        const DeviceTemplate* m30 = findByName(p, "PEX-2000-30");
        QVERIFY(m10 && m30);
        QCOMPARE(m10->preq, 900 + 500);
        QCOMPARE(m30->preq, 900 + 500 + 200);
        QCOMPARE(m10->type ^ m30->type, DeviceType_t(10 ^ 30));
        QCOMPARE(m10->channels.first().name, QString("DOUT1"));
        QCOMPARE(m10->channels.first().index, 0);
        // Class 3 devices keep the inputs' catalogue sub-type.
        QCOMPARE(m10->channels.last().sub, 0);
        QCOMPARE(p.deviceClass(m10->type), 3);
    }

    void malformedChannelsAndBoardsAreDropped()
    {
        QJsonObject doc = baseCatalogue();
        QJsonArray uso = doc["hardware"].toObject()["uso"].toArray();
        // Board 30 loses every top channel to bad entries and is not entered at all.
        uso.append(board(30, "30", 100,
                         {ch("AI", "AIN%1", 1), ch("ai", "", 2), ch("ai", "AIN%1", 0), ch("xx", "X", 3)},
                         {ch("di", "DIN%1", 1)}));
        // Board 40 keeps only its valid channel.
        uso.append(board(40, "40", 100, {ch("ai", "AIN%1", 1), ch("ai", "AIN%1", -2)},
                         {ch("di", "DIN%1", 1, 0, 3)}));
        doc = withHardware(doc, "uso", uso);
        QJsonObject tav = doc["hardware"].toObject()["tav"].toObject();
        tav["uso"] = QJsonArray{QJsonObject{{"left", 10}, {"right", QJsonArray{0, 20}}},
                                QJsonObject{{"left", 30}, {"right", QJsonArray{0}}},
                                QJsonObject{{"left", 40}, {"right", QJsonArray{30, 99, -5, 20}}}};
        doc = withHardware(doc, "tav", tav);
        SettingsProvider& p = load(doc);

        QVERIFY(!p.boards.contains(30));
        QVERIFY(p.boards.contains(0));
        QCOMPARE(p.boards.value(40).top.size(), 1);
        QVERIFY(!findByName(p, "TAV-3000-10"));
        QVERIFY(findByName(p, "TAV-4000-10")); // -5 means no board
        const DeviceTemplate* t = findByName(p, "TAV-4020-10");
        QVERIFY(t);
        QCOMPARE(t->channels.size(), 2 + 14);
        // A channel without gnd on the second connector in terminal order gets that connector's base.
        QCOMPARE(t->channels.at(1).gnd, 18); // left bottom is the third connector: base 18
        // Class 2: the left board's inputs are marked sourcing.
        QCOMPARE(t->channels.at(1).sub, 1);
        QCOMPARE(t->channels.last().sub, 0);
        QCOMPARE(p.tavTypes.size(), 4);
    }

    void loadClassesFromChannelCounts()
    {
        QJsonObject doc = baseCatalogue();
        QJsonArray six, eight, threeDo, sixteenTop, sixteenBottom;
        for (int i = 1; i <= 6; ++i)
            six.append(ch("ai", "AIN%1", i));
        for (int i = 1; i <= 8; ++i) {
            sixteenTop.append(ch("di", "DIN%1", i));
            sixteenBottom.append(ch("di", "DIN%1", i));
        }
        for (int i = 1; i <= 3; ++i)
            threeDo.append(ch("do", "DOUT%1", i));
        QJsonArray uso = doc["hardware"].toObject()["uso"].toArray();
        uso.append(board(50, "50", 0, six, threeDo));
        uso.append(board(60, "60", 0, sixteenTop, sixteenBottom));
        doc = withHardware(doc, "uso", uso);
        QJsonObject pex = doc["hardware"].toObject()["pex"].toObject();
        pex["uso"] = QJsonArray{QJsonObject{{"left", 50}, {"right", QJsonArray{60}}}};
        pex["boards"] = QJsonArray{10};
        doc = withHardware(doc, "pex", pex);
        SettingsProvider& p = load(doc);
        const DeviceTemplate* t = findByName(p, "PEX-5060-10");
        QVERIFY(t);
        const QMap<int, int> classes{{12, 1}, {4, 1}, {5, 1}, {6, 1}};
        QCOMPARE(t->loadClasses, classes);
    }

    void tidAndHiddenSectionsInMode0()
    {
        QJsonObject doc = baseCatalogue();
        doc = withHardware(doc, "plc", QJsonArray{QJsonObject{{"name", "SELK5"}, {"tid", 234881024}},
                                                  QJsonObject{{"name", "NOPE"}, {"tid", 0}}});
        QJsonObject lumo{{"device", 12}, {"prefix", "LUMO"}, {"preq", 100},
                         {"uboards", QJsonArray{QJsonObject{{"id", 1}, {"name", "M"},
                                                            {"uso", QJsonArray{QJsonArray{20, 0}, QJsonArray{20, 99}, QJsonArray{20}}}}}}};
        doc = withHardware(doc, "lmo", QJsonArray{lumo});
        doc = withHardware(doc, "plc_with_ports",
                           QJsonObject{{"prefix", "RAVO5"}, {"tid", 318767104.0}, {"pgen", 1},
                                       {"preq", 10}, {"modpreq", 5}, {"boards", QJsonArray{10, 30}},
                                       {"uso", QJsonArray{QJsonObject{{"left", 20}, {"right", QJsonArray{0}}}}}});
        QJsonObject hiddenTav{{"device", 16}, {"prefix", "ne_VUZA"}, {"boards", QJsonArray{10}},
                              {"uso", QJsonArray{QJsonObject{{"left", 10}, {"right", QJsonArray{0}}}}}};
        doc = withHardware(doc, "compatible",
                           QJsonObject{{"tav", hiddenTav}, {"lmo", QJsonObject{{"prefix", "ne_VIO"}}}});

        SettingsProvider& p = load(doc, false);
        QCOMPARE(p.mode, 0);
        QCOMPARE(p.modelName(234881024, -1), QString("SELK5"));
        QCOMPARE(p.deviceClass(234881024), 1);
        QVERIFY(findByName(p, "LUMO M-2000-01"));
        QCOMPARE(p.templates.value(318767104).name, QString("RAVO5"));
        QCOMPARE(p.templates.value(318767104).preq, 900 + 10 + 5); // the last code (30) wins

        // Hidden templates name boards by id, stay out of the class lists, and are reached only by
        // the fallback lookup.
        const DeviceType_t hidden = makeDeviceType(16, 10, 0, 10);
        QCOMPARE(p.hiddenTemplates.size(), 1);
        QCOMPARE(p.hiddenTemplates.value(hidden).name, QString("ne_VUZA-1000-10"));
        DeviceTemplate out;
        out.name = "untouched";
        QVERIFY(!p.deviceTemplate(hidden, -1, &out, false));
        QCOMPARE(out.name, QString("untouched"));
        QVERIFY(p.deviceTemplate(hidden, 4, &out, true));
        QCOMPARE(out.revision, -1);
        QCOMPARE(p.deviceClass(hidden), 0);
        QCOMPARE(p.modelName(hidden, -1), QString("Unknown"));

        // The same document in normal mode reads none of it; malformed mode-0 keys do not matter.
        doc = withHardware(doc, "lmo", QString("not an array"));
        SettingsProvider& normal = load(doc, true);
        QVERIFY(normal.hiddenTemplates.isEmpty());
        QCOMPARE(normal.templates.size(), 4);
        QVERIFY(normal.plcTypes.isEmpty());
    }

    void kindZeroTypeIsNotStored()
    {
        QJsonObject doc = baseCatalogue();
        QJsonObject pex{{"device", 0}, {"prefix", "Z"}, {"boards", QJsonArray{0}},
                        {"uso", QJsonArray{QJsonObject{{"left", 0}, {"right", QJsonArray{0}}}}}};
        doc = withHardware(doc, "pex", pex);
        SettingsProvider& p = load(doc);
        QVERIFY(!p.templates.contains(0));
        QVERIFY(p.pexTypes.isEmpty()); // the section stored nothing: the load failed after templates
    }

    void registerMapSensorsAndDefaults()
    {
        QJsonObject doc = baseCatalogue();
        QJsonArray sensors = doc["sensors"].toArray();
        sensors.append(sensor(5, "Upper", "RTD", 1, 1, 1));
        sensors.append(QJsonObject{{"id", 6}, {"name", "Bare"}, {"class", "rtd"}});
        sensors.append(sensor(2, "Pt100 again", "rtd", 0.00391, 100, 0));
        doc["sensors"] = sensors;
        doc["default"] = QJsonObject{{"sensors", QJsonObject{{"rtd", 2}}},
                                     {"ain", QJsonObject{{"types", QJsonObject{{"base", "float"}}}}}};
        SettingsProvider& p = load(doc);

        ProtoEntry raw;
        QVERIFY(p.iortEntry("ain-raw", &raw));
        QCOMPARE(raw.offset, 65535u);
        QCOMPARE(p.sensors().size(), 2);
        QCOMPARE(p.sensors().value(2).name, QString("Pt100 again"));
        QCOMPARE(p.sensors().value(103).sensorClass, 4);
        QVERIFY(!p.sensors().contains(5) && !p.sensors().contains(6));
        QCOMPARE(p.defaultRtdSensor, 2);
        QCOMPARE(p.defaultNtcSensor, 100);
        QCOMPARE(p.scanAfterRestart, 300); // the loader's fallback, not the provider's initial 200
        QCOMPARE(p.filterState, 1);
        const QJsonObject types = p.defaultTypes;
        QCOMPARE(types.keys(), QStringList({"ain", "aout", "din", "dout"}));
        QCOMPARE(types["ain"].toObject()["types"].toObject()["base"].toString(), QString("float"));
        QCOMPARE(types["din"].toObject(), QJsonObject({{"types", QJsonObject()}}));
        QCOMPARE(p.alarmTexts.size(), 7);
    }

    void failedLoadsLeaveWhatTheyMustLeave()
    {
        // Without "proto" the templates stay but no class list knows them.
        QJsonObject doc = baseCatalogue();
        doc.remove("proto");
        SettingsProvider& noProto = load(doc);
        QVERIFY(!noProto.templates.isEmpty());
        QVERIFY(noProto.types(2).isEmpty());
        QCOMPARE(noProto.deviceClass(makeDeviceType(11, 10, 20, 10)), 0);
        QVERIFY(noProto.iocfgBase().isNull());
        QVERIFY(noProto.alarmTexts.isEmpty());
        QCOMPARE(noProto.modelName(makeDeviceType(11, 10, 20, 10), 4), QString("TAV-1020-10-4"));

        // No sensors stored fails too.
        doc = baseCatalogue();
        doc["sensors"] = QJsonArray{QJsonObject{{"id", 1}, {"class", "ptc"}, {"param", QJsonObject{{"Rref", 1}}}}};
        QVERIFY(load(doc).types(2).isEmpty());

        // An empty board table: no boards at all, not even the empty one, so nothing composes.
        doc = withHardware(baseCatalogue(), "uso", QJsonArray());
        SettingsProvider& noBoards = load(doc);
        QVERIFY(noBoards.templates.isEmpty());
        QVERIFY(noBoards.boards.isEmpty());

        doc = baseCatalogue();
        doc.remove("hardware");
        QVERIFY(load(doc).templates.isEmpty());
    }

    void parseErrorQuotesTheDataAroundTheOffset()
    {
        capturedLog.clear();
        const QtMessageHandler previous = qInstallMessageHandler(captureLog);
        SettingsProvider& p = loadBytes("x{\"hardware\": 1}");
        qInstallMessageHandler(previous);
        QVERIFY(p.templates.isEmpty());
        const QStringList parse = capturedLog.filter("TmLoader [Load], Error! Parse:");
        QCOMPARE(parse.size(), 1);
        // Offset 1: the excerpt starts at the first byte.
        QVERIFY2(parse.first().contains(", offset=1, data: x{\\\"hard"), qPrintable(parse.first()));
    }
};

QTEST_GUILESS_MAIN(CatalogueLoaderTest)
#include "tst_catalogueloader.moc"
