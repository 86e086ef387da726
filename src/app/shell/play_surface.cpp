#include "app/shell/play_surface.hpp"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "app/shell/app_context.hpp"
#include "app/shell/status_display.hpp"
#include "editor/colours.hpp"
#include "editor/dialog_units.hpp"
#include "editor/fonts.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

namespace {

constexpr int kStringLeaveHint = 736;

// The margins and gaps of the surface in dialog units of the large font.
constexpr int kMarginDu = 8;
constexpr int kGapDu = 4;

} // namespace

PlaySurface::PlaySurface(AppContext& context, StatusDisplay& status, display::MouseStatusView& mainView,
                         const display::RawMeasures& measures, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), context_(context), status_(status),
      mainView_(mainView) {
    setObjectName(QStringLiteral("playSurface"));
    setWindowTitle(kProductName);
    // A hidden cursor: XWayland then also carries out the edge wrap's pointer moves.
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);

    view_ = new display::MouseStatusView(measures, context_.settings, this);
    view_->setObjectName(QStringLiteral("surfaceView"));
    view_->reportError = [](int) {}; // the main view has told of an OpenGL failure already
    for (auto [label, name] : {std::pair{&speed_, "surfaceSpeed"}, std::pair{&distance_, "surfaceDistance"},
                               std::pair{&messages_, "surfaceMessages"}, std::pair{&hint_, "surfaceHint"}}) {
        *label = new QLabel(this);
        (*label)->setObjectName(QString::fromLatin1(name));
        (*label)->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setWordWrap(true); // a narrow screen takes a long line on two
    }
    connect(&status_, &StatusDisplay::linesChanged, this, &PlaySurface::ShowLines);
    SettingsChanged();
}

PlaySurface::~PlaySurface() = default;

void PlaySurface::SettingsChanged() {
    const QFont dialogFont = DialogFont(context_.settings.LanguageCode);
    QFont large = dialogFont;
    if (large.pointSizeF() > 0)
        large.setPointSizeF(large.pointSizeF() * kTextScale);
    else
        large.setPixelSize(large.pixelSize() * kTextScale);
    setFont(large);
    hint_->setFont(dialogFont);
    ApplyDialogColours(*this, context_.settings.ColourSettings);
    hint_->setText(context_.Text(kStringLeaveHint));
    LayOut();
    update();
}

void PlaySurface::ShowLines() {
    if (!open_) return; // `Open` shows them
    const StatusDisplay::Lines lines = status_.CurrentLines();
    speed_->setText(lines.speed);
    distance_->setText(lines.distance);
    QStringList messages;
    for (const QString& line : {lines.device, lines.note})
        if (!line.isEmpty()) messages << line;
    messages_->setText(messages.join(u'\n'));
    messages_->setVisible(!messages.isEmpty());
    LayOut(); // a longer line or a message moves the view
}

void PlaySurface::LayOut() {
    const DialogBaseUnits base = BaseUnitsOf(font());
    const auto du = [&base](int x, int y) { return DialogUnitsToPixels(QRect(0, 0, x, y), base).size(); };
    const QSize margin = du(kMarginDu, kMarginDu);
    const int gap = du(0, kGapDu).height();
    const QRect inner = rect().adjusted(margin.width(), margin.height(), -margin.width(), -margin.height());
    const int width = std::max(0, inner.width());

    int y = inner.top();
    for (QLabel* label : {speed_, distance_, messages_}) {
        if (!label->isVisibleTo(this)) continue;
        // An empty line keeps its place, so that the view does not move when the first text comes.
        const int height = std::max(label->heightForWidth(width), label->fontMetrics().height());
        label->setGeometry(inner.left(), y, width, height);
        y += height;
    }
    y += gap;
    const int hintHeight = hint_->heightForWidth(width);
    const int bottom = inner.bottom() + 1 - hintHeight;
    hint_->setGeometry(inner.left(), bottom, width, hintHeight);

    // The view: as large as fits between the texts and the hint, in the status area's proportions.
    const QRect room(inner.left(), y, width, std::max(0, bottom - gap - y));
    QSize size(kViewWidth, kViewHeight);
    size.scale(room.size(), Qt::KeepAspectRatio);
    QRect area(QPoint(0, 0), size);
    area.moveCenter(room.center());
    view_->setGeometry(area);
}

void PlaySurface::Open(QScreen* screen) {
    if (open_) return;
    open_ = true;
    // One smoothing: the main view stands still while this one goes on from its state.
    view_->SetState(mainView_.State());
    mainViewWasShown_ = mainView_.isVisibleTo(mainView_.parentWidget());
    mainView_.hide();
    ShowLines();
    if (screen) setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

void PlaySurface::Leave() {
    if (!open_) return;
    open_ = false;
    hide();
    mainView_.SetState(view_->State());
    mainView_.setVisible(mainViewWasShown_);
    Q_EMIT left();
}

void PlaySurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(context_.settings.ColourSettings[kColourDialogBackground]));
}

void PlaySurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void PlaySurface::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) { // F11 is the main window's application-wide shortcut
        Leave();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlaySurface::closeEvent(QCloseEvent* event) {
    // Closed by the desktop (a window-manager key): the same as leaving.
    event->ignore();
    Leave();
}

} // namespace mw
