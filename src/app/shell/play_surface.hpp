#pragma once
// The play surface: a frameless full-screen window over the main window's screen that shows the 3-D
// mouse view and the status display's lines large, on the dialog colours, with the cursor hidden.
//
// Its reason is a Wayland session: there the program runs through XWayland, which learns where the
// pointer is only while it lies over an X11 window and moves it (the edge wrap) only while the cursor
// is hidden. With the whole screen one window of the program, the mouse measures follow the mouse
// everywhere on that screen.
//
// The surface's view continues the main view's smoothing: while the surface is up the main view is
// hidden (and so stands still), and each takes the other's state over at the hand-over, so the
// picture goes on from where it was. Esc or F11 leave the surface.

#include <QWidget>

#include "display/mouse_status_view.hpp"

class QLabel;
class QScreen;

namespace mw {

struct AppContext;
class StatusDisplay;

class PlaySurface : public QWidget {
    Q_OBJECT
public:
    /// The width : height of the view, the status area's 3-D view (212 x 131 dialog units).
    static constexpr int kViewWidth = 212;
    static constexpr int kViewHeight = 131;
    /// The status lines' font is the dialog font this many times as large.
    static constexpr int kTextScale = 2;

    /// `status` (whose lines are shown) and `mainView` (whose smoothing is continued) belong to
    /// `owner`, the main window, which owns the surface; `measures` must outlive the surface.
    PlaySurface(AppContext& context, StatusDisplay& status, display::MouseStatusView& mainView,
                const display::RawMeasures& measures, QWidget* owner);
    ~PlaySurface() override;

    /// Covers `screen` (the main window's) and takes the main view's state.
    void Open(QScreen* screen);
    /// Hides the surface and hands its state back to the main view (nothing when not open).
    void Leave();
    bool IsOpen() const { return open_; }
    /// After a change of the language or the colours.
    void SettingsChanged();

    display::MouseStatusView& View() { return *view_; }

Q_SIGNALS:
    /// The surface was left (by its keys or by `Leave`).
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowLines();
    void LayOut();

    AppContext& context_;
    StatusDisplay& status_;
    display::MouseStatusView& mainView_;
    display::MouseStatusView* view_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* distance_ = nullptr;
    QLabel* messages_ = nullptr;
    QLabel* hint_ = nullptr;
    bool open_ = false;
    bool mainViewWasShown_ = false;
};

} // namespace mw
