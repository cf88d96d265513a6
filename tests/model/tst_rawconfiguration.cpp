// The configuration-area walk against a scripted register area, the data block and the CRC.
#include "model/crc16.h"
#include "model/datablock.h"
#include "model/rawconfiguration.h"
#include "model/wireformat.h"

#include <QDataStream>
#include <QtTest>

namespace {

struct Read
{
    quint32 offset;
    quint32 count;
    bool operator==(const Read& o) const { return offset == o.offset && count == o.count; }
};

char* toString(const Read& r)
{
    return QTest::toString(QStringLiteral("%1+%2").arg(r.offset).arg(r.count));
}

QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QByteArray section(quint8 type, const QByteArray& body, quint16 check = 0x1234)
{
    return QByteArray(1, char(type)) + QByteArray(1, 0) + le16(quint16(body.size())) + le16(check)
        + body;
}

QByteArray image(const QByteArray& blocks, qint16 count = 1)
{
    return le16(quint16(count)) + le16(quint16(blocks.size())) + blocks;
}

// Plays the controller: every block the walk asks for is cut from `area`, which starts at `base`.
QList<Read> walk(RawConfiguration& raw, const QByteArray& area, quint32 base = 4016)
{
    raw.setRegisters(ProtoEntry{3, 6, base, 2});
    QList<Read> reads;
    while (raw.hasBlockToRead() && reads.size() < 100) {
        const ProtoEntry e = raw.registers();
        reads.append({e.offset, e.registers});
        raw.decode(area.mid(int(e.offset - base) * 2, int(e.registers) * 2));
    }
    return reads;
}

} // namespace

Q_DECLARE_METATYPE(Read)

class RawConfigurationTest : public QObject
{
    Q_OBJECT

private slots:
    void crcMatchesTheModbusReference()
    {
        QCOMPARE(crc16(reinterpret_cast<const quint8*>("abc"), 3), quint16(0x4957));
        QCOMPARE(crc16(nullptr, 0), quint16(0xFFFF));
        // The standard check value of CRC-16/MODBUS over "123456789" is 0x4B37; we hold it swapped.
        QCOMPARE(crc16(reinterpret_cast<const quint8*>("123456789"), 9), quint16(0x374B));
    }

