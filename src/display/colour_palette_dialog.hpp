#pragma once
// The colour palette: picks one colour from a colour triangle whose brightness a slider sets, or
// from channel sliders, channel numbers or a hexadecimal text.

#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

#include "app/settings/program_settings.hpp"
#include "display/colour_widgets.hpp"
#include "editor/pill_widgets.hpp"
#include "i18n/language_strings.hpp"

namespace mw {

/// The picture of the colour triangle (`TrianglePicture`) at the size of the widget. A left press
/// picks the colour under the cursor and picking goes on while the button is held, also outside
/// the picture, where the nearest pixel of its edge is picked.
class ColourTriangle : public QWidget {
    Q_OBJECT
public:
    explicit ColourTriangle(QWidget* parent);

    /// Rebuilds the picture at a brightness position 0..511.
    void SetBrightness(int brightness);
    int Brightness() const { return brightness_; }
    /// The colour of the picture at a point of the widget, clamped to the picture.
    uint32_t ColourAt(QPoint point);
    bool Picking() const { return picking_; }
    /// Ends picking when the button was released where the widget did not see it.
    void StopPicking() { picking_ = false; }

Q_SIGNALS:
    void picked(uint32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// The picture follows the widget's size when it is next needed.
    void EnsurePicture();
    void Rebuild();

    int brightness_ = 255;
    QSize pictureSize_;
    std::vector<uint32_t> pixels_;
    QImage picture_;
    bool picking_ = false;
};

class ColourPaletteDialog : public ProgramDialog {
    Q_OBJECT
public:
    /// Edits `row` (which must outlive the dialog); `applied` runs after Apply wrote into it.
    ColourPaletteDialog(QWidget* parent, const ProgramSettings& settings, const LanguageStrings& strings,
                        uint32_t& row, std::function<void()> applied);

    uint32_t NewColour() const { return newColour_; }
    uint32_t ProspectiveColour() const { return prospective_; }
    bool ApplyEnabled() const;
    /// Writes the new colour into the row, tells the owner and disables Apply.
    void Apply();

private:
    enum Channel { Red, Green, Blue, ChannelCount };
    /// Where a new colour came from: that control keeps what the user is doing with it.
    enum class From { Triangle, Slider, Number, Hex };

    void SetNewColour(uint32_t colour, From from, int channel = -1);
    void ChannelChanged(int channel, int value, From from);
    void Track();
    void SetTexts();
    void Place();
    QString Text(int number) const;

    const LanguageStrings& strings_;
    uint32_t& row_;
    std::function<void()> applied_;
    uint32_t newColour_;
    uint32_t prospective_;

    ColourTriangle* triangle_ = nullptr;
    QSlider* brightness_ = nullptr;
    std::array<QLabel*, 3> swatchLabels_{};
    std::array<ColourSwatch*, 3> swatches_{}; // old, new, prospective
    std::array<QLabel*, ChannelCount> channelLabels_{};
    std::array<QSlider*, ChannelCount> channelSliders_{};
    std::array<QLineEdit*, ChannelCount> channelNumbers_{};
    QLabel* hexLabel_ = nullptr;
    HexColourField* hex_ = nullptr;
    PillButton* ok_ = nullptr;
    PillButton* cancel_ = nullptr;
    PillButton* apply_ = nullptr;
    QTimer tracking_;
};

} // namespace mw
