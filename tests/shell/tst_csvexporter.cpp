// The CSV register list, line by line: header, 1-based Modbus numbers, backslash names and the
// alarm lines, in the bytes a Windows SCADA import reads.
#include "appfixture.h"
#include "model/apperror.h"
#include "shell/csvexporter.h"
#include "support/isolatedenvironment.h"

#include <QBuffer>
#include <QTextCodec>
#include <QtTest>

using namespace AppFixture;

namespace {

QByteArray exported(SystemModel& model)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CSVExporter::exportSystem(&buffer, &model);
    buffer.close();
    return buffer.data();
}

QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = QTextCodec::codecForLocale()->toUnicode(bytes).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString line(quint32 number, const char* type, const QString& name)
{
    return QString::number(number) + ';' + type + ';' + name;
}

// The rows the value roles of one device's resources give, with the numbers counted from the
// given first registers of the catalogue's tables.
struct Tables
{
    quint32 ainScaled, ainRaw, aout, din, counter, freq, ack, reset, dout;
};

QStringList resourceLines(const SystemModel& model, const QString& prefixOfFirst,
                          const QString& prefixOfSecond, const Device::Ptr_t& second,
                          const Tables& t)
{
    QStringList out;
    const auto prefix = [&](const IoResource::Ptr_t& r) {
        return second && r->owner() == second->id() ? prefixOfSecond : prefixOfFirst;
    };
    const QMap<int, SystemModel::Resources_t> kinds = model.ioResources(Device::Ptr_t());
    quint32 i = 0;
    for (const IoResource::Ptr_t& r : kinds.value(ResourceKind::Ain)) {
        const QString name = prefix(r) + r->valueText().value(0);
        out << line(t.ainScaled + 2 * i, "real", name + "\\scaled")
            << line(t.ainRaw + 2 * i, "real", name + "\\raw");
        ++i;
    }
    i = 0;
    for (const IoResource::Ptr_t& r : kinds.value(ResourceKind::Aout))
        out << line(t.aout + i++, "int", prefix(r) + r->textId() + "\\value");
    i = 0;
    for (const IoResource::Ptr_t& r : kinds.value(ResourceKind::Din)) {
        const QString name = prefix(r) + r->textId();
        out << line(t.din + i, "bool", name + "\\value")
            << line(t.counter + 2 * i, "long", name + "\\counter")
            << line(t.freq + i, "int", name + "\\freq")
            << line(t.ack + i, "bool", name + "\\counter ACK")
            << line(t.reset + i, "bool", name + "\\counter RST");
        ++i;
    }
    i = 0;
    for (const IoResource::Ptr_t& r : kinds.value(ResourceKind::Dout))
        out << line(t.dout + i++, "bool", prefix(r) + r->textId() + "\\value");
    return out;
}

QStringList alarmLines(const QStringList& prefixes)
{
    const QStringList groups = {"System alarms", "Перегрузка входа AIN", "Перегрузка выхода AOUT"};
    const quint32 n = quint32(prefixes.size());
    QStringList out;
    for (quint32 i = 0; i < n; ++i) {
        for (quint32 g = 0; g < 3; ++g) {
            const quint32 k = 3 * i + g;
            const QString name = prefixes[int(i)] + groups[int(g)];
            out << line(33001 + 3 * n + k, "int", name)
                << line(43001 + 3 * n + k, "int", name + "\\clear")
                << line(43001 + k, "int", name + "\\mask");
        }
    }
    return out;
}

const QStringList kHead = {"Register;Type;Name", "340972;long;System module id",
                           "340996;long;System serial number", "341002;int;System state"};

} // namespace

class CsvExporterTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;
    QTextCodec* localeCodec = nullptr;

