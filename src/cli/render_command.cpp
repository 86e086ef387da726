#include "cli/render_command.hpp"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "audio/wave_writer_registry.hpp"
#include "base/file_io.hpp"
#include "base/text.hpp"
#include "cli/commands.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/patch_reference.hpp"
#include "cli/wav_file.hpp"
#include "model/params.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/patch.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {

bool ParseScreen(const std::string& text, ScreenRect& screen) {
    int w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X'))
        return false;
    if (w < 16 || h < 16 || w > 100000 || h > 100000) return false;
    screen = {0, 0, w, h};
    return true;
}

std::vector<const BuiltInPatch*> ListedBuiltIns() {
    std::vector<const BuiltInPatch*> list;
    for (const BuiltInSubmenu& menu : BuiltInMenu())
        for (const BuiltInPatch* p : menu.patches) list.push_back(p);
    return list;
}

const BuiltInPatch* FindNamedBuiltIn(const std::string& text) {
    const std::vector<const BuiltInPatch*> list = ListedBuiltIns();
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && end && *end == '\0') {
        if (n >= 1 && n <= long(list.size())) return list[size_t(n - 1)];
        if (const BuiltInPatch* p = FindBuiltInByResource(int(n))) return p;
    }
    if (const BuiltInPatch* p = FindBuiltInByName(text)) return p;
    std::vector<const BuiltInPatch*> prefixed;
    std::vector<std::string> names;
    for (const BuiltInPatch* p : list) {
        names.emplace_back(p->name);
        if (!text.empty() && p->name.size() >= text.size() &&
            EqualsIgnoreCase(p->name.substr(0, text.size()), text))
            prefixed.push_back(p);
    }
    if (prefixed.size() == 1) return prefixed.front();
    std::cerr << "murmelwerk-render: no " << (prefixed.size() > 1 ? "single " : "") << "built-in patch '"
              << text << "'";
    if (prefixed.size() > 1) {
        std::cerr << ": it could be";
        for (size_t i = 0; i < prefixed.size(); ++i)
            std::cerr << (i == 0                     ? " "
                          : i + 1 == prefixed.size() ? " or "
                                                     : ", ")
                      << "'" << prefixed[i]->name << "'";
    } else {
        const std::vector<std::string> near = NearestNames(text, names);
        for (size_t i = 0; i < near.size(); ++i)
            std::cerr << (i == 0                 ? "; did you mean "
                          : i + 1 == near.size() ? " or "
                                                 : ", ")
                      << "'" << near[i] << "'" << (i + 1 == near.size() ? "?" : "");
    }
    std::cerr << " (see --list-builtins)\n";
    return nullptr;
}

bool LoadPatchSource(Patch& patch, const RenderCliOptions& o) {
    if (o.builtin.empty()) return LoadPatchFile(patch, o.patchFile, o.convert);
    const BuiltInPatch* p = FindNamedBuiltIn(o.builtin);
    return p && LoadBuiltInPatch(patch, p->resource);
}

bool LoadPatchSource(Session& session, const RenderCliOptions& o) {
    if (o.builtin.empty()) return LoadPatchFile(session, o.patchFile, o.convert);
    const BuiltInPatch* p = FindNamedBuiltIn(o.builtin);
    return p && session.LoadBuiltIn(p->resource);
}

