#include "app/shell/status_display.hpp"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "app/shell/app_context.hpp"
#include "editor/dialog_units.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

namespace {

// The indicators move 25 times a second: they are drawn in the plain style, whose sliders cost a
// fraction of the desktop style's gradients.
QStyle* IndicatorStyle() {
    static QStyle* style = QStyleFactory::create(QStringLiteral("Windows"));
    return style;
}

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoDirection = std::numeric_limits<double>::quiet_NaN();

enum class Kind { Horizontal, Vertical, Bar };

/// One indicator: the measure it shows (its stored name is the widget's object name, its display
/// string the tooltip), its kind, its fixed range and its row (horizontal) or column (vertical).
struct IndicatorSpec {
    const char* name;
    int text;
    Kind kind;
    int minimum;
    int maximum;
    int slot;
};

// Indexed like the values: the thirteen `IndicatorPositions` fields in their order, then the three
// direction indicators the display derives from the direction angle. The two positions take their
// ranges from the sampler's start-up rectangle.
constexpr int kPositionCount = 13;
constexpr int kHorizontalPosition = 0, kVerticalPosition = 1, kSpeed = 4;
constexpr int kDirection = 13, kDirectionHorizontal = 14, kDirectionVertical = 15;
constexpr IndicatorSpec kIndicators[StatusDisplay::kIndicatorCount] = {
    {"Horizontal Position", 63, Kind::Horizontal, 0, 0, 6},
    {"Vertical Position", 64, Kind::Vertical, 0, 0, 0},
    {"Turn Inertia", 59, Kind::Horizontal, -180, 180, 3},
    {"Turn Inertia'", 60, Kind::Horizontal, -180, 180, 4},
    {"Speed", 61, Kind::Bar, 0, 200, 0},
    {"Acceleration", 62, Kind::Horizontal, -100, 100, 5},
    {"Horizontal Velocity", 65, Kind::Horizontal, -100, 100, 7},
    {"Vertical Velocity", 66, Kind::Vertical, -100, 100, 1},
    {"Horizontal Acceleration", 67, Kind::Horizontal, -100, 100, 8},
    {"Vertical Acceleration", 68, Kind::Vertical, -100, 100, 2},
    {"Scroll Position", 69, Kind::Vertical, -100, 100, 3},
    {"Scroll Velocity", 70, Kind::Vertical, -100, 100, 4},
    {"Scroll Acceleration", 71, Kind::Vertical, -100, 100, 5},
    {"Direction", 58, Kind::Horizontal, -1500, 500, 0},
    {"Direction Horizontal Signed", 418, Kind::Horizontal, -1000, 1000, 1},
    {"Direction Vertical Signed", 420, Kind::Horizontal, -1000, 1000, 2},
};

std::array<int, kPositionCount> PositionValues(const IndicatorPositions& p) {
    return {p.horizontalPosition,
            p.verticalPosition,
            p.turnInertia,
            p.turnInertiaPrime,
            p.speed,
            p.acceleration,
            p.horizontalVelocity,
            p.verticalVelocity,
            p.horizontalAcceleration,
            p.verticalAcceleration,
            p.scrollPosition,
            p.scrollVelocity,
            p.scrollAcceleration};
}

int TruncInt(double v) {
    if (!(v == v)) return 0;
    return int(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

/// A signed direction measure: -1000 moving towards `reference`, +1000 moving the opposite way.
double SignedDirection(double theta, double reference) {
    const double a = std::min(theta, reference);
    const double b = std::max(theta, reference);
    const double dist = std::min(b - a, (a + 2.0 * kPi) - b);
    return (1.0 - (dist / kPi + dist / kPi)) * -1000.0;
}

uint32_t ToRgb(uint32_t colourRef) {
    return uint32_t(RedOf(colourRef)) << 16 | uint32_t(GreenOf(colourRef)) << 8 | BlueOf(colourRef);
}

// The layout in dialog units, inside the group box of 659 x 196.
constexpr QRect kSpeedLine(8, 12, 643, 10);
constexpr QRect kDistance(8, 24, 643, 10);
constexpr QRect kMessages(8, 38, 244, 134);
constexpr QRect kCheck(8, 176, 244, 12);
constexpr QRect kNeedleArea(268, 44, 76, 82); // the needle's top-left and the most it may take
constexpr int kDefaultNeedleDu = 68;          // a tenth of the main window's width
constexpr QRect kBar(268, 166, 76, 12);
constexpr int kColumnX = 352, kColumnPitch = 17, kColumnWidth = 14, kColumnY = 44, kColumnHeight = 134;
constexpr int kRowX = 458, kRowWidth = 187, kRowY = 44, kRowPitch = 15, kRowHeight = 14;
constexpr int kBackdropMargin = 6;

enum TextSlot {
    kSpeedClassText,
    kSpeedText,
    kDistanceText,
    kLatencyText,
    kControlRateText,
    kCurrentText,
    kTextCount
};

} // namespace

// ---- the needle ----

DirectionNeedle::DirectionNeedle(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DirectionNeedle::Draw(int d, double theta, uint32_t foreground, uint32_t background) {
    if (d <= 0) {
        image_ = QImage();
        update();
        return;
    }
    if (image_.width() != d) image_ = QImage(d, d, QImage::Format_RGB32);
    // 32-bit rows carry no padding, so the picture is one span of d x d pixels.
    const std::span<uint32_t> pixels(reinterpret_cast<uint32_t*>(image_.bits()), size_t(d) * size_t(d));
    if (theta == theta)
        DrawDirectionNeedle(pixels, d, theta, foreground, background);
    else
        std::fill(pixels.begin(), pixels.end(), background);
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    update();
}

void DirectionNeedle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

// ---- what the sampler thread writes ----

struct StatusDisplay::Shared {
    std::array<std::atomic<int>, kPositionCount> positions{};
    std::array<std::atomic<int>, 4> edges{}; ///< left, top, right, bottom, all inclusive
    std::atomic<double> theta{kNoDirection};
    std::atomic<uint32_t> generation{0};

    std::mutex mutex;
    std::array<std::optional<std::string>, kTextCount> texts;
    bool restoreTimer = false;
    bool posted = false;
};

class StatusDisplay::SamplerView final : public MouseStatusView {
public:
    SamplerView(StatusDisplay& display, Shared& shared) : display_(display), shared_(shared) {}

    void Begin(const ScreenRect& screen, const IndicatorPositions& positions) override {
        const ScreenEdges e = EdgesOf(screen);
        shared_.edges[0].store(e.left, std::memory_order_relaxed);
        shared_.edges[1].store(e.top, std::memory_order_relaxed);
        shared_.edges[2].store(e.right, std::memory_order_relaxed);
        shared_.edges[3].store(e.bottom, std::memory_order_relaxed);
        ShowIndicators(positions);
    }
    void ShowSpeedClass(const std::string& text) override { Post(kSpeedClassText, text); }
    void ShowSpeed(const std::string& text) override { Post(kSpeedText, text); }
    void ShowDistance(const std::string& text) override { Post(kDistanceText, text); }
    void ShowLatencyCaption(const std::string& text) override { Post(kLatencyText, text); }
    void ShowControlRateCaption(const std::string& text) override { Post(kControlRateText, text); }
    void ShowCurrentLatency(const std::string& text) override { Post(kCurrentText, text); }
    void StartCaptionRestoreTimer() override { Post(kTextCount, {}); }
    void ShowIndicators(const IndicatorPositions& positions) override {
        const auto values = PositionValues(positions);
        for (size_t k = 0; k < values.size(); ++k)
            shared_.positions[k].store(values[k], std::memory_order_relaxed);
        shared_.generation.fetch_add(1, std::memory_order_release);
    }
    void ShowDirection(double theta) override {
        shared_.theta.store(theta, std::memory_order_relaxed);
        shared_.generation.fetch_add(1, std::memory_order_release);
    }

private:
    /// Keeps the latest text of a label and posts one delivery unless one is already on its way.
    void Post(int slot, const std::string& text) {
        bool post = false;
        {
            const std::lock_guard lock(shared_.mutex);
            if (slot == kTextCount)
                shared_.restoreTimer = true;
            else
                shared_.texts[size_t(slot)] = text;
            post = !std::exchange(shared_.posted, true);
        }
        if (post)
            QMetaObject::invokeMethod(
                &display_, [d = &display_] { d->textTimer_.start(); }, Qt::QueuedConnection);
    }

    StatusDisplay& display_;
    Shared& shared_;
};

// ---- the display ----

StatusDisplay::StatusDisplay(AppContext& context, MouseSamplerControls& controls, QWidget* parent)
    : QGroupBox(parent), context_(context), controls_(controls), shared_(std::make_unique<Shared>()),
      view_(std::make_unique<SamplerView>(*this, *shared_)) {
    setObjectName(QStringLiteral("status"));

    speedLine_ = new QWidget(this);
    speedLine_->setObjectName(QStringLiteral("speedLine"));
    auto* speedLayout = new QHBoxLayout(speedLine_);
    speedLayout->setContentsMargins(0, 0, 0, 0);
    speedLayout->setSpacing(0);
    speedClass_ = new QLabel(speedLine_);
    speedClass_->setObjectName(QStringLiteral("speedClass"));
    speed_ = new QLabel(speedLine_);
    speed_->setObjectName(QStringLiteral("speed"));
    speedLayout->addWidget(speedClass_);
    speedLayout->addWidget(speed_);
    speedLayout->addStretch(1);

    distance_ = new QLabel(this);
    distance_->setObjectName(QStringLiteral("distance"));

    messages_ = new QWidget(this);
    auto* messageLayout = new QVBoxLayout(messages_);
    messageLayout->setContentsMargins(0, 0, 0, 0);
    for (QLabel** label : {&device_, &note_}) {
        *label = new QLabel(messages_);
        (*label)->setWordWrap(true);
        (*label)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        (*label)->hide();
        messageLayout->addWidget(*label);
    }
    device_->setObjectName(QStringLiteral("deviceMessage"));
    note_->setObjectName(QStringLiteral("note"));
    messageLayout->addStretch(1);

    check_ = new QCheckBox(this);
    check_->setObjectName(QStringLiteral("indicatorCheck"));
    connect(check_, &QCheckBox::clicked, this, [this](bool checked) {
        context_.settings.ShowStatusIndicators = checked ? 1 : 0;
        ShowIndicators(checked);
        Q_EMIT indicatorsShownChanged(checked);
    });

    // The backdrop first, so that the indicators lie above it.
    auto* backdrop = new QFrame(this);
    backdrop->setObjectName(QStringLiteral("backdrop"));
    backdrop->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    backdrop_ = backdrop;
    for (int k = 0; k < kIndicatorCount; ++k) {
        const IndicatorSpec& spec = kIndicators[k];
        QWidget* w = nullptr;
        if (spec.kind == Kind::Bar) {
            auto* bar = new QProgressBar(this);
            bar->setRange(spec.minimum, spec.maximum);
            bar->setValue(0);
            bar->setTextVisible(false);
            w = bar;
        } else {
            auto* slider = new QSlider(spec.kind == Kind::Horizontal ? Qt::Horizontal : Qt::Vertical, this);
            slider->setRange(spec.minimum, spec.maximum);
            slider->setValue(0);
            // The minimum at the top, as screen y grows downwards.
            slider->setInvertedAppearance(spec.kind == Kind::Vertical);
            w = slider;
        }
        w->setObjectName(QString::fromLatin1(spec.name));
        w->setStyle(IndicatorStyle());
        w->setFocusPolicy(Qt::NoFocus);
        w->installEventFilter(this);
        indicators_[size_t(k)] = w;
    }
    needle_ = new DirectionNeedle(this);
    needle_->setObjectName(QStringLiteral("needle"));

    timer_.setInterval(kIndicatorPeriodMs);
    textTimer_.setSingleShot(true);
    textTimer_.setInterval(kTextPeriodMs);
    connect(&textTimer_, &QTimer::timeout, this, &StatusDisplay::DeliverTexts);
    connect(&timer_, &QTimer::timeout, this, [this] {
        ApplyIndicators();
        Q_EMIT indicatorTick();
    });

    Relayout();
    Retranslate();
    ApplyColours();
    SetIndicatorsShown(context_.settings.ShowStatusIndicators != 0);
}

StatusDisplay::~StatusDisplay() = default;

MouseStatusView& StatusDisplay::View() {
    return *view_;
}

QRect StatusDisplay::Du(int x, int y, int width, int height) const {
    return DialogUnitsToPixels(QRect(x, y, width, height), BaseUnitsOf(font()));
}

void StatusDisplay::Relayout() {
    auto place = [this](QWidget* w, const QRect& du) {
        w->setGeometry(Du(du.x(), du.y(), du.width(), du.height()));
    };
    place(speedLine_, kSpeedLine);
    place(distance_, kDistance);
    place(messages_, kMessages);
    place(check_, kCheck);
    const QRect area = Du(kNeedleArea.x(), kNeedleArea.y(), kNeedleArea.width(), kNeedleArea.height());
    QRect frame = area;
    for (int k = 0; k < kIndicatorCount; ++k) {
        const IndicatorSpec& spec = kIndicators[k];
        QRect du = kBar;
        if (spec.kind == Kind::Horizontal)
            du = QRect(kRowX, kRowY + spec.slot * kRowPitch, kRowWidth, kRowHeight);
        else if (spec.kind == Kind::Vertical)
            du = QRect(kColumnX + spec.slot * kColumnPitch, kColumnY, kColumnWidth, kColumnHeight);
        place(indicators_[size_t(k)], du);
        frame |= indicators_[size_t(k)]->geometry();
    }
    // The backdrop is centred on the frame of the indicators and the needle's space.
    const int mx = Du(0, 0, kBackdropMargin, 0).width(), my = Du(0, 0, 0, kBackdropMargin).height();
    QRect backdrop = frame.adjusted(-mx, -my, mx, my);
    if (!backdropDu_.isEmpty()) {
        const QRect size = Du(0, 0, backdropDu_.width(), backdropDu_.height());
        backdrop = QRect(QPoint(0, 0), size.size());
        backdrop.moveCenter(frame.center());
    }
    backdrop_->setGeometry(backdrop);

    const int room = std::min(area.width(), area.height());
    const int wanted = needleRequest_ > 0 ? needleRequest_ : Du(0, 0, kDefaultNeedleDu, 0).width();
    const int d = std::clamp(wanted, 0, room);
    needle_->setGeometry(area.x(), area.y(), d, d);
    if (d != needleSize_) {
        needleSize_ = d;
        RedrawNeedle();
    }
}

void StatusDisplay::Retranslate() {
    setTitle(context_.Text(40));
    frame_ = QPixmap();
    check_->setText(context_.Text(109));
    for (int k = 0; k < kIndicatorCount; ++k) {
        const QString text = context_.Text(kIndicators[k].text);
        indicators_[size_t(k)]->setToolTip(text);
        indicators_[size_t(k)]->setAccessibleName(text);
    }
    needle_->setToolTip(context_.Text(58));
    needle_->setAccessibleName(context_.Text(58));
}

void StatusDisplay::ApplyColours() {
    const ColourSlots& colours = context_.settings.ColourSettings;
    ApplyDialogColours(*this, colours);
    ApplyDialogColours(*backdrop_, colours);
    for (QWidget* w : {speedLine_, static_cast<QWidget*>(distance_), static_cast<QWidget*>(device_),
                       static_cast<QWidget*>(note_)}) {
        if (context_.settings.PlainStatusColours != 0) {
            ApplyDialogColours(*w, colours);
            continue;
        }
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, QColor(0x00, 0x50, 0x00));
        palette.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(palette);
        w->setAutoFillBackground(true);
    }
    RedrawNeedle();
}

void StatusDisplay::SetDeviceMessage(const QString& text) {
    if (text == device_->text()) return;
    device_->setText(text);
    device_->setVisible(!text.isEmpty());
    Q_EMIT linesChanged();
}

void StatusDisplay::SetNote(const QString& text) {
    if (text == note_->text()) return;
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
    Q_EMIT linesChanged();
}

StatusDisplay::Lines StatusDisplay::CurrentLines() const {
    return {speedClass_->text() + speed_->text(), distance_->text(), device_->text(), note_->text()};
}

void StatusDisplay::SetNeedleSize(int pixels) {
    needleRequest_ = std::max(pixels, 0);
    Relayout();
}

void StatusDisplay::SetIndicatorsShown(bool shown) {
    check_->setChecked(shown);
    context_.settings.ShowStatusIndicators = shown ? 1 : 0;
    ShowIndicators(shown);
}

void StatusDisplay::SetBackdrop(QWidget* view, QSize sizeDu) {
    view->setParent(this);
    view->stackUnder(backdrop_);
    delete backdrop_;
    backdrop_ = view;
    backdropDu_ = sizeDu;
    Relayout();
    ApplyDialogColours(*backdrop_, context_.settings.ColourSettings);
    backdrop_->setVisible(check_->isChecked());
}

void StatusDisplay::ShowIndicators(bool shown) {
    controls_.showStatusIndicators = shown;
    backdrop_->setVisible(shown);
    for (QWidget* w : indicators_) w->setVisible(shown);
    needle_->setVisible(shown);
    UpdateTimer();
}

bool StatusDisplay::eventFilter(QObject* watched, QEvent* event) {
    // The indicators only show: mouse and keys pass on to the window (a press there drags it, the
    // wheel moves the wheel position).
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        event->ignore();
        return true;
    default:
        return QGroupBox::eventFilter(watched, event);
    }
}

void StatusDisplay::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (frame_.size() != pixels || frame_.devicePixelRatio() != ratio) {
        frame_ = QPixmap(pixels);
        frame_.setDevicePixelRatio(ratio);
        frame_.fill(Qt::transparent);
        QPainter painter(&frame_);
        painter.setFont(font()); // what a painter on the widget itself would start with
        painter.setPen(palette().color(foregroundRole()));
        painter.setBackground(palette().brush(backgroundRole()));
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    }
    QPainter painter(this);
    for (const QRect& r : event->region())
        painter.drawPixmap(QRectF(r), frame_, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

void StatusDisplay::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    UpdateTimer();
}

void StatusDisplay::hideEvent(QHideEvent* event) {
    QGroupBox::hideEvent(event);
    // Also when the window is only minimised (the widget then still counts as visible).
    timer_.stop();
}

void StatusDisplay::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    frame_ = QPixmap(); // the palette, the font, the style or the enabled state may show in the frame
    if (event->type() == QEvent::FontChange) Relayout();
}

