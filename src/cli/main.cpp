// murmelwerk-render: the headless side of Murmelwerk (patch tools, offline rendering, playing).
//
// Adding an option: give it a field in Options, declare it in AddOptions (with its help text and
// its relations to the other options), and act on it in Run. Run first handles the stand-alone
// commands, then the patch: rendering, playing, or the patch actions in order.
#include <CLI/CLI.hpp>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/patch_reference.hpp"
#include "cli/play_command.hpp"
#include "cli/render_command.hpp"
#include "engine/engine.hpp"
#include "model/params.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/patch.hpp"

namespace {

constexpr const char* kDescription =
    "murmelwerk-render: the headless side of Murmelwerk (patch tools, offline rendering, playing).";

constexpr const char* kFooter = R"(
Examples:
  murmelwerk-render PATCH.mwc --out OUT.wav --seconds 10 --gesture figure8
                                                  render 10 s of a patch played by a scripted mouse
  murmelwerk-render --builtin "Air Saw" --midi tune.mid --out air.flac
                                                  render a built-in patch played from a MIDI file
  murmelwerk-render --play --builtin 17           play built-in patch 17 of --list-builtins with the
                                                  real mouse (Ctrl+C ends)
  murmelwerk-render PATCH.mwc --check             explain what the reader skips or reads otherwise
  murmelwerk-render OLD.mwc --convert --save-as NEW.mwc
                                                  re-encode a UTF-8 or LF-only patch file
  murmelwerk-render --describe AudioOsc           the keys of a kind: type, default, unit, range
  murmelwerk-render PATCH.mwc --dump-json         print the loaded patch as JSON on standard output
  murmelwerk-render --export-language de de.txt   write the built-in German text as a language file

Gestures: still, circle, figure8, zigzag, scribble (a seeded random walk), wheel, or a CSV file of
lines t_ms,x,y[,wheel_notches].

With --out or --play, --save-as and --dump-json are done first, in that order, then the render or the
playing. An output file (--out, --save-as) may not be one of the input files (the patch, --midi,
--input).

Exit status: 0 success, 1 a file could not be read or written, 2 bad usage, 3 --check found something.)";

struct Options {
    mw::cli::RenderCliOptions render;
    // what to do with the patch
    std::string saveAs;
    bool dumpJson = false;
    bool play = false;
    bool check = false;
    // stand-alone commands
    std::vector<std::string> exportLanguage; // CODE FILE
    bool listBuiltins = false;
    bool listKinds = false;
    std::string describe;
    bool listMeasures = false;
    bool formatReference = false;
    bool listDevices = false;
    bool version = false;
};

constexpr const char* kPatchGroup = "Patch";
constexpr const char* kActionGroup = "Actions on the patch";
constexpr const char* kRenderGroup = "Rendering (--out)";
constexpr const char* kPlayGroup = "Playing (--play)";
constexpr const char* kReferenceGroup = "Reference and other commands";

