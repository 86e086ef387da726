// Writing a built-in language as a user language file, and loading it back.
#include <gtest/gtest.h>

#include <string>

#include "i18n/language_export.hpp"
#include "i18n/language_strings.hpp"
#include "language_test_support.hpp"

namespace mw {
namespace {

using test::TempFolder;

TEST(LanguageExport, CodesByNameOrNumber) {
    const std::pair<const char*, uint16_t> good[] = {{"en", kLanguageEnglish},  {"DE", kLanguageDeutsch},
                                                     {"fr", kLanguageFrancais}, {"Es", kLanguageEspanol},
                                                     {"ja", kLanguageJapanese}, {"3", kLanguageEspanol},
                                                     {"0", kLanguageEnglish}};
    for (const auto& [name, code] : good) EXPECT_EQ(ParseLanguageCodeName(name), code) << name;
    for (const char* bad : {"", "xx", "5", "1000", "-1", "eng", "04"})
        EXPECT_FALSE(ParseLanguageCodeName(bad)) << bad;
}

TEST(LanguageExport, ExportedFileLoadsBackAsTheBuiltInLanguage) {
    TempFolder folder;
    for (uint16_t code = 0; code <= 4; ++code) {
        const std::string path = folder.File("lang" + std::to_string(code) + ".txt");
        std::string error;
        ASSERT_TRUE(WriteLanguageFile(code, path, error)) << error;
        const std::string bytes = test::ReadBytes(path);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE"); // UTF-16LE with its byte-order mark
        LanguageStrings builtIn, loaded;
        ASSERT_EQ(ApplyLanguage(builtIn, code, ""), LanguageLoadFailure::None);
        ASSERT_EQ(ApplyLanguage(loaded, kLanguageUserFile, path), LanguageLoadFailure::None);
        EXPECT_EQ(loaded.FilledCount(), 461) << code;
        for (int n = 0; n < LanguageStrings::kSlotCount; ++n) {
            std::string expected = builtIn.Text(n);
            // The agreement is the last entry of the file, where trailing line breaks are stripped.
            if (n == 632)
                while (!expected.empty() && (expected.back() == '\r' || expected.back() == '\n'))
                    expected.pop_back();
            ASSERT_EQ(loaded.Text(n), expected) << "language " << code << ", string " << n;
        }
    }
}

TEST(LanguageExport, GuidanceLinesStandBeforeTheFirstEntry) {
    const std::u16string text = LanguageFileText(kLanguageDeutsch);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text[0], u'\xFEFF');
    const size_t first = text.find(u"\r\n[");
    ASSERT_NE(first, std::u16string::npos);
    EXPECT_EQ(text.substr(first, 7), u"\r\n[0]\tM");
    EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
    EXPECT_EQ(text.find(u"[Zone_"), std::u16string::npos);
}

TEST(LanguageExport, UnwritableFileIsReported) {
    TempFolder folder;
    std::string error;
    EXPECT_FALSE(WriteLanguageFile(kLanguageEnglish, folder.File("missing/folder/lang.txt"), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(WriteLanguageFile(kLanguageEnglish, folder.Path().string(), error)); // a directory
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace mw
