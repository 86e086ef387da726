// The shell's dialogs: when Apply is offered, what the minimisation options mark and keep, what the
// language buttons store, that Esc closes none of them, and that no text is clipped in any language.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/shell/about_dialog.hpp"
#include "app/shell/help_dialog.hpp"
#include "app/shell/language_dialog.hpp"
#include "app/shell/minimisation_dialog.hpp"
#include "app/shell/preferences_dialog.hpp"
#include "app/shell/welcome_dialog.hpp"
#include "layout_check.hpp"

namespace {

using Field = uint8_t mw::ProgramSettings::*;

struct Fixture {
    mw::ProgramSettings settings;
    mw::LanguageStrings strings;
    mw::GeneralStrings general;
    int saves = 0;
    int changes = 0;
    bool shortcut = false;
    mw::AppContext context{settings, strings, general, [this] { ++saves; }};

    Fixture() {
        mw::LoadGeneralStrings(general);
        mw::ApplyLanguage(settings, strings);
    }
    mw::PreferencesDialog::Hooks Hooks() {
        return {[this](int) { ++changes; }, [this] { return shortcut; },
                [this](bool on) {
                    shortcut = on;
                    return true;
                },
                nullptr};
    }
    std::unique_ptr<QDialog> Make(const QString& name) {
        if (name == "preferences") return std::make_unique<mw::PreferencesDialog>(nullptr, context, Hooks());
        if (name == "minimisation")
            return std::make_unique<mw::MinimisationDialog>(nullptr, context, [this] { ++changes; });
        if (name == "language") return std::make_unique<mw::LanguageDialog>(nullptr, context);
        if (name == "help") return std::make_unique<mw::HelpDialog>(nullptr, context);
        if (name == "welcome") return std::make_unique<mw::WelcomeDialog>(nullptr, context);
        return std::make_unique<mw::AboutDialog>(nullptr, context);
    }
};

const QStringList kDialogs{"preferences", "minimisation", "language", "help", "welcome", "about"};

template <class T = QAbstractButton> T* Child(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
}

} // namespace

class Dialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void applyFollowsTheBoxes();
    void minimisationMarksTheQuestionsAndCancelStoresNothing();
    void trayDetailsDisabledKeepTheirTicks();
    void languageButtonsStoreTheirCodes();
    void failingUserFileLoadsEnglish();
    void languageOptionsRecaptionThePreferences();
    void welcomeChoices();
    void escClosesNoDialog();
    void nothingClipped();
};

void Dialogs::applyFollowsTheBoxes() {
    const struct {
        const char* dialog;
        const char* box;
        Field field; // null: the start-up shortcut
    } rows[] = {
        {"preferences", "wrapMouse", &mw::ProgramSettings::WrapMouse},
        {"preferences", "checkForUpdateAtStart", &mw::ProgramSettings::CheckForUpdateAtStart},
        {"preferences", "autoStartSound", &mw::ProgramSettings::AutoStartSound},
        {"preferences", "startupShortcut", nullptr},
        {"preferences", "realTimePriority", &mw::ProgramSettings::RealTimePriority},
        {"minimisation", "showTrayIcon", &mw::ProgramSettings::ShowTrayIcon},
        {"minimisation", "trayIconOnlyWhenMinimized", &mw::ProgramSettings::TrayIconOnlyWhenMinimized},
        {"minimisation", "hideTaskbarButtonWhenMinimized",
         &mw::ProgramSettings::HideTaskbarButtonWhenMinimized},
        {"minimisation", "minimizeShortlyAfterStart", &mw::ProgramSettings::MinimizeShortlyAfterStart},
        {"minimisation", "minimizeOnClose", &mw::ProgramSettings::MinimizeOnClose},
        {"minimisation", "minimizeOnEsc", &mw::ProgramSettings::MinimizeOnEsc},
    };
    for (const auto& row : rows) {
        Fixture f;
        const auto dialog = f.Make(row.dialog);
        auto* box = Child<QCheckBox>(*dialog, row.box);
        auto* apply = Child(*dialog, "apply");
        const bool before = row.field ? f.settings.*row.field != 0 : f.shortcut;
        QCOMPARE(box->isChecked(), before);
        QVERIFY2(!apply->isEnabled(), row.box);
        box->toggle();
        QVERIFY2(apply->isEnabled(), row.box);
        box->toggle();
        QVERIFY2(!apply->isEnabled(), row.box);
        box->toggle();
        apply->click();
        QCOMPARE(row.field ? f.settings.*row.field != 0 : f.shortcut, !before);
        QCOMPARE(std::tuple(f.saves, f.changes, apply->isEnabled()), std::tuple(1, 1, false));
    }
}

