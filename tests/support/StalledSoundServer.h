#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace velka::test {

// A sound server that has stalled: a socket where PulseAudio's would be, which takes every
// connection and then says nothing until it is destroyed. Made, it points the process's sound
// clients at itself (PULSE_SERVER, libcanberra's PulseAudio backend) with a home of its own, so
// that nothing of the machine's real server or settings plays a part.
class StalledSoundServer {
public:
    StalledSoundServer()
    {
        char dir[] = "/tmp/velka-stalled-XXXXXX";
        if (!mkdtemp(dir))
            throw std::runtime_error("no temporary folder");
        dir_ = dir;
        path_ = dir_ + "/native";
        listening_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        if (bind(listening_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listening_, 16) != 0)
            throw std::runtime_error("cannot listen on " + path_);
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + path_).c_str(), 1);
        setenv("CANBERRA_DRIVER", "pulse", 1);
        unsetenv("DISPLAY");
        acceptor_ = std::thread([this] {
            for (;;) {
                const int client = accept(listening_, nullptr, nullptr);
                if (client < 0)
                    return; // shut down
                const std::lock_guard lock(mutex_);
                clients_.push_back(client);
                connected_.notify_all();
            }
        });
    }
    ~StalledSoundServer()
    {
        shutdown(listening_, SHUT_RDWR); // ends the accept that waits
        acceptor_.join();
        for (const int client : clients_)
            close(client);
        close(listening_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    StalledSoundServer(const StalledSoundServer&) = delete;
    StalledSoundServer& operator=(const StalledSoundServer&) = delete;

    // Returns once this many clients have connected, each then waiting for the server's answer.
    void waitForClients(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        connected_.wait(lock, [&] { return clients_.size() >= count; });
    }
    // The last client has not given up and closed its end.
    bool lastClientStillWaiting()
    {
        const std::lock_guard lock(mutex_);
        if (clients_.empty())
            return false;
        pollfd end{clients_.back(), POLLRDHUP, 0};
        return poll(&end, 1, 0) == 0;
    }

private:
    std::string dir_;
    std::string path_;
    int listening_ = -1;
    std::thread acceptor_;
    std::mutex mutex_;
    std::condition_variable connected_;
    std::vector<int> clients_;
};

} // namespace velka::test
