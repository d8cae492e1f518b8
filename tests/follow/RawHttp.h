#pragma once

// A bare HTTP/1.1 client over one TCP connection on loopback, for tests that must send exactly
// the bytes they mean (oversized headers, bodies, half a request) and see exactly what comes
// back, including a connection closed without an answer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velka::test {

struct HttpResponse {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    bool has(const std::string& name) const { return headers.count(name) != 0; }
    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

class RawConnection {
public:
    // A read that waits longer than this fails the read, so a broken server cannot hang the
    // test; no verdict depends on it.
    static constexpr int kPatienceMs = 20'000;

    RawConnection(std::uint16_t port, const char* from = "127.0.0.1", const char* to = "127.0.0.1")
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in source{};
        source.sin_family = AF_INET;
        ::inet_pton(AF_INET, from, &source.sin_addr);
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = htons(port);
        ::inet_pton(AF_INET, to, &target.sin_addr);
        connected_ = fd_ >= 0 &&
                     ::bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) == 0 &&
                     ::connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0;
    }
    ~RawConnection() { close(); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return connected_; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

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
        std::string text = std::string(method) + " " + std::string(path) + " HTTP/1.1\r\n";
        if (!host.empty())
            text += "Host: " + std::string(host) + "\r\n";
        text += std::string(more) + "\r\n";
        return send(text);
    }

    // One response; nothing when the connection closed (or failed) before a whole one came.
    // HEAD and 304 responses have no body whatever their Content-Length says.
    std::optional<HttpResponse> response(bool head = false)
    {
        std::optional<HttpResponse> r = streamHeaders();
        if (!r || head || r->status == 304)
            return r;
        if (r->has("content-length")) {
            const std::size_t length = std::stoul(r->header("content-length"));
            if (!readAtLeast(length))
                return std::nullopt;
            r->body = buffer_.substr(0, length);
            buffer_.erase(0, length);
        } else if (r->header("transfer-encoding") == "chunked") {
            for (std::size_t size = 1; size != 0;) {
                const std::size_t sizeEnd = readUntil("\r\n");
                if (sizeEnd == std::string::npos)
                    return std::nullopt;
                size = std::stoul(buffer_.substr(0, sizeEnd), nullptr, 16);
                buffer_.erase(0, sizeEnd + 2);
                if (!readAtLeast(size + 2))
                    return std::nullopt;
                r->body += buffer_.substr(0, size);
                buffer_.erase(0, size + 2);
            }
        }
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
    bool closedWithoutAnswer()
    {
        if (!buffer_.empty())
            return false;
        return !fill() && buffer_.empty() && !timedOut_;
    }

    // True once the server has closed the connection, whatever it sent before.
    bool closedByServer()
    {
        while (fill()) {
        }
        return !timedOut_;
    }

private:
    bool readAtLeast(std::size_t size)
    {
        while (buffer_.size() < size && fill()) {
        }
        return buffer_.size() >= size;
    }

    std::size_t readUntil(std::string_view marker)
    {
        for (;;) {
            const std::size_t at = buffer_.find(marker);
            if (at != std::string::npos)
                return at;
            if (!fill())
                return std::string::npos;
        }
    }

    bool fill()
    {
        if (fd_ < 0)
            return false;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kPatienceMs) != 1) {
            timedOut_ = true;
            return false;
        }
        char chunk[16 * 1024];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        buffer_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
    bool timedOut_ = false;
    std::string buffer_;
};

} // namespace velka::test
