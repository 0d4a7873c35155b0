#include "commandservice.h"
#include "controlchannel.h"
#include "faultinjector.h"
#include "interruptwatcher.h"
#include "serialendpoint.h"
#include "simdevice.h"
#include "simoptions.h"
#include "stdoutwriter.h"
#include "tcpterminal.h"
#include "udpendpoint.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "vkt-sim: %s\n", qPrintable(message));
    return 1;
}

QString endpointText(const QHostAddress &address, quint16 port)
{
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vkt-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKT_VERSION));

    SimOptions options;
    switch (options.parse(QCoreApplication::arguments())) {
    case SimOptions::Outcome::Help:
        std::fputs(qPrintable(options.helpText()), stdout);
        return 0;
    case SimOptions::Outcome::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case SimOptions::Outcome::Error:
        return fail(options.errorText() + QStringLiteral(" (see --help)"));
    case SimOptions::Outcome::Run:
        break;
    }

    SimDevice device(options.device);
    QString error;
    if (!device.start(&error))
        return fail(error);
    FaultInjector faults(options.faults);
    CommandService service(&device, &faults, options.trace);
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &app, &QCoreApplication::quit);

    std::unique_ptr<SerialEndpoint> serial;
    if (options.serial) {
        serial = std::make_unique<SerialEndpoint>(&service);
        if (!serial->open(options.linkPath, &error))
            return fail(error);
        StdoutWriter::line(QStringLiteral("serial: ") + serial->portName());
    }
    std::unique_ptr<UdpEndpoint> udp;
    if (options.udp) {
        udp = std::make_unique<UdpEndpoint>(&service);
        if (!udp->listen(options.udpAddress, options.udpPort, &error))
            return fail(QStringLiteral("UDP %1: %2")
                            .arg(endpointText(options.udpAddress, options.udpPort), error));
        StdoutWriter::line(QStringLiteral("udp: ")
                           + endpointText(options.udpAddress, options.udpPort));
    }
    std::unique_ptr<TcpTerminal> tcp;
    if (options.tcp) {
        tcp = std::make_unique<TcpTerminal>(&service);
        if (tcp->listen(options.udpAddress, options.tcpPort, &error)) {
            StdoutWriter::line(QStringLiteral("tcp: ")
                               + endpointText(options.udpAddress, options.tcpPort));
        } else if (options.tcpPortGiven) {
            return fail(QStringLiteral("TCP %1: %2")
                            .arg(endpointText(options.udpAddress, options.tcpPort), error));
        } else {
            // port 23 usually needs privileges; the default run goes on without the terminal
            std::fprintf(stderr, "vkt-sim: no TCP terminal on port %u: %s\n", options.tcpPort,
                         qPrintable(error));
            tcp.reset();
        }
    }
    ControlChannel control(&device, &faults, tcp.get());
    StdoutWriter::line(QStringLiteral("ready"));
    return app.exec();
}
