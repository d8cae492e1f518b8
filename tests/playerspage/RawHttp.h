#pragma once

// A bare HTTP/1.1 client over one TCP connection on loopback, for tests that must send exactly
// the bytes they mean (oversized headers, bodies, half a request) and see exactly what comes
// back, including a connection closed without an answer; and ports held as another program
// would hold them.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velka::test {

struct HttpResponse {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

class RawConnection {
public:
    // A read that waits longer than this in all fails the read, so a broken server cannot hang
    // the test, not even one that keeps sending something other than what is awaited; no
    // verdict depends on it.
    static constexpr int kPatienceMs = 20'000;

    // A `receiveBuffer` above 0 makes the connection's receive window that small (the system
    // rounds it up to its least), for a phone that stops reading.
    explicit RawConnection(std::uint16_t port, const char* from = "127.0.0.1",
                           int receiveBuffer = 0)
        : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        if (receiveBuffer > 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in source{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {}, .sin_zero = {}};
        sockaddr_in target{
            .sin_family = AF_INET, .sin_port = htons(port), .sin_addr = {}, .sin_zero = {}};
        ::inet_pton(AF_INET, from, &source.sin_addr);
        ::inet_pton(AF_INET, "127.0.0.1", &target.sin_addr);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
            ::connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawConnection()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // "GET /path HTTP/1.1" with a Host and any further header lines ("Name: value\r\n"...).
    bool request(std::string_view method, std::string_view path, std::string_view host,
                 std::string_view more = {})
    {
        return send(std::string(method) + " " + std::string(path) + " HTTP/1.1\r\nHost: " +
                    std::string(host) + "\r\n" + std::string(more) + "\r\n");
    }

    // One response with a Content-Length (HEAD and 304 responses have no body); nothing when
    // the connection closed (or failed) before a whole one came.
    std::optional<HttpResponse> response(bool head = false)
    {
        std::optional<HttpResponse> r = streamHeaders();
        if (!r || head || r->status == 304 || r->header("content-length").empty())
            return r;
        const std::size_t length = std::stoul(r->header("content-length"));
        while (buffer_.size() < length && fill()) {
        }
        if (buffer_.size() < length)
            return std::nullopt;
        r->body = buffer_.substr(0, length);
        buffer_.erase(0, length);
        return r;
    }

    // The status line and headers alone; for a stream, what follows is read with
    // readStreamUntil.
    std::optional<HttpResponse> streamHeaders()
    {
        const std::size_t end = readUntil("\r\n\r\n");
        if (end == std::string::npos || buffer_.rfind("HTTP/1.", 0) != 0)
            return std::nullopt;
        HttpResponse r;
        r.status = std::atoi(buffer_.c_str() + 9);
        for (std::size_t at = buffer_.find("\r\n"); at < end;) {
            const std::size_t next = buffer_.find("\r\n", at + 2);
            const std::string field = buffer_.substr(at + 2, next - at - 2);
            const std::size_t colon = field.find(':');
            if (colon != std::string::npos) {
                std::string name = field.substr(0, colon);
                for (char& c : name)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                r.headers[name] = field.substr(field.find_first_not_of(' ', colon + 1));
            }
            at = next;
        }
        buffer_.erase(0, end + 4);
        return r;
    }

    // Reads the stream until `marker` has come (raw bytes, chunk framing included); returns
    // everything up to and including it and keeps the rest. Empty when the stream ended first.
    std::string readStreamUntil(std::string_view marker)
    {
        const std::size_t at = readUntil(marker);
        if (at == std::string::npos)
            return {};
        std::string got = buffer_.substr(0, at + marker.size());
        buffer_.erase(0, at + marker.size());
        return got;
    }

    // True when the server ends the connection (end of file or a reset) before sending a
    // single byte more.
    bool closedWithoutAnswer() { return buffer_.empty() && !fill() && !timedOut_; }

    // True when the server ends the connection within `ms` (what it sent before is kept, to be
    // read); false while it is still open then.
    bool endsWithin(int ms)
    {
        pollfd p{fd_, POLLIN, 0};
        while (fd_ >= 0 && ::poll(&p, 1, ms) == 1) {
            char chunk[16 * 1024];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return true;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
        return false;
    }

    // True once the server has closed the connection, whatever it sent before.
    bool closedByServer()
    {
        while (fill()) {
        }
        return !timedOut_;
    }

private:
    std::size_t readUntil(std::string_view marker)
    {
        const auto giveUp =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
        std::size_t at = 0;
        while ((at = buffer_.find(marker)) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                giveUp - std::chrono::steady_clock::now());
            if (!fill(static_cast<int>(std::max<std::int64_t>(left.count(), 0))))
                break;
        }
        return at;
    }

    bool fill(int patienceMs = kPatienceMs)
    {
        pollfd p{fd_, POLLIN, 0};
        if (fd_ < 0 || ::poll(&p, 1, patienceMs) != 1) {
            timedOut_ = fd_ >= 0;
            return false;
        }
        char chunk[16 * 1024];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0)
            buffer_.append(chunk, static_cast<std::size_t>(n));
        return n > 0;
    }

    int fd_;
    bool timedOut_ = false;
    std::string buffer_;
};

// Listening sockets on `count` free loopback ports in a row from `first` on, as another program
// would hold them; empty when no free run was found. The caller closes them.
inline std::vector<int> holdPorts(int count, std::uint16_t& first)
{
    for (first = 20'000; first < 60'000; first += 997) {
        std::vector<int> held;
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in where{.sin_family = AF_INET,
                                    .sin_port = htons(static_cast<std::uint16_t>(first + i)),
                                    .sin_addr = {htonl(INADDR_LOOPBACK)},
                                    .sin_zero = {}};
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
                ::listen(fd, 1) != 0) {
                ::close(fd);
                break;
            }
            held.push_back(fd);
        }
        if (static_cast<int>(held.size()) == count)
            return held;
        for (int fd : held)
            ::close(fd);
    }
    return {};
}

} // namespace velka::test
