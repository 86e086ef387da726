// The start-up helpers: the check of the program's own file, the start-up shortcut, the display
// platform choice and the single running copy.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/shell/autostart.hpp"
#include "app/shell/display_platform.hpp"
#include "app/shell/integrity.hpp"
#include "app/shell/single_instance.hpp"

namespace {

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteAll(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary | std::ios::trunc) << bytes;
}

// Seals a file the way the build does.
void Seal(const QString& path) {
    QProcess cmake;
    cmake.start(QStringLiteral(MW_CMAKE_COMMAND), {"-DFILE=" + path, "-P", QStringLiteral(MW_SEAL_SCRIPT)});
    QVERIFY(cmake.waitForFinished(60000));
    QCOMPARE(cmake.exitCode(), 0);
}

// Sets (or, for a null value, unsets) environment variables for the life of the object.
class Environment {
public:
    void Set(const char* name, const char* value) {
        saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~Environment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->wasSet ? qputenv(it->name, it->value) : qunsetenv(it->name);
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> saved_;
};

} // namespace

class Glue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sha256();
    void integrity();
    void autostartPath();
    void execQuoting();
    void startupShortcut();
    void x11Platform();
    void singleInstance();
};

void Glue::sha256() {
    // FIPS 180-2 examples: one block, the empty message, a message whose padding needs a second block,
    // and a million bytes.
    const std::pair<std::string, const char*> rows[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
    for (const auto& [message, hash] : rows)
        for (const bool cpu : {false, true}) QCOMPARE(mw::Sha256Hex(message, cpu), std::string(hash));
}

void Glue::integrity() {
    using R = mw::IntegrityResult;
    QTemporaryDir dir;
    const QString sealed = dir.filePath("sealed"), copy = dir.filePath("copy");
    // Just over one read chunk of the check (1 MiB), so the trailer comes in two reads.
    std::string content(size_t(1) << 20, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = char((i * 2654435761u) >> 13);
    content += "past the first chunk";
    WriteAll(sealed, content);
    QCOMPARE(mw::CheckIntegrity(sealed.toStdString()), R::Damaged); // no trailer yet
    Seal(sealed);
    const std::string bytes = ReadAll(sealed);
    QCOMPARE(bytes.size(), content.size() + mw::kSealSize);
    QCOMPARE(bytes.substr(content.size()),
             "MURMELWERK-SHA256 " + mw::Sha256Hex(content, false) + "\n"); // the build's hash is ours
    QCOMPARE(mw::CheckIntegrity(sealed.toStdString()), R::Intact);

    for (const size_t at : {size_t(0), size_t(1) << 19, content.size() - 1, content.size(),
                            content.size() + 20, bytes.size() - 2, bytes.size() - 1}) {
        std::string flipped = bytes;
        flipped[at] = char(flipped[at] ^ 0x20); // 'a' <-> 'A' in the hex digits
        WriteAll(copy, flipped);
        QVERIFY2(mw::CheckIntegrity(copy.toStdString()) == R::Damaged, std::to_string(at).c_str());
    }
    WriteAll(copy, bytes.substr(0, bytes.size() - 1));
    QCOMPARE(mw::CheckIntegrity(copy.toStdString()), R::Damaged);
    WriteAll(copy, bytes.substr(bytes.size() - 40));
    QCOMPARE(mw::CheckIntegrity(copy.toStdString()), R::Damaged); // shorter than a trailer
    WriteAll(copy, "");
    Seal(copy);
    QCOMPARE(mw::CheckIntegrity(copy.toStdString()), R::Intact); // an empty file, sealed
    Seal(copy);
    QCOMPARE(mw::CheckIntegrity(copy.toStdString()), R::Intact); // sealed twice: the last trailer counts
    QCOMPARE(mw::CheckIntegrity(dir.filePath("missing").toStdString()), R::Unreadable);
    QCOMPARE(mw::CheckIntegrity(dir.path().toStdString()), R::Unreadable);
}

void Glue::autostartPath() {
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    Environment env;
    env.Set("HOME", home.path().toUtf8().constData());
    const std::pair<const char*, std::string> rows[] = {
        {nullptr, h + "/.config/autostart/murmelwerk.desktop"},
        {"", h + "/.config/autostart/murmelwerk.desktop"},
        {"relative/config", h + "/.config/autostart/murmelwerk.desktop"},
        {"/xdg/conf", "/xdg/conf/autostart/murmelwerk.desktop"}};
    for (const auto& [config, path] : rows) {
        env.Set("XDG_CONFIG_HOME", config);
        QCOMPARE(mw::AutostartEntryPath(), path);
    }
}

void Glue::execQuoting() {
    // Quoting first ('"', '`', '$', '\' get a backslash, '%' is doubled), then the string escapes
    // ('\' doubled, line break and tab written as \n and \t).
    const std::pair<std::string, std::string> rows[] = {
        {"/usr/bin/murmelwerk", R"("/usr/bin/murmelwerk")"},
        {"/home/a b/My \"Synth\"/x\\y/$HOME/`id`/100%",
         R"("/home/a b/My \\"Synth\\"/x\\\\y/\\$HOME/\\`id\\`/100%%")"},
        {"/opt/a\tb\nc;'&", R"("/opt/a\tb\nc;'&")"}};
    for (const auto& [path, exec] : rows) QCOMPARE(mw::DesktopExecArgument(path), exec);
}

void Glue::startupShortcut() {
    QTemporaryDir config;
    Environment env;
    env.Set("XDG_CONFIG_HOME", config.path().toUtf8().constData()); // the folder autostart/ is made
    QVERIFY(!mw::StartupShortcutExists());
    QVERIFY(mw::SetStartupShortcut(true, "/opt/mw/murmel werk"));
    QVERIFY(mw::StartupShortcutExists());
    QCOMPARE(ReadAll(config.filePath("autostart/murmelwerk.desktop")),
             std::string("[Desktop Entry]\nType=Application\nName=Murmelwerk\nComment=Murmelwerk\n"
                         "Exec=\"/opt/mw/murmel werk\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n"));
    QVERIFY(mw::SetStartupShortcut(false, {}));
    QVERIFY(!mw::StartupShortcutExists());
    QVERIFY(mw::SetStartupShortcut(false, {})); // already gone
}

void Glue::x11Platform() {
    struct Row {
        const char *sessionType, *waylandDisplay, *display, *platform;
        bool wayland;
        const char* platformAfter;
    };
    const Row rows[] = {
        {"x11", nullptr, ":0", nullptr, false, nullptr},
        {"wayland", nullptr, ":0", nullptr, true, "xcb"},
        {"tty", "wayland-0", ":0", "", true, "xcb"},
        {"wayland", "wayland-0", ":0", "wayland", true, "wayland"}, // the user's choice stays
        {"wayland", "wayland-0", nullptr, nullptr, true, nullptr},  // no X server to turn to
        {nullptr, "", ":0", nullptr, false, nullptr},
    };
    for (const Row& r : rows) {
        Environment env;
        env.Set("XDG_SESSION_TYPE", r.sessionType);
        env.Set("WAYLAND_DISPLAY", r.waylandDisplay);
        env.Set("DISPLAY", r.display);
        env.Set("QT_QPA_PLATFORM", r.platform);
        QCOMPARE(mw::IsWaylandSession(), r.wayland);
        mw::PreferX11Platform();
        const QByteArray after = r.platformAfter ? QByteArray(r.platformAfter) : QByteArray(r.platform);
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), after);
    }
}

void Glue::singleInstance() {
    QTemporaryDir dir;
    const QString key = dir.filePath("instance");
    QVERIFY(!mw::SingleInstance::Notify(key, {"nobody"}));
    {
        mw::SingleInstance first(key), second(key);
        QVERIFY(first.Claim());
        QVERIFY(!second.Claim());
        QSignalSpy activated(&first, &mw::SingleInstance::activated);
        QVERIFY(mw::SingleInstance::Notify(key, {"-AutoStartOnly", "my song.mwc"}));
        QVERIFY(activated.wait(5000));
        QCOMPARE(activated.at(0).at(0).toStringList(), QStringList({"-AutoStartOnly", "my song.mwc"}));
    }
    // A socket left behind by a copy that crashed: bound, never listening.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(key);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(key));
    mw::SingleInstance next(key);
    QVERIFY(next.Claim());
    QVERIFY(mw::SingleInstance::Notify(key, {}));
    QCOMPARE(mw::SingleInstance::ServerName({}).endsWith("murmelwerk-" + QString::number(::getuid())), true);
}

QTEST_GUILESS_MAIN(Glue)
#include "Glue.moc"
