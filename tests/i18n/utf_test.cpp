// Conversions between UTF-8 and UTF-16.
#include <gtest/gtest.h>

#include <string>

#include "base/utf.hpp"

namespace mw {
namespace {

TEST(Utf, WellFormedTextRoundTrips) {
    const std::string text = "Français 日本語 \xF0\x9F\x8E\xB5 end"; // includes a character beyond U+FFFF
    const std::u16string units = utf::Utf8ToUtf16(text);
    EXPECT_EQ(units, u"Français 日本語 \U0001F3B5 end");
    EXPECT_EQ(utf::Utf16ToUtf8(units), text);
    EXPECT_EQ(utf::Utf16ToBytes(utf::BytesToUtf16(text)), text);
}

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
    EXPECT_EQ(utf::Utf8ToUtf16("a\xFF"
                               "b\xC3"),
              u"a\uFFFDb\uFFFD");
    EXPECT_EQ(utf::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // an encoded surrogate
    EXPECT_EQ(utf::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");           // an overlong form
    EXPECT_EQ(utf::Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf::Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Utf, AnyBytesSurviveTheLosslessForm) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes.push_back(char(b));
    bytes += "\xC3\xA9\xE2\x82"; // a whole and a cut sequence
    EXPECT_EQ(utf::Utf16ToBytes(utf::BytesToUtf16(bytes)), bytes);
    EXPECT_EQ(utf::BytesToUtf16("\xFF"), std::u16string(1, char16_t(0xDCFF)));
}

} // namespace
} // namespace mw
