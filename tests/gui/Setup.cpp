// Installing into a temporary home and removing again, the start-up question, the agreement, and the
// update check and the comment form against a small HTTP server on 127.0.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "app/settings/settings_file.hpp"
#include "layout_check.hpp"
#include "setup/setup_flow.hpp"

namespace fs = std::filesystem;
using namespace mw::setup;

namespace {

struct Fixture {
    mw::ProgramSettings settings;
    mw::LanguageStrings strings;
    int saves = 0;
    SetupContext context{settings, strings, [this] { ++saves; }};
    Fixture() { mw::ApplyLanguage(settings, strings); }
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Spit(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> FilesUnder(const std::string& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory()) files.insert(entry.path().string());
    return files;
}

/// Answers one connection on 127.0.0.1: reads the request, sends `reply` (unless silent), waits for the
/// client to close.
struct TinyServer {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    uint16_t port = 0;
    std::string request;
    std::thread thread;

    explicit TinyServer(std::string reply, bool answer = true) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 1);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread = std::thread([this, reply = std::move(reply), answer] {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) != 1) return;
            const int client = ::accept(fd, nullptr, nullptr);
            char buffer[4096];
            p = {client, POLLIN, 0};
            while (request.find("\r\n\r\n") == std::string::npos && ::poll(&p, 1, 5000) == 1) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, size_t(n));
            }
            if (answer) ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            while (::poll(&p, 1, 5000) == 1 && ::recv(client, buffer, sizeof buffer, 0) > 0) {
            }
            ::close(client);
        });
    }
    ~TinyServer() {
        Finish();
        ::close(fd);
    }
    /// The request received, once the connection has ended.
    const std::string& Finish() {
        if (thread.joinable()) thread.join();
        return request;
    }
    WebServer Server() const { return {"127.0.0.1", port}; }
};

/// A port on 127.0.0.1 where nobody listens.
uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

class Setup : public QObject {
    Q_OBJECT
    QTemporaryDir root_;
    std::string home_;

