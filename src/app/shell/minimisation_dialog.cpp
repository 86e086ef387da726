#include "app/shell/minimisation_dialog.hpp"

namespace mw {

namespace {

struct BoxInfo {
    const char* name;
    int text;
    uint8_t ProgramSettings::*field;
};

// Boxes 1001 to 1006; the first three sit in the "System Tray settings" group.
constexpr BoxInfo kBoxes[] = {
    {"showTrayIcon", 183, &ProgramSettings::ShowTrayIcon},
    {"trayIconOnlyWhenMinimized", 184, &ProgramSettings::TrayIconOnlyWhenMinimized},
    {"hideTaskbarButtonWhenMinimized", 185, &ProgramSettings::HideTaskbarButtonWhenMinimized},
    {"minimizeShortlyAfterStart", 186, &ProgramSettings::MinimizeShortlyAfterStart},
    {"minimizeOnClose", 187, &ProgramSettings::MinimizeOnClose},
    {"minimizeOnEsc", 188, &ProgramSettings::MinimizeOnEsc},
};
constexpr int kBoxCount = int(std::size(kBoxes));

} // namespace

MinimisationDialog::MinimisationDialog(QWidget* parent, AppContext& context,
                                       std::function<void()> settingsChanged)
    : ProgramDialog(parent, context.settings), context_(context),
      settingsChanged_(std::move(settingsChanged)) {
    setObjectName(QStringLiteral("minimisation"));
    ProgramSettings& s = context_.settings;
    s.TrayQuestionAsked = 1;
    s.CloseQuestionAsked = 1;
    s.EscQuestionAsked = 1;

    tray_ = new QGroupBox(this);
    tray_->setObjectName(QStringLiteral("systemTray"));
    boxes_.reserve(kBoxCount);
    for (const BoxInfo& info : kBoxes) {
        boxes_.emplace_back(*this, QString::fromLatin1(info.name));
        boxes_.back().SetChecked(s.*info.field != 0);
        connect(&boxes_.back().Box(), &QCheckBox::toggled, this, [this] { UpdateControls(); });
    }
    ok_ = AddNamedButton(*this, QStringLiteral("ok"));
    cancel_ = AddNamedButton(*this, QStringLiteral("cancel"));
    apply_ = AddNamedButton(*this, QStringLiteral("apply"));
    connect(ok_, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });

    UpdateControls();
    SetTexts();
    Place();
}

bool MinimisationDialog::ApplyEnabled() const {
    for (int box = 0; box < kBoxCount; ++box) {
        if (boxes_[box].IsChecked() != (context_.settings.*kBoxes[box].field != 0)) {
            return true;
        }
    }
    return false;
}

void MinimisationDialog::UpdateControls() {
    // The tray details matter only with the icon; without it they keep their ticks.
    const bool icon = boxes_[0].IsChecked();
    boxes_[1].SetEnabled(icon);
    boxes_[2].SetEnabled(icon);
    apply_->setEnabled(ApplyEnabled());
}

void MinimisationDialog::Apply() {
    for (int box = 0; box < kBoxCount; ++box) {
        context_.settings.*kBoxes[box].field = boxes_[box].IsChecked() ? 1 : 0;
    }
    if (settingsChanged_) {
        settingsChanged_();
    }
    if (context_.saveSettings) {
        context_.saveSettings();
    }
    UpdateControls();
}

void MinimisationDialog::SetTexts() {
    setWindowTitle(context_.Text(181));
    tray_->setTitle(context_.Text(182));
    for (int box = 0; box < kBoxCount; ++box) {
        boxes_[box].SetText(context_.Text(kBoxes[box].text));
    }
    ok_->setText(context_.Text(45));
    cancel_->setText(context_.Text(46));
    apply_->setText(context_.Text(47));
}

void MinimisationDialog::Place() {
    PlaceDu(*tray_, 7, 7, 266, 74);
    boxes_[0].Place(*this, 15, 20, 250, 18);
    boxes_[1].Place(*this, 27, 40, 238, 18);
    boxes_[2].Place(*this, 27, 60, 238, 18);
    boxes_[3].Place(*this, 7, 88, 266, 18);
    boxes_[4].Place(*this, 7, 108, 266, 18);
    boxes_[5].Place(*this, 7, 128, 266, 18);
    PlaceDu(*ok_, 23, 152, 80, 16);
    PlaceDu(*cancel_, 108, 152, 80, 16);
    PlaceDu(*apply_, 193, 152, 80, 16);
    SetSizeDu(280, 175);
}

} // namespace mw
