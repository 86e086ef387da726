// The main window's rules (snapping, menu enabling, automatic start, the one-time questions) and the
// window itself on in-memory devices: Start, Stop, Start & Hide, tray guards, the kind buttons.
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "app/shell/main_window.hpp"
#include "app/shell/window_policy.hpp"
#include "audio/memory_output.hpp"
#include "display/mouse_status_view.hpp"
#include "editor/new_module_menu.hpp"
#include "editor/patch_view.hpp"
#include "editor/pill_widgets.hpp"
#include "layout_check.hpp"
#include "patch/patch.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

using namespace mw;

Q_DECLARE_METATYPE(mw::ScreenArea)
Q_DECLARE_METATYPE(mw::MenuState)
Q_DECLARE_METATYPE(mw::MenuEnabling)

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void snapping_data();
    void snapping();
    void menuEnabling_data();
    void menuEnabling();
    void autoStart();
    void questionsAskedOnce();
    void newModuleGroups();
    void fileFilter();
    void window();
};

void MainWindowTest::snapping_data() {
    QTest::addColumn<ScreenArea>("window");
    QTest::addColumn<ScreenArea>("expected");
    // The work area is 0,0 1600 x 960; the window 400 x 300.
    QTest::newRow("19 px from the left edge snaps")
        << ScreenArea{19, 200, 400, 300} << ScreenArea{0, 200, 400, 300};
    QTest::newRow("20 px stays") << ScreenArea{20, 200, 400, 300} << ScreenArea{20, 200, 400, 300};
    QTest::newRow("19 px beyond the left edge snaps")
        << ScreenArea{-19, 200, 400, 300} << ScreenArea{0, 200, 400, 300};
    QTest::newRow("right edge 19 px short")
        << ScreenArea{1181, 200, 400, 300} << ScreenArea{1200, 200, 400, 300};
    QTest::newRow("right edge 20 px short")
        << ScreenArea{1180, 200, 400, 300} << ScreenArea{1180, 200, 400, 300};
    QTest::newRow("top and bottom") << ScreenArea{500, 5, 400, 300} << ScreenArea{500, 0, 400, 300};
    QTest::newRow("bottom 19 px short") << ScreenArea{500, 641, 400, 300} << ScreenArea{500, 660, 400, 300};
    QTest::newRow("as wide as the area: left wins")
        << ScreenArea{10, 100, 1590, 300} << ScreenArea{0, 100, 1590, 300};
}

void MainWindowTest::snapping() {
    QFETCH(ScreenArea, window);
    QFETCH(ScreenArea, expected);
    QCOMPARE(SnapToEdges(window, ScreenArea{0, 0, 1600, 960}), expected);
}

void MainWindowTest::menuEnabling_data() {
    QTest::addColumn<MenuState>("state");
    QTest::addColumn<MenuEnabling>("expected");
    //                                       about  help  prefs  toggle  min   start  stop  text
    QTest::newRow("idle") << MenuState{} << MenuEnabling{true, true, true, true, true, true, false, 35};
    QTest::newRow("running, about open") << MenuState{true, false, false, false, false, false, true}
                                         << MenuEnabling{false, true, true, false, true, false, true, 35};
    QTest::newRow("help open") << MenuState{false, true}
                               << MenuEnabling{true, false, true, false, true, true, false, 35};
    QTest::newRow("preferences open")
        << MenuState{false, false, true} << MenuEnabling{true, true, false, false, true, true, false, 35};
    QTest::newRow("maximised") << MenuState{false, false, false, true}
                               << MenuEnabling{true, true, true, true, true, true, false, 31};
    QTest::newRow("minimised from normal") << MenuState{false, false, false, false, true, false}
                                           << MenuEnabling{true, true, true, true, false, true, false, 31};
    QTest::newRow("minimised from maximised") << MenuState{false, false, false, false, true, true}
                                              << MenuEnabling{true, true, true, true, false, true, false, 35};
}

void MainWindowTest::menuEnabling() {
    QFETCH(MenuState, state);
    QFETCH(MenuEnabling, expected);
    QCOMPARE(MenuEnablingOf(state), expected);
}