namespace {

// An existing file that is not empty and does not begin as a RIFF/WAVE file does.
bool ExistsAndIsNoWav(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    char head[12] = {};
    f.read(head, sizeof head);
    if (f.gcount() == 0) return false;
    return f.gcount() < 12 || std::string_view(head, 4) != "RIFF" || std::string_view(head + 8, 4) != "WAVE";
}

bool SamePath(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

} // namespace

int StartPatchWriters(Session& session, const std::vector<std::string>& taken,
                      std::vector<const Module*>& started) {
    for (const Module* m : session.GetPatch().Modules(ModuleKind::AudioWaveWriter)) {
        const std::string& path = m->texts[wave_writer::FilePath];
        const std::string who = "the wave writer '" + m->name + "'";
        if (path.empty()) {
            std::cerr << "murmelwerk-render: warning: " << who << " names no file: it records nothing\n";
            continue;
        }
        if (ExistsAndIsNoWav(path)) {
            std::cerr << "murmelwerk-render: " << who << " would write into '" << path
                      << "', which is not a WAV file (see --help)\n";
            return 2;
        }
        for (const std::string& t : taken)
            if (!t.empty() && SamePath(path, t)) {
                std::cerr << "murmelwerk-render: " << who << " would write into '" << path
                          << "', a file of the command line (see --help)\n";
                return 2;
            }
        errno = 0;
        if (session.Recordings().StartRecording(*m) != WaveWriterRegistry::StartResult::Started) {
            std::cerr << "murmelwerk-render: " << who << " cannot record into '" << path
                      << "': " << (errno ? std::strerror(errno) : "the file cannot be created") << "\n";
            return 1;
        }
        started.push_back(m);
    }
    return 0;
}

bool StopPatchWriters(Session& session, const std::vector<const Module*>& started) {
    bool ok = true;
    for (const Module* m : started) {
        int error = 0;
        session.Recordings().StopRecording(*m, &error);
        if (error != 0) {
            std::cerr << "murmelwerk-render: cannot write '" << m->texts[wave_writer::FilePath]
                      << "': " << std::strerror(error) << "\n";
            ok = false;
        }
    }
    return ok;
}

namespace {

void ShowProgress(double done) {
    const int width = 40;
    const int filled = int(done * width + 0.5);
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "", int(done * 100 + 0.5));
    if (done >= 1.0) std::fputc('\n', stderr);
    std::fflush(stderr);
}

void Warn(const std::string& text) {
    std::cerr << "murmelwerk-render: warning: " << text << "\n";
}

// What the render cannot sound without: MIDI, a microphone, or a hand that moves what the patch reads.
void WarnBeforeRender(const Patch& patch, const RenderCliOptions& o,
                      const std::vector<ScriptPoint>& gesture) {
    const auto has = [&](ModuleKind k) { return patch.Count(k) > 0; };
    if (o.midiFile.empty() &&
        (has(ModuleKind::ControlMIDIInput) || has(ModuleKind::ControlMIDIControllerInput)))
        Warn("the patch has MIDI input modules but no --midi: they play nothing");
    if (o.inputWav.empty() && has(ModuleKind::AudioInput))
        Warn("the patch has an audio input module but no --input: it hears silence");

    std::array<bool, kMeasureCount> used{};
    const auto note = [&](SourceId id) {
        if (IsMeasure(id)) used[size_t(id - kFirstMeasure)] = true;
    };
    patch.ForEachModule([&](const Module& m) {
        const KindSchema& s = Schema(m.kind);
        for (size_t i = 0; i < s.links.size(); ++i) note(m.Link(int(i)).source);
        for (size_t i = 0; i < s.inputs.size(); ++i) note(m.Input(int(i)));
    });
    const auto isWheel = [](size_t i) {
        return i >= size_t(MouseMeasure::ScrollPosition) && i <= size_t(MouseMeasure::ScrollAcceleration);
    };
    bool moveUsed = false, wheelUsed = false;
    std::string names;
    for (size_t i = 0; i < used.size(); ++i) {
        if (!used[i]) continue;
        (isWheel(i) ? wheelUsed : moveUsed) = true;
        names += (names.empty() ? "" : ", ") + std::string(kMeasureNames[i]);
    }
    bool moves = false, wheels = false;
    for (const ScriptPoint& p : gesture) {
        moves = moves || p.x != gesture.front().x || p.y != gesture.front().y;
        wheels = wheels || p.wheelNotches != 0;
    }
    if (!moveUsed && !wheelUsed) {
        if (o.gestureGiven)
            Warn("the patch reads no mouse measure: --gesture " + o.gesture + " changes nothing");
    } else if (!(moveUsed && moves) && !(wheelUsed && wheels)) {
        Warn("--gesture " + o.gesture + (moveUsed ? " does not move the mouse" : " turns no wheel") +
             ": the measures the patch reads (" + names + ") stay still");
    }
}

std::string Dbfs(double magnitude) {
    if (magnitude <= 0) return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(magnitude / 32768.0));
    return text;
}

} // namespace

