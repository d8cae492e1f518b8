// The real sound player against a sound server that has stalled: a socket of this test where
// PulseAudio's would be, which takes the connection and then says nothing.
#include "timer/CanberraSoundPlayer.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace velka {
namespace {

class StalledServer {
public:
    StalledServer()
    {
        char dir[] = "/tmp/velka-stalled-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/native";
        listening_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        if (bind(listening_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listening_, 4) != 0)
            throw std::runtime_error("cannot listen on " + path_);
        acceptor_ = std::thread([this] {
            const int client = accept(listening_, nullptr, nullptr);
            const std::lock_guard lock(mutex_);
            client_ = client;
            connected_.notify_all();
        });
    }
    ~StalledServer()
    {
        shutdown(listening_, SHUT_RDWR); // ends an accept still waiting
        acceptor_.join();
        if (client_ >= 0)
            close(client_);
        close(listening_);
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    std::string address() const { return "unix:" + path_; }
    // Returns once a client has connected; the client is then waiting for the server's answer.
    void waitForClient()
    {
        std::unique_lock lock(mutex_);
        connected_.wait(lock, [this] { return client_ != -1; });
    }
    // The client has not given up and closed its end.
    bool clientStillWaiting()
    {
        const std::lock_guard lock(mutex_);
        pollfd end{client_, POLLRDHUP, 0};
        return client_ >= 0 && poll(&end, 1, 0) == 0;
    }

private:
    std::string dir_;
    std::string path_;
    int listening_ = -1;
    std::thread acceptor_;
    std::mutex mutex_;
    std::condition_variable connected_;
    int client_ = -1;
};

// Left a sound to play on a server that never answers, quitting neither waits for the server
// nor for libpulse's own time-out (30 s) to give up on it; later sounds are queued at once.
TEST(CanberraSoundPlayer, QuitsWithoutWaitingForAStalledServer)
{
    StalledServer server;
    char home[] = "/tmp/velka-home-XXXXXX";
    const std::string dir = mkdtemp(home);
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    setenv("PULSE_SERVER", server.address().c_str(), 1);
    setenv("CANBERRA_DRIVER", "pulse", 1);
    unsetenv("DISPLAY");

    auto player = std::make_unique<CanberraSoundPlayer>();
    player->play(RoundSound::TimeUp);
    server.waitForClient();
    player->play(RoundSound::FiveMinutesLeft);
    player->play(RoundSound::OneMinuteLeft);

    player.reset();
    EXPECT_TRUE(server.clientStillWaiting())
        << "the player quit only once the sound library had given up on the server";
    // The server closes at the end of the test; the player's thread then ends by itself.
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace velka
