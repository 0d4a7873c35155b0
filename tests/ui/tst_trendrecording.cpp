#include "mainwindow.h"
#include "simprocess.h"
#include "trendwindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

// A recording made by the dashboard as a program: the device killed and started again in
// the middle, the dashboard killed outright at the end; the file reads back whole.
class TestTrendRecording : public QObject
{
    Q_OBJECT

private slots:
    void survivesLinkLossAndKill();
};

namespace {

const char *const childOption = "--recording-dashboard";
constexpr int rowWaitMs = 20000;

// The dashboard this test kills: the main window on ADDRESS, recording to FILE from the
// trend window, connecting again whenever the link is lost (as an operator would).
int runDashboard(const QString &address, const QString &file)
{
    MainWindow window;
    window.show();
    QTimer reconnect;
    reconnect.setInterval(300);
    QObject::connect(&reconnect, &QTimer::timeout, &window, [&] {
        if (window.remoteDevice.connectDevice(address))
            reconnect.stop();
    });
    QObject::connect(&window.remoteDevice, &RemoteDevice::deviceDisconnect, &reconnect,
                     QOverload<>::of(&QTimer::start));
    window.onTrendButtonClick();
    if (!window.remoteDevice.connectDevice(address))
        return 2;
    return window.trendWindow()->startRecording(file) ? QApplication::exec() : 3;
}

// The rows after the header of the file's whole lines, each split at its commas (no field of
// these is quoted).
QList<QByteArrayList> rows(const QString &path)
{
    QFile file(path);
    QList<QByteArrayList> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // after the last line end
    for (const QByteArray &line : lines.mid(8))
        rows << line.split(',');
    return rows;
}

int rowsAfter(const QList<QByteArrayList> &rows, const QByteArray &event)
{
    int i = 0;
    while (i < rows.size() && rows[i].value(1) != event)
        ++i;
    return i < rows.size() ? rows.size() - i - 1 : -1;
}

} // namespace

void TestTrendRecording::survivesLinkLossAndKill()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.csv");
    const QString host = SimProcess::uniqueLoopbackAddress();
    const QStringList simArguments{"--no-tcp", "--udp-address", host};
    auto device = std::make_unique<SimProcess>();
    QVERIFY(device->start(simArguments));
    QProcess dashboard;
    dashboard.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dashboard.start(QCoreApplication::applicationFilePath(),
                    {childOption, device->networkAddress(), path});
    QVERIFY(dashboard.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(rows(path).size() >= 5, rowWaitMs);
    device->kill();
    QTRY_VERIFY_WITH_TIMEOUT(rowsAfter(rows(path), "link lost") >= 0, rowWaitMs);
    device = std::make_unique<SimProcess>();
    QVERIFY(device->start(simArguments));
    QTRY_VERIFY_WITH_TIMEOUT(rowsAfter(rows(path), "link lost") >= 8, rowWaitMs);
    ::kill(pid_t(dashboard.processId()), SIGKILL);
    QVERIFY(dashboard.waitForFinished());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY(written.endsWith("\r\n"));
    const QList<QByteArray> lines = written.split('\n');
    QVERIFY(lines[0].startsWith("# format,VKT state log 1"));
    QVERIFY(lines[1].startsWith("# device,HBN-Sim"));
    const int columns = lines[7].split(',').size();
    QStringList events;
    double elapsed = -1;
    for (const QByteArrayList &row : rows(path)) {
        QCOMPARE(row.size(), columns);
        QVERIFY(row.last().endsWith('\r'));
        QVERIFY(row[0].toDouble() >= elapsed);
        elapsed = row[0].toDouble();
        if (!row[1].isEmpty())
            events << row[1];
    }
    // The link lost and back: the device's tool comes with it.
    const int lost = events.indexOf("link lost");
    QVERIFY(lost >= 0);
    QCOMPARE(events.mid(lost, 3), (QStringList{"link lost", "connected", "tool present"}));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    if (argc == 4 && qstrcmp(argv[1], childOption) == 0)
        return runDashboard(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestTrendRecording test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_trendrecording.moc"
