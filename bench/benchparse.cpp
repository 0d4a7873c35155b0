// What reading a reply costs the exchange beyond the bare clients, which never parse it: the
// link's reply framing on a reply captured from vkt-sim, as the exchange runs it.
// Usage: vkt-bench-parse network|serial CAPTURE_FILE COUNT

#include "benchstats.h"
#include "replyframer.h"

#include <QFile>
#include <QJsonObject>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int warmUpParses = 100;

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4 || (std::strcmp(argv[1], "network") != 0 && std::strcmp(argv[1], "serial") != 0)) {
        std::fprintf(stderr, "usage: %s network|serial CAPTURE_FILE COUNT\n", argv[0]);
        return 2;
    }
    const bool serial = std::strcmp(argv[1], "serial") == 0;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    const QByteArray reply = file.readAll();
    const int count = std::atoi(argv[3]);

    std::vector<double> samples;
    samples.reserve(count);
    for (int i = 0; i < warmUpParses + count; ++i) {
        QByteArray buffer = reply; // the exchange frames a buffer of its own
        const auto start = bench::Clock::now();
        const QJsonObject parsed =
            serial ? ReplyFramer::takeSerialFrame(&buffer) : ReplyFramer::parseNetwork(buffer);
        const double us = bench::microsecondsSince(start);
        if (parsed.isEmpty()) {
            std::fprintf(stderr, "the captured reply does not parse\n");
            return 1;
        }
        if (i >= warmUpParses)
            samples.push_back(us);
    }
    bench::printResult(serial ? "ReplyFramer::takeSerialFrame" : "ReplyFramer::parseNetwork",
                       samples);
    return 0;
}