void MainWindowTest::autoStart() {
    QCOMPARE(AutoStartOf(false, false, false), (AutoStart{false, false}));
    QCOMPARE(AutoStartOf(true, true, false), (AutoStart{true, false})); // both given: only Start, visible
    QCOMPARE(AutoStartOf(false, true, false), (AutoStart{false, true}));
    QCOMPARE(AutoStartOf(false, true, true), (AutoStart{false, true}));
    QCOMPARE(AutoStartOf(false, false, true), (AutoStart{true, false}));
}

void MainWindowTest::questionsAskedOnce() {
    ProgramSettings s;
    int asked = 0;
    auto yes = [&asked] { return ++asked, true; };
    auto no = [&asked] { return ++asked, false; };

    WindowPolicy policy(s, true);
    QCOMPARE(policy.OnMinimise(yes), (WindowPolicy::Minimise{true, true}));
    QCOMPARE(asked, 1);
    QVERIFY(s.TrayQuestionAsked && s.ShowTrayIcon && s.HideTaskbarButtonWhenMinimized &&
            s.TrayIconOnlyWhenMinimized);
    s.HideTaskbarButtonWhenMinimized = 0;
    QCOMPARE(policy.OnMinimise(no), (WindowPolicy::Minimise{true, false})); // the stored answer, no question
    QCOMPARE(asked, 1);
    QVERIFY(!policy.KeepTrayIcon()); // only when minimised

    // Exit closes without the question even when "X" minimises; "X" asks once.
    QCOMPARE(policy.OnClose(true, no), WindowPolicy::CloseAction::Close);
    QCOMPARE(asked, 1);
    QCOMPARE(policy.OnClose(false, no), WindowPolicy::CloseAction::Minimise);
    QCOMPARE(asked, 2);
    QVERIFY(s.MinimizeOnClose);
    QCOMPARE(policy.OnClose(false, yes), WindowPolicy::CloseAction::Minimise);
    QCOMPARE(policy.OnClose(true, yes), WindowPolicy::CloseAction::Close);
    QCOMPARE(asked, 2);

    QVERIFY(policy.OnEscape(yes));
    QVERIFY(policy.OnEscape(no)); // answered once
    QCOMPARE(asked, 3);

    // Without a notification area the tray question is not asked and the task-bar button stays.
    ProgramSettings plain;
    WindowPolicy noTray(plain, false);
    QCOMPARE(noTray.OnMinimise(yes), (WindowPolicy::Minimise{false, false}));
    QCOMPARE(asked, 3);
    QVERIFY(!plain.TrayQuestionAsked);
}

void MainWindowTest::newModuleGroups() {
    // Every kind once, each in the group its table names, and one kind without a button.
    std::array<int, kKindCount> seen{};
    size_t total = 0;
    for (const NewModuleGroup& group : NewModuleGroups()) {
        for (const ModuleKind kind : group.kinds) {
            ++seen[size_t(Index(kind))];
            QCOMPARE(Info(kind).menuGroup, group.title);
            ++total;
        }
    }
    QCOMPARE(total, size_t(kKindCount));
    for (const int n : seen) QCOMPARE(n, 1);
}

void MainWindowTest::fileFilter() {
    QCOMPARE(QtFileFilter("Murmelwerk Configurations (*.mwc)|*.mwc;*.mwc_|All Files (*.*)|*.*||"),
             QString("Murmelwerk Configurations (*.mwc *.mwc_);;All Files (*)"));
    QCOMPARE(QtFileFilter("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"),
             QString("Text Files (*.txt);;All Files (*)"));
    QCOMPARE(QtFileFilter(""), QString());
}

