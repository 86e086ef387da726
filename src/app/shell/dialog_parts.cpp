#include "app/shell/dialog_parts.hpp"

#include <QMouseEvent>

namespace mw {

namespace {

// The caption of a check box: a click on it clicks the box, as a click on a box's own text would.
class CaptionLabel : public QLabel {
public:
    CaptionLabel(QWidget& parent, QCheckBox& box) : QLabel(&parent), box_(box) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            box_.isEnabled()) {
            box_.click();
        }
        QLabel::mouseReleaseEvent(event);
    }

private:
    QCheckBox& box_;
};

// The box's indicator column, in dialog units.
constexpr int kBoxWidth = 12;

} // namespace

CheckRow::CheckRow(QWidget& parent, const QString& name) : box_(new QCheckBox(&parent)) {
    box_->setObjectName(name);
    caption_ = new CaptionLabel(parent, *box_);
    caption_->setObjectName(name + QStringLiteral("Text"));
    caption_->setWordWrap(true);
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    caption_->setBuddy(box_);
}

void CheckRow::SetText(const QString& text) {
    caption_->setText(text);
    box_->setAccessibleName(text);
}

void CheckRow::SetEnabled(bool enabled) {
    box_->setEnabled(enabled);
    caption_->setEnabled(enabled);
}

void CheckRow::Place(const ProgramDialog& dialog, int x, int y, int width, int height) {
    const QRect line = dialog.Du(x, y, kBoxWidth, 10);
    const QSize indicator = box_->sizeHint();
    box_->setGeometry(line.x(), line.y() + (line.height() - indicator.height()) / 2, indicator.width(),
                      indicator.height());
    dialog.PlaceDu(*caption_, x + kBoxWidth, y + 1, width - kBoxWidth, height - 1);
}

QLabel* AddWrappingLabel(QWidget& parent, const QString& name, Qt::Alignment alignment) {
    auto* label = new QLabel(&parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

PillButton* AddNamedButton(ProgramDialog& dialog, const QString& name) {
    PillButton* button = dialog.AddButton(QString(), 0, 0, 0, 0);
    button->setObjectName(name);
    return button;
}

} // namespace mw