int RenderCommand(const RenderCliOptions& o) {
    RenderSettings s;
    s.seconds = o.seconds;
    if (!(o.seconds > 0) || o.seconds > 3600 || std::round(o.seconds * kSampleRate) < 1) {
        std::cerr << "murmelwerk-render: --seconds must be at least one sample (1/48000) and at most 3600\n";
        return 2;
    }
    if (!ParseScreen(o.screen, s.screen)) {
        std::cerr << "murmelwerk-render: --screen takes WIDTHxHEIGHT, for example 1920x1080\n";
        return 2;
    }
    if (!(o.controlRate >= 0) || o.controlRate > 48000) {
        std::cerr << "murmelwerk-render: --control-rate must be 0..48000\n";
        return 2;
    }
    if (OutputFormatFor(o.outPath) < 0) {
        std::cerr << "murmelwerk-render: --out '" << o.outPath
                  << "': the extension names no format the program writes (.wav, .flac, .ogg) (see --help)\n";
        return 2;
    }
    if (o.device < -1 || o.device > 8) {
        std::cerr << "murmelwerk-render: --device must be -1..8\n";
        return 2;
    }
    s.seed = o.seed;
    s.controlRate = o.controlRate;
    s.device = o.device;
    std::string error;
    if (!IsBuiltInGesture(o.gesture) && o.gesture.find_first_of("./") == std::string::npos &&
        ::access(o.gesture.c_str(), F_OK) != 0) {
        std::string names;
        for (std::string_view g : BuiltInGestureNames())
            names += std::string(names.empty() ? "" : ", ") + std::string(g);
        std::cerr << "murmelwerk-render: no gesture '" << o.gesture << "': one of " << names
                  << ", or a CSV file (see --help)\n";
        return 2;
    }
    if (!MakeGesture(o.gesture, s.screen, o.seconds * 1000.0, o.seed, s.gesture, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return IsBuiltInGesture(o.gesture) ? 2 : 1;
    }
    if (!o.midiFile.empty() && !ReadMidiFile(o.midiFile, s.midi, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    std::string note;
    if (!o.inputWav.empty() && !ReadWavFile(o.inputWav, s.input, error, &note)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    if (!note.empty()) std::cerr << "murmelwerk-render: --input " << note << "\n";
    if (o.progress && ::isatty(STDERR_FILENO)) s.progress = ShowProgress;

    const std::vector<ScriptPoint> gesture = s.gesture;
    OfflineRenderer renderer(std::move(s));
    if (!LoadPatchSource(renderer.GetSession(), o)) return 1;
    WarnBeforeRender(renderer.GetPatch(), o, gesture);
    std::vector<const Module*> writers;
    if (o.recordWriters) {
        const int status = StartPatchWriters(renderer.GetSession(),
                                             {o.outPath, o.patchFile, o.midiFile, o.inputWav}, writers);
        if (status != 0) {
            StopPatchWriters(renderer.GetSession(), writers);
            return status;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    // Other formats than WAV: the exact WAV first, beside the target, then libsndfile's encoding of it.
    const int format = OutputFormatFor(o.outPath);
    const std::string wav = format == 0 ? o.outPath : TemporaryNameBeside(FileBehindLink(o.outPath)) + ".wav";
    bool ok = renderer.RenderToFile(wav, error);
    if (ok && format != 0) ok = EncodeWavFile(wav, o.outPath, format, error);
    if (format != 0) ::unlink(wav.c_str());
    ok = StopPatchWriters(renderer.GetSession(), writers) && ok;
    if (!ok) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const RenderStats& stats = renderer.Stats();
    if (stats.nonZero == 0)
        Warn("the render is silent: every sample that output device " + std::to_string(o.device) +
             " played is 0");
    if (!o.quiet) {
        const double rms = stats.samples ? std::sqrt(stats.sumSquares / double(stats.samples)) : 0.0;
        const double length = double(renderer.FrameCount()) / kSampleRate;
        std::fprintf(
            stderr,
            "%s: %.3f s, peak %s, RMS %s, %llu clipped samples, rendered in %.2f s (%.0fx real time)\n",
            o.outPath.c_str(), length, Dbfs(stats.peak).c_str(), Dbfs(rms).c_str(),
            (unsigned long long)stats.clipped, took, took > 0 ? length / took : 0.0);
    }
    return 0;
}

} // namespace mw::cli
