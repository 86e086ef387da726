#pragma once
// The dialogs of installation and the web: the legal agreement, the installer, the remover, the
// rendering splash that leads to the installer, and the comment form.

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <thread>

#include "editor/pill_widgets.hpp"
#include "i18n/language_strings.hpp"
#include "setup/installer.hpp"
#include "setup/web_request.hpp"

namespace mw::setup {

/// What the dialogs of this layer need of the program: the preferences, the language and the way to save.
struct SetupContext {
    ProgramSettings& settings;
    const LanguageStrings& strings;
    std::function<void()> saveSettings;

    QString Text(int number) const;
    /// The text with each "%s" replaced by the next of `values`.
    QString Fill(int number, std::initializer_list<QString> values) const;
};

/// Starts a program detached in a folder with arguments; true when it started.
using StartProgram =
    std::function<bool(const std::string& program, const std::string& folder, const QStringList& arguments)>;
bool StartProgramDetached(const std::string& program, const std::string& folder,
                          const QStringList& arguments);

/// The agreement: the text in a read-only field; "I accept" is enabled once the field has been scrolled
/// to its end. In reading mode only the text and "Continue". Accepted: `exec()` returns QDialog::Accepted.
class LegalAgreementDialog : public ProgramDialog {
    Q_OBJECT
public:
    LegalAgreementDialog(QWidget* parent, const SetupContext& context, bool readingOnly = false);

private:
    QTimer scrollWatch_;
};

/// A check box whose caption wraps; clicking the caption clicks the box.
struct WrappedCheck {
    QCheckBox* box;
    QLabel* caption;
    void Place(ProgramDialog& dialog, int x, int y, int width, int height) const;
    void SetVisible(bool visible) const;
    void SetEnabled(bool enabled) const;
};

class InstallerDialog : public ProgramDialog {
    Q_OBJECT
public:
    InstallerDialog(QWidget* parent, SetupContext& context, Places places, std::string runningExecutable,
                    StartProgram start = StartProgramDetached);

    QLineEdit& Folder() const { return *folder_; }
    InstallOptions Options() const;
    /// Installs with the dialog's choices (the install button); true when the copy succeeded.
    bool InstallNow();
    /// The answer to "quit the installation?" (tests set it; empty: a message box asks).
    std::function<bool()> confirmQuit;
    /// Messages after installing (tests replace it; default: message boxes).
    std::function<void(int text, bool failed)> report;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool ConfirmQuit();

    SetupContext& context_;
    Places places_;
    std::string running_;
    StartProgram start_;
    QLineEdit* folder_;
    WrappedCheck desktop_, startMenu_, extended_, runAfter_, allUsers_, update_, quickLaunch_;
    bool closingAllowed_ = false;
};

/// The remover: one button that removes the installation this program belongs to, then the program ends.
class RemoverDialog : public ProgramDialog {
    Q_OBJECT
public:
    RemoverDialog(QWidget* parent, SetupContext& context, Places places, std::string executable);
    /// Starts the removal script (tests replace it).
    std::function<bool(const std::string& script)> startScript = StartDetachedScript;
    /// The process the script waits for.
    long waitForPid;
    RemovalResult result;

private:
    void Remove();
    SetupContext& context_;
    Places places_;
    std::string executable_;
};

/// Draws a screen-sized picture on a worker thread (a random colour gradient, then a spiral) while it
/// shows the progress; when the picture is ready it shows it and calls `ready` (which opens the installer).
class RenderingSplash : public ProgramDialog {
    Q_OBJECT
public:
    RenderingSplash(QWidget* parent, SetupContext& context, QSize pictureSize, std::function<void()> ready);
    ~RenderingSplash() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Render(QSize size, unsigned seed);
    SetupContext& context_;
    std::function<void()> ready_;
    QImage picture_;
    std::atomic<int> percent_{0};
    std::atomic<bool> done_{false}, stop_{false};
    std::thread worker_;
    QTimer tick_;
    QLabel* progress_;
    bool shown_ = false;
};

/// The comment form of the about dialog: the comment, a privacy notice and "Send".
class CommentRequestDialog : public ProgramDialog {
    Q_OBJECT
public:
    CommentRequestDialog(QWidget* parent, SetupContext& context, bool fromAbout = true);

    QPlainTextEdit& Comment() const { return *comment_; }
    PillButton& SendButton() const { return *send_; }
    /// Sends the comment (the send button). True when it went out; then the dialog closes.
    bool Send();
    /// The result message (tests replace it; default: message boxes).
    std::function<void(bool sent)> report;
    WebTimeouts timeouts;

private:
    SetupContext& context_;
    QPlainTextEdit* comment_;
    PillButton* send_;
};

} // namespace mw::setup
