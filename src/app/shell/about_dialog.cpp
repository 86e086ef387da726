#include "app/shell/about_dialog.hpp"

#include "app/shell/dialog_parts.hpp"
#include "app/shell/web_links.hpp"
#include "setup/setup_dialogs.hpp"

namespace mw {

AboutDialog::AboutDialog(QWidget* parent, AppContext& context) : ProgramDialog(parent, context.settings) {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(context.Text(26));

    auto* host = new QLineEdit(ProductHost(), this);
    host->setObjectName(QStringLiteral("host"));
    host->setReadOnly(true);
    PlaceDu(*host, 7, 9, 180, 12);
    PillButton* goThere = AddButton(context.Text(42), 193, 7, 100, 16);
    goThere->setObjectName(QStringLiteral("goThere"));
    connect(goThere, &QPushButton::clicked, this, [] { OpenProductPage(QStringLiteral("/")); });

    QLabel* text = AddWrappingLabel(*this, QStringLiteral("text"));
    text->setText(context.Text(44));
    PlaceDu(*text, 7, 30, 286, 80);

    sendFeedback_ = AddButton(context.Text(481), 7, 116, 140, 16);
    sendFeedback_->setObjectName(QStringLiteral("sendFeedback"));
    connect(sendFeedback_, &QPushButton::clicked, this, [this, &context] {
        setup::SetupContext setup{context.settings, context.strings, context.saveSettings};
        setup::CommentRequestDialog(this, setup).exec();
    });
    viewEula_ = AddButton(context.Text(482), 153, 116, 140, 16);
    viewEula_->setObjectName(QStringLiteral("viewEula"));
    connect(viewEula_, &QPushButton::clicked, this, [this, &context] {
        const setup::SetupContext setup{context.settings, context.strings, {}};
        setup::LegalAgreementDialog(this, setup, true).exec();
    });
    PillButton* ok = AddButton(context.Text(45), 110, 138, 80, 16);
    ok->setObjectName(QStringLiteral("ok"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    SetSizeDu(300, 161);
}

} // namespace mw
