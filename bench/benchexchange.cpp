// The dashboard's exchange as the poll runs it: RemoteDevice::sendCommand("/stateObject")
// against whatever answers at ADDRESS ("network://HOST" or "usb://PATH").
// Usage: vkt-bench-exchange ADDRESS COUNT

#include "benchstats.h"
#include "devicevocabulary.h"
#include "remotedevice.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

constexpr int warmUpExchanges = 100;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ADDRESS COUNT\n", argv[0]);
        return 2;
    }
    const int count = std::atoi(argv[2]);

    // Whether the device identifies itself does not matter here (the bare responder knows
    // only what it was given); the exchange needs an open transport.
    RemoteDevice device;
    if (!device.connectDevice(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot connect to %s\n", argv[1]);
        return 1;
    }
    // The event loop never runs, so the poll timer armed by connecting never fires in between.
    std::vector<double> samples;
    samples.reserve(count);
    for (int i = 0; i < warmUpExchanges + count; ++i) {
        const auto start = bench::Clock::now();
        const QJsonValue state = device.sendCommand(DevicePath::stateObject);
        const double us = bench::microsecondsSince(start);
        if (!state.isObject()) {
            std::fprintf(stderr, "no state record in exchange %d\n", i);
            return 1;
        }
        if (i >= warmUpExchanges)
            samples.push_back(us);
    }
    bench::printResult("RemoteDevice::sendCommand", samples);
    return 0;
}
