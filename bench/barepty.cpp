// The floor of a serial exchange: write the command line to the pseudo-terminal and read
// until the prompt has come, each read a blocking one.
// Usage: vkt-bench-bare-pty PATH COUNT [CAPTURE_FILE]
// The last reply is written to CAPTURE_FILE, for the parse benchmark to frame.

#include "benchstats.h"
#include "floorparse.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr cc_t replyTimeoutDs = 20; // tenths of a second: a lost reply fails the run
constexpr int warmUpExchanges = 100;
const std::string commandLine = "/stateObject\r\n";
const std::string prompt = "\r\n>>";

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PATH COUNT [CAPTURE_FILE]\n", argv[0]);
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const int fd = open(argv[1], O_RDWR | O_NOCTTY);
    termios settings{};
    if (fd < 0 || tcgetattr(fd, &settings) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    cfmakeraw(&settings);
    // A read returns as soon as any byte is there, or empty after the timeout.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = replyTimeoutDs;
    tcsetattr(fd, TCSANOW, &settings);
    tcflush(fd, TCIOFLUSH);

    std::vector<double> samples;
    samples.reserve(count);
    std::string reply;
    char chunk[4096];
    for (int i = 0; i < warmUpExchanges + count; ++i) {
        const auto start = bench::Clock::now();
        if (write(fd, commandLine.data(), commandLine.size()) < 0) {
            std::perror("write");
            return 1;
        }
        reply.clear();
        while (reply.find(prompt) == std::string::npos) {
            const ssize_t size = read(fd, chunk, sizeof chunk);
            if (size <= 0) {
                std::fprintf(stderr, "no reply\n");
                return 1;
            }
            reply.append(chunk, size);
        }
        // The answer stands between the echoed line and the prompt.
        const size_t answer = reply.find("\r\n") + 2;
        if (!bench::floorParse(reply.data() + answer, reply.rfind(prompt) - answer)) {
            std::fprintf(stderr, "answer is no JSON object\n");
            return 1;
        }
        if (i >= warmUpExchanges)
            samples.push_back(bench::microsecondsSince(start));
    }
    close(fd);

    if (argc > 3)
        std::ofstream(argv[3], std::ios::binary).write(reply.data(), reply.size());
    bench::printResult(("bare pty client" + std::string(bench::floorSuffix)).c_str(), samples);
    return 0;
}
