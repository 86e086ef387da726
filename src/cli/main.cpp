// murmelwerk-render: the headless side of Murmelwerk (patch tools, offline rendering, playing).
//
// Adding an option: give it a field in Options, declare it in AddOptions (with its help text and
// its relations to the other options), and act on it in Run. Run first handles the stand-alone
// commands, then the patch: rendering, playing, or the patch actions in order.
#include <CLI/CLI.hpp>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/play_command.hpp"
#include "cli/render_command.hpp"
#include "engine/engine.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/patch.hpp"

namespace {

constexpr const char* kDescription =
    "murmelwerk-render: the headless side of Murmelwerk (patch tools, offline rendering, playing).";

constexpr const char* kFooter = R"(
Examples:
  murmelwerk-render PATCH.mwc --out OUT.wav --seconds 10 --gesture figure8
                                                  render 10 s of a patch played by a scripted mouse
  murmelwerk-render --builtin "Air Saw" --midi tune.mid --out air.wav
                                                  render a built-in patch played from a MIDI file
  murmelwerk-render --play --builtin "Digital Modulation"
                                                  play a built-in patch with the real mouse (Ctrl+C ends)
  murmelwerk-render --list-builtins               list the built-in patches
  murmelwerk-render PATCH.mwc --save-as OUT.mwc   load a patch (both passes) and save it again
  murmelwerk-render PATCH.mwc --dump-json         print the loaded patch as JSON on standard output
  murmelwerk-render --export-language de de.txt   write the built-in German text as a language file

Gestures: still, circle, figure8, zigzag, scribble (a seeded random walk), wheel, or a CSV file of
lines t_ms,x,y[,wheel_notches].

With --out or --play, --save-as and --dump-json are done first, in that order, then the render or the
playing. An output file (--out, --save-as) may not be one of the input files (the patch, --midi,
--input).

Exit status: 0 success, 1 a file could not be read or written, 2 bad usage.)";

struct Options {
    mw::cli::RenderCliOptions render;
    // what to do with the patch
    std::string saveAs;
    bool dumpJson = false;
    bool play = false;
    // stand-alone commands
    std::vector<std::string> exportLanguage; // CODE FILE
    bool listBuiltins = false;
};

void AddOptions(CLI::App& app, Options& o) {
    mw::cli::RenderCliOptions& r = o.render;
    CLI::Option* patch =
        app.add_option("PATCH", r.patchFile, "patch file (.mwc) to load; its modules are created and linked")
            ->type_name("PATCH.mwc");
    CLI::Option* builtin =
        app.add_option(
               "--builtin", r.builtin,
               "use a built-in patch instead of a file: its English name (any letter case) or its number")
            ->type_name("NAME|NUMBER")
            ->excludes(patch);
    app.add_option("--save-as", o.saveAs, "save the loaded patch to this file (byte-exact writer)")
        ->type_name("OUT.mwc");
    app.add_flag("--dump-json", o.dumpJson, "print the loaded patch as JSON on standard output");

    CLI::Option* out = app.add_option("--out", r.outPath,
                                      "render the patch offline into this WAV file (16-bit stereo, 48 kHz)")
                           ->type_name("OUT.wav");
    CLI::Option* play =
        app.add_flag("--play", o.play, "play the patch in real time with the mouse and the sound card")
            ->excludes(out);
    app.add_option("--seconds", r.seconds,
                   "seconds to render, above 0 and at most 3600 (default 5); with --play: stop after that "
                   "long, at most 86400")
        ->type_name("S");
    app.add_option("--gesture", r.gesture, "the scripted mouse for --out (default circle)")->type_name("G");
    app.add_option("--screen", r.screen, "the virtual screen for --out (default 1920x1080)")
        ->type_name("WxH");
    app.add_option("--seed", r.seed, "seed of the random generators (default 1)")->type_name("N");
    app.add_option("--control-rate", r.controlRate, "control rate in Hz, 0..48000 (default 4000)")
        ->type_name("HZ");
    app.add_option("--device", r.device, "output device recorded by --out, -1..8 (default -1)")
        ->type_name("N");
    app.add_option("--midi", r.midiFile, "a Standard MIDI File played into MIDI input device 0 (--out)")
        ->type_name("FILE.mid");
    app.add_option("--input", r.inputWav, "a 16-bit 48 kHz WAV file fed to audio input device -1 (--out)")
        ->type_name("IN.wav");
    app.add_flag(
        "--no-progress", [&r](int64_t) { r.progress = false; }, "no progress bar on standard error");

    CLI::Option* language =
        app.add_option("--export-language", o.exportLanguage,
                       "write the built-in text of a language (en, de, fr, es, ja) as a user language file")
            ->expected(2)
            ->type_name("CODE FILE")
            ->excludes(patch)
            ->excludes(builtin);
    app.add_flag("--list-builtins", o.listBuiltins, "list the built-in patches: number, submenu, name")
        ->excludes(patch)
        ->excludes(builtin)
        ->excludes(language);
    (void)play;
}

int ListBuiltins() {
    for (const mw::BuiltInSubmenu& menu : mw::BuiltInMenu())
        for (const mw::BuiltInPatch* p : menu.patches)
            std::printf("%d\t%s\t%s\n", p->resource, std::string(menu.english).c_str(),
                        std::string(p->name).c_str());
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
                                                                  {"--save-as", &o.saveAs}};
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

int Run(const Options& o, const CLI::App& app) {
    if (!o.exportLanguage.empty())
        return mw::cli::ExportLanguageCommand(o.exportLanguage[0], o.exportLanguage[1]);
    if (o.listBuiltins) return ListBuiltins();

    const mw::cli::RenderCliOptions& r = o.render;
    if (r.patchFile.empty() && r.builtin.empty()) {
        std::cerr << "murmelwerk-render: name a patch file or --builtin\n\n" << app.help();
        return 2;
    }
    const bool render = !r.outPath.empty();
    if (!render && !o.play && o.saveAs.empty() && !o.dumpJson) {
        std::cerr
            << "murmelwerk-render: nothing to do with the patch (--out, --play, --save-as or --dump-json)\n\n"
            << app.help();
        return 2;
    }
    if (o.play && app.count("--seconds") && !(r.seconds > 0 && r.seconds <= 86400)) {
        std::cerr << "murmelwerk-render: --seconds must be above 0 and at most 86400 with --play\n";
        return 2;
    }
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
    if (argc < 2) {
        std::cerr << app.help();
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        std::cerr << "murmelwerk-render: " << e.what() << "\n\n" << app.help();
        return 2;
    }
    return Run(options, app);
}
