// The X11 pointer against a real X server: a private Xvfb, the pointer moved with xdotool.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11_pointer.hpp"
#include "sources/mouse_sampler.hpp"

extern char** environ;

namespace mw {
namespace {

std::optional<std::string> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t colon = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return std::nullopt;
}

/// Runs a program to its end with DISPLAY set; returns its exit status (-1 when it could not run)
/// and its standard output.
int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& display,
               std::string* output = nullptr) {
    std::vector<std::string> env{"DISPLAY=" + display};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argStore) argv.push_back(s.data());
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return -1;
    }
    std::string out;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) out.append(buffer, size_t(n));
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (output) *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// A private X server on a free display number, ended when the fixture ends.
class X11PointerXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        const auto xvfb = FindProgram("Xvfb");
        const auto xdotool = FindProgram("xdotool");
        if (!xvfb || !xdotool)
            GTEST_SKIP() << "Xvfb or xdotool not found: install them with "
                            "\"apt-get install xvfb xdotool x11-utils\" to run the X11 pointer tests";
        xdotool_ = *xdotool;

        // Xvfb picks a free display number itself and writes it to the pipe (-displayfd).
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        constexpr int kChildFd = 9;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], kChildFd);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args{*xvfb,       "-displayfd", std::to_string(kChildFd),
                                      "-screen",   "0",          "1024x768x24",
                                      "-nolisten", "tcp",        "-noreset"};
        std::vector<char*> argv;
        for (auto& s : args) argv.push_back(s.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&xvfbPid_, xvfb->c_str(), &actions, nullptr, argv.data(), environ);
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
            if (::poll(&p, 1, 200) > 0) {
                char c[16];
                const ssize_t n = ::read(fds[0], c, sizeof c);
                if (n <= 0) break;
                number.append(c, size_t(n));
            }
        }
        ::close(fds[0]);
        while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
        ASSERT_FALSE(number.empty()) << "Xvfb did not report a display number";
        display_ = ":" + number;
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

    bool XdotoolMove(int x, int y) {
        return RunProgram(xdotool_, {"mousemove", std::to_string(x), std::to_string(y)}, display_) == 0;
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
    std::string xdotool_;
    std::unique_ptr<X11Pointer> pointer_;
};

TEST_F(X11PointerXvfb, ReadsThePointerThatXdotoolMoves) {
    const ScreenRect s = Pointer().Screen();
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 1024); // one past the last pixel
    EXPECT_EQ(s.bottom, 768);
    ASSERT_TRUE(XdotoolMove(100, 200));
    EXPECT_TRUE(SeesCursorAt(100, 200));
    ASSERT_TRUE(XdotoolMove(5000, 300)); // the server keeps the pointer on the screen
    EXPECT_TRUE(SeesCursorAt(1023, 300));
}

TEST_F(X11PointerXvfb, MovesThePointerThatXdotoolReads) {
    ASSERT_TRUE(Pointer().SetCursor(300, 400));
    std::string out;
    ASSERT_EQ(RunProgram(xdotool_, {"getmouselocation", "--shell"}, display_, &out), 0);
    EXPECT_NE(out.find("X=300\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Y=400\n"), std::string::npos) << out;
}

TEST_F(X11PointerXvfb, SamplerMeasuresAndWrapsTheRealPointer) {
    X11Pointer& pointer = Pointer();
    ASSERT_TRUE(XdotoolMove(1000, 300));
    ASSERT_TRUE(SeesCursorAt(1000, 300));
    MouseSamplerCore core;
    WheelState wheel;
    core.Start({1000, 300}, pointer.Screen(), 0);
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
    const MotionResult r2 = SampleStep(core, pointer, wheel, true);
    EXPECT_FALSE(r2.moved);
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

    auto none = X11Pointer::Open(":4711", &error);
    EXPECT_FALSE(none);
    EXPECT_NE(error.find("cannot open X display \":4711\""), std::string::npos) << error;
}

} // namespace
} // namespace mw
