// The module windows' speed, on the platform Qt is started with (xcb under Xvfb, or offscreen):
//  1. a load of the built-in patch with the most modules, from the command to every window painted
//     (the median of 15 loads);
//  2. the user-interface thread's processor time with a window for each of 128 modules open, the
//     session's 10 ms poll running and the mouse still, over 10 s, in percent of one core.
// Prints one line per figure. Usage: murmelwerk-window-bench [SECONDS]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <vector>

#include "audio/memory_output.hpp"
#include "editor/patch_view.hpp"
#include "patch/builtin_patches.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

using namespace mw;

namespace {

// Counts the first paint of every module window after a mark.
class PaintCounter : public QObject {
public:
    std::set<QObject*> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<ModuleWindow*>(watched)) painted.insert(watched);
        return false;
    }
};

// Runs the event loop for a while (sleeping between events, as the program does).
void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

size_t ModuleCount(const BuiltInPatch& p) {
    size_t n = 0;
    for (const auto& [kind, count] : p.kinds) n += size_t(count);
    return n;
}

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    MemoryOutputBackend output;
    MemoryMidiBackend midi;
    MemoryInputBackend input;
    ScriptedPointer pointer({}, ScreenRect{0, 0, 1920, 1080});
    Session session({output, midi, input, pointer}, SessionMode::Live);
    ProgramSettings settings;
    LanguageStrings strings;
    ApplyLanguage(strings, kLanguageEnglish, {});
    QWidget owner;
    owner.setGeometry(300, 250, 1000, 580);
    owner.show();
    PatchView view(session, settings, strings, &owner);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { session.Poll(); });
    poll.start(Session::kPollPeriodMs);

    const BuiltInPatch* largest = &BuiltInPatches().front();
    for (const BuiltInPatch& p : BuiltInPatches())
        if (ModuleCount(p) > ModuleCount(*largest)) largest = &p;

    PaintCounter counter;
    app.installEventFilter(&counter);
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        view.Clear();
        Wait(50);
        counter.painted.clear();
        QElapsedTimer clock;
        clock.start();
        view.LoadBuiltIn(largest->resource);
        while (counter.painted.size() < view.WindowCount() || session.LinkPending()) Wait(1);
        times.push_back(double(clock.nsecsElapsed()) * 1e-6);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "load \"%s\" (%zu modules) into windows, menu command to every window painted: median %.1f ms "
        "(fastest %.1f, slowest %.1f)\n",
        largest->name.data(), ModuleCount(*largest), times[times.size() / 2], times.front(), times.back());

    // As many modules as the 128 slots take, of the kinds in turn.
    view.Clear();
    for (int attempt = 0; view.WindowCount() < 128 && attempt < 1000; ++attempt) {
        const int n = int(view.WindowCount());
        view.AddModule(ModuleKind(attempt % kKindCount), QPoint(100 + (n % 16) * 100, 100 + (n / 16) * 100));
    }
    Wait(1000);
    const double cpu0 = ThreadSeconds();
    QElapsedTimer wall;
    wall.start();
    Wait(seconds * 1000);
    const double busy = ThreadSeconds() - cpu0;
    std::printf(
        "%zu module windows open, poll running, mouse still: user-interface thread %.2f %% of one core\n",
        view.WindowCount(), 100.0 * busy / (double(wall.elapsed()) * 1e-3));
    view.MarkSaved();
    return 0;
}
