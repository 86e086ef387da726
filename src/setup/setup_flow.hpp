#pragma once
// Start-up's installation check, the remover of "-RemoveIt", and the update check that the program
// runs once on a thread of its own after its main window has opened.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <thread>

#include "setup/setup_dialogs.hpp"
#include "setup/web_request.hpp"

namespace mw::setup {

/// The steps of the installation check that meet the user; tests replace them.
struct StartupSteps {
    /// Asks a Yes/No/Cancel question (its text already filled in).
    std::function<QMessageBox::StandardButton(const QString& text)> ask;
    /// Shows the legal agreement; true when it was accepted.
    std::function<bool()> agreement;
    /// Runs the installer (through the rendering splash).
    std::function<void()> install;
    /// Starts the installed copy with "-NoInstall"; true when it started.
    std::function<bool(const std::string& executable)> startInstalled;
    /// Shows message 625, or 622 when the running program's path cannot be read.
    std::function<void(const QString& text)> inform;
};

/// The real steps: message boxes, the agreement, the splash and the installer. `releaseInstance` is
/// called before another copy of the program is started (this one gives up its claim to be the one
/// running copy).
StartupSteps DefaultStartupSteps(SetupContext& context, const Places& places,
                                 const std::string& runningExecutable, std::function<void()> releaseInstance);

struct StartupCheckResult {
    bool run = true; ///< false: the program ends with `exitCode`
    int exitCode = 0;
};

/// The installation check of start-up: whether the program runs from its installed copy, and if not,
/// the question of installing it and what the answer leads to.
StartupCheckResult RunInstallationCheck(SetupContext& context, const Places& places,
                                        const std::string& runningExecutable, const StartupSteps& steps);

/// The remover of "-RemoveIt" (nothing for a program of the package manager).
void RunRemover(SetupContext& context, const std::string& runningExecutable);

/// The update check: one request for the version marker on a thread of its own; a 404 shows the
/// notice (212, 213) owned by `owner` on the user-interface thread. Destroying the check gives up a
/// request still waiting and returns at once (unless a host name is being resolved).
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    UpdateCheck(QWidget* owner, const LanguageStrings& strings, WebServer server = ProductServer(),
                WebTimeouts timeouts = {});
    ~UpdateCheck() override;

    /// Starts the request unless the preference is off or the package manager installed the program.
    /// True when a request was started.
    bool Start(const ProgramSettings& settings, const std::string& runningExecutable);
    /// Shown on a 404 (tests replace it; default: the question, and the update page on Yes).
    std::function<void()> notify;

Q_SIGNALS:
    /// The request has ended; `newer` when the notice was due.
    void finished(bool newer);

private:
    QPointer<QWidget> owner_;
    const LanguageStrings& strings_;
    WebServer server_;
    WebTimeouts timeouts_;
    int cancel_ = -1;
    std::thread worker_;
};

} // namespace mw::setup