void Dialogs::minimisationMarksTheQuestionsAndCancelStoresNothing() {
    Fixture f;
    mw::ProgramSettings expected = f.settings;
    expected.TrayQuestionAsked = expected.CloseQuestionAsked = expected.EscQuestionAsked = 1;
    const auto dialog = f.Make("minimisation");
    QVERIFY(f.settings == expected);
    Child<QCheckBox>(*dialog, "minimizeOnClose")->toggle();
    Child<QCheckBox>(*dialog, "showTrayIcon")->toggle();
    Child(*dialog, "cancel")->click();
    QVERIFY(f.settings == expected);
    QCOMPARE(std::tuple(f.saves, f.changes, dialog->result()), std::tuple(0, 0, int(QDialog::Rejected)));
}

void Dialogs::trayDetailsDisabledKeepTheirTicks() {
    Fixture f;
    f.settings.ShowTrayIcon = 0;
    f.settings.TrayIconOnlyWhenMinimized = 1;
    f.settings.HideTaskbarButtonWhenMinimized = 1;
    const auto dialog = f.Make("minimisation");
    auto* icon = Child<QCheckBox>(*dialog, "showTrayIcon");
    const QList<QCheckBox*> details{Child<QCheckBox>(*dialog, "trayIconOnlyWhenMinimized"),
                                    Child<QCheckBox>(*dialog, "hideTaskbarButtonWhenMinimized")};
    for (const bool on : {false, true, false}) {
        if (icon->isChecked() != on) icon->click();
        for (QCheckBox* detail : details)
            QCOMPARE(std::pair(detail->isEnabled(), detail->isChecked()), std::pair(on, true));
    }
    Child(*dialog, "minimizeOnEsc")->click();
    Child(*dialog, "ok")->click();
    QCOMPARE(std::tuple(f.settings.ShowTrayIcon, f.settings.TrayIconOnlyWhenMinimized,
                        f.settings.HideTaskbarButtonWhenMinimized, f.settings.MinimizeOnEsc, f.saves),
             std::tuple(uint8_t(0), uint8_t(1), uint8_t(1), uint8_t(1), 1));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void Dialogs::languageButtonsStoreTheirCodes() {
    QTemporaryDir folder;
    const QString file = folder.filePath("mine.txt");
    QFile(file).open(QIODevice::WriteOnly);
    const struct {
        const char* control; // null: the dialog is closed otherwise
        QString chosen;      // the file the picture is given
        int code;            // 77: unchanged
        bool closed;
    } rows[] = {
        {"english", {}, 0, true},
        {"deutsch", {}, 1, true},
        {"francais", {}, 2, true},
        {"espanol", {}, 3, true},
        {"japanese", {}, 4, true},
        {"userFile", file, 1000, true},
        {"userFile", folder.path(), 77, false},
        {"userFile", {}, 77, false},
        {nullptr, {}, 77, true},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.settings.LanguageCode = 77;
        mw::LanguageDialog dialog(nullptr, f.context);
        dialog.chooseFile = [&] { return row.chosen; };
        dialog.show();
        if (!row.control) {
            dialog.close();
        } else if (QString(row.control) == "userFile") {
            QTest::mouseClick(Child<QWidget>(dialog, row.control), Qt::LeftButton);
        } else {
            Child(dialog, row.control)->click();
        }
        QCOMPARE(f.settings.LanguageCode, uint16_t(row.code));
        QCOMPARE(dialog.isVisible(), !row.closed);
        if (row.code == 1000) QCOMPARE(QString::fromStdString(f.settings.UserLanguageFile), file);
    }
    Fixture f;
    QCOMPARE(Child(mw::LanguageDialog(nullptr, f.context), "japanese")->text(), QString::fromUtf8("日本語"));
}

void Dialogs::failingUserFileLoadsEnglish() {
    Fixture f;
    f.settings.LanguageCode = 1000;
    f.settings.UserLanguageFile = "/nonexistent/language.txt";
    QString shown;
    // The language dialog is closed without a choice; the failure message then shows and is closed.
    QTimer::singleShot(0, [&] {
        QApplication::activeModalWidget()->close();
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) {
                shown = box->windowTitle() + "|" + box->text();
                box->accept();
            }
        });
    });
    mw::ChooseLanguage(nullptr, f.context);
    QCOMPARE(
        shown,
        QString("Unable to determine language strings file size|Language strings file is of size zero or "
                "has no size, English will be used..."));
    QCOMPARE(std::pair(f.context.Text(29), f.settings.LanguageCode),
             std::pair(QString("Start"), uint16_t(1000)));
}