    Places MakeHome() {
        home_ = root_.path().toStdString() + "/home/";
        fs::remove_all(root_.path().toStdString());
        fs::create_directories(home_);
        qputenv("HOME", QByteArray::fromStdString(home_));
        qputenv("TMPDIR", QByteArray::fromStdString(root_.path().toStdString() + "/tmp"));
        fs::create_directories(root_.path().toStdString() + "/tmp");
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        Spit(home_ + ".config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
        Spit(home_ + "Downloads/murmelwerk", "#!/bin/sh\nexit 0\n");
        return Places::FromEnvironment();
    }

private Q_SLOTS:
    void installsRemovesAndLeavesNothing();
    void startupQuestion();
    void agreementNeedsScrolling();
    void updateCheckAndComment();
    void nothingClipped();
};

void Setup::installsRemovesAndLeavesNothing() {
    Fixture f;
    const Places places = MakeHome();
    QCOMPARE(places.desktop, home_ + "Schreibtisch/");
    const std::set<std::string> before = FilesUnder(root_.path().toStdString());
    std::vector<std::string> started;
    InstallerDialog installer(
        nullptr, f.context, places, home_ + "Downloads/murmelwerk",
        [&started](const std::string& program, const std::string&, const QStringList& args) {
            started.push_back(program + " " + args.join(' ').toStdString());
            return true;
        });
    std::vector<int> reports;
    installer.report = [&reports](int text, bool) { reports.push_back(text); };
    QCOMPARE(installer.Folder().text().toStdString(), home_ + ".local/opt/Murmelwerk 1.0/");
    QVERIFY(installer.findChild<QWidget*>("update")->isVisibleTo(&installer));
    QVERIFY(installer.InstallNow());

    const std::string folder = home_ + ".local/opt/Murmelwerk 1.0/";
    const std::string exe = folder + "Murmelwerkv1.0.bin";
    const std::string menu = home_ + ".local/share/applications/Murmelwerk Software/";
    const std::vector<std::string> logged{
        folder + "murmelwerk.svg",
        home_ + "Schreibtisch/Murmelwerk.desktop",
        menu,
        menu + "Murmelwerk 1.0/",
        menu + "Murmelwerk 1.0/Murmelwerk.desktop",
        menu + "Murmelwerk 1.0/Uninstall Murmelwerk.desktop",
        menu + "Murmelwerk 1.0/Murmelwerk - Local Help.desktop",
        menu + "Murmelwerk 1.0/Murmelwerk - Online Help.desktop",
        menu + "Murmelwerk 1.0/Visit the Murmelwerk forum.desktop",
        home_ + ".config/menus/applications-merged/murmelwerk-software.menu",
        home_ + ".local/share/desktop-directories/murmelwerk-software.directory",
        folder + "Murmelwerkv1.0.MWS",
    };
    QCOMPARE(ReadLogEntries(folder + "Install_Log.txt"), logged);
    QCOMPARE(Slurp(folder + "Install_Log.txt").substr(0, 6), std::string("\xFF\xFE\r\0\n\0", 6));
    QCOMPARE(Slurp(exe), Slurp(home_ + "Downloads/murmelwerk"));
    QVERIFY(::access(exe.c_str(), X_OK) == 0);
    for (const std::string& path : logged) QVERIFY2(fs::exists(path), path.c_str());
    QCOMPARE(Slurp(menu + "Murmelwerk 1.0/Uninstall Murmelwerk.desktop"),
             "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Uninstall Murmelwerk\nComment=Uninstall "
             "Murmelwerk\nExec=\"" +
                 exe + "\" -RemoveIt\nIcon=edit-delete\nTerminal=false\nCategories=X-Murmelwerk-Software;\n");
    QCOMPARE(Slurp(home_ + ".config/murmelwerk/registry.ini"),
             "[SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Murmelwerk 1.0]\nDisplayIcon=" + exe +
                 "\nDisplayName=Murmelwerk 1.0\nHelpLink=https://murmelwerk.invalid/\nInno Setup: App Path=" +
                 folder.substr(0, folder.size() - 1) + "\nPublisher=Murmelwerk\nUninstallString=" + exe +
                 " RemoveIt\n\n[SOFTWARE\\Murmelwerk\\Murmelwerk]\n1.0=1.0\n1.0EXENameAndPath=" + exe + "\n");
    mw::ProgramSettings loaded;
    QCOMPARE(mw::LoadSettings(loaded, folder + "Murmelwerkv1.0.MWS").outcome,
             mw::SettingsLoadOutcome::Loaded);
    QCOMPARE(started, std::vector<std::string>{exe + " -NoInstall"});
    QCOMPARE(reports, std::vector<int>{608});

    // Again into the same folder, from the installed copy itself: no copy, the update box keeps the
    // settings file, every entry is logged once more.
    Spit(folder + "Murmelwerkv1.0.MWS", "kept");
    InstallerDialog again(nullptr, f.context, places, exe, [](auto&&...) { return true; });
    again.report = [](int, bool) {};
    QVERIFY(again.Options().update);
    const auto inode = [&exe] {
        struct stat status {};
        ::stat(exe.c_str(), &status);
        return status.st_ino;
    };
    const auto oldInode = inode();
    QVERIFY(again.InstallNow());
    QCOMPARE(inode(), oldInode); // not copied over itself
    QCOMPARE(ReadLogEntries(folder + "Install_Log.txt").size(), 2 * logged.size());
    QCOMPARE(Slurp(folder + "Murmelwerkv1.0.MWS"), std::string("kept"));

    // A folder that cannot be made: message 607, nothing created, the default folder back.
    InstallerDialog failing(nullptr, f.context, places, exe, [](auto&&...) { return true; });
    failing.report = [&reports](int text, bool) { reports.push_back(text); };
    failing.Folder().setText("/proc/no-such/");
    QVERIFY(!failing.InstallNow());
    QCOMPARE(reports.back(), 607);
    QCOMPARE(failing.Folder().text().toStdString(), folder);

    // The removal, waiting for a process that has ended.
    RemoverDialog remover(nullptr, f.context, places, exe);
    remover.waitForPid = std::stol(Slurp("/proc/sys/kernel/pid_max")); // never a running process
    std::string script;
    remover.startScript = [&script](const std::string& path) {
        script = path;
        return true;
    };
    remover.findChild<QAbstractButton*>("remove")->click();
    QVERIFY(remover.result.scriptWritten);
    QCOMPARE(script, root_.path().toStdString() + "/tmp/Murmelwerk1.0.sh");
    QCOMPARE(QProcess::execute("/bin/sh", {QString::fromStdString(script)}), 0);
    for (const std::string& path : logged) QVERIFY2(!fs::exists(path), path.c_str());
    QVERIFY(!fs::exists(folder));
    QVERIFY(!fs::exists(script));
    const RegistryFile registry = RegistryFile::Read(places.RegistryPath());
    QVERIFY(!registry.Find(UninstallKey()));
    // Nothing else touched: the files from before are all there, and the only new one is the registry.
    std::set<std::string> after = FilesUnder(root_.path().toStdString());
    QVERIFY(after.erase(places.RegistryPath()) == 1);
    QCOMPARE(after, before);
}

void Setup::startupQuestion() {
    const Places places = MakeHome();
    const std::string running = home_ + "Downloads/murmelwerk";
    const std::string installed = home_ + "opt/Murmelwerkv1.0.bin";
    enum Registry { Absent, Here, Elsewhere, ElsewhereNoVersion };
    const struct {
        Registry registry;
        QMessageBox::StandardButton answer;
        bool agreementBefore, agreementAnswer, startWorks;
        const char* question; // the text asked, empty: none
        const char* calls;    // the steps taken
        bool run;
    } rows[] = {
        {Absent, QMessageBox::Yes, false, true, true, "Would you like to install Murmelwerk 1.0?",
         "agreement install", false},
        {Absent, QMessageBox::Yes, false, false, true, "Would you like to install Murmelwerk 1.0?",
         "agreement", false},
        {Absent, QMessageBox::No, false, true, true, "Would you like to install Murmelwerk 1.0?", "agreement",
         true},
        {Absent, QMessageBox::No, false, false, true, "Would you like to install Murmelwerk 1.0?",
         "agreement", false},
        {Absent, QMessageBox::No, true, true, true, "Would you like to install Murmelwerk 1.0?", "", true},
        {Absent, QMessageBox::Cancel, false, true, true, "Would you like to install Murmelwerk 1.0?", "",
         false},
        {Here, QMessageBox::Yes, false, true, true, "", "", true},
        {Elsewhere, QMessageBox::Yes, true, true, true, "Would you like to re-install Murmelwerk 1.0?",
         "agreement install", false},
        {Elsewhere, QMessageBox::No, true, true, true, "Would you like to re-install Murmelwerk 1.0?",
         "start", false},
        {Elsewhere, QMessageBox::No, true, true, false, "Would you like to re-install Murmelwerk 1.0?",
         "start inform625", true},
        {Elsewhere, QMessageBox::Cancel, true, true, true, "Would you like to re-install Murmelwerk 1.0?", "",
         false},
        {ElsewhereNoVersion, QMessageBox::Cancel, true, true, true,
         "Would you like to install version 1.0 of Murmelwerk?", "", false},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.settings.AgreementAccepted = row.agreementBefore;
        fs::remove(places.RegistryPath());
        if (row.registry != Absent) {
            RegistryFile registry;
            registry.Set(kProductKey, kPathValue, row.registry == Here ? running : installed);
            if (row.registry != ElsewhereNoVersion) registry.Set(kProductKey, kVersionValue, "1.0");
            registry.Write(places.RegistryPath());
        }
        QString asked;
        std::string calls;
        const auto call = [&calls](const std::string& step) { calls += (calls.empty() ? "" : " ") + step; };
        StartupSteps steps{
            [&](const QString& text) {
                asked = text;
                return row.answer;
            },
            [&] {
                call("agreement");
                return row.agreementAnswer;
            },
            [&] { call("install"); },
            [&](const std::string& exe) {
                call(exe == installed ? "start" : "start?");
                return row.startWorks;
            },
            [&](const QString& text) { call(text == f.context.Text(625) ? "inform625" : "inform?"); }};
        const StartupCheckResult result = RunInstallationCheck(f.context, places, running, steps);
        const QString question = QString::fromUtf8(row.question);
        QCOMPARE(asked.section('\n', 0, 0).trimmed(), question);
        QCOMPARE(calls, std::string(row.calls));
        QCOMPARE(result.run, row.run);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(f.settings.AgreementAccepted != 0, row.agreementBefore || (row.run && calls == "agreement"));
    }
    // The running program's path unreadable while an installation is recorded: 622 " 6", exit code -1.
    Fixture f;
    QString told;
    const StartupCheckResult result = RunInstallationCheck(
        f.context, places, "", {{}, {}, {}, {}, [&told](const QString& text) { told = text; }});
    QCOMPARE(std::tuple(result.run, result.exitCode, told),
             std::tuple(false, -1, QString("Fatal-initialization error: 6")));
    // The registry file keeps any text of a value.
    RegistryFile odd;
    odd.Set(kProductKey, kPathValue, "/a\\b\n[c]=d\r");
    QCOMPARE(RegistryFile::FromText(odd.Text()).Value(kProductKey, kPathValue).value_or(""),
             std::string("/a\\b\n[c]=d\r"));
    // A program of the package manager is installed already.
    QCOMPARE(DecideInstallation({}, "/usr/bin/murmelwerk").question, InstallQuestion::None);
}

void Setup::agreementNeedsScrolling() {
    Fixture f;
    LegalAgreementDialog dialog(nullptr, f.context);
    dialog.show();
    auto* accept = dialog.findChild<QAbstractButton*>("accept");
    auto* bar = dialog.findChild<QPlainTextEdit*>("text")->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QTest::qWait(50);
    QVERIFY(!accept->isEnabled());
    bar->setValue(bar->maximum());
    QTRY_VERIFY(accept->isEnabled());
    accept->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void Setup::updateCheckAndComment() {
    // The marker request: 404 asks, 200 and a 5-byte reply do not.
    const struct {
        const char* reply;
        bool newer;
    } replies[] = {{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", true},
                   {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false},
                   {"HTTP/", false}};
    mw::LanguageStrings strings;
    mw::ProgramSettings settings;
    for (const auto& row : replies) {
        TinyServer server(row.reply);
        UpdateCheck check(nullptr, strings, server.Server());
        int notices = 0;
        check.notify = [&notices] { ++notices; };
        QSignalSpy finished(&check, &UpdateCheck::finished);
        QVERIFY(check.Start(settings, "/home/someone/murmelwerk"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(0).toBool(), row.newer);
        QCOMPARE(notices, row.newer ? 1 : 0);
        QCOMPARE(server.Finish(), std::string("GET /Murmelwerkv1.0.1.chk HTTP/1.1\r\nHost: 127.0.0.1:") +
                                      std::to_string(server.port) +
                                      "\r\nUser-Agent: Murmelwerk/1.0.1f\r\nConnection: close\r\n\r\n");
    }
    settings.CheckForUpdateAtStart = 0;
    QVERIFY(!UpdateCheck(nullptr, strings).Start(settings, "/home/someone/murmelwerk"));
    settings.CheckForUpdateAtStart = 1;
    QVERIFY(!UpdateCheck(nullptr, strings).Start(settings, "/usr/bin/murmelwerk"));

    // A refused connection, and a server that never answers: an error, in time.
    std::string reply(kReplyCapacity, '\0');
    QVERIFY(WebRequest({"127.0.0.1", ClosedPort()}, "/", reply) <= 0);
    QCOMPARE(reply.substr(0, 6), std::string("Error "));
    {
        TinyServer silent("", false);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(WebRequest(silent.Server(), "/", reply,
                           {std::chrono::milliseconds(500), std::chrono::milliseconds(300)}) <= 0);
        QVERIFY(clock.elapsed() < 2000);
        // A check still waiting is given up at once when the program ends.
        TinyServer silent2("", false);
        clock.restart();
        {
            UpdateCheck check(nullptr, strings, silent2.Server());
            QVERIFY(check.Start(settings, "/home/someone/murmelwerk"));
            QTest::qWait(100);
        }
        QVERIFY(clock.elapsed() < 2000);
    }
    QVERIFY(!ReportsNewerVersion(std::string_view("HTTP/1.1 40", 11), 11));
    QCOMPARE(FeedbackPath(" a b\n"), std::string("/Feedback/FromProgramExit.php?Comment=a%20b"));

    // The comment form: the whole comment arrives; a failure keeps the form open and asks to retry.
    Fixture f;
    CommentRequestDialog dialog(nullptr, f.context);
    std::vector<bool> results;
    dialog.report = [&results](bool sent) { results.push_back(sent); };
    dialog.timeouts = {std::chrono::milliseconds(500), std::chrono::milliseconds(500)};
    QVERIFY(!dialog.SendButton().isEnabled());
    dialog.Comment().setPlainText(" \t ");
    QVERIFY(!dialog.SendButton().isEnabled());
    dialog.Comment().setPlainText(QString::fromUtf8("&%#+ \xC3\xA4"));
    QVERIFY(dialog.SendButton().isEnabled());
    qputenv("MURMELWERK_WEB_SERVER", "127.0.0.1:" + QByteArray::number(ClosedPort()));
    QVERIFY(!dialog.Send());
    QCOMPARE(f.settings.FeedbackSent, uint8_t(0));
    TinyServer server("HTTP/1.1 200 OK\r\n\r\n");
    qputenv("MURMELWERK_WEB_SERVER", "127.0.0.1:" + QByteArray::number(server.port));
    QVERIFY(dialog.Send());
    qunsetenv("MURMELWERK_WEB_SERVER");
    QCOMPARE(results, (std::vector<bool>{false, true}));
    QCOMPARE(std::tuple(int(f.settings.FeedbackSent), f.saves), std::tuple(1, 1));
    const std::string request = server.Finish();
    const std::string line = request.substr(0, request.find(' ', 4));
    QCOMPARE(line, std::string("GET /Feedback/FromProgramExit.php?Comment=%26%25%23%2B%20%C3%A4"));
    QCOMPARE(PercentDecoded(line.substr(line.find('=') + 1)), std::string("&%#+ \xC3\xA4"));
}

void Setup::nothingClipped() {
    const Places places = MakeHome();
    QStringList clipped;
    for (const uint16_t language : {0, 1, 2, 3, 4}) {
        Fixture f;
        f.settings.LanguageCode = language;
        mw::ApplyLanguage(f.settings, f.strings);
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<LegalAgreementDialog>(nullptr, f.context));
        dialogs.push_back(std::make_unique<LegalAgreementDialog>(nullptr, f.context, true));
        dialogs.push_back(std::make_unique<InstallerDialog>(nullptr, f.context, places, "/x"));
        dialogs.push_back(std::make_unique<RemoverDialog>(nullptr, f.context, places, "/x"));
        dialogs.push_back(std::make_unique<CommentRequestDialog>(nullptr, f.context, false));
        for (const auto& dialog : dialogs)
            for (const QString& control : ClippedTexts(*dialog))
                clipped << QString("%1.%2 (%3)").arg(dialog->objectName(), control).arg(language);
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
}

QTEST_MAIN(Setup)
#include "Setup.moc"
