// Indicators and information panels: filling from title/value pairs, wrong indices answered with
// null instead of an abort, highlighting, and the packed version texts.
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"

#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

namespace {

using Fields = QVector<QPair<QString, QString>>;

QString text(const Indicator& indicator, const char* label)
{
    return indicator.findChild<QLabel*>(label)->text();
}

void expectPreconditionWarning(const char* condition)
{
    const QString pattern = QStringLiteral("^ASSERT: \"%1\"").arg(QRegularExpression::escape(condition));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(pattern));
}

} // namespace

class IndicatorTest : public QObject
{
    Q_OBJECT

private slots:
    void sevenPairsFillTheMainValueAndFourFields()
    {
        Indicator indicator;
        Fields fields;
        for (int i = 0; i < 7; ++i)
            fields << qMakePair(QStringLiteral("t%1").arg(i), QStringLiteral("v%1").arg(i));
        setIndicator(&indicator, fields, true, false);
        QCOMPARE(text(indicator, "mainTitle"), QStringLiteral("t0"));
        QCOMPARE(text(indicator, "mainValue"), QStringLiteral("v0"));
        for (int i = 0; i < Indicator::nAdditionalFields; ++i) {
            QCOMPARE(indicator.additionalTitle(i)->text(), QStringLiteral("t%1").arg(i + 1));
            QCOMPARE(indicator.additionalValue(i)->text(), QStringLiteral("v%1").arg(i + 1));
        }
        const QStringList all = [&] {
            QStringList texts;
            for (const QLabel* l : indicator.findChildren<QLabel*>())
                texts << l->text();
            return texts;
        }();
        QVERIFY(!all.contains("t5") && !all.contains("v6"));
    }

    void fewerPairsKeepTheOtherFieldsAndEmptyListChangesNothing()
    {
        Indicator indicator;
        setIndicator(&indicator, {{"a", "1"}, {"b", "2"}, {"c", "3"}}, true, false);
        setIndicator(&indicator, {{"x", "9"}}, true, true);
        QCOMPARE(text(indicator, "mainValue"), QStringLiteral("9"));
        QCOMPARE(indicator.additionalValue(1)->text(), QStringLiteral("3"));
        QVERIFY(indicator.additionalTitle(0)->isHidden());
        QCOMPARE(indicator.minimumWidth(), 60);

        const int extraHeight = indicator.findChild<QLabel*>("extraTitle")->minimumHeight();
        setIndicator(&indicator, {}, false, true);
        QCOMPARE(text(indicator, "mainTitle"), QStringLiteral("x"));
        QCOMPARE(indicator.findChild<QLabel*>("extraTitle")->minimumHeight(), extraHeight);
        setIndicator(&indicator, {{"y", "8"}}, false, false);
        QCOMPARE(indicator.findChild<QLabel*>("extraTitle")->minimumHeight(), 3);

        indicator.setExtraTitle("extra");
        clearIndicator(&indicator);
        QCOMPARE(text(indicator, "mainTitle"), QString());
        QCOMPARE(indicator.additionalValue(1)->text(), QString());
        QCOMPARE(text(indicator, "extraTitle"), QStringLiteral("extra"));
    }

    void wrongIndicesAnswerNullAndChangeNothing()
    {
        Indicator indicator;
        expectPreconditionWarning("i>=0 && i<nAdditionalFields");
        QVERIFY(!indicator.additionalTitle(4));
        expectPreconditionWarning("i>=0 && i<nAdditionalFields");
        QVERIFY(!indicator.additionalValue(-1));
        expectPreconditionWarning("i>=0 && i<nAdditionalFields");
        indicator.setAdditionalTitle(4, "lost");
        expectPreconditionWarning("indicator");
        setIndicator(nullptr, {{"a", "b"}}, true, true);
        expectPreconditionWarning("i");
        clearIndicator(nullptr);

        InfoPanel panel;
        expectPreconditionWarning("n>=0 && n<nIndicators");
        QVERIFY(!panel.indicator(6));
        expectPreconditionWarning("n>=0 && n<nIndicators");
        QVERIFY(!panel.indicator(-1));
        expectPreconditionWarning("ip");
        QVERIFY(!panelIndicator(nullptr, 0));
        QCOMPARE(panelIndicator(&panel, 5), panel.findChild<Indicator*>("info_5"));
    }

    void highlightingSwitchesOnlyTheMainLabels()
    {
        Indicator indicator;
        indicator.setHighlighted(true);
        QCOMPARE(indicator.findChild<QLabel*>("mainTitle")->foregroundRole(), QPalette::BrightText);
        QCOMPARE(indicator.findChild<QLabel*>("mainValue")->foregroundRole(), QPalette::BrightText);
        QCOMPARE(indicator.findChild<QLabel*>("extraTitle")->foregroundRole(), QPalette::WindowText);
        QCOMPARE(indicator.additionalValue(0)->foregroundRole(), QPalette::WindowText);
        indicator.setHighlighted(false);
        QCOMPARE(indicator.findChild<QLabel*>("mainValue")->foregroundRole(), QPalette::WindowText);
    }

    void panelStartsWithoutTitleAndNumbersItsIndicators()
    {
        InfoPanel panel;
        QCOMPARE(panel.findChild<QGroupBox*>("name")->title(), QString());
        for (int n = 0; n < InfoPanel::nIndicators; ++n)
            QCOMPARE(panel.indicator(n)->objectName(), QStringLiteral("info_%1").arg(n));
        panel.setTitle("Система");
        QCOMPARE(panel.findChild<QGroupBox*>("name")->title(), QStringLiteral("Система"));
    }

    void versionTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("packed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.2.3") << "1.2.3" << 16908291u << "1.2.0003";
        QTest::newRow("two fields") << "2.5" << 0x02050000u << "2.5.0000";
        QTest::newRow("empty") << "" << 0u << "0.0.0000";
        QTest::newRow("letters") << "a.b.c" << 0u << "0.0.0000";
        QTest::newRow("minor above a byte") << "1.300.7" << 0x012c0007u << "1.44.0007";
        QTest::newRow("fourth field ignored") << "1.2.3.4" << 16908291u << "1.2.0003";
        QTest::newRow("wide build") << "10.11.12345" << 0x0a0b3039u << "10.11.12345";
        QTest::newRow("major fills the top byte") << "255.255.65535" << 0xffffffffu
                                                  << "255.255.65535";
        QTest::newRow("major above a byte") << "300.1.1" << 0x2c010001u << "44.1.0001";
    }

    void versionTexts()
    {
        QFETCH(QString, text);
        QFETCH(quint32, packed);
        QFETCH(QString, shown);
        QCOMPARE(versionFromString(text), packed);
        QCOMPARE(versionToString(packed), shown);
    }
};

QTEST_MAIN(IndicatorTest)
#include "tst_indicator.moc"
