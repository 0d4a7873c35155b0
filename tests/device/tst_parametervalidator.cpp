#include "parametervalidator.h"

#include <QtTest>

class TestParameterValidator : public QObject
{
    Q_OBJECT

private slots:
    void validate_data();
    void validate();
};

void TestParameterValidator::validate_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("needsHbn");
    QTest::addColumn<bool>("valid");

    const QByteArray both =
        R"({"vkt": {"metricUnits": 1, "net": {"ipAddress": "10.0.0.2"}},
            "hbn": {"anybus": {"nodeId": 3}}})";
    QTest::newRow("vkt alone") << QByteArray(R"({"vkt": {"metricUnits": 1}})") << false << true;
    QTest::newRow("vkt and hbn on an HBN unit") << both << true << true;
    QTest::newRow("keys with digits, _ and -")
        << QByteArray(R"({"vkt": {"a_1-B": 1}})") << false << true;
    QTest::newRow("hbn missing on an HBN unit")
        << QByteArray(R"({"vkt": {"a": 1}})") << true << false;
    QTest::newRow("root is an array") << QByteArray(R"([{"vkt": {"a": 1}}])") << false << false;
    QTest::newRow("vkt empty") << QByteArray(R"({"vkt": {}})") << false << false;
    QTest::newRow("CR LF in a key")
        << QByteArray(R"({"vkt": {"a\r\nflashfirmware": 1}})") << false << false;
    QTest::newRow("empty key") << QByteArray(R"({"vkt": {"": 1}})") << false << false;
    QTest::newRow("non-ASCII letter in a key")
        << QByteArray("{\"vkt\": {\"gr\xc3\xb6\xc3\x9f\x65\": 1}}") << false << false;
    QTest::newRow("bad key in the hbn record")
        << QByteArray(R"({"vkt": {"a": 1}, "hbn": {"net": {"x\n": 1}}})") << true << false;
    QTest::newRow("CR LF in a value")
        << QByteArray(R"({"vkt": {"a": "1\r\nflashfirmware"}})") << false << false;
    QTest::newRow("control character inside an array")
        << QByteArray(R"({"vkt": {"a": [1, ["x\u0000"]]}})") << false << false;
}

void TestParameterValidator::validate()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, needsHbn);
    QFETCH(bool, valid);

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QString reason;
    QCOMPARE(ParameterValidator::validate(document, needsHbn, &reason), valid);
    QCOMPARE(reason.isEmpty(), valid);
}

QTEST_GUILESS_MAIN(TestParameterValidator)
#include "tst_parametervalidator.moc"