void AddOptions(CLI::App& app, Options& o) {
    mw::cli::RenderCliOptions& r = o.render;
    CLI::Option* patch =
        app.add_option("PATCH", r.patchFile, "patch file (.mwc) to load; its modules are created and linked")
            ->type_name("PATCH.mwc")
            ->group(kPatchGroup);
    CLI::Option* builtin =
        app.add_option("--builtin", r.builtin,
                       "use a built-in patch instead of a file: its position in --list-builtins (1-23), its "
                       "resource number, its English name or the start of it (any letter case)")
            ->type_name("N|NAME")
            ->excludes(patch)
            ->group(kPatchGroup);
    app.add_flag("--convert", r.convert,
                 "read a UTF-8, UTF-16BE or LF-only patch file by converting it first (with --save-as: "
                 "save it as the program writes patches)")
        ->excludes(builtin)
        ->group(kPatchGroup);

    app.add_flag("--check", o.check,
                 "report, as FILE:LINE: message, what the reader skips or reads otherwise than the text "
                 "looks (exit 3 when it reports something)")
        ->group(kActionGroup);
    app.add_option("--save-as", o.saveAs, "save the loaded patch to this file (byte-exact writer)")
        ->type_name("OUT.mwc")
        ->group(kActionGroup);
    app.add_flag("--dump-json", o.dumpJson, "print the loaded patch as JSON on standard output")
        ->group(kActionGroup);
    CLI::Option* out =
        app.add_option(
               "--out", r.outPath,
               "render the patch offline into this file: .wav (the exact 16-bit stereo 48 kHz frames), "
               ".flac or .ogg (as libsndfile writes them)")
            ->type_name("OUT.wav")
            ->group(kActionGroup);
    app.add_option("--seconds", r.seconds,
                   "seconds to render, above 0 and at most 3600 (default 5); with --play: stop after that "
                   "long, at most 86400")
        ->type_name("S")
        ->group(kRenderGroup);
    app.add_option("--gesture", r.gesture, "the scripted mouse for --out (default circle)")
        ->type_name("G")
        ->group(kRenderGroup);
    app.add_option("--screen", r.screen, "the virtual screen for --out (default 1920x1080)")
        ->type_name("WxH")
        ->group(kRenderGroup);
    app.add_option("--seed", r.seed, "seed of the random generators (default 1)")
        ->type_name("N")
        ->group(kRenderGroup);
    app.add_option("--control-rate", r.controlRate, "control rate in Hz, 0..48000 (default 4000)")
        ->type_name("HZ")
        ->group(kRenderGroup);
    app.add_option("--device", r.device, "output device recorded by --out, -1..8 (default -1)")
        ->type_name("N")
        ->group(kRenderGroup);
    app.add_option("--midi", r.midiFile, "a Standard MIDI File played into MIDI input device 0 (--out)")
        ->type_name("FILE.mid")
        ->group(kRenderGroup);
    app.add_option(
           "--input", r.inputWav,
           "an audio file fed to audio input device -1 (--out): any format libsndfile reads, mixed to "
           "mono and converted to 48 kHz")
        ->type_name("IN.wav")
        ->group(kRenderGroup);
    app.add_flag(
           "--no-progress", [&r](int64_t) { r.progress = false; }, "no progress bar on standard error")
        ->group(kRenderGroup);
    app.add_flag("--quiet", r.quiet, "no summary line after a render")->group(kRenderGroup);
    app.add_flag("--record-writers", r.recordWriters,
                 "the patch's wave-writer modules record into their files during --out or --play (a file "
                 "that exists and is not a WAV file is refused)")
        ->group(kActionGroup);
    app.add_flag("--play", o.play, "play the patch in real time with the mouse and the sound card")
        ->excludes(out)
        ->group(kPlayGroup);
    app.add_option("--output-device", r.outputDevice,
                   "the ALSA PCM that plays as output device -1 (default: default; see --list-devices)")
        ->type_name("NAME")
        ->group(kPlayGroup);
    app.add_option("--input-device", r.inputDevice, "the ALSA PCM that records as audio input device -1")
        ->type_name("NAME")
        ->group(kPlayGroup);
    app.add_option("--record", r.recordWav, "record what output device -1 plays into a WAV file")
        ->type_name("OUT.wav")
        ->group(kPlayGroup);
    app.add_option("--record-gesture", r.recordGesture,
                   "write the cursor path as the sampler read it, in the CSV form --gesture reads")
        ->type_name("PERF.csv")
        ->group(kPlayGroup);
    app.add_option("--latency", r.latencyMs, "the desired output latency, 1..512 ms (default 60)")
        ->type_name("MS")
        ->check(CLI::Range(1.0, 512.0))
        ->group(kPlayGroup);
    app.set_help_flag("-h,--help", "print this help and end")->group(kReferenceGroup);

    const std::vector<CLI::Option*> patchOptions{patch, builtin};
    const auto alone = [&](CLI::Option* option) {
        for (CLI::Option* p : patchOptions) option->excludes(p);
        return option->group(kReferenceGroup);
    };
    alone(app.add_option("--export-language", o.exportLanguage,
                         "write the built-in text of a language (en, de, fr, es, ja) as a user language file")
              ->expected(2)
              ->type_name("CODE FILE"));
    alone(
        app.add_flag("--list-builtins", o.listBuiltins,
                     "list the built-in patches: resource number, position, submenu, name, how to play it"));
    alone(app.add_flag("--list-kinds", o.listKinds, "list the 35 module kinds: number, keyword, name"));
    alone(app.add_option("--describe", o.describe,
                         "every key of a kind (keyword, with or without Module_, any letter case): type, "
                         "default, unit, range, the sources it accepts")
              ->type_name("KIND"));
    alone(app.add_flag(
        "--list-measures", o.listMeasures,
        "list the 19 mouse measures: source number, name as a file spells it, what it measures"));
    alone(app.add_flag("--patch-format-reference", o.formatReference,
                       "print the patch-format reference (docs/patch-format.md) as Markdown"));
    alone(app.add_flag("--list-devices", o.listDevices,
                       "list the ALSA playback and capture PCMs and the MIDI input ports, with the numbers "
                       "patch files use"));
    alone(app.add_flag("--version", o.version, "print the version and end"));
}

