#include "app/shell/main_window.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSlider>
#include <QStandardPaths>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

#include "app/settings/settings_file.hpp"
#include "app/shell/about_dialog.hpp"
#include "app/shell/autostart.hpp"
#include "app/shell/help_dialog.hpp"
#include "app/shell/play_surface.hpp"
#include "app/shell/preferences_dialog.hpp"
#include "app/shell/status_display.hpp"
#include "app/shell/welcome_dialog.hpp"
#include "display/mouse_status_view.hpp"
#include "display/visual_preferences_dialog.hpp"
#include "editor/colours.hpp"
#include "editor/dialog_units.hpp"
#include "editor/fonts.hpp"
#include "editor/new_module_menu.hpp"
#include "editor/patch_view.hpp"
#include "editor/pill_widgets.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "patch/patch_editor.hpp"
#include "sources/mouse_status.hpp"

namespace mw {

namespace {

// The strings of the window.
constexpr int kStringHide = 4;
constexpr int kStringStartAndHide = 5;
constexpr int kStringStartAndHideHelp = 6;
constexpr int kStringStartAndHidePlain = 7;
constexpr int kStringNewModule = 9;
constexpr int kStringAbout = 26;
constexpr int kStringHelp = 27;
constexpr int kStringPreferences = 28;
constexpr int kStringStart = 29;
constexpr int kStringStop = 30;
constexpr int kStringMinimise = 32;
constexpr int kStringExit = 33;
constexpr int kStringOptions = 52;
constexpr int kStringCurrentLatency = 92;
constexpr int kStringLatencyControl = 93;
constexpr int kStringConfiguration = 152;
constexpr int kStringLoad = 153;
constexpr int kStringSaveAs = 154;
constexpr int kStringConfigurationFilter = 155;
constexpr int kStringConfigurationHeader = 158;
constexpr int kStringClear = 161;
constexpr int kStringUnsavedQuestion = 730;
constexpr int kStringUnsavedCaption = 731;
constexpr int kStringRecent = 732;
constexpr int kStringUndo = 733;
constexpr int kStringRedo = 734;
constexpr int kStringPlaySurface = 735;
constexpr int kStringControlRate = 410;
constexpr int kStringTrayQuestion = 317;
constexpr int kStringTrayCaption = 318;
constexpr int kStringCloseQuestion = 321;
constexpr int kStringCloseCaption = 322;
constexpr int kStringEscQuestion = 323;
constexpr int kStringEscCaption = 324;
constexpr int kStringNoOutputDevice = 721;
constexpr int kStringUnderruns = 722;
constexpr int kStringWaylandNote = 720;
constexpr int kStringNoPointer = 723;

// The built-in patches the welcome dialog's example buttons load.
constexpr int kExampleMouse = 219;      // "Digital Modulation"
constexpr int kExampleMidi = 205;       // "Air Saw"
constexpr int kExampleMicrophone = 226; // "Simple Pitch and Echo"
constexpr int kExampleModulation = 213; // "Animalistic 1"
constexpr int kExampleSequence = 224;   // "ABCs Can Bump"

constexpr int kCornerEllipse = 50; // the window's corners: ellipses 50 x 50 pixels
constexpr int kDeviceStatePeriodMs = 250;

// Timer periods of the window (ms).
constexpr int kStartTimerMs = 10;        // 451
constexpr int kWelcomeTimerMs = 10;      // 601
constexpr int kLeaveTaskbarTimerMs = 10; // 420
constexpr int kCaptionTimerMs = 1000;    // 900
constexpr int kRestoreTimerMs = 10;      // 1699
constexpr int kClosingTimerMs = 10;      // 613

// The numbers the sampler formats (speed classes, speed, distance, milliseconds, hertz).
constexpr int kSamplerStrings[] = {mouse_text::kHalted,   mouse_text::kCrawling,        mouse_text::kWalking,
                                   mouse_text::kJogging,  mouse_text::kRunning,         mouse_text::kBlazing,
                                   mouse_text::kBurning,  mouse_text::kPixelsPerSecond, mouse_text::kHertz,
                                   mouse_text::kDistance, mouse_text::kMilliseconds};

ScreenArea AreaOf(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

// ---------------------------------------------------------------- sampler texts

void SamplerTexts::Refresh(const LanguageStrings& strings) {
    std::vector<std::pair<int, std::string>> texts;
    for (const int number : kSamplerStrings) texts.emplace_back(number, strings.Text(number));
    std::lock_guard lock(mutex_);
    texts_.swap(texts);
}

TextLookup SamplerTexts::Lookup() {
    return [this](int number, std::string_view english) {
        std::lock_guard lock(mutex_);
        for (const auto& [n, text] : texts_) {
            if (n == number) return text;
        }
        return std::string(english);
    };
}

// ---------------------------------------------------------------- construction

MainWindow::MainWindow(AppContext& context, SessionDevices devices, StartOptions options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), context_(context), options_(std::move(options)),
      policy_(context.settings, QSystemTrayIcon::isSystemTrayAvailable()),
      session_(std::make_unique<Session>(devices, SessionMode::Live)) {
    setObjectName("main");
    setWindowTitle(kProductName);
    setWindowIcon(ProgramIcon());
    setFont(DialogFont(context_.settings.LanguageCode));

    // The engine's shared values, from the preferences and this run's options.
    ProgramSettings& s = context_.settings;
    Engine& engine = session_->GetEngine();
    engine.outputLatencyMs = s.OutputLatencyMs;
    engine.inputLatencyMs = s.InputLatencyMs;
    engine.controlRate = s.ControlRate;
    engine.blockTime = s.BlockTime;
    engine.realTimePriority = s.RealTimePriority != 0;
    session_->Outputs().SetMuted(options_.makeNoSound.value_or(false)); // recordings keep the signal
    MouseSamplerControls& controls = session_->SamplerControls();
    controls.wrapMouse = options_.wrapMouse.value_or(s.WrapMouse != 0);
    controls.showStatusIndicators = s.ShowStatusIndicators != 0;

    // Device messages come from the engine thread: kept here until the window's timer shows them.
    session_->Outputs().SetMessageCallback([this](const std::string& text) {
        std::lock_guard lock(deviceMessageMutex_);
        pendingDeviceMessage_ = text;
    });

    BuildControls();
    resize(Du(0, 0, kWidthDu, kHeightDu).size());
    LayOut();
    Retranslate();
    ApplyColours();
    ApplyShape();

    // The wheel over any of the program's windows feeds the sampler's wheel measures.
    qApp->installEventFilter(this);

    connect(&pollTimer_, &QTimer::timeout, this, &MainWindow::PollSession);
    pollTimer_.start(Session::kPollPeriodMs);
    captionTimer_.setSingleShot(true);
    connect(&captionTimer_, &QTimer::timeout, this, &MainWindow::RestoreCaptions);
    connect(&deviceTimer_, &QTimer::timeout, this, &MainWindow::PollDeviceState);
    deviceTimer_.start(kDeviceStatePeriodMs);
    connect(&closingTimer_, &QTimer::timeout, this, &MainWindow::CheckEngineEnded);

    // The patch: its texts in the language of the windows, a window per module, the edit history.
    session_->GetPatch().SetTextLookup(PatchTextLookup());
    view_ = std::make_unique<PatchView>(*session_, context_.settings, context_.strings, this);
    connect(view_.get(), &PatchView::modifiedChanged, this, &MainWindow::ShowModified);
    connect(this, &MainWindow::moved, view_.get(), &PatchView::Follow);
    auto* undo = new QShortcut(QKeySequence::Undo, this, [this] { view_->History().undo(); });
    auto* redo = new QShortcut(QKeySequence::Redo, this, [this] { view_->History().redo(); });
    auto* redoAlso = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this,
                                   [this] { view_->History().redo(); });
    auto* playSurface = new QShortcut(QKeySequence(Qt::Key_F11), this, [this] { TogglePlaySurface(); });
    for (QShortcut* shortcut : {undo, redo, redoAlso, playSurface})
        shortcut->setContext(Qt::ApplicationShortcut);
    setAcceptDrops(true);

    // The mouse sampler runs from now on, whether the sound runs or not.
    samplerTexts_.Refresh(context_.strings);
    session_->StartSampler(&status_->View(), samplerTexts_.Lookup());

    if (options_.waylandSession) status_->SetNote(context_.Text(kStringWaylandNote));
    if (!options_.pointerProblem.empty()) {
        QString text = context_.Text(kStringNoPointer);
        text.replace("%s", QString::fromStdString(options_.pointerProblem));
        status_->SetNote(text);
    }

    // Automatic start.
    const AutoStart autoStart =
        AutoStartOf(options_.autoStartOnly, options_.autoStartAndHide, s.AutoStartSound);
    if (autoStart.start) Start();
    if (autoStart.startAndHide) {
        Start();
        QTimer::singleShot(0, this, [this] { hide(); }); // 856
    }
    if (policy_.KeepTrayIcon()) EnsureTrayIcon();
    QTimer::singleShot(kStartTimerMs, this, &MainWindow::AfterStart);
    if (!s.FirstStartDone) {
        s.FirstStartDone = 1;
        QTimer::singleShot(kWelcomeTimerMs, this, &MainWindow::ShowWelcome);
    }
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    delete surface_; // its view reads the engine's measures
    surface_ = nullptr;
    session_->StopEngine();
    session_->Outputs().SetMessageCallback({});
    view_.reset();    // the module windows go before their modules
    session_.reset(); // the sampler ends before the status display it reports to goes
    if (tray_) tray_->hide();
}

QRect MainWindow::Du(int x, int y, int width, int height) const {
    return DialogUnitsToPixels(QRect(x, y, width, height), BaseUnitsOf(font()));
}

PillButton* MainWindow::Button(const char* name, int x, int y, int width, int height) {
    auto* button = new PillButton(QString(), context_.settings.ColourSettings, this);
    button->setObjectName(name);
    placements_.push_back({button, QRect(x, y, width, height), Anchor::Centre});
    return button;
}

QSlider* MainWindow::Slider(const char* name, int minimum, int maximum, int x, int y, int width) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setFocusPolicy(Qt::StrongFocus);
    placements_.push_back({slider, QRect(x, y, width, 12), Anchor::Centre});
    return slider;
}

QLabel* MainWindow::Label(const char* name, int x, int y, int width, int height) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    placements_.push_back({label, QRect(x, y, width, height), Anchor::Centre});
    return label;
}

