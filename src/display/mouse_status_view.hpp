#pragma once
// The mouse-status 3-D view: a small OpenGL picture in the main window's status area. An arrow turns to
// the direction of travel, a camera tilts with turning and acceleration, and a needle swings with speed.
// It reads the raw mouse measures and the colour settings on every frame and is drawn with the
// fixed-function pipeline from a 14 ms timer, only while its window is shown and not minimised.
//
// The picture is drawn into a framebuffer object of its own context and shown as an image: the window
// around it keeps its ordinary (non-OpenGL) composition, which costs little with a software renderer
// and lets the program go on without OpenGL.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/settings/program_settings.hpp"
#include "base/relaxed.hpp"
#include "model/source_id.hpp"

namespace mw::display {

/// The smoothed values the picture follows; all start at 0 and live for the whole run.
struct ViewState {
    double smoothedTurn = 0.0;
    double smoothedAccel = 0.0;
    double smoothedSpeed = 0.0;
    bool operator==(const ViewState&) const = default;
};

/// The raw measures the picture reads (indices of `RawMouseMeasures`).
inline constexpr int kDirectionMeasure = 0;
inline constexpr int kTurnInertiaMeasure = 1;
inline constexpr int kSpeedMeasure = 3;
inline constexpr int kAccelerationMeasure = 4;

/// One frame's step of the smoothing: 0.93 of the old value and 0.07 of the new one.
ViewState NextViewState(const ViewState& state, double turnInertia, double speed, double acceleration);

/// The needle's rotation about the z axis in degrees: -220 at rest, down to -540 at the limit.
double NeedleRotation(const ViewState& state);

/// The camera of a frame (what the projection matrix is built from).
struct Camera {
    double fieldOfView; ///< vertical, degrees
    double shiftX, shiftY;
    double turnY, turnZ, tiltX; ///< degrees about the y, z and x axes
};
Camera CameraOf(const ViewState& state);

using RawMeasures = std::array<Relaxed<double>, kMeasureCount>;

class MouseStatusView : public QWidget {
    Q_OBJECT
public:
    /// Period of the frame timer.
    static constexpr int kFrameMs = 14;

    /// `measures` and `settings` must outlive the view.
    MouseStatusView(const RawMeasures& measures, const ProgramSettings& settings, QWidget* parent);
    ~MouseStatusView() override;

    /// Called with a language text number for each failure message (error icon); unset: a warning
    /// on standard error.
    std::function<void(int textNumber)> reportError;

    /// The frame timer's work (it runs only once OpenGL is set up): when a frame is allowed,
    /// advances the state and, unless the pictures are paced from outside, draws every third one.
    void Tick();
    /// Draws the picture again when the state has moved it visibly since the last one. With the
    /// pictures paced from outside (SetPaced) the owner calls this in step with its other repaints,
    /// so that the window composes and shows both in one pass.
    void DrawIfMoved();
    void SetPaced(bool paced) { paced_ = paced; }
    /// True when a tick draws: the view and its window are shown and the window is not minimised.
    bool FrameAllowed() const;
    /// The state the next picture shows.
    const ViewState& State() const { return state_; }
    /// Replaces the state (the next picture shows it).
    void SetState(const ViewState& state) { state_ = state; }
    /// False once OpenGL could not be set up; the view then stays blank.
    bool Working() const { return working_; }
    /// Draws a picture of the current state (without advancing it) and returns it, in device
    /// pixels; a null image when OpenGL does not work.
    QImage Grab();

    /// Failure texts.
    static constexpr int kTextNoContext = 790;
    static constexpr int kTextNotCurrent = 791;
    static constexpr int kTextSetUpFailed = 792;
    static constexpr int kTextFailed = 793;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Gl;
    bool Initialise();
    void Fail(int textNumber);
    void Render();
    void DrawScene(int width, int height);

    const RawMeasures& measures_;
    const ProgramSettings& settings_;
    QTimer timer_;
    ViewState state_;
    /// What the last picture was drawn from.
    struct Shown {
        ViewState state;
        double direction = 0.0;
        ColourSlots colours{};
        QSize size;
    };
    Shown shown_;
    uint64_t ticks_ = 0; // ticks that changed the picture; every third one draws it (unpaced)
    bool paced_ = false;
    std::unique_ptr<Gl> gl_;
    QImage picture_;
    bool tried_ = false; ///< OpenGL has been set up, or that has failed
    bool working_ = true;
};

} // namespace mw::display