private slots:
    void initTestCase()
    {
        pexType = loadCatalogue();
        QVERIFY(pexType != 0);
        // The tool runs on Russian Windows: the list is in the 8-bit code page, as the importing
        // tools expect.
        localeCodec = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("Windows-1251"));
    }

    void cleanupTestCase() { QTextCodec::setCodecForLocale(localeCodec); }

    void registerNumbers_data()
    {
        QTest::addColumn<quint32>("rcmd");
        QTest::addColumn<quint32>("offset");
        QTest::addColumn<qint64>("number");
        QTest::newRow("input 3000") << 4u << 3000u << qint64(33001);
        QTest::newRow("holding 3000") << 3u << 3000u << qint64(43001);
        QTest::newRow("input 40963") << 4u << 40963u << qint64(340964);
        QTest::newRow("coil 0") << 1u << 0u << qint64(1);
        QTest::newRow("discrete 0") << 2u << 0u << qint64(10001);
        QTest::newRow("holding 9999") << 3u << 9999u << qint64(410000);
        QTest::newRow("no table") << 5u << 0u << qint64(-1);
        QTest::newRow("no entry") << 0u << 0u << qint64(-1);
    }

    void registerNumbers()
    {
        QFETCH(quint32, rcmd);
        QFETCH(quint32, offset);
        QFETCH(qint64, number);
        ProtoEntry entry;
        entry.rcmd = rcmd;
        entry.offset = offset;
        QCOMPARE(CSVExporter::registerNumber(entry), number);
    }

    void oneController()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        QVERIFY(c0);
        const QByteArray bytes = exported(model);
        QVERIFY(!bytes.contains('\r'));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith('\n'));
        // Russian alarm names in the code page, one byte a letter.
        QVERIFY(bytes.contains("\xCF\xE5\xF0\xE5\xE3\xF0\xF3\xE7\xEA\xE0 \xE2\xF5\xEE\xE4\xE0 AIN"));

        const QStringList lines = linesOf(bytes);
        const QStringList expected =
            kHead
            + resourceLines(model, QString(), QString(), Device::Ptr_t(),
                            {30001, 30017, 40001, 10001, 31001, 31017, 11001, 1001, 1})
            + alarmLines({QString()});
        QCOMPARE(lines, expected);
        QCOMPARE(lines[4], QStringLiteral("30001;real;AIN1 (0-10)\\scaled"));
    }

    void controllerWithModule()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const Device::Ptr_t m1 = model.addDevice(handleOf(pexType, 1, c0->id()));
        QVERIFY(c0 && m1);
        const int ains = model.ioResources(Device::Ptr_t()).value(ResourceKind::Ain).size();
        const int dins = model.ioResources(Device::Ptr_t()).value(ResourceKind::Din).size();

        const QString p0 = "\\00\\" + c0->name() + "\\";
        const QString p1 = "\\00-1\\" + m1->name() + "\\";
        QVERIFY(!c0->name().isEmpty() && !m1->name().isEmpty());
        const QStringList lines = linesOf(exported(model));
        const QStringList expected =
            kHead
            + resourceLines(model, p0, p1, m1,
                            {30001, 30001 + 2 * quint32(ains), 40001, 10001, 31001,
                             31001 + 2 * quint32(dins), 11001, 1001, 1})
            + alarmLines({p0, p1});
        QCOMPARE(lines, expected);
        QVERIFY(lines.contains("33011;int;" + p1 + "Перегрузка входа AIN"));
    }

    void coupledAndSlowResources()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        const SystemModel::Resources_t ains = model.resourcesOfKind(ResourceKind::Ain);
        ains[0]->setCoupled(true);
        QVERIFY(ains[1]->isSecondary());
        const IoResource::Ptr_t din = model.resourcesOfKind(ResourceKind::Din).first();
        din->setSubType(1);
        const QString slowName = din->valueText().value(0);
        QCOMPARE(slowName, din->textId() + " (Slow)");

        const QStringList lines = linesOf(exported(model));
        const QString primary = ains[0]->valueText().value(0);
        QVERIFY(primary.startsWith(ains[0]->textId() + "-"));
        QVERIFY(lines.contains("30001;real;" + primary + "\\scaled"));
        QVERIFY(lines.contains("30017;real;" + primary + "\\raw"));
        // The secondary's own registers are skipped, the next input keeps its numbers.
        QCOMPARE(lines.indexOf(QRegularExpression("300(0[34]|19|20);.*")), -1);
        QVERIFY(lines.contains("30005;real;" + ains[2]->valueText().value(0) + "\\scaled"));
        QVERIFY(!lines.join('\n').contains(ains[1]->textId() + " ("));
        QVERIFY(lines.contains("10001;bool;" + slowName + "\\value"));
        QVERIFY(lines.contains("31001;long;" + slowName + "\\counter"));
    }

    void emptySystemAndMissingCatalogueEntry()
    {
        SystemModel empty;
        QVERIFY(exported(empty).isEmpty());

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        SettingsProvider& provider = SettingsProvider::instance();
        const ProtoEntry cpu = provider.protocol.take(QStringLiteral("sys/korcpu"));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        bool thrown = false;
        try {
            CSVExporter::exportSystem(&buffer, &model);
        } catch (const App::Error& e) {
            thrown = e.code == 43 && e.subCode == 0 && e.text.isEmpty();
        }
        provider.protocol.insert(QStringLiteral("sys/korcpu"), cpu);
        QVERIFY(thrown);
        QCOMPARE(buffer.data(), QByteArray("Register;Type;Name\n"));
    }
};

QTEST_GUILESS_MAIN(CsvExporterTest)
#include "tst_csvexporter.moc"
