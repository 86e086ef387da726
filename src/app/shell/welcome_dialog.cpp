#include "app/shell/welcome_dialog.hpp"

#include "app/shell/dialog_parts.hpp"
#include "app/shell/web_links.hpp"

namespace mw {

WelcomeDialog::WelcomeDialog(QWidget* parent, AppContext& context) : ProgramDialog(parent, context.settings) {
    setObjectName(QStringLiteral("welcome"));
    setWindowTitle(context.Text(248));
    QLabel* text = AddWrappingLabel(*this, QStringLiteral("text"));
    text->setText(context.Text(250));
    PlaceDu(*text, 7, 7, 286, 104);

    const struct {
        const char* name;
        int text;
        WelcomeChoice choice;
    } examples[] = {
        {"mouse", 244, WelcomeChoice::Mouse},           {"midi", 245, WelcomeChoice::Midi},
        {"microphone", 246, WelcomeChoice::Microphone}, {"modulation", 247, WelcomeChoice::Modulation},
        {"sequence", 291, WelcomeChoice::Sequence},
    };
    int y = 116;
    for (const auto& example : examples) {
        PillButton* button = AddButton(context.Text(example.text), 32, y, 236, 16);
        button->setObjectName(QString::fromLatin1(example.name));
        const WelcomeChoice choice = example.choice;
        connect(button, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            accept();
        });
        y += 20;
    }
    PillButton* tutorials = AddButton(context.Text(483), 32, y + 6, 236, 16);
    tutorials->setObjectName(QStringLiteral("tutorials"));
    connect(tutorials, &QPushButton::clicked, this,
            [] { OpenProductPage(QString::fromLatin1(kTutorialsPagePath)); });
    PillButton* ok = AddButton(context.Text(249), 110, y + 32, 80, 16);
    ok->setObjectName(QStringLiteral("ok"));
    connect(ok, &QPushButton::clicked, this, [this] {
        choice_ = WelcomeChoice::None;
        accept();
    });
    SetSizeDu(300, y + 55);
}

} // namespace mw
