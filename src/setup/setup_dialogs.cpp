#include "setup/setup_dialogs.hpp"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>
#include <cmath>
#include <random>

#include "app/settings/settings_file.hpp"
#include "base/text.hpp"
#include "setup/web_request.hpp"

namespace mw::setup {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

/// A caption that clicks its check box.
class CheckCaption : public QLabel {
public:
    CheckCaption(QCheckBox& box, QWidget* parent) : QLabel(parent), box_(box) {
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        if (box_.isEnabled()) box_.click();
    }

private:
    QCheckBox& box_;
};

WrappedCheck MakeCheck(QWidget& parent, const QString& name, const QString& text) {
    auto* box = new QCheckBox(&parent);
    box->setObjectName(name);
    auto* caption = new CheckCaption(*box, &parent);
    caption->setObjectName(name + QStringLiteral("Text"));
    caption->setText(text);
    return {box, caption};
}

} // namespace

QString SetupContext::Text(int number) const {
    return Q(strings.Text(number));
}

QString SetupContext::Fill(int number, std::initializer_list<QString> values) const {
    QString text = Text(number);
    qsizetype from = 0;
    for (const QString& value : values) {
        const qsizetype at = text.indexOf(QStringLiteral("%s"), from);
        if (at < 0) break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

bool StartProgramDetached(const std::string& program, const std::string& folder,
                          const QStringList& arguments) {
    return QProcess::startDetached(Q(program), arguments, Q(folder));
}

// ---------------------------------------------------------------- legal agreement

LegalAgreementDialog::LegalAgreementDialog(QWidget* parent, const SetupContext& context, bool readingOnly)
    : ProgramDialog(parent, context.settings, DialogFontGroup::Setup) {
    setObjectName(QStringLiteral("agreement"));
    setWindowTitle(context.Text(627));
    auto* hint = new QLabel(context.Text(628), this);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setWordWrap(true);
    hint->setVisible(!readingOnly);
    PlaceDu(*hint, 7, 7, 286, 18);
    auto* text = new QPlainTextEdit(context.Text(632), this);
    text->setObjectName(QStringLiteral("text"));
    text->setReadOnly(true);
    PlaceDu(*text, 7, 27, 286, 166);
    if (readingOnly) {
        PillButton* proceed = AddButton(context.Text(629), 110, 199, 80, 16);
        proceed->setObjectName(QStringLiteral("continue"));
        connect(proceed, &QPushButton::clicked, this, &QDialog::accept);
    } else {
        PillButton* refuse = AddButton(context.Text(630), 7, 199, 120, 16);
        refuse->setObjectName(QStringLiteral("refuse"));
        connect(refuse, &QPushButton::clicked, this, &QDialog::reject);
        PillButton* accept = AddButton(context.Text(631), 173, 199, 120, 16);
        accept->setObjectName(QStringLiteral("accept"));
        accept->setEnabled(false);
        connect(accept, &QPushButton::clicked, this, &QDialog::accept);
        // The acceptance waits until the text has been scrolled to its end.
        scrollWatch_.setInterval(10);
        connect(&scrollWatch_, &QTimer::timeout, this, [this, text, accept] {
            const QScrollBar* bar = text->verticalScrollBar();
            if (isVisible() && bar->value() >= bar->maximum()) {
                accept->setEnabled(true);
                scrollWatch_.stop();
            }
        });
        scrollWatch_.start();
    }
    SetSizeDu(300, 222);
}

// ---------------------------------------------------------------- installer

void WrappedCheck::Place(ProgramDialog& dialog, int x, int y, int width, int height) const {
    dialog.PlaceDu(*box, x, y, 10, 10);
    dialog.PlaceDu(*caption, x + 12, y + 1, width - 12, height - 1);
}

void WrappedCheck::SetVisible(bool visible) const {
    box->setVisible(visible);
    caption->setVisible(visible);
}

void WrappedCheck::SetEnabled(bool enabled) const {
    box->setEnabled(enabled);
    caption->setEnabled(enabled);
}

InstallerDialog::InstallerDialog(QWidget* parent, SetupContext& context, Places places,
                                 std::string runningExecutable, StartProgram start)
    : ProgramDialog(parent, context.settings, DialogFontGroup::Setup), context_(context),
      places_(std::move(places)), running_(std::move(runningExecutable)), start_(std::move(start)) {
    setObjectName(QStringLiteral("installer"));
    setWindowTitle(context_.Text(600));
    auto* label = new QLabel(context_.Text(601), this);
    label->setObjectName(QStringLiteral("folderLabel"));
    PlaceDu(*label, 7, 7, 286, 10);
    folder_ = new QLineEdit(Q(places_.DefaultFolder()), this);
    folder_->setObjectName(QStringLiteral("folder"));
    folder_->setMaxLength(10000);
    PlaceDu(*folder_, 7, 19, 216, 13);
    PillButton* browse = AddButton(context_.Text(172), 227, 18, 66, 15);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, context_.Text(611), folder_->text());
        if (!chosen.isEmpty()) folder_->setText(chosen + QStringLiteral("/"));
    });

    desktop_ = MakeCheck(*this, QStringLiteral("desktop"), context_.Text(602));
    startMenu_ = MakeCheck(*this, QStringLiteral("startMenu"), context_.Text(603));
    extended_ = MakeCheck(*this, QStringLiteral("extended"), context_.Text(613));
    allUsers_ = MakeCheck(*this, QStringLiteral("allUsers"), context_.Text(605));
    runAfter_ = MakeCheck(*this, QStringLiteral("runAfter"), context_.Text(604));
    update_ = MakeCheck(*this, QStringLiteral("update"), context_.Text(480));
    quickLaunch_ = MakeCheck(*this, QStringLiteral("quickLaunch"), context_.Text(612));
    desktop_.Place(*this, 7, 40, 286, 18);
    startMenu_.Place(*this, 7, 60, 286, 18);
    extended_.Place(*this, 19, 80, 274, 26);
    allUsers_.Place(*this, 7, 108, 286, 18);
    runAfter_.Place(*this, 7, 128, 286, 18);
    update_.Place(*this, 7, 148, 286, 18);
    quickLaunch_.Place(*this, 7, 168, 286, 18);
    quickLaunch_.SetVisible(false); // no quick-launch bar on this desktop
    for (const WrappedCheck* ticked : {&desktop_, &startMenu_, &extended_, &runAfter_})
        ticked->box->setChecked(true);

    const RegistryFile registry = RegistryFile::Read(places_.RegistryPath());
    if (registry.Value(kProductKey, kPathValue)) {
        update_.box->setChecked(true);
    } else if (registry.Find(kProductKey)) {
        update_.SetVisible(false);
    }
    // Shortcuts for all users only where this user may write them.
    allUsers_.SetEnabled(::access(places_.allUsersApplications.c_str(), W_OK) == 0);
    connect(startMenu_.box, &QCheckBox::toggled, this, [this](bool on) { extended_.SetEnabled(on); });

    PillButton* install = AddButton(context_.Fill(606, {kName, kVersion}), 60, 172, 180, 18);
    install->setObjectName(QStringLiteral("install"));
    connect(install, &QPushButton::clicked, this, [this] {
        if (InstallNow()) {
            closingAllowed_ = true;
            accept();
        }
    });
    report = [this](int text, bool failed) {
        if (failed) {
            QMessageBox::critical(this, Q(kName), context_.Text(text));
        } else {
            QMessageBox box(QMessageBox::Information, context_.Text(609),
                            context_.Fill(text, {kName, kVersion}), QMessageBox::Ok, this);
            box.raise();
            box.activateWindow();
            box.exec();
        }
    };
    SetSizeDu(300, 198);
}