void MainWindow::BuildControls() {
    const ProgramSettings& s = context_.settings;

    // The title area with the window's own buttons.
    title_ = Label("title", 14, 5, 200, 11);
    title_->setText(kProductName);
    QFont titleFont = font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
    minimise_ = Button("minimise", 591, 5, 24, 12);
    maximise_ = Button("maximise", 617, 5, 24, 12);
    close_ = Button("close", 643, 5, 24, 12);
    for (PillButton* b : {minimise_, maximise_, close_}) {
        placements_[size_t(std::find_if(placements_.begin(), placements_.end(),
                                        [b](const Placement& p) { return p.widget == b; }) -
                           placements_.begin())]
            .anchor = Anchor::TopRight;
        b->setFocusPolicy(Qt::NoFocus);
    }
    minimise_->setText("--");
    maximise_->setText(QString::fromUtf8("\u25A1"));
    close_->setText("X");
    connect(minimise_, &QPushButton::clicked, this, &MainWindow::Minimise);
    connect(maximise_, &QPushButton::clicked, this, &MainWindow::ToggleMaximise);
    connect(close_, &QPushButton::clicked, this, &MainWindow::Exit);

    // Sound and dialogs.
    start_ = Button("start", 14, 22, 64, 16);
    stop_ = Button("stop", 82, 22, 64, 16);
    stop_->setEnabled(false);
    startHide_ = Button("startHide", 150, 22, 88, 16);
    startHideHelp_ = Button("startHideHelp", 242, 22, 24, 16);
    startHideHelp_->setText("?");
    newModule_ = Button("newModule", 272, 22, 100, 16);
    configuration_ = Button("configuration", 376, 22, 100, 16);
    about_ = Button("about", 487, 22, 58, 16);
    options_button_ = Button("options", 549, 22, 58, 16);
    help_ = Button("help", 611, 22, 58, 16);
    connect(start_, &QPushButton::clicked, this, &MainWindow::Start);
    connect(stop_, &QPushButton::clicked, this, &MainWindow::Stop);
    connect(startHide_, &QPushButton::clicked, this, &MainWindow::StartAndHide);
    connect(startHideHelp_, &QPushButton::clicked, this,
            [this] { Inform(this, context_, kStringStartAndHideHelp, kStringStartAndHidePlain); });
    connect(newModule_, &QPushButton::clicked, this, &MainWindow::ShowNewModuleMenu);
    connect(configuration_, &QPushButton::clicked, this, &MainWindow::ShowConfigurationMenu);
    connect(about_, &QPushButton::clicked, this, &MainWindow::ShowAbout);
    connect(options_button_, &QPushButton::clicked, this, &MainWindow::ShowPreferences);
    connect(help_, &QPushButton::clicked, this, &MainWindow::ShowHelp);

    // Latency and control rate.
    latencyCaption_ = Label("latencyCaption", 14, 44, 220, 10);
    outputLatency_ = Slider("outputLatency", 0, 512, 14, 55, 220);
    inputLatency_ = Slider("inputLatency", 2, 512, 14, 69, 220);
    currentLatencyLabel_ = Label("currentLatencyLabel", 244, 55, 172, 10);
    currentLatency_ = Label("currentLatency", 418, 55, 38, 10);
    currentLatency_->setText("0");
    currentLatency_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    underruns_ = Label("underruns", 244, 69, 212, 10);
    controlRateCaption_ = Label("controlRateCaption", 466, 44, 203, 10);
    controlRate_ = Slider("controlRate", 0, int(ControlRateTable().size()) - 1, 466, 55, 203);
    outputLatency_->setValue(std::clamp<int>(s.OutputLatencyMs, 0, 512));
    inputLatency_->setValue(std::clamp<int>(s.InputLatencyMs, 2, 512));
    controlRate_->setValue(ControlRateSliderPosition(s.ControlRate));
    for (QSlider* slider : {outputLatency_, inputLatency_, controlRate_}) {
        connect(slider, &QSlider::valueChanged, this, &MainWindow::OnSliderMoved);
    }
    OnSliderMoved();
    session_->SamplerControls().slidersPresent = true;

    // The module-kind buttons, in the order of the "Get New Module" menu, five to a row.
    int cell = 0;
    for (const NewModuleGroup& group : NewModuleGroups()) {
        for (const ModuleKind kind : group.kinds) {
            if (kind == kKindWithoutButton) continue;
            const int column = cell % 5, row = cell / 5;
            PillButton* button = Button("", 14 + column * 131, 88 + row * 12, 127, 11);
            button->setObjectName(QString::fromLatin1(Info(kind).keyword));
            // Small buttons: the pill font at the dialog font's size, smaller where a label is long.
            QFont small = button->font();
            small.setPointSize(8);
            button->setFont(small);
            connect(button, &QPushButton::clicked, this, [this, kind] { AddModule(kind); });
            kindButtons_.emplace_back(kind, button);
            ++cell;
        }
    }

    // Where new module windows appear: a hidden placeholder.
    moduleLocator_ = new QWidget(this);
    moduleLocator_->setObjectName("moduleLocator");
    moduleLocator_->setWindowTitle("Module Locator");
    moduleLocator_->hide();
    placements_.push_back({moduleLocator_, QRect(291, 114, 100, 16), Anchor::Centre});

    // The status display.
    status_ = new StatusDisplay(context_, session_->SamplerControls(), this);
    placements_.push_back({status_, QRect(12, 180, 659, 196), Anchor::Centre});
    // The 3-D view behind the indicators (dialog template 189's size). Its failure messages come while
    // the window opens and do not wait for an answer.
    auto* view = new display::MouseStatusView(session_->GetEngine().rawMeasures, context_.settings, this);
    view->reportError = [this](int textNumber) {
        auto* box = new QMessageBox(QMessageBox::Critical, QString::fromLatin1(kProductName),
                                    context_.Text(textNumber), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    status_->SetBackdrop(view, QSize(PlaySurface::kViewWidth, PlaySurface::kViewHeight));
    statusView_ = view;
    // The picture is drawn in step with the indicators in front of it: one repaint of the area for both.
    view->SetPaced(true);
    connect(status_, &StatusDisplay::indicatorTick, view, &display::MouseStatusView::DrawIfMoved);
    connect(status_, &StatusDisplay::latencyCaption, this,
            [this](const QString& t) { latencyCaption_->setText(t); });
    connect(status_, &StatusDisplay::controlRateCaption, this,
            [this](const QString& t) { controlRateCaption_->setText(t); });
    connect(status_, &StatusDisplay::captionRestoreTimer, this,
            [this] { captionTimer_.start(kCaptionTimerMs); });
    connect(status_, &StatusDisplay::currentLatency, this,
            [this](const QString& t) { currentLatency_->setText(t); });
}

void MainWindow::LayOut() {
    // The layout is designed for the dialog size; a larger window (maximised) keeps the controls
    // centred, with the title-area buttons at the top right.
    const QRect designed = Du(0, 0, kWidthDu, kHeightDu);
    const int dx = std::max(0, (width() - designed.width()) / 2);
    const int dy = std::max(0, (height() - designed.height()) / 2);
    const int right = std::max(0, width() - designed.width());
    for (const Placement& p : placements_) {
        QRect r = Du(p.du.x(), p.du.y(), p.du.width(), p.du.height());
        r.translate(p.anchor == Anchor::TopRight ? QPoint(right, 0) : QPoint(dx, dy));
        p.widget->setGeometry(r);
    }
    status_->SetNeedleSize(width() / 10);
    status_->Relayout();
}

void MainWindow::Retranslate() {
    const AppContext& c = context_;
    start_->setText(c.Text(kStringStart));
    stop_->setText(c.Text(kStringStop));
    startHide_->setText(c.Text(Running() ? kStringHide : kStringStartAndHide));
    about_->setText(c.Text(kStringAbout));
    options_button_->setText(c.Text(kStringOptions));
    help_->setText(c.Text(kStringHelp));
    newModule_->setText(c.Text(kStringNewModule));
    configuration_->setText(c.Text(kStringConfiguration));
    currentLatencyLabel_->setText(c.Text(kStringCurrentLatency));
    RestoreCaptions();
    for (auto& [kind, button] : kindButtons_) {
        button->setText(c.Text(Info(kind).menuLabel));
        button->setToolTip(button->text());
    }
    shownUnderruns_ = UINT64_MAX; // rewritten in the new language at the next check
    PollDeviceState();
    status_->Retranslate();
    samplerTexts_.Refresh(context_.strings);
}

void MainWindow::RestoreCaptions() {
    latencyCaption_->setText(context_.Text(kStringLatencyControl));
    controlRateCaption_->setText(context_.Text(kStringControlRate));
}

void MainWindow::ApplyColours() {
    const ProgramSettings& s = context_.settings;
    ApplyDialogColours(*this, s.ColourSettings);
    // The status values: white on dark green unless plain colours are asked for.
    for (QLabel* label : {currentLatency_, underruns_}) {
        QPalette palette = this->palette();
        if (!s.PlainStatusColours) {
            palette.setColor(QPalette::Window, QColor(0x00, 0x50, 0x00));
            palette.setColor(QPalette::WindowText, Qt::white);
        }
        label->setPalette(palette);
        label->setAutoFillBackground(!s.PlainStatusColours);
    }
    status_->ApplyColours();
    update();
}

void MainWindow::ApplyShape() {
    if (isMaximized()) {
        clearMask();
    } else {
        setMask(RoundedRegion(rect(), kCornerEllipse));
    }
}

// ---------------------------------------------------------------- commands

bool MainWindow::Running() const {
    return session_ && session_->EngineRunning() && !session_->GetEngine().stopFlag;
}

void MainWindow::Start() {
    if (stop_->isEnabled()) return;
    session_->StartEngine();
    start_->setEnabled(false);
    stop_->setEnabled(true);
    startHide_->setText(context_.Text(kStringHide));
}

void MainWindow::Stop() {
    session_->GetEngine().stopFlag = true; // the engine threads end by themselves
    start_->setEnabled(true);
    stop_->setEnabled(false);
    startHide_->setText(context_.Text(kStringStartAndHide));
}

void MainWindow::StartAndHide() {
    if (!stop_->isEnabled()) Start();
    LeavePlaySurface();
    hide();
}

void MainWindow::Minimise() {
    if (minimisedState_) return;
    MinimiseWithPolicy(false);
}

void MainWindow::MinimiseWithPolicy(bool alreadyMinimised) {
    LeavePlaySurface();
    const WindowPolicy::Minimise m = policy_.OnMinimise(
        [this] { return AskYesNo(this, context_, kStringTrayQuestion, kStringTrayCaption); });
    minimisedState_ = true;
    if (m.showTrayIcon) {
        EnsureTrayIcon();
        wasMaximized_ = isMaximized();
    }
    if (m.leaveTaskbar)
        QTimer::singleShot(kLeaveTaskbarTimerMs, this, [this] {
            if (minimisedState_) hide();
        });
    if (!alreadyMinimised) showMinimized();
}

void MainWindow::Restore() {
    minimisedState_ = false;
    RefreshTrayIcon();
    if (wasMaximized_) {
        showMaximized();
    } else {
        showNormal();
    }
    raise();
    activateWindow();
    RememberRectangle();
    QTimer::singleShot(kRestoreTimerMs, this, &MainWindow::AfterRestore);
}

void MainWindow::ToggleMaximise() {
    if (isMaximized()) {
        wasMaximized_ = false;
        showNormal();
    } else if (minimisedState_ || isMinimized()) {
        Restore();
        return;
    } else {
        RememberRectangle();
        showMaximized();
    }
    QTimer::singleShot(kRestoreTimerMs, this, &MainWindow::AfterRestore);
}

void MainWindow::Exit() {
    exitRequested_ = true;
    close();
}

void MainWindow::TogglePlaySurface() {
    if (surface_ && surface_->IsOpen()) {
        LeavePlaySurface();
        return;
    }
    if (closing_ || minimisedState_ || isMinimized() || !isVisible()) return;
    if (!surface_) {
        surface_ = new PlaySurface(context_, *status_, *statusView_, session_->GetEngine().rawMeasures, this);
        connect(surface_, &PlaySurface::left, this, [this] {
            if (!minimisedState_ && isVisible()) activateWindow();
        });
    }
    surface_->Open(screen() ? screen() : QGuiApplication::primaryScreen());
}

void MainWindow::LeavePlaySurface() {
    if (surface_) surface_->Leave();
}

void MainWindow::BringBack() {
    LeavePlaySurface();
    if (minimisedState_ || isMinimized()) {
        Restore();
    } else {
        show();
        raise();
        activateWindow();
    }
}

void MainWindow::ShowAbout() {
    if (guards_.aboutDialog) return;
    guards_.aboutDialog = true;
    AboutDialog dialog(this, context_);
    dialog.exec();
    guards_.aboutDialog = false;
}

void MainWindow::ShowHelp() {
    if (guards_.helpDialog) return;
    guards_.helpDialog = true;
    HelpDialog dialog(this, context_);
    dialog.exec();
    guards_.helpDialog = false;
}

void MainWindow::ShowPreferences() {
    if (guards_.preferencesDialog) return;
    guards_.preferencesDialog = true;
    PreferencesDialog::Hooks hooks;
    hooks.settingsChanged = [this](int repaint) { SettingsChanged(repaint); };
    hooks.startupShortcutExists = [] { return StartupShortcutExists(); };
    hooks.setStartupShortcut = [](bool on) { return SetStartupShortcut(on, ExecutablePath()); };
    hooks.openVisualPreferences = [this] {
        VisualPreferencesDialog visual(
            this, context_.settings, context_.strings,
            {[this](int repaint) { SettingsChanged(repaint); }, context_.saveSettings});
        visual.exec();
    };
    PreferencesDialog dialog(this, context_, hooks);
    dialog.exec();
    guards_.preferencesDialog = false;
}

namespace {
void ShowConfigMessage(QWidget* parent, const AppContext& context, ConfigStatus status);
} // namespace

void MainWindow::AddModule(ModuleKind kind, std::optional<QPoint> at) {
    QPoint centre;
    if (at) {
        centre = *at;
    } else {
        const QRect r(moduleLocator_->mapToGlobal(QPoint(0, 0)), moduleLocator_->size());
        centre = QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
    }
    view_->AddModule(kind, centre);
}

void MainWindow::LoadBuiltIn(int resource) {
    if (!AskToKeepChanges()) return;
    view_->LoadBuiltIn(resource);
}

bool MainWindow::AskToKeepChanges() {
    if (!view_->Modified()) return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, context_.Text(kStringUnsavedCaption), context_.Text(kStringUnsavedQuestion),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Discard) return true;
    return SaveConfigurationCommand();
}

bool MainWindow::LoadPatchFile(const QString& path) {
    if (!AskToKeepChanges()) return false;
    const ConfigStatus status = view_->LoadFile(path.toStdString());
    if (status == ConfigStatus::Ok) {
        ProgramSettings& s = context_.settings;
        s.ConfigurationPath = QFileInfo(path).absoluteFilePath().toStdString();
        s.ConfigurationFolder = QFileInfo(path).absolutePath().toStdString();
        RememberRecent(QFileInfo(path).absoluteFilePath());
    }
    ShowConfigMessage(this, context_, status);
    return status == ConfigStatus::Ok;
}

TextLookup MainWindow::PatchTextLookup() {
    return [this](int number, std::string_view english) {
        const std::string& text = context_.strings.Text(number);
        return text.empty() ? std::string(english) : text;
    };
}

// The recently used patch files, newest first, kept beside the preferences.
namespace {
constexpr int kRecentCount = 8;
QString RecentListPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/murmelwerk/recent.ini";
}
} // namespace

