#pragma once
// The main window: the program's one top-level window. Frameless and rounded, with its own minimise,
// maximise and close buttons and a drag anywhere with edge snapping; Start, Stop and Start & Hide,
// the latency and control-rate sliders, the status display, the module-kind buttons and the entries to
// the dialogs; the tray icon and the minimise, close and Esc policies. It owns the playing session
// (engine, device managers, mouse sampler) for the life of the window.

#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/app_context.hpp"
#include "app/shell/window_policy.hpp"
#include "model/module_kind.hpp"
#include "session/session.hpp"

class QLabel;
class QMenu;
class QSlider;

namespace mw {

namespace display {
class MouseStatusView;
}

class PatchView;
class PillButton;
class PlaySurface;
class StatusDisplay;

/// The texts the mouse sampler formats, copied for its thread: the language table itself belongs to
/// the user-interface thread and may be replaced while the sampler runs.
class SamplerTexts {
public:
    /// Copies the sampler's texts from the table (user-interface thread).
    void Refresh(const LanguageStrings& strings);
    /// The lookup handed to the sampler (any thread).
    TextLookup Lookup();

private:
    std::mutex mutex_;
    std::vector<std::pair<int, std::string>> texts_;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    /// The start-up options of the command line.
    struct StartOptions {
        bool autoStartOnly = false;
        bool autoStartAndHide = false;
        std::optional<bool> wrapMouse;   ///< for this run only; empty: the saved setting
        std::optional<bool> makeNoSound; ///< for this run only
        bool waylandSession = false;     ///< show the note that the measures follow X11 windows only
        std::string pointerProblem;      ///< why the cursor cannot be read (empty when it can)
    };

    /// The dialog size of the window in dialog units.
    static constexpr int kWidthDu = 683;
    static constexpr int kHeightDu = 390;

    MainWindow(AppContext& context, SessionDevices devices, StartOptions options);
    ~MainWindow() override;

    Session& GetSession() { return *session_; }

    // ---- the commands of buttons and menus ----
    void Start();
    void Stop();
    void StartAndHide();
    void Minimise();
    void Restore();
    void ToggleMaximise();
    /// F11: opens the play surface over the window's screen, or leaves it.
    void TogglePlaySurface();
    /// Leaves the play surface if it is open.
    void LeavePlaySurface();
    /// The Exit command ("X" and the menus): closes even when "X" would only minimise.
    void Exit();
    void ShowAbout();
    void ShowHelp();
    void ShowPreferences();
    /// Adds a module of a kind, centred on the module locator (or on `at`, screen coordinates).
    void AddModule(ModuleKind kind, std::optional<QPoint> at = std::nullopt);
    void LoadBuiltIn(int resource);
    /// "Load" and "Save As..." of the Configuration menu: a file dialog, then the patch file.
    void LoadConfigurationCommand();
    /// True when the patch was saved.
    bool SaveConfigurationCommand();
    /// Loads a patch file (after the question about unsaved changes); false when it was not loaded.
    bool LoadPatchFile(const QString& path);
    /// The question before the patch is replaced or the program ends with unsaved changes: true when
    /// the caller may go on (saved, or the changes given up).
    bool AskToKeepChanges();
    PatchView& View() { return *view_; }
    QStringList RecentPatches() const;
    /// A second start of the program asks this one to show itself.
    void BringBack();

    /// The preferences changed (`WM_SETTINGSCHANGED`): tray state, captions, colours; repaint when
    /// `repaint` is 1.
    void SettingsChanged(int repaint);

