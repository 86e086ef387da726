// The wave writer's own controls: the file path with its browse button, and the two push-like radio
// buttons "Recording" and "Stopped" that start and stop the recording.

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <cstring>

#include "editor/colours.hpp"
#include "editor/module_parts_common.hpp"
#include "editor/pill_button.hpp"
#include "editor/pill_widgets.hpp"
#include "model/params.hpp"
#include "session/session.hpp"

namespace mw::parts {
namespace {

// Texts the wave writer adds to the language table: a recording that could not be written completely.
constexpr int kTextWriteFailed = 780; // the error's own text stands in for "%s"
constexpr int kTextWriteFailedCaption = 781;

// A pill that stays pressed: drawn in the focused pair while it is checked, in the normal pair when
// not. It takes no keyboard focus of its own, so the pair always tells the state.
class PushLikePill final : public PillButton {
public:
    PushLikePill(const ColourSlots& colours, QWidget* parent)
        : PillButton(QString(), colours, parent), colours_(colours) {
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        ButtonState state;
        state.focus = isChecked();
        state.disabled = !isEnabled();
        DrawPillButton(painter, rect(), state, colours_, text(), DrawnFont());
    }

private:
    const ColourSlots& colours_;
};

// The folder of the last wave file chosen in this run, before the one the preferences remember.
QString& LastWaveFolder() {
    static QString folder;
    return folder;
}

class WaveWriterPart final : public ModulePart {
public:
    WaveWriterPart(ModulePartHost& host, QWidget* parent)
        : ModulePart(host, parent), label_(new QLabel(this)), path_(new QLineEdit(this)),
          browse_(new PillButton(QStringLiteral("..."), host.Colours(), this)),
          recording_(new PushLikePill(host.Colours(), this)),
          stopped_(new PushLikePill(host.Colours(), this)), group_(new QButtonGroup(this)) {
        path_->setObjectName(QStringLiteral("item1220"));
        browse_->setObjectName(QStringLiteral("waveBrowse"));
        recording_->setObjectName(QStringLiteral("waveRecording"));
        stopped_->setObjectName(QStringLiteral("waveStopped"));
        group_->setExclusive(true);
        group_->addButton(recording_);
        group_->addButton(stopped_);
        stopped_->setChecked(true);
        path_->installEventFilter(this);
        QObject::connect(path_, &QLineEdit::textEdited, this,
                         [this](const QString& text) { PathTyped(text); });
        QObject::connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
        QObject::connect(recording_, &QPushButton::clicked, this, [this] { Start(); });
        QObject::connect(stopped_, &QPushButton::clicked, this, [this] { Stop(); });
        Refresh();
    }

    int HeightDu() const override { return 44; }

    void Refresh() override {
        const ColourSlots& colours = Host().Colours();
        ApplyModuleColours(*this, ControlColourKind::Dialog, 0, colours);
        ApplyModuleColours(*label_, ControlColourKind::Static, 0, colours);
        ApplyModuleColours(*path_, ControlColourKind::Edit, 1220, colours);
        label_->setText(Host().Text(wave_writer::kTexts[0].label));
        recording_->setText(Host().Text(144));
        stopped_->setText(Host().Text(145));
        ShowModulePath();
        Sync();
    }

    void Tick() override {
        ShowModulePath();
        Sync();
    }

    void Detach() override {
        Registry().StopRecording(Host().GetModule());
        Sync();
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int w = WidthDu(Host(), *this);
        label_->setGeometry(Du(Host(), 0, 0, w, 10));
        path_->setGeometry(Du(Host(), 0, 10, std::max(0, w - 22), 14));
        browse_->setGeometry(Du(Host(), w - 20, 10, 20, 14));
        const int half = std::max(0, (w - 4) / 2);
        recording_->setGeometry(Du(Host(), 0, 28, half, 16));
        stopped_->setGeometry(Du(Host(), w - half, 28, half, 16));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == path_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            gesture_ = 0;
        return ModulePart::eventFilter(watched, event);
    }

private:
    WaveWriterRegistry& Registry() { return Host().Canvas().CanvasSession().Recordings(); }
    Module& Writer() { return Host().GetModule(); }
    FieldRef PathField() { return {Writer().id, FieldRole::Text, wave_writer::FilePath}; }