QStringList MainWindow::RecentPatches() const {
    QSettings recent(RecentListPath(), QSettings::IniFormat);
    QStringList list = recent.value("Patches").toStringList();
    list.removeIf([](const QString& path) { return !QFileInfo::exists(path); });
    return list.mid(0, kRecentCount);
}

void MainWindow::RememberRecent(const QString& path) {
    QSettings recent(RecentListPath(), QSettings::IniFormat);
    QStringList list = recent.value("Patches").toStringList();
    list.removeAll(path);
    list.prepend(path);
    recent.setValue("Patches", list.mid(0, kRecentCount));
}

void MainWindow::ShowModified() {
    const bool modified = view_->Modified();
    setWindowTitle(modified ? QString("*") + kProductName : QString(kProductName));
    title_->setText(modified ? QString(kProductName) + " *" : QString(kProductName));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(".mwc", Qt::CaseInsensitive)) {
            event->acceptProposedAction();
            return;
        }
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(".mwc", Qt::CaseInsensitive)) {
            event->acceptProposedAction();
            const QString path = url.toLocalFile();
            // After the drop has ended: the question and the load run outside the drag's event.
            QTimer::singleShot(0, this, [this, path] { LoadPatchFile(path); });
            return;
        }
}

namespace {

// The file dialog of Load and Save As: the last patch's name in its folder (or the folder of the last
// dialog), the patch filter, ".mwc" added when no extension is typed. Empty when cancelled.
QString AskConfigurationPath(QWidget* parent, AppContext& context, QFileDialog::AcceptMode mode) {
    ProgramSettings& s = context.settings;
    QFileInfo last(QString::fromStdString(s.ConfigurationPath));
    QString folder = s.ConfigurationPath.find('/') != std::string::npos
                         ? last.absolutePath()
                         : QString::fromStdString(s.ConfigurationFolder);
    QFileDialog dialog(parent, QString(), folder, QtFileFilter(context.Text(kStringConfigurationFilter)));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix("mwc");
    if (!last.fileName().isEmpty()) dialog.selectFile(last.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString path = dialog.selectedFiles().first();
    if (mode == QFileDialog::AcceptSave && !path.trimmed().isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += ".mwc";
    s.ConfigurationPath = path.toStdString();
    s.ConfigurationFolder = QFileInfo(path).absolutePath().toStdString();
    return path.trimmed().isEmpty() ? QString() : path;
}

void ShowConfigMessage(QWidget* parent, const AppContext& context, ConfigStatus status) {
    if (const auto message = MessageFor(status)) {
        QMessageBox::critical(parent, context.Text(message->caption), context.Text(message->text));
    }
}

} // namespace

void MainWindow::LoadConfigurationCommand() {
    if (!AskToKeepChanges()) return;
    const QString path = AskConfigurationPath(this, context_, QFileDialog::AcceptOpen);
    if (path.isEmpty()) return;
    const ConfigStatus status = view_->LoadFile(path.toStdString());
    if (status == ConfigStatus::Ok) RememberRecent(QFileInfo(path).absoluteFilePath());
    ShowConfigMessage(this, context_, status);
}

bool MainWindow::SaveConfigurationCommand() {
    const QString path = AskConfigurationPath(this, context_, QFileDialog::AcceptSave);
    if (path.isEmpty()) return false;
    const ConfigStatus status = view_->SaveFile(path.toStdString());
    if (status == ConfigStatus::Ok) RememberRecent(QFileInfo(path).absoluteFilePath());
    ShowConfigMessage(this, context_, status);
    return status == ConfigStatus::Ok;
}

void MainWindow::SettingsChanged(int repaint) {
    const ProgramSettings& s = context_.settings;
    MouseSamplerControls& controls = session_->SamplerControls();
    controls.wrapMouse = s.WrapMouse != 0; // an explicit choice of the user wins over the command line
    controls.showStatusIndicators = s.ShowStatusIndicators != 0;
    session_->GetEngine().realTimePriority = s.RealTimePriority != 0;
    setFont(DialogFont(s.LanguageCode));
    // The dialog units follow the font (the Japanese font rule): the window keeps its size in them.
    if (!isMaximized()) resize(Du(0, 0, kWidthDu, kHeightDu).size());
    LayOut();
    RefreshTrayIcon();
    Retranslate();
    ApplyColours();
    session_->GetPatch().ChangeLanguage(PatchTextLookup());
    view_->RelayoutAll();
    ShowModified();
    if (surface_) surface_->SettingsChanged();
    if (repaint == 1) update();
}

// ---------------------------------------------------------------- timers

void MainWindow::AfterStart() {
    // 451: the layout is captured; the saved placement restored.
    layoutCaptured_ = true;
    const WindowRectangle& saved = context_.settings.WindowRect;
    if (saved.bottom - saved.top > 0) move(saved.left, saved.top);
    ApplyShape();
    if (!isVisible()) return; // started hidden (Start & Hide): it stays so until brought back
    if (context_.settings.WindowWasMaximized) {
        RememberRectangle();
        showMaximized();
    }
    if (context_.settings.MinimizeShortlyAfterStart) Minimise();
}

void MainWindow::ShowWelcome() {
    WelcomeDialog dialog(this, context_);
    dialog.exec();
    switch (dialog.Choice()) {
    case WelcomeChoice::Mouse:
        LoadBuiltIn(kExampleMouse);
        break;
    case WelcomeChoice::Midi:
        LoadBuiltIn(kExampleMidi);
        break;
    case WelcomeChoice::Microphone:
        LoadBuiltIn(kExampleMicrophone);
        break;
    case WelcomeChoice::Modulation:
        LoadBuiltIn(kExampleModulation);
        break;
    case WelcomeChoice::Sequence:
        LoadBuiltIn(kExampleSequence);
        break;
    case WelcomeChoice::None:
        break;
    }
}

void MainWindow::AfterRestore() {
    ApplyShape();
    LayOut();
    update();
}

void MainWindow::PollSession() {
    const bool linkPending = session_->LinkPending();
    const bool changed = session_->Poll();
    // A change that is not a load's link pass: a learned MIDI slider or caught notes.
    if (changed && !(linkPending && !session_->LinkPending())) view_->PatchChangedOutsideEdits();
}

void MainWindow::PollDeviceState() {
    std::string message;
    {
        std::lock_guard lock(deviceMessageMutex_);
        message.swap(pendingDeviceMessage_);
    }
    if (!message.empty()) {
        QString text = context_.Text(kStringNoOutputDevice);
        text.replace("%s", QString::fromStdString(message));
        status_->SetDeviceMessage(text);
    } else if (session_->Outputs().OpenDeviceCount() > 0) {
        status_->SetDeviceMessage(QString());
    }
    const uint64_t underruns = session_->Outputs().Underruns();
    if (underruns != shownUnderruns_) {
        shownUnderruns_ = underruns;
        QString text = context_.Text(kStringUnderruns);
        text.replace("%s", QString::number(underruns));
        underruns_->setText(text);
    }
}

void MainWindow::CheckEngineEnded() {
    if (session_->EngineRunning()) return;
    closingTimer_.stop();
    Q_EMIT closingFinished();
}

void MainWindow::OnSliderMoved() {
    MouseSamplerControls& controls = session_->SamplerControls();
    controls.outputLatencySlider = outputLatency_->value();
    controls.inputLatencySlider = inputLatency_->value();
    controls.controlRateSlider = controlRate_->value();
    StoreSliderSettings();
}

void MainWindow::StoreSliderSettings() {
    ProgramSettings& s = context_.settings;
    s.OutputLatencyMs = outputLatency_->value();
    s.InputLatencyMs = inputLatency_->value();
    s.ControlRate = ControlRateAt(controlRate_->value());
}

// ---------------------------------------------------------------- closing

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore(); // the window stays until the engine thread has ended
    const bool exit = exitRequested_;
    exitRequested_ = false;
    const WindowPolicy::CloseAction action = policy_.OnClose(
        exit, [this] { return AskYesNo(this, context_, kStringCloseQuestion, kStringCloseCaption); });
    if (action == WindowPolicy::CloseAction::Minimise) {
        Minimise();
        return;
    }
    if (!AskToKeepChanges()) return;
    RunClosing();
}

void MainWindow::RunClosing() {
    closing_ = true;
    LeavePlaySurface();
    Stop();
    session_->StopEngine();
    if (minimisedState_ || isMinimized() || isHidden()) {
        minimisedState_ = false;
        showNormal();
    }
    ProgramSettings& s = context_.settings;
    QRect placement = frameGeometry();
    if (isMaximized()) {
        s.WindowWasMaximized = 1;
        placement = restoredRectangle_.isValid() ? restoredRectangle_ : normalGeometry();
    } else {
        s.WindowWasMaximized = 0;
    }
    s.WindowRect = {placement.left(), placement.top(), placement.left() + placement.width(),
                    placement.top() + placement.height()};
    StoreSliderSettings();
    s.BlockTime = session_->GetEngine().blockTime;
    context_.saveSettings();
    if (tray_) tray_->hide();
    closingTimer_.start(kClosingTimerMs);
}

// ---------------------------------------------------------------- tray

void MainWindow::EnsureTrayIcon() {
    if (!policy_.TrayAvailable()) return;
    if (!tray_) {
        tray_ = new QSystemTrayIcon(ProgramIcon(), this);
        tray_->setToolTip(kProductName);
        auto* menu = new QMenu(this);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            guards_.contextMenu = true;
            menu->clear();
            FillMenu(*menu, false);
        });
        connect(menu, &QMenu::aboutToHide, this, [this] { guards_.contextMenu = false; });
        tray_->setContextMenu(menu);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) TrayClicked();
        });
    }
    tray_->show();
}

