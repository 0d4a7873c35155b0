#include "staterecorder.h"
#include "timering.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The state log without a window: samples, events and the history, the one CSV format with
// text from a device in it, and the recording's file when the disk fills.
class TestStateLog : public QObject
{
    Q_OBJECT

private slots:
    void logRows();
    void boundedColumns();
    void history();
    void events_data();
    void events();
    void recordingStopsWholeOnFullDisk();
};

namespace {

QJsonObject record(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

void TestStateLog::logRows()
{
    // Keys and text from the device in the header and the rows: quoted, escaped, neutralised;
    // a known member that is not a sane number is left empty, a number is never neutralised.
    const QJsonObject state = record(R"({"metricUnits": 1, "actualForce": "=1+1",
        "actualPosition": -0.25, "accelGravity": 1e300, "dioValue": 2555904,
        "a,b": "-1", "x\ny": [1, "\u001b"]})");
    const StateCsvFormat format(state, 1000);
    StateLogHeader header;
    header.device = "Cell \x1b]0;owned\x07";
    header.model = "=cmd|' /C calc'!A0";
    header.program = "vkt-test 1";
    header.start = QDateTime::fromMSecsSinceEpoch(86400123, Qt::UTC);
    header.metricUnits = 1;
    const StateSample sample = StateSample::fromRecord(3500, state);
    const QString log =
        QString::fromUtf8(format.header(header) + format.sampleRow(sample, state)
                          + format.eventRow({3500, StateEvent::Kind::WeighingEnded, 2.5}));
    QCOMPARE(log, QString("# format,VKT state log 1\r\n"
                          "# device,Cell \\x1b]0;owned\\x07\r\n"
                          "# model,'=cmd|' /C calc'!A0\r\n"
                          "# tool,none\r\n"
                          "# units,\"metric (N, mm, G, kg)\"\r\n"
                          "# program,vkt-test 1\r\n"
                          "# start,1970-01-02T00:00:00.123Z\r\n"
                          "elapsed_s,event,metricUnits,actualForce,actualPosition,accelGravity,"
                          "commandForce,commandPosition,payloadWeight,controlMode,"
                          "posLimitPosition,negLimitPosition,dioValue,\"a,b\",x\\x0ay\r\n"
                          "2.500,,1,,-0.25,,,,,,,,2555904,'-1,\"[1,\"\"\\u001b\"\"]\"\r\n"
                          "2.500,weighing ended 2.5,,,,,,,,,,,,,\r\n"));
}

void TestStateLog::boundedColumns()
{
    // Ten thousand members make no more columns than the bound, every row has as many fields
    // as the header, and a text is cut to its bound.
    QCOMPARE(StateCsvFormat::textField(QString(1000, 'x')),
             QString(StateCsvFormat::fieldLengthLimit, 'x'));
    QJsonObject state;
    for (int i = 0; i < 10000; ++i)
        state.insert(QStringLiteral("k%1").arg(i, 5, 10, QLatin1Char('0')), i);
    state.insert(QString(StateCsvFormat::keyLengthLimit + 1, 'a'), 1);
    const StateCsvFormat format(state);
    // No field of the last three lines is quoted.
    const QList<QByteArray> lines =
        (format.header({}) + format.sampleRow(StateSample::fromRecord(0, state), state)
         + format.eventRow({0, StateEvent::Kind::LinkLost}))
            .split('\n');
    QCOMPARE(lines.size(), 11);
    const QList<QByteArray> columns = lines[7].trimmed().split(',');
    QCOMPARE(columns.size(), 2 + StateSample::columnCount + StateCsvFormat::extraColumnLimit);
    QCOMPARE(columns.last(), "k00015");
    QCOMPARE(lines[8].count(','), columns.size() - 1);
    QVERIFY(lines[8].endsWith(",15\r"));
    QCOMPARE(lines[9].count(','), columns.size() - 1);
}

void TestStateLog::history()
{
    TimeRing<StateSample> ring(4);
    for (qint64 t = 0; t < 6; ++t)
        ring.append(StateSample::fromRecord(t * 300, {}));
    QCOMPARE(ring.size(), 4);
    QCOMPARE(ring.at(0).elapsedMs, 600);
    QCOMPARE(ring.last().elapsedMs, 1500);
    QCOMPARE(ring.firstAtOrAfter(0), 0);
    QCOMPARE(ring.firstAtOrAfter(601), 1);
    QCOMPARE(ring.firstAtOrAfter(1501), 4);
}

void TestStateLog::events_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<QStringList>("events");
    const auto row = [](const char *name, const char *previous, const char *next,
                        const QStringList &events) {
        QTest::newRow(name) << QByteArray(previous) << QByteArray(next) << events;
    };
    row("nothing changed", R"({"controlMode": 1, "actualForce": 1})",
        R"({"controlMode": 1, "actualForce": 2})", {});
    row("missing stays missing", "{}", R"({"controlMode": "busy"})", {});
    row("units, mode and both commands", R"({"metricUnits": 1, "controlMode": 0})",
        R"({"metricUnits": 0, "controlMode": 5, "commandForce": 25, "commandPosition": 1.5})",
        {"units English", "control mode 5", "force command 25", "position command 1.5"});
    row("weighing starts", R"({"payloadWeight": 2.5})", R"({"payloadWeight": -1})",
        {"weighing started"});
    row("weighing fails", R"({"payloadWeight": -1})", R"({"payloadWeight": 0})",
        {"weighing ended 0"});
}

void TestStateLog::events()
{
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, next);
    QStringList texts;
    for (const StateEvent &event :
         StateEvent::changesBetween(StateSample::fromRecord(0, record(previous)),
                                    StateSample::fromRecord(300, record(next))))
        texts << event.text();
    QTEST(texts, "events");
}

void TestStateLog::recordingStopsWholeOnFullDisk()
{
    // A file size limit stands in for a full disk: the row that does not fit is taken back,
    // the recording stops with the system's reason, and the file ends with a whole row.
    QTemporaryDir dir;
    const QString path = dir.filePath("run.csv");
    StateRecorder recorder;
    QVERIFY(!recorder.start("/dev/null", {}, {}, 0));
    QVERIFY(recorder.start(path, {}, {}, 0));
    QSignalSpy failed(&recorder, &StateRecorder::failed);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit before = limit;
    limit.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QJsonObject state = record(R"({"actualForce": 12.345678, "dioValue": 2555904})");
    for (int i = 0; i < 1000 && recorder.isRecording(); ++i)
        recorder.recordSample(StateSample::fromRecord(i * 300, state), state);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);

    QCOMPARE(failed.size(), 1);
    QVERIFY(!failed[0][0].toString().isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY(written.size() > 4096 - 100 && written.size() <= 4096);
    QVERIFY(written.endsWith("\r\n"));
    QCOMPARE(written.count('\n'), 8 + recorder.rowsWritten());
}

QTEST_GUILESS_MAIN(TestStateLog)
#include "tst_statelog.moc"