void Dialogs::languageOptionsRecaptionThePreferences() {
    Fixture f;
    int repaint = -1;
    mw::PreferencesDialog dialog(nullptr, f.context, {[&](int r) { repaint = r; }, {}, {}, {}});
    QTimer::singleShot(0, [] { Child(*QApplication::activeModalWidget(), "japanese")->click(); });
    Child(dialog, "languageOptions")->click();
    QCOMPARE(std::tuple(f.settings.LanguageCode, dialog.windowTitle(), f.saves, repaint),
             std::tuple(uint16_t(4), QString::fromUtf8("基本設定"), 1, 1));
    QVERIFY(ClippedTexts(dialog).isEmpty());
}

void Dialogs::welcomeChoices() {
    using C = mw::WelcomeChoice;
    const std::pair<const char*, C> rows[] = {{"ok", C::None},
                                              {"mouse", C::Mouse},
                                              {"midi", C::Midi},
                                              {"microphone", C::Microphone},
                                              {"modulation", C::Modulation},
                                              {"sequence", C::Sequence}};
    for (const auto& [name, choice] : rows) {
        Fixture f;
        mw::WelcomeDialog dialog(nullptr, f.context);
        Child(dialog, name)->click();
        QVERIFY(dialog.Choice() == choice && dialog.result() == QDialog::Accepted);
    }
}

void Dialogs::escClosesNoDialog() {
    for (const QString& name : kDialogs) {
        Fixture f;
        const auto dialog = f.Make(name);
        QCOMPARE(dialog->objectName(), name);
        dialog->show();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY2(dialog->isVisible() && dialog->result() == 0, qPrintable(name));
    }
}

void Dialogs::nothingClipped() {
    QStringList clipped;
    for (const uint16_t language : {0, 1, 2, 3, 4}) {
        Fixture f;
        f.settings.LanguageCode = language;
        mw::ApplyLanguage(f.settings, f.strings);
        for (const QString& name : kDialogs) {
            const auto dialog = f.Make(name);
            for (QWidget* hidden : dialog->findChildren<QWidget*>())
                hidden->setVisible(true); // later buttons of About
            for (const QString& control : ClippedTexts(*dialog))
                clipped << QString("%1.%2 (%3)").arg(name, control).arg(language);
        }
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
}

QTEST_MAIN(Dialogs)
#include "Dialogs.moc"