InstallOptions InstallerDialog::Options() const {
    InstallOptions o;
    o.folder = folder_->text().toStdString();
    o.desktop = desktop_.box->isChecked();
    o.startMenu = startMenu_.box->isChecked();
    o.extended = o.startMenu && extended_.box->isChecked();
    o.allUsers = allUsers_.box->isEnabled() && allUsers_.box->isChecked();
    o.update = !update_.box->isHidden() && update_.box->isChecked();
    return o;
}

bool InstallerDialog::InstallNow() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    InstallInputs inputs;
    inputs.places = places_;
    inputs.runningExecutable = running_;
    inputs.names = {context_.Fill(617, {kName}).toStdString(), context_.Text(615).toStdString(),
                    context_.Text(616).toStdString(), context_.Text(614).toStdString()};
    inputs.onlineHelpUrl = ProductPageAddress(kOnlineHelpPagePath);
    inputs.forumUrl = ForumAddress();
    inputs.homeUrl = ProductPageAddress("/");
    const ProgramSettings& settings = context_.settings;
    inputs.writeSettings = [&settings](const std::string& path) { return SaveSettings(settings, path); };
    const InstallResult result = Install(Options(), inputs);
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    if (!result.copied) {
        report(607, true);
        folder_->setText(Q(places_.DefaultFolder()));
        return false;
    }
    report(608, false);
    if (runAfter_.box->isChecked()) start_(result.executable, result.folder, {QStringLiteral("-NoInstall")});
    return true;
}

