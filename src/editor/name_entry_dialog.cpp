// The name entry dialog: two labelled edits over the width, OK and Cancel along the bottom edge.

#include "editor/name_entry_dialog.hpp"

#include <QLabel>
#include <QResizeEvent>

#include "editor/colours.hpp"

namespace mw {

namespace {

constexpr int kWidthDu = 186;
constexpr int kHeightDu = 92;

// White on dark green, the status colours of the program's value edits.
void ApplyStatusColours(QLineEdit& edit) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, QColor(0, 80, 0));
    palette.setColor(QPalette::Text, QColor(255, 255, 255));
    edit.setPalette(palette);
}

} // namespace

NameEntryDialog::NameEntryDialog(QWidget* parent, const ProgramSettings& settings,
                                 const LanguageStrings& strings, const std::string& oldName)
    : ProgramDialog(parent, settings, DialogFontGroup::Setup) {
    setWindowTitle(QString::fromStdString(oldName));
    auto* oldLabel = new QLabel(QString::fromStdString(strings.Text(72)), this);
    oldLabel->setObjectName("oldLabel");
    auto* newLabel = new QLabel(QString::fromStdString(strings.Text(73)), this);
    newLabel->setObjectName("newLabel");
    oldValue_ = new QLineEdit(QString::fromStdString(oldName), this);
    oldValue_->setObjectName("oldValue");
    oldValue_->setReadOnly(true);
    oldValue_->setFocusPolicy(Qt::NoFocus);
    newValue_ = new QLineEdit(QString::fromStdString(oldName), this);
    newValue_->setObjectName("newValue");
    if (!settings.PlainStatusColours) {
        ApplyStatusColours(*oldValue_);
        ApplyStatusColours(*newValue_);
    }
    PlaceDu(*oldLabel, 7, 7, 172, 9);
    PlaceDu(*oldValue_, 7, 17, 172, 13);
    PlaceDu(*newLabel, 7, 35, 172, 9);
    PlaceDu(*newValue_, 7, 45, 172, 13);
    ok_ = AddButton(QString::fromStdString(strings.Text(45)), 40, 68, 66, 16);
    cancel_ = AddButton(QString::fromStdString(strings.Text(46)), 113, 68, 66, 16);
    ok_->setObjectName("ok");
    cancel_->setObjectName("cancel");
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    SetSizeDu(kWidthDu, kHeightDu);
    setMinimumSize(size());
    setSizeGripEnabled(true);
    newValue_->setFocus();
    newValue_->selectAll();
}

void NameEntryDialog::resizeEvent(QResizeEvent* event) {
    ProgramDialog::resizeEvent(event);
    // The edits follow the width, the buttons the bottom edge.
    const QSize grow = event->size() - minimumSize();
    const QRect edit = Du(7, 17, 172, 13);
    for (QWidget* w : {static_cast<QWidget*>(oldValue_), static_cast<QWidget*>(newValue_)})
        w->resize(edit.width() + std::max(0, grow.width()), w->height());
    const QRect okRect = Du(40, 68, 66, 16);
    const QRect cancelRect = Du(113, 68, 66, 16);
    const int dy = std::max(0, grow.height());
    const int dx = std::max(0, grow.width());
    ok_->move(okRect.x() + dx, okRect.y() + dy);
    cancel_->move(cancelRect.x() + dx, cancelRect.y() + dy);
}

std::optional<std::string> AskName(QWidget* parent, const ProgramSettings& settings,
                                   const LanguageStrings& strings, const std::string& oldName) {
    NameEntryDialog dialog(parent, settings, strings, oldName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.NewName();
}

} // namespace mw