int UsageError(const std::string& text) {
    std::cerr << "murmelwerk-render: " << text << " (see --help)\n";
    return 2;
}

// The how-to-play line of a built-in patch, from what its modules read.
std::string HowToPlay(const mw::BuiltInPatch& p) {
    mw::Engine engine;
    mw::Patch patch(engine);
    mw::LoadBuiltInPatch(patch, p.resource);
    std::vector<std::string> ways;
    using K = mw::ModuleKind;
    if (patch.Count(K::ControlMIDIInput) + patch.Count(K::ControlMIDIControllerInput) > 0)
        ways.emplace_back("needs MIDI (--midi FILE.mid, or a keyboard with --play)");
    if (patch.Count(K::AudioInput) > 0) ways.emplace_back("needs a microphone (--input IN.wav)");
    std::array<bool, mw::kMeasureCount> used{};
    patch.ForEachModule([&](const mw::Module& m) {
        const mw::KindSchema& s = mw::Schema(m.kind);
        for (size_t i = 0; i < s.links.size(); ++i)
            if (mw::IsMeasure(m.Link(int(i)).source))
                used[size_t(m.Link(int(i)).source - mw::kFirstMeasure)] = true;
        for (size_t i = 0; i < s.inputs.size(); ++i)
            if (mw::IsMeasure(m.Input(int(i)))) used[size_t(m.Input(int(i)) - mw::kFirstMeasure)] = true;
    });
    using M = mw::MouseMeasure;
    const auto any = [&](std::initializer_list<M> ms) {
        for (M m : ms)
            if (used[size_t(m)]) return true;
        return false;
    };
    if (any({M::Speed, M::SpeedRaw, M::Acceleration})) ways.emplace_back("move fast and slow");
    if (any({M::HorizontalPosition, M::VerticalPosition})) ways.emplace_back("move across the screen");
    if (any({M::Direction, M::TurnInertia, M::TurnInertiaPrime, M::DirectionHorizontalUnsigned,
             M::DirectionHorizontalSigned, M::DirectionVerticalUnsigned, M::DirectionVerticalSigned}))
        ways.emplace_back("change direction, draw circles");
    if (any({M::HorizontalVelocity, M::VerticalVelocity, M::HorizontalAcceleration, M::VerticalAcceleration}))
        ways.emplace_back("move in jerks");
    if (any({M::ScrollPosition, M::ScrollVelocity, M::ScrollAcceleration}))
        ways.emplace_back("use the wheel");
    if (patch.Count(K::ControlSequence) > 0) ways.emplace_back("plays its sequence by itself");
    if (ways.empty()) ways.emplace_back("plays by itself");
    std::string line;
    for (const std::string& w : ways) line += (line.empty() ? "" : "; ") + w;
    return line;
}

int ListBuiltins() {
    int position = 0;
    for (const mw::BuiltInSubmenu& menu : mw::BuiltInMenu())
        for (const mw::BuiltInPatch* p : menu.patches)
            std::printf("%d\t%d\t%s\t%s\t%s\n", p->resource, ++position, std::string(menu.english).c_str(),
                        std::string(p->name).c_str(), HowToPlay(*p).c_str());
    return 0;
}

// True when two paths name the same file: the same device and inode when both exist (whatever the
// spelling, links included), else the same path once made absolute and normal.
bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ec;
    namespace fs = std::filesystem;
    return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

