// Where no display opens: the retries against a server that refuses the game
// while it resets, and the one line that says why. The server here is a stand-in
// on the abstract socket Xlib tries first, refusing every connection with a
// reason of its own.
#include "TestSupport.hpp"

#include "app/Display.hpp"

#include <atomic>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class RefusingServer {
public:
    explicit RefusingServer(const std::string& reason) : reason_(reason) {
        std::random_device device;
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        for (int tries = 0; tries < 20; ++tries) {
            number_ = 40000 + static_cast<int>(device() % 20000);
            const std::string path = "/tmp/.X11-unix/X" + std::to_string(number_);
            path.copy(address.sun_path + 1, path.size());  // abstract: a leading zero byte
            const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
            if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(listener_, 8) == 0)
                break;
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~RefusingServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    std::string display() const { return ":" + std::to_string(number_); }
    // When each connection came, in seconds since the first.
    std::vector<double> arrivals() const { return arrivals_; }

private:
    void serve() {
        using Clock = std::chrono::steady_clock;
        Clock::time_point first;
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 20) != 1)
                continue;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            const Clock::time_point now = Clock::now();
            if (arrivals_.empty())
                first = now;
            arrivals_.push_back(std::chrono::duration<double>(now - first).count());
            // The connection setup, refused: status 0, the reason, X11.0, in
            // the byte order the client's first byte asks for.
            char order = 'l';
            static_cast<void>(::read(client, &order, 1));
            std::string reply(8, '\0');
            const std::size_t padded = (reason_.size() + 3) / 4 * 4;
            const auto put16 = [&](std::size_t at, unsigned value) {
                reply[at + (order == 'B' ? 1 : 0)] = static_cast<char>(value & 0xff);
                reply[at + (order == 'B' ? 0 : 1)] = static_cast<char>(value >> 8);
            };
            reply[1] = static_cast<char>(reason_.size());
            put16(2, 11);
            put16(6, static_cast<unsigned>(padded / 4));
            reply += reason_ + std::string(padded - reason_.size(), '\0');
            static_cast<void>(::write(client, reply.data(), reply.size()));
            ::close(client);
        }
    }

    std::string reason_;
    int listener_ = -1, number_ = 0;
    std::vector<double> arrivals_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

TEST(DisplayCheck, ARefusingServerIsTriedForASecondThenNamedWithItsReason) {
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    std::string problem;
    std::vector<double> arrivals;
    {
        RefusingServer server("Not this game, sorry");
        setenv("DISPLAY", server.display().c_str(), 1);
        problem = DisplayConnection().problem();
        arrivals = server.arrivals();
        EXPECT_EQ(problem, "cannot open display \"" + server.display() + "\": Not this game, sorry");
    }
    unsetenv("DISPLAY");
    EXPECT_EQ(DisplayConnection().problem(), "cannot open a display: DISPLAY is not set");
    setenv("DISPLAY", display.c_str(), 1);
    // Six tries, 0.2 s apart: a server resetting for a second still lets the game in.
    ASSERT_EQ(arrivals.size(), 6u);
    for (std::size_t i = 1; i < arrivals.size(); ++i)
        EXPECT_GE(arrivals[i] - arrivals[i - 1], 0.2) << i;
}
