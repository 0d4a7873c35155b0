// The floor of a UDP exchange: one blocking send and one blocking receive on a connected
// socket, nothing else. Usage: vkt-bench-bare-udp HOST PORT COMMAND COUNT [CAPTURE_FILE]
// The last reply is written to CAPTURE_FILE, for the bare responder to answer with.

#include "benchstats.h"
#include "floorparse.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr int replyTimeoutS = 2; // a lost datagram fails the run instead of hanging it
constexpr int warmUpExchanges = 100;

int fail(const char *what)
{
    std::perror(what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s HOST PORT COMMAND COUNT [CAPTURE_FILE]\n", argv[0]);
        return 2;
    }
    const std::string command = argv[3];
    const int count = std::atoi(argv[4]);

    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[2])));
    if (inet_pton(AF_INET, argv[1], &peer.sin_addr) != 1) {
        std::fprintf(stderr, "not an IPv4 address: %s\n", argv[1]);
        return 2;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr *>(&peer), sizeof peer) != 0)
        return fail("socket");
    const timeval timeout{replyTimeoutS, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

    char reply[65536];
    ssize_t replySize = 0;
    std::vector<double> samples;
    samples.reserve(count);
    for (int i = 0; i < warmUpExchanges + count; ++i) {
        const auto start = bench::Clock::now();
        if (send(fd, command.data(), command.size(), 0) < 0)
            return fail("send");
        replySize = recv(fd, reply, sizeof reply, 0);
        if (replySize < 0)
            return fail("recv");
        if (!bench::floorParse(reply, size_t(replySize))) {
            std::fprintf(stderr, "reply is no JSON object\n");
            return 1;
        }
        if (i >= warmUpExchanges)
            samples.push_back(bench::microsecondsSince(start));
    }
    close(fd);

    if (argc > 5)
        std::ofstream(argv[5], std::ios::binary).write(reply, replySize);
    bench::printResult(("bare UDP client" + std::string(bench::floorSuffix)).c_str(), samples);
    return 0;
}