    // ---- state, for the menus and tests ----
    bool Running() const;
    bool MinimisedState() const { return minimisedState_; }
    MenuState CurrentMenuState() const;
    Guards& WindowGuards() { return guards_; }
    /// Builds the shared menu: with the "Get New Module" submenu for a right click in the window.
    void FillMenu(QMenu& menu, bool withNewModule);
    /// A tray click (left button release or double click).
    void TrayClicked();

Q_SIGNALS:
    /// The closing sequence has ended (the engine thread has ended): the process may end.
    void closingFinished();
    /// The window moved by `delta` pixels (the module windows follow it).
    void moved(QPoint delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LayOut();
    void Retranslate();
    void ApplyColours();
    void ApplyShape();
    QRect Du(int x, int y, int width, int height) const;
    PillButton* Button(const char* name, int x, int y, int width, int height);
    QSlider* Slider(const char* name, int minimum, int maximum, int x, int y, int width);
    QLabel* Label(const char* name, int x, int y, int width, int height);

    void OnSliderMoved();
    void RestoreCaptions();
    void AfterStart();       // timer 451
    void ShowWelcome();      // timer 601
    void AfterRestore();     // timer 1699
    void CheckEngineEnded(); // timer 613
    void PollSession();      // the 10 ms poll
    void PollDeviceState();  // underruns, device messages
    void RunClosing();
    void MinimiseWithPolicy(bool alreadyMinimised);
    void RefreshTrayIcon();
    void EnsureTrayIcon();
    void ShowMenuAt(const QPoint& globalPosition, bool withNewModule);
    void ShowConfigurationMenu();
    void ShowNewModuleMenu();
    void FillConfigurationMenu(QMenu& menu);
    QRect SnapArea() const;
    void RememberRectangle();
    void StoreSliderSettings();
    void ShowModified();
    void RememberRecent(const QString& path);
    TextLookup PatchTextLookup();

    AppContext& context_;
    StartOptions options_;
    WindowPolicy policy_;
    SamplerTexts samplerTexts_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<PatchView> view_; // the module windows; goes before the session

    // Controls (children; owned by the widget tree).
    PillButton* start_ = nullptr;
    PillButton* stop_ = nullptr;
    PillButton* startHide_ = nullptr;
    PillButton* startHideHelp_ = nullptr;
    PillButton* about_ = nullptr;
    PillButton* options_button_ = nullptr;
    PillButton* help_ = nullptr;
    PillButton* newModule_ = nullptr;
    PillButton* configuration_ = nullptr;
    PillButton* minimise_ = nullptr;
    PillButton* maximise_ = nullptr;
    PillButton* close_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* latencyCaption_ = nullptr;
    QLabel* currentLatencyLabel_ = nullptr;
    QLabel* currentLatency_ = nullptr;
    QLabel* underruns_ = nullptr;
    QLabel* controlRateCaption_ = nullptr;
    QSlider* outputLatency_ = nullptr;
    QSlider* inputLatency_ = nullptr;
    QSlider* controlRate_ = nullptr;
    QWidget* moduleLocator_ = nullptr;
    StatusDisplay* status_ = nullptr;
    display::MouseStatusView* statusView_ = nullptr;
    PlaySurface* surface_ = nullptr; // a child window, made when first opened
    std::vector<std::pair<ModuleKind, PillButton*>> kindButtons_;

    // Layout: each child's rectangle in dialog units, and which edge it keeps when the window grows.
    enum class Anchor { Centre, TopRight };
    struct Placement {
        QWidget* widget;
        QRect du;
        Anchor anchor;
    };
    std::vector<Placement> placements_;

    QPointer<QSystemTrayIcon> tray_;
    QTimer pollTimer_;
    QTimer captionTimer_; // 900
    QTimer deviceTimer_;
    QTimer closingTimer_; // 613
    Guards guards_;
    bool minimisedState_ = false;
    bool wasMaximized_ = false;
    bool exitRequested_ = false;
    bool closing_ = false;
    bool layoutCaptured_ = false;
    bool dragging_ = false;
    QPoint grabPoint_;
    QPoint lastDragCursor_;
    QPoint newModuleCursor_;
    QRect restoredRectangle_;
    uint64_t shownUnderruns_ = UINT64_MAX;
    std::string pendingDeviceMessage_;
    std::mutex deviceMessageMutex_;
    bool configurationMenuOpen_ = false;
    bool newModuleMenuOpen_ = false;
    unsigned long lastWheelTimestamp_ = 0;
    QPointF lastWheelPosition_;
};

/// The program's icon, drawn for it: the window icon and the tray icon.
QIcon ProgramIcon();

} // namespace mw
