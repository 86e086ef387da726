// The X11 pointer against a real X server: a private Xvfb, the pointer moved with xdotool.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "platform/x11_pointer.hpp"
#include "sources/mouse_sampler.hpp"

extern char** environ;

namespace mw {
namespace {

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

/// A private X server on a free display number, ended when the fixture ends.
class X11PointerXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb") || !OnPath("xdotool"))
            GTEST_SKIP() << "Xvfb or xdotool not found: install them with "
                            "\"apt-get install xvfb xdotool x11-utils\" to run the X11 pointer tests";
        // Xvfb picks a free display number itself and writes it to the pipe (-displayfd).
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 9);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {"Xvfb",        "-displayfd", "9",   "-screen",  "0",
                              "1024x768x24", "-nolisten",  "tcp", "-noreset", nullptr};
        const int rc =
            posix_spawnp(&xvfbPid_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            ::close(fds[0]);
            xvfbPid_ = 0;
            FAIL() << "cannot start Xvfb: " << std::strerror(rc);
        }
        std::string number;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
            pollfd p{fds[0], POLLIN, 0};
            char c[16];
            ssize_t n = 0;
            if (::poll(&p, 1, 200) > 0 && (n = ::read(fds[0], c, sizeof c)) <= 0) break;
            number.append(c, size_t(n));
        }
        ::close(fds[0]);
        ASSERT_NE(number.find('\n'), std::string::npos) << "Xvfb did not report a display number";
        display_ = ":" + number.substr(0, number.find('\n'));
    }

    void TearDown() override {
        pointer_.reset();
        if (xvfbPid_ > 0) {
            ::kill(xvfbPid_, SIGTERM);
            int status = 0;
            while (::waitpid(xvfbPid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }

    X11Pointer& Pointer() {
        if (!pointer_) {
            std::string error;
            pointer_ = X11Pointer::Open(display_.c_str(), &error);
            if (!pointer_) ADD_FAILURE() << error;
        }
        return *pointer_;
    }

    /// Runs xdotool on our display; true when it succeeded. Its standard output goes to *out.
    bool Xdotool(const std::string& args, std::string* out = nullptr) {
        FILE* p = ::popen(("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null").c_str(), "r");
        if (!p) return false;
        char buffer[4096];
        for (size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            if (out) out->append(buffer, n);
        const int status = ::pclose(p);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    bool XdotoolMove(int x, int y) {
        return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
    }

    /// Waits until the backend reads (x, y).
    bool SeesCursorAt(int x, int y) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int cx = -1, cy = -1;
        while (std::chrono::steady_clock::now() < until) {
            if (Pointer().ReadCursor(cx, cy) && cx == x && cy == y) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "cursor at " << cx << "," << cy << ", expected " << x << "," << y;
        return false;
    }

    pid_t xvfbPid_ = 0;
    std::string display_;
    std::unique_ptr<X11Pointer> pointer_;
};

TEST_F(X11PointerXvfb, ReadsMovesAndSamplesThePointerThatXdotoolMovesAndReads) {
    X11Pointer& pointer = Pointer();
    const ScreenRect s = pointer.Screen();
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 1024); // one past the last pixel
    EXPECT_EQ(s.bottom, 768);
    ASSERT_TRUE(XdotoolMove(100, 200));
    EXPECT_TRUE(SeesCursorAt(100, 200));
    ASSERT_TRUE(XdotoolMove(5000, 300)); // the server keeps the pointer on the screen
    EXPECT_TRUE(SeesCursorAt(1023, 300));

    ASSERT_TRUE(pointer.SetCursor(300, 400));
    std::string out;
    ASSERT_TRUE(Xdotool("getmouselocation --shell", &out));
    EXPECT_NE(out.find("X=300\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Y=400\n"), std::string::npos) << out;

    // The sampler measures the real pointer and wraps it at the right edge.
    ASSERT_TRUE(XdotoolMove(1000, 300));
    ASSERT_TRUE(SeesCursorAt(1000, 300));
    MouseSamplerCore core;
    WheelState wheel;
    core.Start({1000, 300}, s);
    ASSERT_TRUE(XdotoolMove(1023, 300)); // onto the right edge
    ASSERT_TRUE(SeesCursorAt(1023, 300));
    const MotionResult r = SampleStep(core, pointer, wheel, true);
    EXPECT_DOUBLE_EQ(r.step, 23.0);
    EXPECT_DOUBLE_EQ(core.Measure(MouseMeasure::HorizontalPosition), 1000.0);
    ASSERT_TRUE(r.wrapTo);
    EXPECT_EQ(*r.wrapTo, (CursorPoint{1, 300}));
    int x = 0, y = 0;
    ASSERT_TRUE(pointer.ReadCursor(x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 300);
    // The next iteration sees the jump as no movement.
    EXPECT_FALSE(SampleStep(core, pointer, wheel, true).moved);
    EXPECT_EQ(core.Measure(MouseMeasure::SpeedRaw), 0.0);
}

TEST_F(X11PointerXvfb, OpensTheDisplayNamedByDisplay) {
    const char* old = std::getenv("DISPLAY");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("DISPLAY", display_.c_str(), 1);
    std::string error;
    auto p = X11Pointer::Open(nullptr, &error);
    if (saved)
        ::setenv("DISPLAY", saved->c_str(), 1);
    else
        ::unsetenv("DISPLAY");
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->DisplayName(), display_);
    int x = -1, y = -1;
    EXPECT_TRUE(p->ReadCursor(x, y));

    EXPECT_FALSE(X11Pointer::Open(":4711", &error));
    EXPECT_NE(error.find("cannot open X display \":4711\""), std::string::npos) << error;
}

} // namespace
} // namespace mw