void MainWindowTest::window() {
    MemoryOutputBackend output;
    MemoryMidiBackend midi;
    MemoryInputBackend input;
    ScriptedPointer pointer({}, ScreenRect{0, 0, 1600, 1000});
    LanguageStrings strings;
    GeneralStrings general;
    ApplyLanguage(strings, kLanguageEnglish, {});
    ProgramSettings settings;
    settings.FirstStartDone = 1;
    int saves = 0;
    AppContext context{settings, strings, general, [&saves] { ++saves; }};

    MainWindow window(context, {output, midi, input, pointer}, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* start = window.findChild<QPushButton*>("start");
    auto* stop = window.findChild<QPushButton*>("stop");
    auto* startHide = window.findChild<QPushButton*>("startHide");
    QVERIFY(start && stop && startHide);
    QCOMPARE(startHide->text(), QString("Start && Hide"));

    // 34 kind buttons: every kind but the one without a button.
    int kindButtons = 0;
    for (const auto& kind : AllKinds()) {
        if (window.findChild<QPushButton*>(QString::fromLatin1(kind.keyword))) ++kindButtons;
    }
    QCOMPARE(kindButtons, 34);
    QVERIFY(!window.findChild<QPushButton*>(QString::fromLatin1(Info(kKindWithoutButton).keyword)));
    window.findChild<QPushButton*>("Module_AudioOsc")->click();
    QCOMPARE(window.GetSession().GetPatch().TotalCount(), size_t(1));

    start->click();
    QVERIFY(!start->isEnabled() && stop->isEnabled());
    QCOMPARE(startHide->text(), QString("Hide"));
    QVERIFY(window.CurrentMenuState().running);

    // Start & Hide while running only hides.
    startHide->click();
    QVERIFY(window.isHidden());
    QVERIFY(stop->isEnabled());

    // Tray clicks do nothing while a guard is set; otherwise they bring the hidden window back.
    window.WindowGuards().aboutDialog = true;
    window.TrayClicked();
    QVERIFY(window.isHidden());
    window.WindowGuards().aboutDialog = false;
    window.TrayClicked();
    QVERIFY(window.isVisible());

    // Nothing clipped in any of the five languages (the captions follow a settings change).
    for (const uint16_t code :
         {kLanguageEnglish, kLanguageDeutsch, kLanguageFrancais, kLanguageEspanol, kLanguageJapanese}) {
        settings.LanguageCode = code;
        ApplyLanguage(settings, strings);
        window.SettingsChanged(1);
        QVERIFY2(ClippedTexts(window).isEmpty(),
                 qPrintable(QString::number(code) + ": " + ClippedTexts(window).join(", ")));
    }
    settings.LanguageCode = kLanguageEnglish;
    ApplyLanguage(settings, strings);
    window.SettingsChanged(1);

    QMenu menu;
    window.FillMenu(menu, true);
    QStringList enabled;
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled()) enabled << action->text();
    }
    QCOMPARE(enabled, (QStringList{"Get New Module", "Configuration", "About", "Help", "Preferences", "Stop",
                                   "Maximize", "Minimize", "Play Surface (Full Screen)", "Exit"}));

    // The play surface: full screen with a blank cursor, its texts unclipped in the five languages; the
    // status area's view stands still meanwhile and goes on from the surface's state.
    window.TogglePlaySurface();
    auto* surface = window.findChild<QWidget*>("playSurface");
    QVERIFY(surface && surface->isVisible() && surface->isFullScreen());
    QCOMPARE(surface->cursor().shape(), Qt::BlankCursor);
    const auto views = window.findChildren<display::MouseStatusView*>();
    QCOMPARE(views.size(), 2);
    display::MouseStatusView* surfaceView = surface->findChild<display::MouseStatusView*>();
    display::MouseStatusView* mainView = views[0] == surfaceView ? views[1] : views[0];
    QVERIFY(!mainView->isVisible() && surfaceView->isVisible());
    for (const uint16_t code : {kLanguageEnglish, kLanguageDeutsch, kLanguageFrancais, kLanguageEspanol,
                                kLanguageJapanese, kLanguageEnglish}) {
        settings.LanguageCode = code;
        ApplyLanguage(settings, strings);
        window.SettingsChanged(1);
        QVERIFY2(ClippedTexts(*surface).isEmpty(),
                 qPrintable(QString::number(code) + ": " + ClippedTexts(*surface).join(", ")));
    }
    const display::ViewState moved{1.5, -2.0, 0.25};
    surfaceView->SetState(moved);
    window.TogglePlaySurface();
    QVERIFY(surface->isHidden() && mainView->isVisible());
    QCOMPARE(mainView->State(), moved);

    // The added module marks the patch changed; once saved, Exit asks nothing.
    QVERIFY(window.View().Modified());
    QCOMPARE(window.windowTitle(), QString("*Murmelwerk"));
    window.View().MarkSaved();
    QCOMPARE(window.windowTitle(), QString("Murmelwerk"));

    // Exit: the sound stops, the placement is saved, and the closing ends once the engine has ended.
    QSignalSpy finished(&window, &MainWindow::closingFinished);
    window.Exit();
    QVERIFY(finished.wait(2000));
    QVERIFY(!window.GetSession().EngineRunning());
    QCOMPARE(saves, 1);
    QVERIFY(settings.WindowRect.right > settings.WindowRect.left);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindow.moc"