void MainWindow::RefreshTrayIcon() {
    if (policy_.KeepTrayIcon()) {
        EnsureTrayIcon();
    } else if (tray_ && !minimisedState_) {
        tray_->hide();
    }
}

void MainWindow::TrayClicked() {
    if (guards_.Any()) return;
    if (minimisedState_ || isHidden()) {
        const bool maximise = wasMaximized_;
        Restore();
        if (maximise && !isMaximized()) showMaximized();
    }
    RefreshTrayIcon();
}

// ---------------------------------------------------------------- menus

MenuState MainWindow::CurrentMenuState() const {
    MenuState state;
    state.aboutOpen = guards_.aboutDialog;
    state.helpOpen = guards_.helpDialog;
    state.preferencesOpen = guards_.preferencesDialog;
    state.maximised = isMaximized();
    state.minimisedState = minimisedState_;
    state.wasMaximized = wasMaximized_;
    state.running = stop_->isEnabled();
    return state;
}

void MainWindow::FillMenu(QMenu& menu, bool withNewModule) {
    const MenuEnabling e = MenuEnablingOf(CurrentMenuState());
    const AppContext& c = context_;
    if (withNewModule) {
        QMenu* add = menu.addMenu(c.Text(kStringNewModule));
        const QPoint cursor = QCursor::pos();
        FillNewModuleMenu(*add, c.strings, [this, cursor](ModuleKind kind) { AddModule(kind, cursor); });
    }
    FillConfigurationMenu(*menu.addMenu(c.Text(kStringConfiguration)));
    menu.addSeparator();
    menu.addAction(c.Text(kStringAbout), this, &MainWindow::ShowAbout)->setEnabled(e.about);
    menu.addAction(c.Text(kStringHelp), this, &MainWindow::ShowHelp)->setEnabled(e.help);
    menu.addAction(c.Text(kStringPreferences), this, &MainWindow::ShowPreferences)->setEnabled(e.preferences);
    menu.addSeparator();
    menu.addAction(c.Text(kStringStart), this, &MainWindow::Start)->setEnabled(e.start);
    menu.addAction(c.Text(kStringStop), this, &MainWindow::Stop)->setEnabled(e.stop);
    menu.addSeparator();
    menu.addAction(c.Text(e.maximiseToggleText), this, &MainWindow::ToggleMaximise)
        ->setEnabled(e.maximiseToggle);
    menu.addAction(c.Text(kStringMinimise), this, &MainWindow::Minimise)->setEnabled(e.minimise);
    QAction* surface = menu.addAction(c.Text(kStringPlaySurface), this, &MainWindow::TogglePlaySurface);
    surface->setShortcut(QKeySequence(Qt::Key_F11));
    surface->setEnabled((surface_ && surface_->IsOpen()) || (e.minimise && e.maximiseToggle && isVisible()));
    menu.addSeparator();
    menu.addAction(c.Text(kStringExit), this, &MainWindow::Exit);
}

