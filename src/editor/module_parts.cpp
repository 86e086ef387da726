// The kinds' own controls inside their module windows: which kinds have them, what they share, and the
// two smaller ones (the sequence text with its help, the analyzer's picture).

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/colours.hpp"
#include "editor/module_parts_common.hpp"
#include "editor/pill_widgets.hpp"
#include "engine/analyzer_picture.hpp"
#include "model/params.hpp"

namespace mw {

namespace parts {

QRect Du(const ModulePartHost& host, int x, int y, int width, int height) {
    return DialogUnitsToPixels(QRect(x, y, width, height), host.BaseUnits());
}

int WidthDu(const ModulePartHost& host, const QWidget& part) {
    const DialogBaseUnits base = host.BaseUnits();
    return base.width > 0 ? part.width() * 4 / base.width : 0;
}

int NewGesture() {
    // The windows count their slider gestures up from 1; these start far above.
    static int next = 1 << 30;
    if (next == std::numeric_limits<int>::max()) next = 1 << 30;
    return next++;
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("moduleMessage"));
    box.exec();
}

namespace {

// ---------------------------------------------------------------- the note sequence

// The sequence text (item 1302, coloured like a label), its label and the "?" button with the notation.
// A typing session, from the field taking the focus to its losing it, is one undoable step; notes that
// the note catcher appends show up here while the cursor stays where it was.
class SequencePart final : public ModulePart {
public:
    SequencePart(ModulePartHost& host, QWidget* parent)
        : ModulePart(host, parent), label_(new QLabel(this)),
          help_(new PillButton(QStringLiteral("?"), host.Colours(), this)), edit_(new QPlainTextEdit(this)) {
        edit_->setObjectName(QStringLiteral("item1302"));
        help_->setObjectName(QStringLiteral("sequenceHelp"));
        edit_->installEventFilter(this);
        QObject::connect(edit_, &QPlainTextEdit::textChanged, this, [this] { Typed(); });
        QObject::connect(help_, &QPushButton::clicked, this, [this] {
            ShowMessage(this, QMessageBox::Information, Host().Text(263), Host().Text(264));
        });
        Refresh();
    }

    int HeightDu() const override { return 78; }

    void Refresh() override {
        const ColourSlots& colours = Host().Colours();
        ApplyModuleColours(*this, ControlColourKind::Dialog, 0, colours);
        ApplyModuleColours(*label_, ControlColourKind::Static, 0, colours);
        ApplyModuleColours(*edit_, ControlColourKind::Edit, 1302, colours);
        label_->setText(Host().Text(sequence::kTexts[0].label));
        ShowModuleText();
    }

    void Tick() override { ShowModuleText(); }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int w = parts::WidthDu(Host(), *this);
        label_->setGeometry(Du(Host(), 0, 2, std::max(0, w - 22), 10));
        help_->setGeometry(Du(Host(), w - 18, 0, 18, 14));
        edit_->setGeometry(Du(Host(), 0, 16, w, 62));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == edit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            gesture_ = 0;
        return ModulePart::eventFilter(watched, event);
    }

private:
    std::string& ModuleText() { return Host().GetModule().texts[sequence::SequenceText]; }

    void Typed() {
        if (showing_) return;
        if (gesture_ == 0) gesture_ = NewGesture();
        const std::string text = edit_->toPlainText().toStdString();
        Host().Canvas().EditField({Host().GetModule().id, FieldRole::Text, sequence::SequenceText}, text,
                                  gesture_);
        shown_ = ModuleText();
    }

    // The module's text when it changed outside the field (a load, the note catcher), keeping the
    // cursor, the selection and the scroll position.
    void ShowModuleText() {
        const std::string& text = ModuleText();
        if (text == shown_) return;
        shown_ = text;
        const QString wanted = QString::fromStdString(text);
        if (edit_->toPlainText() == wanted) return;
        const QTextCursor before = edit_->textCursor();
        const int anchor = before.anchor();
        const int position = before.position();
        const int scroll = edit_->verticalScrollBar()->value();
        showing_ = true;
        edit_->setPlainText(wanted);
        showing_ = false;
        QTextCursor after = edit_->textCursor();
        const int end = int(wanted.size());
        after.setPosition(std::min(anchor, end));
        after.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        edit_->setTextCursor(after);
        edit_->verticalScrollBar()->setValue(scroll);
    }