    // The module's path when it changed outside the field (a load, an undo), keeping the cursor.
    void ShowModulePath() {
        const std::string& path = Writer().texts[wave_writer::FilePath];
        if (path == shown_) return;
        shown_ = path;
        const QString text = QString::fromStdString(path);
        if (path_->text() == text) return;
        const int cursor = path_->cursorPosition();
        path_->setText(text);
        path_->setCursorPosition(std::min(cursor, int(text.size())));
    }

    void PathTyped(const QString& text) {
        if (gesture_ == 0) gesture_ = NewGesture();
        Host().Canvas().EditField(PathField(), text.toStdString(), gesture_);
        shown_ = Writer().texts[wave_writer::FilePath];
    }

    // The buttons, the path, the browse button and the append box follow the recording.
    void Sync() {
        const bool recording = Registry().IsRecording(Writer());
        if (recording_->isChecked() != recording) (recording ? recording_ : stopped_)->setChecked(true);
        path_->setEnabled(!recording);
        browse_->setEnabled(!recording);
        // The append box is the window's own; it is the only check box of a wave writer's window.
        if (QWidget* window = parentWidget())
            for (QCheckBox* box : window->findChildren<QCheckBox*>()) box->setEnabled(!recording);
    }

    void Start() {
        WaveWriterRegistry::StartResult result = Registry().StartRecording(Writer());
        if (result == WaveWriterRegistry::StartResult::NoPath) {
            Browse();
            if (!Writer().texts[wave_writer::FilePath].empty()) result = Registry().StartRecording(Writer());
        }
        Sync();
        if (result == WaveWriterRegistry::StartResult::Started) Host().Canvas().PatchChangedOutsideEdits();
        if (result == WaveWriterRegistry::StartResult::OpenFailed)
            ShowMessage(this, QMessageBox::Critical, Host().Text(150), Host().Text(149));
    }

    void Stop() {
        int writeError = 0;
        const bool stopped = Registry().StopRecording(Writer(), &writeError);
        Sync();
        if (stopped && writeError != 0) {
            QString text = Host().Text(kTextWriteFailed);
            text.replace(QStringLiteral("%s"), QString::fromLocal8Bit(std::strerror(writeError)));
            ShowMessage(this, QMessageBox::Warning, Host().Text(kTextWriteFailedCaption), text);
        }
    }

    // The save-file dialog: it opens in the folder of the path in the field, else in the folder of the
    // last wave file chosen; a name without an extension gets ".wav".
    void Browse() {
        const QString path = path_->text();
        const int slash = int(path.lastIndexOf(QLatin1Char('/')));
        QString folder = slash >= 0 ? path.left(slash) : QString();
        const QString name = path.mid(slash + 1);
        if (folder.isEmpty()) folder = LastWaveFolder();
        if (folder.isEmpty()) folder = QString::fromStdString(Host().Canvas().Settings().WaveFolder);
        const QString start = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
        QFileDialog::Options options;
        if (Writer().Bool(wave_writer::Append)) options |= QFileDialog::DontConfirmOverwrite;
        QString chosen = QFileDialog::getSaveFileName(this, Host().Text(154), start,
                                                      QtFileFilter(Host().Text(146)), nullptr, options);
        if (chosen.isEmpty()) return;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".wav");
        path_->setText(chosen);
        Host().Canvas().EditField(PathField(), chosen.toStdString(), NewGesture());
        shown_ = Writer().texts[wave_writer::FilePath];
        LastWaveFolder() = QFileInfo(chosen).absolutePath();
        Host().Canvas().RememberWaveFolder(LastWaveFolder().toStdString());
    }

    QLabel* label_;
    QLineEdit* path_;
    PillButton* browse_;
    PushLikePill* recording_;
    PushLikePill* stopped_;
    QButtonGroup* group_;
    std::string shown_{"\x01"}; // never a module's path: the first Refresh shows it
    int gesture_ = 0;
};

} // namespace

std::unique_ptr<ModulePart> MakeWaveWriterPart(ModulePartHost& host, QWidget* parent) {
    return std::make_unique<WaveWriterPart>(host, parent);
}

} // namespace mw::parts
