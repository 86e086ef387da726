#include "display/colour_palette_dialog.hpp"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>

#include "display/colour_math.hpp"

namespace mw {

namespace {

uint8_t ChannelOf(uint32_t colour, int channel) {
    return uint8_t((colour >> (8 * channel)) & 0xFF);
}

uint32_t WithChannel(uint32_t colour, int channel, int value) {
    const int shift = 8 * channel;
    return (colour & ~(0xFFu << shift)) | (uint32_t(std::clamp(value, 0, 255)) << shift);
}

constexpr const char* kChannelNames[] = {"red", "green", "blue"};
constexpr const char* kSwatchNames[] = {"oldColour", "newColour", "prospectiveColour"};

} // namespace

// ---------------------------------------------------------------- the triangle

ColourTriangle::ColourTriangle(QWidget* parent) : QWidget(parent) {
    setCursor(PickingCursor());
}

void ColourTriangle::SetBrightness(int brightness) {
    brightness_ = std::clamp(brightness, 0, 511);
    Rebuild();
}

void ColourTriangle::EnsurePicture() {
    if (pictureSize_ != size()) Rebuild();
}

void ColourTriangle::Rebuild() {
    const int w = width();
    const int h = height();
    pictureSize_ = size();
    pixels_ = TrianglePicture(w, h, brightness_);
    picture_ = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = pixels_[size_t(y) * size_t(w) + size_t(x)];
            line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    update();
}

uint32_t ColourTriangle::ColourAt(QPoint point) {
    EnsurePicture();
    if (pixels_.empty()) return 0;
    const int x = std::clamp(point.x(), 0, width() - 1);
    const int y = std::clamp(point.y(), 0, height() - 1);
    return pixels_[size_t(y) * size_t(width()) + size_t(x)];
}

void ColourTriangle::paintEvent(QPaintEvent*) {
    EnsurePicture();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void ColourTriangle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    picking_ = true;
    Q_EMIT picked(ColourAt(event->position().toPoint()));
}

void ColourTriangle::mouseMoveEvent(QMouseEvent* event) {
    // While the button is held the widget sees the cursor wherever it goes.
    if (picking_) Q_EMIT picked(ColourAt(event->position().toPoint()));
}

void ColourTriangle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) picking_ = false;
}

// ---------------------------------------------------------------- the dialog

ColourPaletteDialog::ColourPaletteDialog(QWidget* parent, const ProgramSettings& settings,
                                         const LanguageStrings& strings, uint32_t& row,
                                         std::function<void()> applied)
    : ProgramDialog(parent, settings), strings_(strings), row_(row), applied_(std::move(applied)),
      newColour_(row), prospective_(row) {
    setObjectName(QStringLiteral("colourPalette"));
    triangle_ = new ColourTriangle(this);
    triangle_->setObjectName(QStringLiteral("triangle"));
    connect(triangle_, &ColourTriangle::picked, this,
            [this](uint32_t colour) { SetNewColour(colour, From::Triangle); });

    brightness_ = new QSlider(Qt::Vertical, this);
    brightness_->setObjectName(QStringLiteral("brightness"));
    brightness_->setRange(0, 511);
    brightness_->setValue(255);
    brightness_->setInvertedAppearance(true); // white at the top, black at the bottom
    connect(brightness_, &QSlider::valueChanged, triangle_, &ColourTriangle::SetBrightness);

    const std::array<std::function<uint32_t()>, 3> shown = {
        [this] { return row_; }, [this] { return newColour_; }, [this] { return prospective_; }};
    for (int i = 0; i < 3; ++i) {
        swatchLabels_[i] = new QLabel(this);
        swatchLabels_[i]->setObjectName(QString::fromLatin1(kSwatchNames[i]) + "Label");
        swatchLabels_[i]->setWordWrap(true);
        swatchLabels_[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        swatches_[i] = new ColourSwatch(shown[i], this);
        swatches_[i]->setObjectName(QString::fromLatin1(kSwatchNames[i]));
    }
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const QString name = QString::fromLatin1(kChannelNames[channel]);
        channelLabels_[channel] = new QLabel(this);
        channelLabels_[channel]->setObjectName(name + "Label");
        channelLabels_[channel]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QSlider* slider = channelSliders_[channel] = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(name);
        slider->setRange(0, 255);
        connect(slider, &QSlider::valueChanged, this,
                [this, channel](int value) { ChannelChanged(channel, value, From::Slider); });
        QLineEdit* number = channelNumbers_[channel] = new QLineEdit(this);
        number->setObjectName(name + "Number");
        number->setMaxLength(6);
        connect(number, &QLineEdit::textEdited, this, [this, channel](const QString& text) {
            ChannelChanged(channel, text.trimmed().toInt(), From::Number);
        });
        connect(number, &QLineEdit::editingFinished, this, [this, channel] {
            channelNumbers_[channel]->setText(QString::number(ChannelOf(newColour_, channel)));
        });
    }
    hexLabel_ = new QLabel(this);
    hexLabel_->setObjectName(QStringLiteral("hexLabel"));
    hexLabel_->setWordWrap(true);
    hexLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hex_ = new HexColourField([this] { return newColour_; }, this);
    hex_->setObjectName(QStringLiteral("hex"));
    connect(hex_, &HexColourField::colourTyped, this,
            [this](uint32_t colour) { SetNewColour(colour, From::Hex); });

    ok_ = AddButton(QString(), 0, 0, 1, 1);
    ok_->setObjectName(QStringLiteral("ok"));
    cancel_ = AddButton(QString(), 0, 0, 1, 1);
    cancel_->setObjectName(QStringLiteral("cancel"));
    apply_ = AddButton(QString(), 0, 0, 1, 1);
    apply_->setObjectName(QStringLiteral("apply"));
    connect(ok_, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });

    SetNewColour(newColour_, From::Triangle);
    SetTexts();
    Place();

    // The cursor is followed every 10 ms: the prospective colour is the one under it, and while
    // the button is held the picked one.
    tracking_.setInterval(10);
    connect(&tracking_, &QTimer::timeout, this, [this] { Track(); });
    tracking_.start();
}

