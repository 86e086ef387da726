#include "app/shell/language_dialog.hpp"

#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include "app/shell/dialog_parts.hpp"

namespace mw {

namespace {

// The picture that stands for "a language file of your own": a page with lines of text, drawn in
// the dialog's text colour. A click runs its action.
class FilePicture : public QLabel {
public:
    FilePicture(QWidget& parent, std::function<void()> action) : QLabel(&parent), action_(std::move(action)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QColor ink = palette().color(QPalette::WindowText);
        const qreal h = height() - 2.0;
        const qreal w = h * 0.75;
        const QRectF page((width() - w) / 2.0, 1.0, w, h);
        const qreal fold = w * 0.3;
        QPainterPath outline;
        outline.moveTo(page.topLeft());
        outline.lineTo(page.right() - fold, page.top());
        outline.lineTo(page.right(), page.top() + fold);
        outline.lineTo(page.bottomRight());
        outline.lineTo(page.bottomLeft());
        outline.closeSubpath();
        painter.fillPath(outline, palette().color(QPalette::Base));
        painter.setPen(QPen(ink, 1.0));
        painter.drawPath(outline);
        painter.drawLine(QPointF(page.right() - fold, page.top()),
                         QPointF(page.right() - fold, page.top() + fold));
        painter.drawLine(QPointF(page.right() - fold, page.top() + fold),
                         QPointF(page.right(), page.top() + fold));
        for (int line = 1; line <= 4; ++line) {
            const qreal y = page.top() + fold + line * (h - fold) / 5.5;
            painter.drawLine(QPointF(page.left() + w * 0.18, y), QPointF(page.right() - w * 0.18, y));
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            action_();
        }
    }

private:
    std::function<void()> action_;
};

struct LanguageButton {
    const char* name;
    const char* label; ///< empty: `GeneralStrings` 8
    uint16_t code;
};

constexpr LanguageButton kButtons[] = {
    {"english", "&English", kLanguageEnglish},    {"deutsch", "&Deutsch", kLanguageDeutsch},
    {"francais", "&Français", kLanguageFrancais}, {"espanol", "E&spañol", kLanguageEspanol},
    {"japanese", "", kLanguageJapanese},
};

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" as the file dialog's filter list.
QString QtFilter(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            filters << parts[i];
        }
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace

LanguageDialog::LanguageDialog(QWidget* parent, AppContext& context)
    : ProgramDialog(parent, context.settings, DialogFontGroup::LanguageChoice), context_(context) {
    setObjectName(QStringLiteral("language"));
    setWindowTitle(QString::fromLatin1(kProductName));
    setWindowIcon(parent ? parent->windowIcon() : QIcon());

    QString prompt = QStringLiteral("\n");
    for (int number = 1; number <= 9; number += 2) {
        prompt += QString::fromStdString(context_.general.Text(number));
        if (number < 9) {
            prompt += QStringLiteral("\n\n");
        }
    }
    QLabel* text = AddWrappingLabel(*this, QStringLiteral("prompt"), Qt::AlignHCenter | Qt::AlignTop);
    text->setText(prompt);
    PlaceDu(*text, 7, 0, 236, 100);

    // The buttons stand in a column below the prompt; the picture beside the first of them takes
    // the size of the "Deutsch" button.
    constexpr int kColumnX = 20, kTop = 102, kWidth = 100, kHeight = 14, kStep = 18;
    int y = kTop;
    QRect deutsch;
    for (const LanguageButton& info : kButtons) {
        const QString label =
            *info.label ? QString::fromUtf8(info.label) : QString::fromStdString(context_.general.Text(8));
        PillButton* button = AddButton(label, kColumnX, y, kWidth, kHeight);
        button->setObjectName(QString::fromLatin1(info.name));
        const uint16_t code = info.code;
        connect(button, &QPushButton::clicked, this, [this, code] { Choose(code); });
        if (info.code == kLanguageDeutsch) {
            deutsch = button->geometry();
        }
        y += kStep;
    }
    auto* picture = new FilePicture(*this, [this] { PickUserFile(); });
    picture->setObjectName(QStringLiteral("userFile"));
    picture->setToolTip(context_.Text(54));
    picture->setGeometry(QRect(Du(kColumnX + kWidth + 10, kTop, 0, 0).topLeft(), deutsch.size()));
    SetSizeDu(250, y + 4);
}

void LanguageDialog::Choose(uint16_t code) {
    context_.settings.LanguageCode = code;
    accept();
}

QString LanguageDialog::AskForFile() {
    QFileDialog dialog(this, context_.Text(54), QString(), QtFilter(context_.Text(50)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().front()
               : QString();
}

void LanguageDialog::PickUserFile() {
    const QString path = chooseFile ? chooseFile() : AskForFile();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir()) {
        return;
    }
    context_.settings.UserLanguageFile = file.absoluteFilePath().toStdString();
    context_.settings.LanguageCode = kLanguageUserFile;
    accept();
}

void ChooseLanguage(QWidget* parent, AppContext& context) {
    {
        LanguageDialog dialog(parent, context);
        dialog.exec();
    }
    const LanguageLoadFailure failure = ApplyLanguage(context.settings, context.strings);
    if (failure != LanguageLoadFailure::None) {
        const LanguageFailureMessage message = MessageFor(failure);
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(message.caption),
                        QString::fromUtf8(message.text), QMessageBox::Ok);
        box.setObjectName(QStringLiteral("languageFailure"));
        box.exec();
    }
}

} // namespace mw
