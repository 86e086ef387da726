// The command line: options ignoring case and dash, switch values, the patch file to open.
#include <QtTest>
#include <set>
#include <string>
#include <vector>

#include "app/shell/command_line.hpp"

Q_DECLARE_METATYPE(mw::CommandLineOptions)
Q_DECLARE_METATYPE(mw::StartupPath)

namespace {

mw::CommandLineOptions With(void (*set)(mw::CommandLineOptions&)) {
    mw::CommandLineOptions options;
    set(options);
    return options;
}

} // namespace

class CommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parses_data();
    void parses();
};

void CommandLine::parses_data() {
    using O = mw::CommandLineOptions;
    using P = mw::StartupPath;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<O>("expected");
    QTest::addColumn<P>("path");

    QTest::newRow("nothing") << QStringList{} << O{} << P::Run;
    QTest::newRow("-wrapmouse last turns it on")
        << QStringList{"-wrapmouse"} << With([](O& o) { o.WrapMouse = true; }) << P::Run;
    QTest::newRow("-WrapMouse 0 turns it off, the 0 is ignored")
        << QStringList{"-WrapMouse", "0"} << With([](O& o) { o.WrapMouse = false; }) << P::Run;
    QTest::newRow("-WrapMouse yes leaves it to the settings")
        << QStringList{"-WrapMouse", "yes"} << O{} << P::Run;
    QTest::newRow("yes after 0 leaves it off") << QStringList{"-WrapMouse", "0", "-WrapMouse", "yes"}
                                               << With([](O& o) { o.WrapMouse = false; }) << P::Run;
    QTest::newRow("the later value wins") << QStringList{"-WrapMouse", "1", "WRAPMOUSE", "0"}
                                          << With([](O& o) { o.WrapMouse = false; }) << P::Run;
    QTest::newRow("a value beginning with 1")
        << QStringList{"makenosound", "10"} << With([](O& o) { o.MakeNoSound = true; }) << P::Run;
    QTest::newRow("the value is examined as an option")
        << QStringList{"-MakeNoSound", "-NoInstall"} << With([](O& o) { o.NoInstall = true; }) << P::Run;
    QTest::newRow("NoInstall without the dash")
        << QStringList{"NoInstall"} << With([](O& o) { o.NoInstall = true; }) << P::Run;
    QTest::newRow("two dashes are no option") << QStringList{"--NoInstall", "-No-Install"} << O{} << P::Run;
    QTest::newRow("both auto starts") << QStringList{"-autostartonly", "AutoStartAndHide"} << With([](O& o) {
        o.AutoStartOnly = true;
        o.AutoStartAndHide = true;
    }) << P::Run;
    QTest::newRow("help") << QStringList{"DOHELP"} << With([](O& o) { o.DoHelp = true; }) << P::Help;
    QTest::newRow("remover wins over help") << QStringList{"-RemoveIt", "-DoHelp"} << With([](O& o) {
        o.RemoveIt = true;
        o.DoHelp = true;
    }) << P::Remove;
    QTest::newRow("the first existing patch file")
        << QStringList{"gone.mwc", "notes.txt", "Song.MWC", "song.mwc"}
        << With([](O& o) { o.PatchFile = "Song.MWC"; }) << P::Run;
    QTest::newRow("a patch file after a switch is no value")
        << QStringList{"-MakeNoSound", "my song.mwc"} << With([](O& o) { o.PatchFile = "my song.mwc"; })
        << P::Run;
}

void CommandLine::parses() {
    QFETCH(QStringList, arguments);
    QFETCH(mw::CommandLineOptions, expected);
    QFETCH(mw::StartupPath, path);
    std::vector<std::string> argv;
    for (const QString& argument : arguments) {
        argv.push_back(argument.toStdString());
    }
    static const std::set<std::string> files{"Song.MWC", "song.mwc", "my song.mwc", "notes.txt"};
    const mw::CommandLineOptions options =
        mw::ParseCommandLine(argv, [](const std::string& file) { return files.contains(file); });
    QVERIFY(options == expected);
    QCOMPARE(mw::StartupPathOf(options), path);
}

QTEST_APPLESS_MAIN(CommandLine)
#include "CommandLine.moc"