void MainWindow::FillConfigurationMenu(QMenu& menu) {
    menu.addAction(context_.Text(kStringLoad), this, &MainWindow::LoadConfigurationCommand);
    menu.addAction(context_.Text(kStringSaveAs), this, &MainWindow::SaveConfigurationCommand);
    menu.addSeparator();
    menu.addAction(context_.Text(kStringClear), this, [this] { view_->Clear(); });
    menu.addSeparator();
    QAction* undo = menu.addAction(context_.Text(kStringUndo), this, [this] { view_->History().undo(); });
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(view_->History().canUndo());
    QAction* redo = menu.addAction(context_.Text(kStringRedo), this, [this] { view_->History().redo(); });
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    redo->setEnabled(view_->History().canRedo());
    const QStringList recent = RecentPatches();
    if (!recent.isEmpty()) {
        QMenu* sub = menu.addMenu(context_.Text(kStringRecent));
        for (const QString& path : recent)
            sub->addAction(QFileInfo(path).fileName(), this, [this, path] { LoadPatchFile(path); })
                ->setToolTip(path);
    }
    menu.addSeparator();
    for (const BuiltInSubmenu& group : BuiltInMenu()) {
        QMenu* sub = menu.addMenu(context_.Text(group.title));
        for (const BuiltInPatch* patch : group.patches) {
            const int resource = patch->resource;
            sub->addAction(context_.Text(patch->nameString), this,
                           [this, resource] { LoadBuiltIn(resource); });
        }
    }
}