void StatusDisplay::UpdateTimer() {
    const bool run = check_->isChecked() && isVisible();
    if (run && !timer_.isActive()) {
        ApplyIndicators();
        timer_.start();
    } else if (!run) {
        timer_.stop();
    }
}

void StatusDisplay::DeliverTexts() {
    std::array<std::optional<std::string>, kTextCount> texts;
    bool restore = false;
    {
        const std::lock_guard lock(shared_->mutex);
        texts.swap(shared_->texts);
        restore = std::exchange(shared_->restoreTimer, false);
        shared_->posted = false;
    }
    auto q = [&](int slot) { return QString::fromStdString(*texts[size_t(slot)]); };
    if (texts[kSpeedClassText]) speedClass_->setText(q(kSpeedClassText));
    if (texts[kSpeedText]) speed_->setText(q(kSpeedText));
    if (texts[kDistanceText]) distance_->setText(q(kDistanceText));
    if (texts[kSpeedClassText] || texts[kSpeedText] || texts[kDistanceText]) Q_EMIT linesChanged();
    if (texts[kLatencyText]) Q_EMIT latencyCaption(q(kLatencyText));
    if (texts[kControlRateText]) Q_EMIT controlRateCaption(q(kControlRateText));
    if (restore) Q_EMIT captionRestoreTimer();
    if (texts[kCurrentText]) Q_EMIT currentLatency(q(kCurrentText));
}

