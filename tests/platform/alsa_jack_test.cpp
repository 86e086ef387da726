#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include "audio/wave_out_manager.hpp"
#include "platform/alsa_common.hpp"
#include "platform/alsa_output.hpp"

extern char** environ;

namespace mw::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool InPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A JACK server of its own (dummy driver, 48000 Hz, `period` frames) and the ALSA PCM "mwjack" that
// plays to it through ALSA's jack plugin, set up in this process's environment. The server is a child
// process, ended (and waited for) when this object goes.
class JackServer {
public:
    explicit JackServer(int period) {
        const std::string id = std::to_string(::getpid());
        name_ = "mwtest" + id;
        config_ = "/tmp/mw-jack-" + id + ".conf";
        std::ofstream(config_) << "pcm.mwjack { type jack playback_ports { 0 system:playback_1 1 "
                                  "system:playback_2 } capture_ports { 0 system:capture_1 } }\n";
        ::setenv("ALSA_CONFIG_PATH", (std::string(snd_config_topdir()) + "/alsa.conf:" + config_).c_str(), 1);
        ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
        snd_pcm_t* pcm = nullptr;
        // Without a server the plugin says "no such file"; without the plugin ALSA says "no such device".
        pluginMissing_ = OpenPcm("mwjack", SND_PCM_STREAM_PLAYBACK, 2, 200000, &pcm) == -ENXIO;
        if (pcm) snd_pcm_close(pcm);
        if (pluginMissing_) return;
        const std::string p = std::to_string(period);
        const char* argv[] = {"jackd", "--no-realtime", "-n", name_.c_str(), "-d",   "dummy",
                              "-r",    "48000",         "-p", p.c_str(),     nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "jackd", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~JackServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            const auto until = Clock::now() + 3s;
            while (::waitpid(pid_, &status, WNOHANG) == 0) {
                if (Clock::now() > until) {
                    ::kill(pid_, SIGKILL);
                    ::waitpid(pid_, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(10ms);
            }
        }
        ::unsetenv("ALSA_CONFIG_PATH");
        ::unsetenv("JACK_DEFAULT_SERVER");
        ::unsetenv("JACK_NO_START_SERVER");
        ::unlink(config_.c_str());
    }
    bool PluginMissing() const { return pluginMissing_; }
    bool Started() const { return pid_ > 0; }

    // Opens "mwjack" once the server answers (it takes a moment to start).
    int OpenWhenUp(PcmSetup& setup) {
        int err = -ENOENT;
        for (const auto until = Clock::now() + 5s; Clock::now() < until; std::this_thread::sleep_for(100ms)) {
            snd_pcm_t* pcm = nullptr;
            err = OpenPcm("mwjack", SND_PCM_STREAM_PLAYBACK, 2, 200000, &pcm, &setup);
            if (pcm) snd_pcm_close(pcm);
            if (err != -ENOENT) break;
        }
        return err;
    }

private:
    std::string name_, config_;
    bool pluginMissing_ = false;
    pid_t pid_ = -1;
};

// ALSA's jack plugin takes only whole JACK periods. The output opens with the JACK period and the
// buffer nearest 200 ms (9600 frames) in whole periods, and plays at the server's pace.
TEST(AlsaJackOutput, OpensWithWholeJackPeriodsAndPlaysInRealTime) {
    if (!InPath("jackd")) GTEST_SKIP() << "jackd is not installed";
    for (const int period : {1024, 256}) {
        SCOPED_TRACE(period);
        JackServer server(period);
        if (server.PluginMissing()) GTEST_SKIP() << "ALSA's jack plugin is not installed";
        ASSERT_TRUE(server.Started());
        PcmSetup setup;
        ASSERT_EQ(server.OpenWhenUp(setup), 0);
        EXPECT_EQ(setup.periodFrames, snd_pcm_uframes_t(period));
        EXPECT_EQ(setup.bufferFrames % setup.periodFrames, 0u) << setup.bufferFrames;
        EXPECT_LE(std::abs(long(setup.bufferFrames) - 9600), period / 2) << setup.bufferFrames;

        AlsaOutputBackend backend(AlsaOutputBackend::Options{"mwjack"});
        WaveOutManager out(backend);
        std::string message;
        out.SetMessageCallback([&](const std::string& text) { message = text; });
        OutputBlock block;
        for (int i = 0; i < kMaxBlockSamples; ++i) block.samples[size_t(i)] = 300.0 * std::sin(i * 0.2);
        // Once the device is open and 60 ms are queued (where the engine would steer the latency), an
        // engine block of 96 frames every 2 ms for 1.2 s (late ones caught up); the frames played are the
        // blocks started less the ones still queued.
        int64_t blocks = 0, queued = 0, accepted = 0;
        for (; blocks < 30; ++blocks) {
            out.BeginBlock();
            ASSERT_TRUE(out.Submit(-1, block, &queued)) << message;
            out.EndBlock();
        }
        out.SendEnded();
        const auto start = Clock::now();
        double playedAt400 = 0, queuedMin = 1e9, queuedMax = 0;
        for (auto now = start; now - start < 1200ms; now = Clock::now()) {
            for (const int64_t due = (now - start) / 2ms + 31; blocks < due; ++blocks) {
                out.BeginBlock();
                accepted += out.Submit(-1, block, &queued);
                out.EndBlock();
            }
            out.SendEnded();
            const double played = double(blocks - queued) * 96;
            if (now - start < 400ms) {
                playedAt400 = played;
            } else if (now - start > 700ms) { // settled
                queuedMin = std::min(queuedMin, double(queued));
                queuedMax = std::max(queuedMax, double(queued));
            }
            std::this_thread::sleep_for(1ms);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double rate = (double(blocks - queued) * 96 - playedAt400) / (seconds - 0.4);
        std::cout << "JACK period " << period << ": buffer " << setup.bufferFrames << ", period "
                  << setup.periodFrames << (setup.plug ? " (plug)" : "") << "; " << rate
                  << " frames/s played, " << queuedMin * 2 << ".." << queuedMax * 2 << " ms queued, "
                  << out.Underruns() << " underrun(s)\n";
        EXPECT_TRUE(message.empty()) << message;
        EXPECT_EQ(accepted, blocks - 30);
        EXPECT_TRUE(out.IsOpen(-1));
        EXPECT_NEAR(rate, 48000.0, 48000.0 * 0.2);
        // The latency holds steady: the queue moves by the JACK period the server takes at once, and by
        // the scheduling of this thread and the feeder's (up to 30 ms).
        EXPECT_LE(queuedMax - queuedMin, period / 96.0 + 15);
        out.CloseAll();
    }
}

} // namespace
} // namespace mw::platform