void MainWindow::ShowMenuAt(const QPoint& globalPosition, bool withNewModule) {
    if (guards_.contextMenu) return;
    guards_.contextMenu = true;
    activateWindow();
    QMenu menu(this);
    FillMenu(menu, withNewModule);
    menu.exec(globalPosition);
    guards_.contextMenu = false;
}

void MainWindow::ShowConfigurationMenu() {
    if (configurationMenuOpen_) return;
    configurationMenuOpen_ = true;
    QMenu menu(this);
    FillConfigurationMenu(menu);
    menu.exec(configuration_->mapToGlobal(QPoint(0, configuration_->height())));
    configurationMenuOpen_ = false;
}

void MainWindow::ShowNewModuleMenu() {
    if (newModuleMenuOpen_) return;
    newModuleMenuOpen_ = true;
    QMenu menu(this);
    FillNewModuleMenu(menu, context_.strings, [this](ModuleKind kind) { AddModule(kind); });
    const QPoint at(newModule_->width() * 2 / 15, newModule_->height());
    menu.exec(newModule_->mapToGlobal(at));
    newModuleMenuOpen_ = false;
}

// ---------------------------------------------------------------- events

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ColourSlots& colours = context_.settings.ColourSettings;
    painter.fillRect(rect(), ToQColor(colours[kColourDialogBackground]));
    if (!isMaximized()) {
        // A ring in the module background colour just inside the rounded edge.
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerEllipse / 2.0,
                               kCornerEllipse / 2.0);
        painter.setPen(QPen(ToQColor(colours[kColourModuleBackground]), 2));
        painter.drawPath(outline);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyShape();
    if (layoutCaptured_) LayOut();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (layoutCaptured_ && !isMinimized()) Q_EMIT moved(event->pos() - event->oldPos());
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (!isMaximized() && !minimisedState_) dragging_ = true;
        grabPoint_ = event->position().toPoint();
        lastDragCursor_ = event->globalPosition().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton || isMaximized()) dragging_ = false;
    if (!dragging_ || minimisedState_) return;
    const QPoint cursor = event->globalPosition().toPoint();
    if (cursor == lastDragCursor_) return;
    lastDragCursor_ = cursor;
    ScreenArea window{cursor.x() - grabPoint_.x(), cursor.y() - grabPoint_.y(), width(), height()};
    if (context_.settings.SnapToEdges) window = SnapToEdges(window, AreaOf(SnapArea()));
    move(window.x, window.y);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

