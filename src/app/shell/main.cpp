// The program: start-up, the main window, the end.
//
// Start-up runs in this order: the language tables with English, the settings file (with the
// language choice on a first start or a rejected file), the chosen language, the check of the
// program's own file, the dialog colours, the command line, the remover or the help dialog when asked
// for, the installation check, the settings saved, then the main window (which then checks for a
// newer version when that is wanted). The process ends when the main window has closed and the
// engine thread has ended.

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPalette>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/settings_file.hpp"
#include "app/shell/app_context.hpp"
#include "app/shell/command_line.hpp"
#include "app/shell/debug_probe.hpp"
#include "app/shell/display_platform.hpp"
#include "app/shell/help_dialog.hpp"
#include "app/shell/integrity.hpp"
#include "app/shell/language_dialog.hpp"
#include "app/shell/main_window.hpp"
#include "app/shell/single_instance.hpp"
#include "editor/colours.hpp"
#include "platform/alsa_input.hpp"
#include "platform/alsa_midi.hpp"
#include "platform/alsa_output.hpp"
#include "platform/x11_pointer.hpp"
#include "setup/setup_flow.hpp"
#include "sources/scripted_pointer.hpp"

namespace {

constexpr int kStringCorrupted = 34;

void ReportLanguageFailure(mw::LanguageLoadFailure failure) {
    if (failure == mw::LanguageLoadFailure::None) return;
    const mw::LanguageFailureMessage message = mw::MessageFor(failure);
    QMessageBox::critical(nullptr, QString::fromUtf8(message.caption), QString::fromUtf8(message.text));
}

void SetDialogColours(QApplication& app, QColor background, QColor text) {
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    app.setPalette(palette);
}

} // namespace

