// The floor of a UDP device: answers each datagram that matches a known command with the
// reply bytes captured for it, and ignores everything else. It stops when stdin closes.
// Usage: vkt-bench-bare-responder HOST PORT COMMAND REPLY_FILE [COMMAND REPLY_FILE ...]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

int main(int argc, char *argv[])
{
    if (argc < 5 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s HOST PORT COMMAND REPLY_FILE [COMMAND REPLY_FILE ...]\n",
                     argv[0]);
        return 2;
    }
    std::map<std::string, std::string> replies;
    for (int i = 3; i + 1 < argc; i += 2) {
        std::ifstream file(argv[i + 1], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[i + 1]);
            return 1;
        }
        replies[argv[i]].assign(std::istreambuf_iterator<char>(file), {});
    }

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[2])));
    if (inet_pton(AF_INET, argv[1], &local.sin_addr) != 1) {
        std::fprintf(stderr, "not an IPv4 address: %s\n", argv[1]);
        return 2;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        std::perror("bind");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    char request[65536];
    pollfd watched[] = {{fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    while (poll(watched, 2, -1) > 0) {
        if (watched[1].revents != 0) {
            char discard[256];
            if (read(STDIN_FILENO, discard, sizeof discard) <= 0)
                break;
        }
        if ((watched[0].revents & POLLIN) == 0)
            continue;
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t size = recvfrom(fd, request, sizeof request, 0,
                                      reinterpret_cast<sockaddr *>(&sender), &senderSize);
        if (size < 0)
            continue;
        const auto reply = replies.find(std::string(request, size));
        if (reply != replies.end())
            sendto(fd, reply->second.data(), reply->second.size(), 0,
                   reinterpret_cast<sockaddr *>(&sender), senderSize);
    }
    close(fd);
    return 0;
}