QRect MainWindow::SnapArea() const {
    // With two or more monitors the whole desktop, otherwise the work area of the screen.
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return QRect();
    return screens.size() >= 2 ? screen->virtualGeometry() : screen->availableGeometry();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The title area stands in for the system menu: the same menu without "Get New Module".
    const bool titleArea = event->pos().y() < Du(0, 0, 0, 18).height();
    ShowMenuAt(event->globalPos(), !titleArea);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (policy_.OnEscape(
                [this] { return AskYesNo(this, context_, kStringEscQuestion, kStringEscCaption); })) {
            Minimise();
        }
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_F1) {
        ShowHelp();
        return;
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
        ShowMenuAt(mapToGlobal(QPoint(0, Du(0, 0, 0, 18).height())), false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (view_) view_->SetWindowsShown(!isMinimized());
}

void MainWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (view_ && !closing_) view_->SetWindowsShown(false);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && view_ && !closing_)
        view_->SetWindowsShown(isVisible() && !isMinimized());
    if (event->type() != QEvent::WindowStateChange || closing_) return;
    if (isMinimized() && !minimisedState_) {
        MinimiseWithPolicy(true); // minimised by the desktop (task bar, keyboard)
    } else if (!isMinimized() && minimisedState_ && isVisible()) {
        minimisedState_ = false; // restored by the desktop
        RefreshTrayIcon();
        QTimer::singleShot(kRestoreTimerMs, this, &MainWindow::AfterRestore);
    } else {
        QTimer::singleShot(kRestoreTimerMs, this, &MainWindow::AfterRestore);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        // The event travels up the widget tree and passes here once per widget: count it once.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->timestamp() != lastWheelTimestamp_ || wheel->globalPosition() != lastWheelPosition_) {
            lastWheelTimestamp_ = wheel->timestamp();
            lastWheelPosition_ = wheel->globalPosition();
            if (wheel->angleDelta().y() != 0)
                session_->SamplerControls().wheel.OnWheel(wheel->angleDelta().y());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::RememberRectangle() {
    if (!isMaximized() && !isMinimized()) restoredRectangle_ = frameGeometry();
}

// ---------------------------------------------------------------- icon

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        const qreal s = size;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3F, 0x7F, 0xFF));
        p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.22, s * 0.22);
        // A wave that a moving mouse draws.
        QPainterPath wave;
        for (int i = 0; i <= 32; ++i) {
            const qreal t = i / 32.0;
            const qreal x = s * (0.14 + 0.72 * t);
            const qreal y = s * (0.5 - 0.24 * std::sin(t * 2 * M_PI * 1.5) * (1.0 - 0.5 * t));
            if (i == 0) {
                wave.moveTo(x, y);
            } else {
                wave.lineTo(x, y);
            }
        }
        p.setPen(QPen(Qt::white, std::max(1.5, s / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace mw