bool InstallerDialog::ConfirmQuit() {
    if (confirmQuit) return confirmQuit();
    return QMessageBox::question(this, Q(kName), context_.Text(610), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void InstallerDialog::closeEvent(QCloseEvent* event) {
    if (closingAllowed_ || ConfirmQuit()) {
        closingAllowed_ = true;
        ProgramDialog::closeEvent(event);
        reject();
    } else {
        event->ignore();
    }
}

void InstallerDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close(); // asks first
        return;
    }
    ProgramDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- remover

RemoverDialog::RemoverDialog(QWidget* parent, SetupContext& context, Places places, std::string executable)
    : ProgramDialog(parent, context.settings), waitForPid(long(::getpid())), context_(context),
      places_(std::move(places)), executable_(std::move(executable)) {
    setObjectName(QStringLiteral("remover"));
    setWindowTitle(context_.Text(618));
    auto* text = new QLabel(context_.Text(619), this);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);
    PlaceDu(*text, 7, 7, 246, 20);
    PillButton* remove = AddButton(context_.Fill(620, {kName, kVersion}), 7, 32, 246, 36);
    remove->setObjectName(QStringLiteral("remove"));
    connect(remove, &QPushButton::clicked, this, [this] { Remove(); });
    SetSizeDu(260, 76);
}

void RemoverDialog::Remove() {
    result = RemoveInstallation(executable_, places_, waitForPid);
    if (!result.scriptWritten) QMessageBox::critical(this, Q(kName), context_.Text(621));
    startScript(result.script);
    accept();
}

// ---------------------------------------------------------------- rendering splash

RenderingSplash::RenderingSplash(QWidget* parent, SetupContext& context, QSize pictureSize,
                                 std::function<void()> ready)
    : ProgramDialog(parent, context.settings, DialogFontGroup::Setup), context_(context),
      ready_(std::move(ready)) {
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(Q(kName));
    auto* rendering = new QLabel(context_.Text(170), this);
    rendering->setObjectName(QStringLiteral("rendering"));
    PlaceDu(*rendering, 7, 7, 200, 10);
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("progress"));
    PlaceDu(*progress_, 7, 19, 200, 10);
    SetSizeDu(240, 130);
    tick_.setInterval(20);
    connect(&tick_, &QTimer::timeout, this, [this] {
        progress_->setText(Q(FormatNumberText(context_.strings.Text(171), percent_.load())));
        update();
        if (done_.load() && !shown_) {
            shown_ = true;
            tick_.stop();
            progress_->hide();
            setEnabled(false);
            update();
            if (ready_) ready_();
            accept();
        }
    });
    tick_.start();
    worker_ = std::thread(
        [this, pictureSize, seed = unsigned(std::random_device{}())] { Render(pictureSize, seed); });
}