    QLabel* label_;
    PillButton* help_;
    QPlainTextEdit* edit_;
    std::string shown_{"\x01"}; // never a module's text: the first Refresh shows it
    bool showing_ = false;
    int gesture_ = 0;
};

// ---------------------------------------------------------------- the analyzer's picture

// The live picture of an output analyzer, drawn by the engine thread in the area's size in device
// pixels; the area takes each new picture on its window's tick and repaints only then.
class AnalyzerDisplay final : public QWidget {
public:
    explicit AnalyzerDisplay(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("analyzerDisplay"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    /// Takes the newest picture; true when it was a new one.
    bool Take(AnalyzerPicture& picture) {
        const AnalyzerPicture::Picture* p = picture.TakePicture();
        if (!p || p->number == number_ || p->width <= 0 || p->height <= 0) return false;
        number_ = p->number;
        if (image_.width() != p->width || image_.height() != p->height)
            image_ = QImage(p->width, p->height, QImage::Format_RGB32);
        for (int y = 0; y < p->height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            const Pixel* source = &p->pixels[size_t(y) * size_t(p->width)];
            for (int x = 0; x < p->width; ++x) row[x] = 0xFF000000u | source[x];
        }
        setProperty("pictureNumber", qulonglong(number_));
        update();
        return true;
    }

    /// The picture's size for the area as it is now laid out.
    void SizePicture(AnalyzerPicture& picture) const {
        const qreal ratio = devicePixelRatioF();
        const int w = std::clamp(int(std::lround(width() * ratio)), 1, AnalyzerPicture::kMaxWidth);
        const int h = std::clamp(int(std::lround(height() * ratio)), 1, AnalyzerPicture::kMaxHeight);
        picture.SetSize(w, h);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_.isNull()) {
            painter.fillRect(rect(), QColor::fromRgb(0xFF000000u | AnalyzerPicture::kDefaultBackground));
            return;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), image_);
    }

private:
    QImage image_;
    uint64_t number_ = 0;
};

class AnalyzerPart final : public ModulePart {
public:
    AnalyzerPart(ModulePartHost& host, QWidget* parent)
        : ModulePart(host, parent), display_(new AnalyzerDisplay(this)) {
        Refresh();
    }

    int HeightDu() const override { return 48; }

    void Refresh() override { ApplyModuleColours(*this, ControlColourKind::Dialog, 0, Host().Colours()); }

    void Tick() override {
        if (AnalyzerPicture* picture = AnalyzerPictureOf(Host().GetModule())) {
            display_->SizePicture(*picture); // the area's size now (a resize, another screen)
            display_->Take(*picture);
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { display_->setGeometry(rect()); }

private:
    AnalyzerDisplay* display_;
};

} // namespace

std::unique_ptr<ModulePart> MakeSequencePart(ModulePartHost& host, QWidget* parent) {
    return std::make_unique<SequencePart>(host, parent);
}

std::unique_ptr<ModulePart> MakeAnalyzerPart(ModulePartHost& host, QWidget* parent) {
    return std::make_unique<AnalyzerPart>(host, parent);
}

} // namespace parts

bool HasModulePart(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::ControlSequence:
    case ModuleKind::AudioWaveWriter:
    case ModuleKind::AudioOutputAnalyzer:
    case ModuleKind::ControlMIDIControllerInput:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<ModulePart> MakeModulePart(ModulePartHost& host, ModuleKind kind, QWidget* parent) {
    switch (kind) {
    case ModuleKind::ControlSequence:
        return parts::MakeSequencePart(host, parent);
    case ModuleKind::AudioWaveWriter:
        return parts::MakeWaveWriterPart(host, parent);
    case ModuleKind::AudioOutputAnalyzer:
        return parts::MakeAnalyzerPart(host, parent);
    case ModuleKind::ControlMIDIControllerInput:
        return parts::MakeSliderListPart(host, parent);
    default:
        return nullptr;
    }
}

} // namespace mw