void StatusDisplay::ApplyIndicators() {
    const uint32_t generation = shared_->generation.load(std::memory_order_acquire);
    if (generation == appliedGeneration_) return;
    appliedGeneration_ = generation;

    std::array<int, 4> edges{};
    for (size_t k = 0; k < edges.size(); ++k) edges[k] = shared_->edges[k].load(std::memory_order_relaxed);
    if (edges != shownEdges_) {
        shownEdges_ = edges;
        static_cast<QSlider*>(indicators_[kHorizontalPosition])->setRange(edges[0], edges[2]);
        static_cast<QSlider*>(indicators_[kVerticalPosition])->setRange(edges[1], edges[3]);
    }

    std::array<int, kIndicatorCount> values = shownValues_;
    for (size_t k = 0; k < kPositionCount; ++k)
        values[k] = shared_->positions[k].load(std::memory_order_relaxed);
    const double theta = shared_->theta.load(std::memory_order_relaxed);
    if (std::bit_cast<uint64_t>(theta) != std::bit_cast<uint64_t>(shownTheta_)) {
        shownTheta_ = theta;
        if (theta == theta) {
            values[kDirection] = TruncInt((theta - kPi / 2.0) * (1000.0 / kPi));
            values[kDirectionHorizontal] = TruncInt(SignedDirection(theta, kPi));
            values[kDirectionVertical] = TruncInt(SignedDirection(theta, kPi / 2.0));
        }
        RedrawNeedle();
    }

    for (size_t k = 0; k < values.size(); ++k) {
        if (values[k] == shownValues_[k]) continue;
        shownValues_[k] = values[k];
        if (k == kSpeed) {
            auto* bar = static_cast<QProgressBar*>(indicators_[k]);
            bar->setValue(std::clamp(values[k], bar->minimum(), bar->maximum()));
        } else {
            static_cast<QSlider*>(indicators_[k])->setValue(values[k]);
        }
    }
}

void StatusDisplay::RedrawNeedle() {
    const ColourSlots& colours = context_.settings.ColourSettings;
    needle_->Draw(needleSize_, shownTheta_, ToRgb(colours[kColourDialogText]),
                  ToRgb(colours[kColourDialogBackground]));
}

} // namespace mw