RenderingSplash::~RenderingSplash() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void RenderingSplash::Render(QSize size, unsigned seed) {
    // Only the image is touched here; the dialog reads it once `done_` is set.
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    std::mt19937 random(seed);
    const auto channel = [&random] { return int(random() % 256); };
    const QColor top(channel(), channel(), channel()), bottom(channel(), channel(), channel());
    for (int y = 0; y < image.height() && !stop_; ++y) {
        const double t = image.height() > 1 ? double(y) / (image.height() - 1) : 0.0;
        const QRgb colour = qRgb(int(top.red() + (bottom.red() - top.red()) * t),
                                 int(top.green() + (bottom.green() - top.green()) * t),
                                 int(top.blue() + (bottom.blue() - top.blue()) * t));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + image.width(), colour);
        percent_ = int(33.0 * (y + 1) / image.height());
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(channel(), channel(), channel()), 2.0));
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const double radius = std::min(image.width(), image.height()) / 2.0;
    constexpr int kSteps = 2000;
    QPointF last = centre;
    for (int i = 1; i <= kSteps && !stop_; ++i) {
        const double t = double(i) / kSteps;
        const QPointF next = centre + QPointF(std::cos(t * 40.0), std::sin(t * 40.0)) * radius * t;
        painter.drawLine(last, next);
        last = next;
        percent_ = 33 + int(67.0 * i / kSteps);
    }
    painter.end();
    picture_ = std::move(image);
    done_ = true;
}

void RenderingSplash::paintEvent(QPaintEvent* event) {
    ProgramDialog::paintEvent(event);
    QPainter painter(this);
    if (shown_) painter.drawImage(rect(), picture_);
    QFont font(QStringLiteral("Times New Roman"), 24);
    font.setStyleHint(QFont::Serif);
    painter.setFont(font);
    painter.setPen(Qt::blue);
    painter.drawText(QPoint(152, 90), QStringLiteral("Installation"));
}

// ---------------------------------------------------------------- comment form

CommentRequestDialog::CommentRequestDialog(QWidget* parent, SetupContext& context, bool fromAbout)
    : ProgramDialog(parent, context.settings), context_(context) {
    setObjectName(QStringLiteral("comment"));
    setWindowTitle(context_.Text(424));
    auto* intro = new QLabel(context_.Text(427), this);
    intro->setObjectName(QStringLiteral("intro"));
    intro->setWordWrap(true);
    PlaceDu(*intro, 7, 7, 246, 34);
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName(QStringLiteral("commentText"));
    if (fromAbout) { // the field takes the room of the hidden introduction
        PlaceDu(*comment_, 7, 7, 246, 113);
    } else {
        PlaceDu(*comment_, 7, 44, 246, 76);
    }
    auto* privacy = new QLabel(context_.Text(428), this);
    privacy->setObjectName(QStringLiteral("privacy"));
    privacy->setWordWrap(true);
    PlaceDu(*privacy, 7, 124, 246, 40);
    auto* notAgain = new QCheckBox(context_.Text(426), this);
    notAgain->setObjectName(QStringLiteral("notAgain"));
    PlaceDu(*notAgain, 7, 170, 170, 12);
    intro->setVisible(!fromAbout);
    notAgain->setVisible(!fromAbout);
    send_ = AddButton(context_.Text(425), 183, 168, 70, 16);
    send_->setObjectName(QStringLiteral("send"));
    send_->setEnabled(false);
    connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
        QString text = comment_->toPlainText();
        if (text.size() > 5000) { // the field takes at most 5000 characters
            text.truncate(5000);
            comment_->setPlainText(text);
            comment_->moveCursor(QTextCursor::End);
        }
        send_->setEnabled(CommentHasText(text.toStdU16String()));
    });
    connect(send_, &QPushButton::clicked, this, [this] {
        if (Send()) accept();
    });
    report = [this](bool sent) {
        if (sent) {
            QMessageBox::information(this, context_.Text(429), context_.Text(430));
        } else {
            QMessageBox::critical(this, context_.Text(210), context_.Text(209));
        }
    };
    SetSizeDu(260, 190);
}

bool CommentRequestDialog::Send() {
    std::string reply(kReplyCapacity, '\0');
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int count =
        WebRequest(ProductServer(), FeedbackPath(comment_->toPlainText().toStdString()), reply, timeouts);
    QApplication::restoreOverrideCursor();
    const bool sent = count > 0;
    if (sent) {
        context_.settings.FeedbackSent = 1;
        if (context_.saveSettings) context_.saveSettings();
    }
    report(sent);
    return sent;
}

} // namespace mw::setup
