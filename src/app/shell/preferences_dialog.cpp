#include "app/shell/preferences_dialog.hpp"

#include "app/shell/language_dialog.hpp"
#include "app/shell/minimisation_dialog.hpp"

namespace mw {

namespace {

struct BoxInfo {
    const char* name;
    int text;
};

// In the order of the dialog's Box enumeration.
constexpr BoxInfo kBoxes[] = {
    {"wrapMouse", 13},       {"checkForUpdateAtStart", 504}, {"autoStartSound", 48},
    {"startupShortcut", 49}, {"realTimePriority", 431},
};

} // namespace

PreferencesDialog::PreferencesDialog(QWidget* parent, AppContext& context, Hooks hooks)
    : ProgramDialog(parent, context.settings), context_(context), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("preferences"));
    boxes_.reserve(BoxCount);
    for (const BoxInfo& info : kBoxes) {
        boxes_.emplace_back(*this, QString::fromLatin1(info.name));
        connect(&boxes_.back().Box(), &QCheckBox::toggled, this, [this] { UpdateApply(); });
    }
    wrapHelp_ = AddNamedButton(*this, QStringLiteral("wrapMouseHelp"));
    minimisation_ = AddNamedButton(*this, QStringLiteral("minimisationOptions"));
    language_ = AddNamedButton(*this, QStringLiteral("languageOptions"));
    visual_ = AddNamedButton(*this, QStringLiteral("visualPreferences"));
    ok_ = AddNamedButton(*this, QStringLiteral("ok"));
    cancel_ = AddNamedButton(*this, QStringLiteral("cancel"));
    apply_ = AddNamedButton(*this, QStringLiteral("apply"));
    visual_->setEnabled(bool(hooks_.openVisualPreferences));

    connect(wrapHelp_, &QPushButton::clicked, this, [this] { Inform(this, context_, 12, 13); });
    connect(minimisation_, &QPushButton::clicked, this, [this] { OpenMinimisationOptions(); });
    connect(language_, &QPushButton::clicked, this, [this] { ChooseLanguage(); });
    connect(visual_, &QPushButton::clicked, this, [this] {
        if (hooks_.openVisualPreferences) {
            hooks_.openVisualPreferences();
        }
    });
    connect(ok_, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });

    shortcutExists_ = hooks_.startupShortcutExists && hooks_.startupShortcutExists();
    ReadBoxes();
    SetTexts();
    Place();
}

bool PreferencesDialog::Stored(Box box) const {
    const ProgramSettings& s = context_.settings;
    switch (box) {
    case WrapMouse:
        return s.WrapMouse != 0;
    case CheckForUpdate:
        return s.CheckForUpdateAtStart != 0;
    case AutoStart:
        return s.AutoStartSound != 0;
    case StartupShortcut:
        return shortcutExists_;
    case RealTimePriority:
        return s.RealTimePriority != 0;
    case BoxCount:
        break;
    }
    return false;
}

void PreferencesDialog::ReadBoxes() {
    for (int box = 0; box < BoxCount; ++box) {
        boxes_[box].SetChecked(Stored(Box(box)));
    }
    UpdateApply();
}

bool PreferencesDialog::ApplyEnabled() const {
    for (int box = 0; box < BoxCount; ++box) {
        if (boxes_[box].IsChecked() != Stored(Box(box))) {
            return true;
        }
    }
    return false;
}

void PreferencesDialog::UpdateApply() {
    apply_->setEnabled(ApplyEnabled());
}

void PreferencesDialog::Apply() {
    ProgramSettings& s = context_.settings;
    s.WrapMouse = boxes_[WrapMouse].IsChecked() ? 1 : 0;
    s.CheckForUpdateAtStart = boxes_[CheckForUpdate].IsChecked() ? 1 : 0;
    s.AutoStartSound = boxes_[AutoStart].IsChecked() ? 1 : 0;
    s.RealTimePriority = boxes_[RealTimePriority].IsChecked() ? 1 : 0;
    const bool wantShortcut = boxes_[StartupShortcut].IsChecked();
    if (wantShortcut != shortcutExists_) {
        if (hooks_.setStartupShortcut && hooks_.setStartupShortcut(wantShortcut)) {
            shortcutExists_ = wantShortcut;
        } else {
            // The shortcut could not be changed: the box shows what is there.
            shortcutExists_ = hooks_.startupShortcutExists && hooks_.startupShortcutExists();
            boxes_[StartupShortcut].SetChecked(shortcutExists_);
        }
    }
    if (hooks_.settingsChanged) {
        hooks_.settingsChanged(0);
    }
    update();
    if (context_.saveSettings) {
        context_.saveSettings();
    }
    UpdateApply();
}

void PreferencesDialog::ChooseLanguage() {
    mw::ChooseLanguage(this, context_);
    if (context_.saveSettings) {
        context_.saveSettings();
    }
    if (hooks_.settingsChanged) {
        hooks_.settingsChanged(1);
    }
    ApplyLook();
    SetTexts();
    Place();
}

void PreferencesDialog::OpenMinimisationOptions() {
    MinimisationDialog dialog(this, context_, [this] {
        if (hooks_.settingsChanged) {
            hooks_.settingsChanged(0);
        }
    });
    dialog.exec();
}

void PreferencesDialog::SetTexts() {
    setWindowTitle(context_.Text(28));
    for (int box = 0; box < BoxCount; ++box) {
        boxes_[box].SetText(context_.Text(kBoxes[box].text));
    }
    wrapHelp_->setText(QStringLiteral("?"));
    minimisation_->setText(context_.Text(181));
    language_->setText(context_.Text(51));
    visual_->setText(context_.Text(214));
    ok_->setText(context_.Text(45));
    cancel_->setText(context_.Text(46));
    apply_->setText(context_.Text(47));
}

void PreferencesDialog::Place() {
    // Left: the five boxes (the last one's caption takes four lines); right: the three entries to
    // the other preferences; bottom: Okay, Cancel, Apply.
    boxes_[WrapMouse].Place(*this, 7, 7, 180, 20);
    PlaceDu(*wrapHelp_, 190, 7, 28, 14);
    boxes_[CheckForUpdate].Place(*this, 7, 30, 211, 20);
    boxes_[AutoStart].Place(*this, 7, 53, 211, 20);
    boxes_[StartupShortcut].Place(*this, 7, 76, 211, 20);
    boxes_[RealTimePriority].Place(*this, 7, 99, 211, 42);
    PlaceDu(*minimisation_, 226, 7, 150, 16);
    PlaceDu(*language_, 226, 30, 150, 16);
    PlaceDu(*visual_, 226, 53, 150, 16);
    PlaceDu(*ok_, 126, 148, 80, 16);
    PlaceDu(*cancel_, 211, 148, 80, 16);
    PlaceDu(*apply_, 296, 148, 80, 16);
    SetSizeDu(383, 171);
}

} // namespace mw