int main(int argc, char** argv) {
    mw::PreferX11Platform(); // the measures need the global cursor: X11, or XWayland on Wayland
    mw::PreferSingleThreadedSoftwareRendering();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the process ends only through the closing sequence
    QApplication::setApplicationName("murmelwerk");
    // MURMELWERK_DEBUG=1: the windows are described on standard output for scripts that drive the program.
    if (mw::DebugProbeRequested()) mw::InstallDebugProbe(app);

    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    QStringList forwarded;
    for (const std::string& a : arguments) {
        // Files by their full path: the running program has a current folder of its own.
        const QFileInfo file(QString::fromStdString(a));
        forwarded << (file.isFile() ? file.absoluteFilePath() : QString::fromStdString(a));
    }

    // A second start brings the running program's window back instead (the remover runs all the same).
    auto instance = std::make_unique<mw::SingleInstance>();
    const bool removing = mw::StartupPathOf(mw::ParseCommandLine(arguments)) == mw::StartupPath::Remove;
    if (!instance->Claim() && !removing) {
        mw::SingleInstance::Notify({}, forwarded);
        return 0;
    }

    // Provisional dialog colours until the settings are read.
    SetDialogColours(app, QColor(15, 15, 15), QColor(0xDD, 0xDD, 0xDD));

    // The language tables: English first, then the settings, then the chosen language.
    mw::LanguageStrings strings;
    mw::GeneralStrings general;
    mw::LoadGeneralStrings(general);
    mw::ApplyLanguage(strings, mw::kLanguageEnglish, {});
    mw::ProgramSettings settings;
    mw::AppContext context{settings, strings, general, [&settings] { mw::SaveSettings(settings, {}); }};

    const mw::SettingsLoadResult loaded = mw::LoadSettings(settings, {}, [&context](mw::ProgramSettings& s) {
        mw::AppContext asking{s, context.strings, context.general, {}};
        mw::ChooseLanguage(nullptr, asking);
        return QMessageBox::question(nullptr, asking.Text(197), asking.Text(196),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    });
    if (loaded.chooseLanguage) {
        mw::ChooseLanguage(nullptr, context);
    } else if (settings.LanguageCode != mw::kLanguageEnglish) {
        ReportLanguageFailure(mw::ApplyLanguage(settings, strings));
    }
    if (loaded.messageNumber != 0) {
        QMessageBox::information(nullptr, mw::kProductName, context.Text(loaded.messageNumber));
    }

    // The program's own file.
    const bool intact = mw::CheckIntegrity("/proc/self/exe") == mw::IntegrityResult::Intact;
    if (!intact) QMessageBox::critical(nullptr, mw::kProductName, context.Text(kStringCorrupted));

    SetDialogColours(app, mw::ToQColor(settings.ColourSettings[mw::kColourDialogBackground]),
                     mw::ToQColor(settings.ColourSettings[mw::kColourDialogText]));

    const mw::CommandLineOptions options = mw::ParseCommandLine(arguments);
    mw::setup::SetupContext setupContext{settings, strings, context.saveSettings};
    const std::string executable = mw::ExecutablePath();
    switch (mw::StartupPathOf(options)) {
    case mw::StartupPath::Remove:
        mw::setup::RunRemover(setupContext, executable);
        return 0;
    case mw::StartupPath::Run:
        break;
    case mw::StartupPath::Help: {
        mw::HelpDialog help(nullptr, context);
        help.exec();
        return 0;
    }
    }

    if (!options.NoInstall) {
        // Another copy started from here gets the claim to be the one running copy (this one goes on,
        // if at all, unguarded).
        const auto release = [&instance] { instance = std::make_unique<mw::SingleInstance>(); };
        const mw::setup::Places places = mw::setup::Places::FromEnvironment();
        const mw::setup::StartupCheckResult check = mw::setup::RunInstallationCheck(
            setupContext, places, executable,
            mw::setup::DefaultStartupSteps(setupContext, places, executable, release));
        if (!check.run) return check.exitCode;
    }

    context.saveSettings();
    if (!intact) return 1;

    // The devices the session plays on: ALSA and the X11 cursor (a still cursor when none can be read).
    mw::platform::AlsaOutputBackend output;
    mw::platform::AlsaMidiBackend midi;
    mw::platform::AlsaInputBackend input;
    std::string pointerError;
    std::unique_ptr<mw::IPointer> pointer = mw::X11Pointer::Open(nullptr, &pointerError);
    if (!pointer)
        pointer =
            std::make_unique<mw::ScriptedPointer>(std::vector<mw::ScriptPoint>{}, mw::ScreenRect{0, 0, 1, 1});

    mw::MainWindow::StartOptions start;
    start.autoStartOnly = options.AutoStartOnly;
    start.autoStartAndHide = options.AutoStartAndHide;
    start.wrapMouse = options.WrapMouse;
    start.makeNoSound = options.MakeNoSound;
    start.waylandSession = mw::IsWaylandSession();
    if (!pointerError.empty()) start.pointerProblem = pointerError;

    int exitCode = 0;
    {
        mw::MainWindow window(context, {output, midi, input, *pointer}, start);
        // A second start brings this window back, and opens the patch file it was given.
        QObject::connect(instance.get(), &mw::SingleInstance::activated, &window,
                         [&window](const QStringList& args) {
                             std::vector<std::string> again;
                             for (const QString& a : args) again.push_back(a.toStdString());
                             const std::string patch = mw::ParseCommandLine(again).PatchFile;
                             if (!patch.empty()) window.LoadPatchFile(QString::fromStdString(patch));
                             window.BringBack();
                         });
        QObject::connect(&window, &mw::MainWindow::closingFinished, &app, [] { QApplication::quit(); });
        // A patch file named on the command line (the desktop's "open with") is loaded once the window is up.
        if (!options.PatchFile.empty()) {
            const QString patch = QString::fromStdString(options.PatchFile);
            QTimer::singleShot(0, &window, [&window, patch] { window.LoadPatchFile(patch); });
        }
        if (!options.AutoStartAndHide || options.AutoStartOnly) window.show();
        mw::setup::UpdateCheck update(&window, strings);
        update.Start(settings, executable);
        exitCode = QApplication::exec();
    }
    return exitCode;
}
