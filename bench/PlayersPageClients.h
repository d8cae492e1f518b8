#pragma once

// Phones for measuring the players' page server: many event streams opened on loopback, each
// from a source address of its own (127.0.0.2, 127.0.0.3, ...), so that the server's limit of
// connections per address holds as it would in a shop where every phone has its address.
//
//     EventStreamClients phones(server.port(), 200);
//     phones.waitAll("event: state", 10s);                 // everyone has the first state
//     server.publish(changed);
//     auto last = phones.waitAll("新しい名前", 10s);       // when the last phone had it
//
// Header-only, POSIX sockets and epoll; for benchmarks and load tests, never for the program.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velka::bench {

class EventStreamClients {
public:
    using Clock = std::chrono::steady_clock;

    // Opens `count` streams to 127.0.0.1:port, `perAddress` from each source address starting
    // at 127.0.0.2. Throws when a connection cannot be made.
    EventStreamClients(std::uint16_t port, int count, int perAddress = 1,
                       const std::string& path = "/events")
        : epoll_(::epoll_create1(EPOLL_CLOEXEC))
    {
        const std::string request = "GET " + path +
                                    " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                    "\r\nAccept: text/event-stream\r\n\r\n";
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in from{};
            from.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl(0x7f000002u + static_cast<std::uint32_t>(i / perAddress));
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
                ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
                ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
                    static_cast<ssize_t>(request.size())) {
                if (fd >= 0)
                    ::close(fd);
                throw std::runtime_error("could not open event stream " + std::to_string(i));
            }
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u32 = static_cast<std::uint32_t>(clients_.size());
            ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
            clients_.push_back({fd, {}, false});
        }
    }
    ~EventStreamClients()
    {
        for (const Client& c : clients_)
            ::close(c.fd);
        ::close(epoll_);
    }
    EventStreamClients(const EventStreamClients&) = delete;
    EventStreamClients& operator=(const EventStreamClients&) = delete;

    int size() const { return static_cast<int>(clients_.size()); }

    // Reads until every stream has received `marker` (anything before it is dropped) and
    // returns when the last one did; nothing when `patience` ran out or a stream ended first.
    std::optional<Clock::time_point> waitAll(std::string_view marker,
                                             std::chrono::milliseconds patience)
    {
        for (Client& c : clients_)
            c.done = consume(c, marker);
        int left = 0;
        for (const Client& c : clients_)
            left += c.done ? 0 : 1;
        Clock::time_point last = Clock::now();
        const Clock::time_point deadline = Clock::now() + patience;
        std::vector<epoll_event> events(64);
        char chunk[16 * 1024];
        while (left > 0) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (wait.count() <= 0)
                return std::nullopt;
            const int n = ::epoll_wait(epoll_, events.data(), static_cast<int>(events.size()),
                                       static_cast<int>(wait.count()));
            const Clock::time_point now = Clock::now();
            for (int i = 0; i < n; ++i) {
                Client& c = clients_[events[i].data.u32];
                for (;;) {
                    const ssize_t got = ::recv(c.fd, chunk, sizeof chunk, 0);
                    if (got == 0)
                        return std::nullopt;
                    if (got < 0)
                        break;
                    c.buffer.append(chunk, static_cast<std::size_t>(got));
                }
                if (!c.done && consume(c, marker)) {
                    c.done = true;
                    --left;
                    last = now;
                }
            }
        }
        return last;
    }

private:
    struct Client {
        int fd;
        std::string buffer;
        bool done;
    };

    static bool consume(Client& c, std::string_view marker)
    {
        const std::size_t at = c.buffer.find(marker);
        if (at == std::string::npos) {
            // Keep only what could still be the start of the marker.
            if (c.buffer.size() > marker.size())
                c.buffer.erase(0, c.buffer.size() - marker.size());
            return false;
        }
        c.buffer.erase(0, at + marker.size());
        return true;
    }

    int epoll_;
    std::vector<Client> clients_;
};

} // namespace velka::bench
