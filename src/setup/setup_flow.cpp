#include "setup/setup_flow.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace mw::setup {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

StartupSteps DefaultStartupSteps(SetupContext& context, const Places& places,
                                 const std::string& runningExecutable,
                                 std::function<void()> releaseInstance) {
    StartupSteps steps;
    steps.ask = [](const QString& text) {
        return QMessageBox::question(nullptr, Q(kName), text,
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                     QMessageBox::Yes);
    };
    steps.agreement = [&context] {
        return LegalAgreementDialog(nullptr, context).exec() == QDialog::Accepted;
    };
    steps.install = [&context, places, runningExecutable, releaseInstance] {
        const StartProgram start = [releaseInstance](const std::string& program, const std::string& folder,
                                                     const QStringList& arguments) {
            if (releaseInstance) releaseInstance();
            return StartProgramDetached(program, folder, arguments);
        };
        const auto openInstaller = [&context, &places, &runningExecutable, &start] {
            InstallerDialog installer(nullptr, context, places, runningExecutable, start);
            installer.exec();
        };
        const QScreen* screen = QGuiApplication::primaryScreen();
        RenderingSplash splash(nullptr, context, screen ? screen->size() : QSize(640, 480), openInstaller);
        splash.exec();
    };
    steps.startInstalled = [releaseInstance](const std::string& executable) {
        if (releaseInstance) releaseInstance();
        return StartProgramDetached(executable, {}, {QStringLiteral("-NoInstall")});
    };
    steps.inform = [](const QString& text) { QMessageBox::information(nullptr, Q(kName), text); };
    return steps;
}

StartupCheckResult RunInstallationCheck(SetupContext& context, const Places& places,
                                        const std::string& runningExecutable, const StartupSteps& steps) {
    const RegistryFile registry = RegistryFile::Read(places.RegistryPath());
    if (registry.Value(kProductKey, kPathValue).value_or("") != "" && runningExecutable.empty()) {
        steps.inform(context.Text(622) + QStringLiteral(" 6")); // the running program's path cannot be read
        return {false, -1};
    }
    const InstallDecision decision = DecideInstallation(registry, runningExecutable);
    const auto install = [&steps]() -> StartupCheckResult {
        if (steps.agreement()) steps.install();
        return {false, 0};
    };
    switch (decision.question) {
    case InstallQuestion::None:
        return {};
    case InstallQuestion::InstallVersion:
    case InstallQuestion::Reinstall: {
        const QString text = decision.question == InstallQuestion::Reinstall
                                 ? context.Fill(624, {kName, kVersion})
                                 : context.Fill(623, {kVersion, kName});
        switch (steps.ask(text)) {
        case QMessageBox::Yes:
            return install();
        case QMessageBox::No:
            if (steps.startInstalled(decision.installedExecutable)) return {false, 0};
            steps.inform(context.Text(625));
            return {};
        default:
            return {false, 0};
        }
    }
    case InstallQuestion::InstallNew:
        switch (steps.ask(context.Fill(626, {kName, kVersion}))) {
        case QMessageBox::Yes:
            return install();
        case QMessageBox::No:
            if (context.settings.AgreementAccepted == 0) {
                if (!steps.agreement()) return {false, 0};
                context.settings.AgreementAccepted = 1;
            }
            return {};
        default:
            return {false, 0};
        }
    }
    return {};
}

void RunRemover(SetupContext& context, const std::string& runningExecutable) {
    if (runningExecutable.empty() || InstalledByPackageManager(runningExecutable)) return;
    RemoverDialog remover(nullptr, context, Places::FromEnvironment(), runningExecutable);
    remover.exec();
}

UpdateCheck::UpdateCheck(QWidget* owner, const LanguageStrings& strings, WebServer server,
                         WebTimeouts timeouts)
    : QObject(owner), owner_(owner), strings_(strings), server_(std::move(server)), timeouts_(timeouts) {
    notify = [this] {
        const QString text = Q(strings_.Text(212)).replace(QStringLiteral("%s"), Q(kName));
        if (QMessageBox::question(owner_, Q(strings_.Text(213)), text, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes) == QMessageBox::Yes)
            QDesktopServices::openUrl(QUrl(Q(ProductPageAddress(kUpdatePagePath))));
    };
}

UpdateCheck::~UpdateCheck() {
    if (cancel_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(cancel_, &one, sizeof one);
    }
    if (worker_.joinable()) worker_.join();
    if (cancel_ >= 0) ::close(cancel_);
}

bool UpdateCheck::Start(const ProgramSettings& settings, const std::string& runningExecutable) {
    if (!settings.CheckForUpdateAtStart || InstalledByPackageManager(runningExecutable) || worker_.joinable())
        return false;
    cancel_ = ::eventfd(0, EFD_CLOEXEC);
    WebTimeouts timeouts = timeouts_;
    timeouts.cancel = cancel_;
    worker_ = std::thread([this, server = server_, timeouts] {
        std::string reply(kReplyCapacity, '\0');
        const int count = WebRequest(server, kVersionMarkerPath, reply, timeouts);
        const bool newer = ReportsNewerVersion(reply, count);
        // The notice belongs to the user-interface thread; this thread only asks for it.
        QMetaObject::invokeMethod(
            this,
            [this, newer] {
                if (newer && notify) notify();
                Q_EMIT finished(newer);
            },
            Qt::QueuedConnection);
    });
    return true;
}

} // namespace mw::setup
