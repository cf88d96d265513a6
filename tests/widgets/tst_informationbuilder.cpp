// The resource summary: group lines with counts, the discrete outputs split by output kind.
#include "widgets/informationbuilder.h"

#include <QtTest>

namespace {

QList<IoChannel> channels(int kind, int count, int sub = 0)
{
    IoChannel c;
    c.kind = kind;
    c.sub = sub;
    QList<IoChannel> list;
    for (int i = 0; i < count; ++i)
        list << c;
    return list;
}

} // namespace

class InformationBuilderTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExample()
    {
        InformationBuilder builder;
        builder.build(channels(0, 8) + channels(2, 4) + channels(3, 4, 0) + channels(3, 2, 2),
                      5000, 3000, 1500);
        QCOMPARE(builder.names,
                 QStringLiteral("Аналоговые входы:\nДискретные входы:\nДискретные выходы:\n"));
        QCOMPARE(builder.values, QStringLiteral("8\n4\n6 [реле - 4, симисторы - 2]"));
        QCOMPARE(builder.kindCounts.value(3), 6);
        QCOMPARE(builder.outputKindCounts.value(2), 2);
        QCOMPARE(builder.supplyPower, 5000.0);
        QCOMPARE(builder.systemPower, 3000.0);
        QCOMPARE(builder.modulesPower, 1500.0);
    }

    void rebuildStartsAfresh()
    {
        InformationBuilder builder;
        builder.build(channels(1, 2), 0, 0, 0);
        QCOMPARE(builder.names, QStringLiteral("Аналоговые выходы:\n"));
        QCOMPARE(builder.values, QStringLiteral("2\n"));
        builder.build({}, 0, 0, 0);
        QCOMPARE(builder.names, QString());
        QCOMPARE(builder.values, QString());
        for (int kind = 0; kind < 4; ++kind)
            QCOMPARE(builder.kindCounts.value(kind), 0);
    }

    void outputKindsOutsideTheTableAreOnlyCounted()
    {
        InformationBuilder builder;
        builder.build(channels(3, 3, 1) + channels(3, 2, 7), 0, 0, 0);
        QCOMPARE(builder.names, QStringLiteral("Дискретные выходы:\n"));
        QCOMPARE(builder.values, QStringLiteral("5 [оптореле - 3]"));

        builder.build(channels(3, 2, 9), 0, 0, 0);
        QCOMPARE(builder.values, QStringLiteral("2\n"));
    }
};

QTEST_MAIN(InformationBuilderTest)
#include "tst_informationbuilder.moc"