    // The direct byte reader and writer give the bytes a wireFormat stream gives, and a field
    // past the end reads as zero and fails the reader, as the stream's status does.
    void wireFieldsMatchTheStream_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte short of the word") << QByteArray("\x01", 1);
        QTest::newRow("all fields") << QByteArray::fromHex("0180ff7f0000803fdeadbeef01020304aa");
        QTest::newRow("float cut short") << QByteArray::fromHex("0180ff7f0000");
    }

    void wireFieldsMatchTheStream()
    {
        QFETCH(QByteArray, bytes);
        QDataStream stream(bytes);
        wireFormat(stream);
        quint8 a = 9, sa = 9;
        qint16 b = 9, sb = 9;
        float c = 9, sc = 9;
        quint32 d = 9, sd = 9;
        qint32 e = 9, se = 9;
        quint8 f = 9, sf = 9;
        stream >> sa >> sb >> sc >> sd >> se >> sf;
        WireReader reader(bytes);
        reader >> a >> b >> c >> d >> e >> f;
        QCOMPARE(reader.ok(), stream.status() == QDataStream::Ok);
        QCOMPARE(a, sa);
        QCOMPARE(b, sb);
        QCOMPARE(c, sc);
        QCOMPARE(d, sd);
        QCOMPARE(e, se);
        // A byte after a field cut short is not there either.
        QCOMPARE(f, sf);

        QByteArray streamed;
        QDataStream out(&streamed, QIODevice::WriteOnly);
        wireFormat(out) << sa << sb << sc << double(sc) << sd << se;
        QByteArray written("left over");
        WireWriter::replacing(written, 0) << sa << sb << sc << double(sc) << sd << se;
        QCOMPARE(written.toHex(), streamed.toHex());
        // Written over the middle of a buffer, as a header is once what follows it is in: the
        // same bytes, and nothing around them moved.
        QByteArray patched = "<" + QByteArray(streamed.size(), '.') + ">";
        WireWriter::overwriting(patched, 1) << sa << sb << sc << double(sc) << sd << se;
        QCOMPARE(patched.toHex(), ("<" + streamed + ">").toHex());
    }

    void dataBlockKeepsOldDataOnEmptyDecode()
    {
        const ProtoEntry target{3, 6, 4016, 3};
        DataBlock::Ptr_t block = DataBlock::create(target, QByteArray("1234567"));
        QCOMPARE(block->kind(), 12);
        QCOMPARE(block->registers(), target);
        QVERIFY(!block->isValid());
        QByteArray out;
        block->encode(&out);
        QCOMPARE(out, QByteArray("1234567"));
        QVERIFY(block->decode("ab"));
        QVERIFY(block->isValid());
        QVERIFY(!block->decode(QByteArray()));
        QVERIFY(!block->isValid());
        block->encode(&out);
        QCOMPARE(out, QByteArray("ab"));
    }

    void walkReadsImageThenDeviceTable()
    {
        const QByteArray blocks(10, 'x');
        const QByteArray table = le16(1) + QByteArray(6, 't');
        const QByteArray area = image(blocks) + section(13, table);
        RawConfiguration raw;
        const QList<Read> reads = walk(raw, area);
        // Header, image, table header, table body: exactly two reads after the image.
        QCOMPARE(reads, (QList<Read>{{4016, 2}, {4016, 7}, {4023, 3}, {4026, 4}}));
        QCOMPARE(raw.image(), image(blocks));
        QCOMPARE(raw.table(), table);
        QCOMPARE(raw.state(), RawConfiguration::Done);
    }

    void walkDropsOtherSectionsAndOddLengths()
    {
        const QByteArray table = le16(0) + "xyz";
        const QByteArray area = image(QByteArray(), 0) + section(7, QByteArray(4, 'a'))
            + section(7, QByteArray(6, 'b')) + section(13, table);
        RawConfiguration raw;
        const QList<Read> reads = walk(raw, area);
        QCOMPARE(reads, (QList<Read>{{4016, 2}, {4016, 2}, {4018, 3}, {4021, 2}, {4023, 3},
                                     {4026, 3}, {4029, 3}, {4032, 2}}));
        QCOMPARE(raw.image(), image(QByteArray(), 0));
        // A length of 5 bytes is read as 2 registers: the last byte is dropped.
        QCOMPARE(raw.table(), table.left(4));
    }

    void invalidSectionHeadersEndTheWalk_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("type 0") << section(0, "ab");
        QTest::newRow("type 255") << section(255, "ab");
        QTest::newRow("check 0") << section(13, "ab", 0);
        QTest::newRow("check 255") << section(13, "ab", 255);
        QTest::newRow("length 0") << section(13, QByteArray());
        QTest::newRow("length 4097") << section(13, QByteArray(4097, 'z'));
        QTest::newRow("missing") << QByteArray();
    }

    void invalidSectionHeadersEndTheWalk()
    {
        QFETCH(QByteArray, header);
        RawConfiguration raw;
        const QList<Read> reads = walk(raw, image("abcd") + header);
        QCOMPARE(reads.size(), 3);
        QVERIFY(raw.table().isEmpty());
        QVERIFY(!raw.hasBlockToRead());
    }

    void walkNeverReadsPastTheLastRegister()
    {
        // An image header near the top of the register space that announces more than fits.
        RawConfiguration raw;
        const QByteArray area = image(QByteArray(), 1).left(2) + le16(0xFFFE);
        const QList<Read> reads = walk(raw, area, 65000);
        QCOMPARE(reads, (QList<Read>{{65000, 2}}));
        QVERIFY(raw.image().isEmpty());
        QVERIFY(raw.table().isEmpty());

        // A chain of sections that reaches the end of the space stops before it.
        RawConfiguration near;
        const QByteArray chain = image(QByteArray(), 0) + section(7, QByteArray(4000, 'q'));
        const QList<Read> tail = walk(near, chain, 65530);
        QCOMPARE(tail.last(), (Read{65532, 3}));
        QVERIFY(!near.hasBlockToRead());
    }
};

QTEST_GUILESS_MAIN(RawConfigurationTest)
#include "tst_rawconfiguration.moc"
