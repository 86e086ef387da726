#pragma once
// The main window's "Status Display": the speed and distance lines the mouse sampler writes, the
// device and Wayland notes, and the mouse-status indicators (one slider or bar per measure and the
// direction needle) behind their check box.
//
// The sampler talks to it through `View()` from its own thread. Texts are kept as the latest text of
// each label; the first change posts one call that shows them all a moment later. Indicator values and the
// direction are kept in atomics and applied by a timer of the widget that runs only while the indicators are
// shown and the widget is visible, so the user-interface thread sees at most one update per timer period
// whatever the sampler's rate.

#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "sources/mouse_sampler.hpp"
#include "sources/mouse_status.hpp"

class QCheckBox;
class QFrame;
class QLabel;
class QProgressBar;
class QSlider;

namespace mw {

struct AppContext;

/// The direction needle: a d x d picture that `DrawDirectionNeedle` paints.
class DirectionNeedle : public QWidget {
    Q_OBJECT
public:
    explicit DirectionNeedle(QWidget* parent);
    /// Redraws the picture in `d` x `d` pixels; colours as 0x00RRGGBB.
    void Draw(int d, double theta, uint32_t foreground, uint32_t background);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class StatusDisplay : public QGroupBox {
    Q_OBJECT
public:
    /// The indicators in the order the display lays them out.
    static constexpr int kIndicatorCount = 16;
    /// Milliseconds between two indicator updates.
    static constexpr int kIndicatorPeriodMs = 40;
    /// Milliseconds a changed text waits, so that the texts of several sampler iterations (the
    /// distance changes in every one while the mouse moves) are shown at once.
    static constexpr int kTextPeriodMs = 50;

    /// `context` and `controls` must outlive the display; a sampler given `View()` must end first.
    StatusDisplay(AppContext& context, MouseSamplerControls& controls, QWidget* parent);
    ~StatusDisplay() override;

    /// The view handed to Session::StartSampler; safe to call from the sampler thread.
    MouseStatusView& View();
    /// After a font change: re-places the children from dialog units.
    void Relayout();
    /// Captions 40 and 109 and the indicators' tooltips after a language change.
    void Retranslate();
    /// After a colour change.
    void ApplyColours();
    /// A line of the display ("" clears it); wraps when long.
    void SetDeviceMessage(const QString& text);
    /// One more line ("" clears it).
    void SetNote(const QString& text);
    /// The needle becomes `pixels` x `pixels` (the main window's width / 10), keeping its top-left
    /// corner; it never grows beyond the space the layout keeps for it.
    void SetNeedleSize(int pixels);
    /// Shows or hides the indicators without asking the user (the check box follows).
    void SetIndicatorsShown(bool shown);
    /// `view` takes the place of the plain backdrop behind the indicators: `sizeDu` dialog units
    /// centred on the indicators, below them, shown and hidden with them. The display owns it.
    void SetBackdrop(QWidget* view, QSize sizeDu);

    /// The texts of the display's lines as shown (for another view of them); empty lines are "".
    struct Lines {
        QString speed; ///< the speed class and the speed, as one line
        QString distance;
        QString device;
        QString note;
    };
    Lines CurrentLines() const;

Q_SIGNALS:
    // The sampler's labels that belong to the main window, delivered on the user-interface thread:
    void latencyCaption(const QString& text);
    void controlRateCaption(const QString& text);
    void captionRestoreTimer();
    void currentLatency(const QString& text);
    void indicatorsShownChanged(bool shown); ///< the check box was toggled by the user
    /// The indicators have just been brought up to date (every 40 ms while they are shown): a backdrop
    /// that repaints now is composed and shown together with them.
    void indicatorTick();
    void linesChanged(); ///< a text of `CurrentLines` changed

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class SamplerView;
    struct Shared;

    /// The frame and title as the style draws them, kept as a picture: the indicators moving in front
    /// of the area repaint it 25 times a second, and the style's frame is a scaled picture of its own.
    QPixmap frame_;

    void DeliverTexts();
    void ApplyIndicators();
    void RedrawNeedle();
    void UpdateTimer();
    void ShowIndicators(bool shown);
    QRect Du(int x, int y, int width, int height) const;

    AppContext& context_;
    MouseSamplerControls& controls_;
    std::unique_ptr<Shared> shared_;
    std::unique_ptr<SamplerView> view_;

    QWidget* speedLine_ = nullptr;
    QLabel* speedClass_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* distance_ = nullptr;
    QWidget* messages_ = nullptr;
    QLabel* device_ = nullptr;
    QLabel* note_ = nullptr;
    QCheckBox* check_ = nullptr;
    QWidget* backdrop_ = nullptr;
    QSize backdropDu_; ///< empty: the backdrop frames the indicators
    DirectionNeedle* needle_ = nullptr;
    std::array<QWidget*, kIndicatorCount> indicators_{};
    QTimer timer_;
    QTimer textTimer_;

    int needleRequest_ = 0; ///< 0 until the main window sets it
    int needleSize_ = 0;
    uint32_t appliedGeneration_ = ~0u;
    std::array<int, kIndicatorCount> shownValues_{};
    std::array<int, 4> shownEdges_{};
    double shownTheta_ = std::numeric_limits<double>::quiet_NaN(); ///< NaN: no direction yet
};

} // namespace mw