// An output path that names one of the inputs is refused before anything is read or written.
bool OutputsAreNotInputs(const Options& o) {
    const mw::cli::RenderCliOptions& r = o.render;
    const std::pair<const char*, const std::string*> outputs[] = {{"--out", &r.outPath},
                                                                  {"--save-as", &o.saveAs},
                                                                  {"--record", &r.recordWav},
                                                                  {"--record-gesture", &r.recordGesture}};
    const std::pair<const char*, const std::string*> inputs[] = {
        {"the patch file", &r.patchFile}, {"--midi", &r.midiFile}, {"--input", &r.inputWav}};
    for (const auto& [outName, out] : outputs)
        for (const auto& [inName, in] : inputs)
            if (SameFile(*out, *in)) {
                std::cerr << "murmelwerk-render: " << outName << " '" << *out << "' is " << inName
                          << ": it would be overwritten\n";
                return false;
            }
    if (SameFile(r.outPath, o.saveAs)) {
        std::cerr << "murmelwerk-render: --out and --save-as name the same file\n";
        return false;
    }
    return true;
}

int Describe(const std::string& name) {
    auto kind = mw::KindFromKeyword(name);
    if (!kind) kind = mw::KindFromKeyword("Module_" + name);
    if (kind) {
        std::cout << mw::cli::DescribeText(*kind);
        return 0;
    }
    std::vector<std::string> keywords;
    for (const mw::KindInfo& k : mw::AllKinds()) keywords.emplace_back(k.keyword.substr(7)); // no "Module_"
    return UsageError("no module kind '" + name + "'" +
                      mw::cli::DidYouMean(mw::cli::NearestNames(name, keywords)) +
                      "; --list-kinds lists them");
}

int Run(const Options& o, const CLI::App& app) {
    if (o.version) {
        std::cout << "murmelwerk-render " << MW_VERSION << "\n";
        return 0;
    }
    if (!o.exportLanguage.empty())
        return mw::cli::ExportLanguageCommand(o.exportLanguage[0], o.exportLanguage[1]);
    if (o.listBuiltins) return ListBuiltins();
    if (o.listDevices) return mw::cli::ListDevicesCommand();
    if (o.listKinds) return std::cout << mw::cli::KindListText(), 0;
    if (!o.describe.empty()) return Describe(o.describe);
    if (o.listMeasures) return std::cout << mw::cli::MeasureListText(), 0;
    if (o.formatReference) return std::cout << mw::cli::PatchFormatReference(), 0;

    const mw::cli::RenderCliOptions& r = o.render;
    if (r.patchFile.empty() && r.builtin.empty()) return UsageError("name a patch file or --builtin");
    const mw::BuiltInPatch* builtin = nullptr;
    if (!r.builtin.empty() && !(builtin = mw::cli::FindNamedBuiltIn(r.builtin))) return 2;
    if (o.check) {
        if (!r.outPath.empty() || o.play || !o.saveAs.empty() || o.dumpJson)
            return UsageError("--check goes alone with the patch (and --convert)");
        return mw::cli::CheckPatchCommand(r.patchFile, builtin, r.convert);
    }
    const bool render = !r.outPath.empty();
    if (!render && !o.play && o.saveAs.empty() && !o.dumpJson)
        return UsageError("nothing to do with the patch (--check, --out, --play, --save-as or --dump-json)");
    if (o.play && app.count("--seconds") && !(r.seconds > 0 && r.seconds <= 86400))
        return UsageError("--seconds must be above 0 and at most 86400 with --play");
    if (!o.play && (!r.recordWav.empty() || !r.recordGesture.empty()))
        return UsageError("--record and --record-gesture go with --play");
    if (r.recordWriters && !render && !o.play)
        return UsageError("--record-writers goes with --out or --play");
    if (!OutputsAreNotInputs(o)) return 2;

    if (!o.saveAs.empty() || o.dumpJson) {
        mw::Engine engine;
        mw::Patch patch(engine);
        if (!mw::cli::LoadPatchSource(patch, r)) return 1;
        if (!o.saveAs.empty() && !mw::cli::SavePatchFile(patch, o.saveAs)) return 1;
        if (o.dumpJson) std::cout << mw::cli::PatchToJson(patch) << "\n";
    }
    if (render) return mw::cli::RenderCommand(r);
    if (o.play) return mw::cli::PlayCommand(r, app.count("--seconds") ? r.seconds : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app(kDescription, "murmelwerk-render");
    app.footer(kFooter);
    Options options;
    AddOptions(app, options);
    if (argc < 2) return UsageError("name a patch file or --builtin, or a command such as --list-builtins");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        return UsageError(e.what());
    }
    options.render.gestureGiven = app.count("--gesture") > 0;
    return Run(options, app);
}
