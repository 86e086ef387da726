#include "editor/fonts.hpp"

#include <QFontDatabase>

#include "i18n/language_strings.hpp"

namespace mw {

namespace {

const QStringList& TemplateFamilies() {
    static const QStringList families{"Microsoft Sans Serif", "MS Sans Serif", "Liberation Sans", "Arimo",
                                      "Nimbus Sans",          "DejaVu Sans"};
    return families;
}

const QStringList& LucidaFamilies() {
    static const QStringList families{"Lucida Sans Unicode", "Lucida Sans", "DejaVu Sans"};
    return families;
}

// Japanese text: the Latin designs lack its glyphs, so the stand-in is a Japanese family.
const QStringList& JapaneseLucidaFamilies() {
    static const QStringList families{"Lucida Sans Unicode", "Noto Sans CJK JP", "DejaVu Sans"};
    return families;
}

const QStringList& JapaneseTahomaFamilies() {
    static const QStringList families{"Tahoma", "Noto Sans CJK JP", "DejaVu Sans"};
    return families;
}

QFont FontOf(const QStringList& families, int pointSize) {
    QFont font(FirstInstalledFamily(families));
    font.setPointSize(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

bool UsesReplacementDialogFont(uint16_t languageCode) {
    return languageCode == kLanguageJapanese || languageCode == kLanguageUserFile;
}

QFont DialogFont(uint16_t languageCode, DialogFontGroup group) {
    if (group == DialogFontGroup::LanguageChoice) {
        return FontOf(JapaneseLucidaFamilies(), 14); // it shows the Japanese prompt in every language
    }
    if (!UsesReplacementDialogFont(languageCode)) {
        return FontOf(TemplateFamilies(), 8);
    }
    return group == DialogFontGroup::Setup ? FontOf(JapaneseTahomaFamilies(), 10)
                                           : FontOf(JapaneseLucidaFamilies(), 8);
}

QFont PillButtonFont() {
    return FontOf(LucidaFamilies(), 12);
}

QString FirstInstalledFamily(const QStringList& families) {
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family)) {
            return family;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace mw
