#include "remotedevice.h"

#include <QJsonArray>
#include <QtTest>

class TestValueFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatNumber_data();
    void formatNumber();
    void formatValue_data();
    void formatValue();
};

void TestValueFormat::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("integral") << 10.0 << "10";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("fraction") << 12.5 << "12.5";
    QTest::newRow("negative") << -0.25 << "-0.25";
    QTest::newRow("one third") << 1.0 / 3.0 << "0.333333";
    QTest::newRow("six digits rounded") << 123.4567 << "123.457";
    QTest::newRow("small exponent") << 2.5e-07 << "2.5e-07";
    QTest::newRow("just above the small exponent") << 0.0001 << "0.0001";
    QTest::newRow("large exponent") << 1e6 << "1e+06";
    QTest::newRow("just below the large exponent") << 999999.0 << "999999";
    QTest::newRow("rounds up into the exponent") << 999999.5 << "1e+06";
}

void TestValueFormat::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(RemoteDevice::formatNumber(value), text);
}

void TestValueFormat::formatValue_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("true") << QJsonValue(true) << "1";
    QTest::newRow("false") << QJsonValue(false) << "0";
    QTest::newRow("number") << QJsonValue(1.0 / 3.0) << "0.333333";
    QTest::newRow("integer") << QJsonValue(7) << "7";
    QTest::newRow("large integer stays exact") << QJsonValue(20231234) << "20231234";
    QTest::newRow("negative integer") << QJsonValue(-1500000) << "-1500000";
    QTest::newRow("large fraction keeps six digits") << QJsonValue(1234567.5) << "1.23457e+06";
    QTest::newRow("string as is") << QJsonValue(QStringLiteral("192.168.0.7")) << "192.168.0.7";
    QTest::newRow("array compact")
        << QJsonValue(QJsonArray{1, QStringLiteral("a b")}) << R"([1,"a b"])";
    QTest::newRow("object compact") << QJsonValue(QJsonObject{{"k", 2}}) << R"({"k":2})";
    QTest::newRow("null is a query") << QJsonValue() << "";
    QTest::newRow("undefined is a query") << QJsonValue(QJsonValue::Undefined) << "";
}

void TestValueFormat::formatValue()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, text);
    QCOMPARE(RemoteDevice::formatValue(value), text);
}

QTEST_GUILESS_MAIN(TestValueFormat)
#include "tst_valueformat.moc"
