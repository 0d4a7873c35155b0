#include "configrecord.h"

#include <QJsonDocument>
#include <QTest>

Q_DECLARE_METATYPE(Ipv4Parts)

// The reading rules of the configuration records.
class TestConfigRecord : public QObject
{
    Q_OBJECT

private slots:
    void readingRules_data();
    void readingRules();
    void parseIpv4_data();
    void parseIpv4();
};

void TestConfigRecord::readingRules_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("objectSize");

    QTest::newRow("missing") << QByteArray("{}") << 0 << false << 0.0 << "" << 0;
    QTest::newRow("whole number") << QByteArray(R"({"k": 3})") << 3 << true << 3.0 << "" << 0;
    QTest::newRow("fraction") << QByteArray(R"({"k": 2.5})") << 0 << false << 2.5 << "" << 0;
    QTest::newRow("too large for int")
        << QByteArray(R"({"k": 1e20})") << 0 << false << 1e20 << "" << 0;
    QTest::newRow("text") << QByteArray(R"({"k": "7"})") << 0 << false << 0.0 << "7" << 0;
    QTest::newRow("object") << QByteArray(R"({"k": {"a": 1, "b": 2}})") << 0 << false << 0.0 << ""
                            << 2;
}

void TestConfigRecord::readingRules()
{
    QFETCH(QByteArray, json);
    const QJsonObject record = QJsonDocument::fromJson(json).object();
    const QString key = QStringLiteral("k");
    QTEST(ConfigRecord::integer(record, key), "integer");
    QTEST(ConfigRecord::flag(record, key), "flag");
    QTEST(ConfigRecord::number(record, key), "number");
    QTEST(ConfigRecord::text(record, key), "text");
    QTEST(int(ConfigRecord::object(record, key).size()), "objectSize");
}

void TestConfigRecord::parseIpv4_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Ipv4Parts>("parts");

    QTest::newRow("empty part") << "10..0.1" << Ipv4Parts{10, 0, 0, 1};
    QTest::newRow("five parts") << "1.2.3.4.5" << Ipv4Parts{1, 2, 3, 4};
    QTest::newRow("one bad part") << "10.x.3.4" << Ipv4Parts{10, 0, 3, 4};
    QTest::newRow("hex is not decimal") << "0x10.1.1.1" << Ipv4Parts{0, 1, 1, 1};
}

void TestConfigRecord::parseIpv4()
{
    QFETCH(QString, text);
    QTEST(ConfigRecord::parseIpv4(text), "parts");
}

QTEST_GUILESS_MAIN(TestConfigRecord)
#include "tst_configrecord.moc"