QString ColourPaletteDialog::Text(int number) const {
    return QString::fromStdString(strings_.Text(number));
}

bool ColourPaletteDialog::ApplyEnabled() const {
    return apply_->isEnabled();
}

void ColourPaletteDialog::SetNewColour(uint32_t colour, From from, int channel) {
    newColour_ = colour;
    for (int c = 0; c < ChannelCount; ++c) {
        if (!(from == From::Slider && c == channel)) {
            const QSignalBlocker block(channelSliders_[c]);
            channelSliders_[c]->setValue(ChannelOf(colour, c));
        }
        if (!(from == From::Number && c == channel)) {
            channelNumbers_[c]->setText(QString::number(ChannelOf(colour, c)));
        }
    }
    if (from != From::Hex) hex_->Show(colour);
    swatches_[1]->update();
    apply_->setEnabled(newColour_ != row_);
}

void ColourPaletteDialog::ChannelChanged(int channel, int value, From from) {
    SetNewColour(WithChannel(newColour_, channel, value), from, channel);
}

void ColourPaletteDialog::Track() {
    const QPoint at = triangle_->mapFromGlobal(QCursor::pos());
    if (triangle_->Picking()) {
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
            triangle_->StopPicking();
        } else {
            const uint32_t colour = triangle_->ColourAt(at);
            if (colour != newColour_) SetNewColour(colour, From::Triangle);
        }
    }
    if (triangle_->rect().contains(at)) {
        const uint32_t colour = triangle_->ColourAt(at);
        if (colour != prospective_) {
            prospective_ = colour;
            swatches_[2]->update();
        }
    }
}

void ColourPaletteDialog::Apply() {
    row_ = newColour_;
    swatches_[0]->update();
    if (applied_) applied_();
    update();
    apply_->setEnabled(false);
}

void ColourPaletteDialog::SetTexts() {
    setWindowTitle(Text(173));
    for (int i = 0; i < 3; ++i) {
        swatchLabels_[i]->setText(Text(174 + i));
    }
    for (int channel = 0; channel < ChannelCount; ++channel) {
        channelLabels_[channel]->setText(Text(177 + channel));
    }
    hexLabel_->setText(Text(180));
    ok_->setText(Text(45));
    cancel_->setText(Text(46));
    apply_->setText(Text(47));
}

void ColourPaletteDialog::Place() {
    // Left: the triangle (equilateral at the width it is given) and the brightness slider beside
    // it; right: the three swatches, the channels and the hex text; below: Okay, Cancel, Apply.
    const QRect picture = Du(7, 7, 140, 0);
    triangle_->setGeometry(picture.x(), picture.y(), picture.width(), TrianglePictureHeight(picture.width()));
    const QRect slider = Du(150, 7, 14, 0);
    brightness_->setGeometry(slider.x(), slider.y(), slider.width(), triangle_->height());
    constexpr int kRight = 170;
    for (int i = 0; i < 3; ++i) {
        PlaceDu(*swatchLabels_[i], kRight, 7 + 18 * i, 80, 16);
        PlaceDu(*swatches_[i], kRight + 84, 8 + 18 * i, 53, 14);
    }
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int y = 66 + 18 * channel;
        PlaceDu(*channelLabels_[channel], kRight, y, 36, 14);
        PlaceDu(*channelSliders_[channel], kRight + 38, y, 70, 14);
        PlaceDu(*channelNumbers_[channel], kRight + 111, y + 1, 26, 12);
    }
    PlaceDu(*hexLabel_, kRight, 122, 80, 18);
    PlaceDu(*hex_, kRight + 84, 125, 53, 12);
    // The buttons go below the taller of the two sides.
    const int base = std::max(1, BaseUnits().height);
    const int pictureBottom = (triangle_->geometry().bottom() + 1) * 8 / base + 1;
    const int top = std::max(140, pictureBottom) + 8;
    constexpr int kWidth = kRight + 137 + 7;
    PlaceDu(*ok_, kWidth - 7 - 3 * 80 - 10, top, 80, 16);
    PlaceDu(*cancel_, kWidth - 7 - 2 * 80 - 5, top, 80, 16);
    PlaceDu(*apply_, kWidth - 7 - 80, top, 80, 16);
    SetSizeDu(kWidth, top + 16 + 7);
}

} // namespace mw
