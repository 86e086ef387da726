#include "app/shell/help_dialog.hpp"

#include "app/shell/dialog_parts.hpp"
#include "app/shell/web_links.hpp"

namespace mw {

HelpDialog::HelpDialog(QWidget* parent, AppContext& context)
    : ProgramDialog(parent, context.settings), context_(context) {
    setObjectName(QStringLiteral("help"));
    setWindowTitle(context_.Text(27));
    const struct {
        const char* name;
        int text;
        int y;
    } buttons[] = {{"onlineHelp", 242, 7}, {"forum", 614, 27}, {"commandLine", 36, 47}, {"ok", 45, 74}};
    for (const auto& info : buttons) {
        PillButton* button = AddButton(context_.Text(info.text), 7, info.y, 200, 16);
        button->setObjectName(QString::fromLatin1(info.name));
    }
    auto* ok = findChild<PillButton*>(QStringLiteral("ok"));
    PlaceDu(*ok, 67, 74, 80, 16);
    connect(findChild<PillButton*>(QStringLiteral("onlineHelp")), &QPushButton::clicked, this,
            [] { OpenProductPage(QString::fromLatin1(kSupportPagePath)); });
    connect(findChild<PillButton*>(QStringLiteral("forum")), &QPushButton::clicked, this,
            [] { OpenForumPage(); });
    connect(findChild<PillButton*>(QStringLiteral("commandLine")), &QPushButton::clicked, this,
            [this] { ShowCommandLineHelp(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    SetSizeDu(214, 97);
}

void HelpDialog::ShowCommandLineHelp() {
    QMessageBox box(QMessageBox::Information, context_.Text(17), context_.Text(16), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("commandLineHelp"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace mw
