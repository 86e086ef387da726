// Value forms of patch files: key lookup, numbers, booleans, output-device routings, sequence escapes.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <sstream>
#include <tuple>

#include "base/text.hpp"
#include "model/config_values.hpp"

namespace mw::config {
namespace {

TEST(ConfigGetValue, KeysMatchAtLineStartsWhenEqualsFollows) {
    const std::u16string_view range =
        u"[Module_ControlRange]\r\nName= Range 1 \t\r\nValue_Input1=5\r\nValue_Input=7\r\n"
        u"XValue_Input=9\r\nvalue_input=8\r\nDoKeepInRange =1\r\n";
    const std::tuple<std::u16string_view, const char*, std::u16string_view> rows[] = {
        {range, "Name", u"Range 1"},   // blanks and TABs stripped at both ends
        {range, "Value_Input", u"7"},  // told apart from a longer key by "="; the first match wins
        {range, "VALUE_INPUT1", u"5"}, // letter case of the key ignored
        {range, "DoKeepInRange", u""}, // "=" must follow the key directly
        {range, "Absent", u""},
        {u"Name=first\r\nName=second", "Name", u"first"},
        {u"[x]\nName=a\rName=b Name=c", "Name", u""}, // only after CR LF, not a lone LF or CR
        {u"[x]\r\nName=a\rb\r\n", "Name", u"a"},      // the value ends at CR or LF
        {u"[x]\r\nName=a\nb", "Name", u"a"},
        {u"[x]\r\nName=", "Name", u""},
        {u"[x]\r\nName=\ta = [b]\t \r\n", "Name", u"a = [b]"}, // only the ends are stripped
    };
    for (auto [text, key, value] : rows)
        EXPECT_EQ(GetValue(text, key), value) << testing::PrintToString(text);
}

TEST(ConfigGetValue, SectionIndexAgreesWithSingleLookups) {
    const KeySet keys(
        std::vector<std::string>{"Name", "Position", "Value_Input", "Value_Input1", "DoFreqMode"});
    const std::u16string text = u"[k]\r\nPOSITION=1,2\r\nvalue_input1= 4\r\nName\r\nName=x=y\r\nValue_Input=3"
                                u"\r\nValue_Input=9\r\nDoFreqMode =1";
    const SectionValues values(text, keys);
    for (const char* k : {"Name", "Position", "Value_Input", "Value_Input1", "DoFreqMode", "Other"})
        EXPECT_EQ(values.Get(k), GetValue(text, k)) << k;
    EXPECT_EQ(values.Get("Name"), u"x=y");
    EXPECT_TRUE(values.Has(keys.Find("Position")));
    EXPECT_FALSE(values.Has(keys.Find("DoFreqMode")));
}

TEST(ConfigNumbers, ReadLikeScanf) {
    using testing::PrintToString;
    const std::pair<std::u16string_view, double> reals[] = {
        {u"12abc", 12.0}, {u" \v-3.5e2x", -350.0}, {u"+4.4", 4.4}, {u".5", 0.5}, {u"1e", 1.0}};
    for (auto [text, value] : reals) EXPECT_EQ(ReadReal(text), value) << PrintToString(text);
    // Non-finite numbers would poison delay lines and voices: unreadable.
    for (std::u16string_view text :
         {u"", u"abc", u"+-1", u"--1", u"nan", u"NaN", u"-nan", u"inf", u"-Infinity", u"1e999", u"-1e400"})
        EXPECT_EQ(ReadReal(text), std::nullopt) << PrintToString(text);
    const std::u16string_view section = u"[k]\r\nA=nan\r\nB=x\r\nC=2.5";
    EXPECT_EQ(std::tuple(GetNumber(section, "A"), GetNumber(section, "B"), GetNumber(section, "C")),
              std::tuple(0.0, 0.0, 2.5));
    const std::pair<std::u16string_view, int64_t> longs[] = {
        {u"12abc", 12}, {u" -7", -7}, {u"+5", 5}, {u"4.9", 4}};
    for (auto [text, value] : longs) EXPECT_EQ(ReadLong(text), value) << PrintToString(text);
    for (std::u16string_view text : {u"-", u"x1", u"99999999999999999999"})
        EXPECT_EQ(ReadLong(text), std::nullopt) << PrintToString(text);
    EXPECT_EQ(
        std::tuple(ReadInt32(u"2147483647"), ReadInt32(u"-2147483648"), ReadInt32(u"2147483648")),
        std::tuple(std::optional(2147483647), std::optional(-2147483647 - 1), std::optional<int32_t>()));
    const std::pair<double, int32_t> subTypes[] = {{0.9, 0}, {-0.9, 0}, {1.7, 1}, {-2.5, -2}, {1e300, -1}};
    for (auto [number, subType] : subTypes) EXPECT_EQ(TruncateSubType(number), subType) << number;
}

TEST(ConfigNumbers, RealsWrittenAsPercentLg) {
    const std::pair<double, const char*> rows[] = {
        {100, "100"},       {4.4, "4.4"},           {0.1 + 0.2, "0.3"},       {-100, "-100"},
        {0, "0"},           {123456, "123456"},     {1234567, "1.23457e+06"}, {1e-5, "1e-05"},
        {0.0001, "0.0001"}, {2.0 / 3.0, "0.666667"}};
    for (auto [value, text] : rows) EXPECT_EQ(FormatReal(value), text) << value;
    EXPECT_EQ(FormatLong(-555), "-555");
}

// A locale whose decimal point is a comma, for the C++ side of the process.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(ConfigNumbers, IndependentOfTheCppLocale) {
    const std::locale previousCpp = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    std::ostringstream probe;
    probe << 4.4;
    EXPECT_EQ(probe.str(), "4,4"); // the comma locale is in force
    EXPECT_EQ(std::tuple(FormatReal(4.4), ReadReal(u"4.4"), ReadReal(u"4,4")), std::tuple("4.4", 4.4, 4.0));
    std::locale::global(previousCpp);
}

TEST(ConfigNumbers, IndependentOfTheCLocale) {
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    bool comma = false; // a C locale with a decimal comma, when the system has one
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"})
        if (!comma && std::setlocale(LC_ALL, name)) comma = true;
    if (!comma) GTEST_SKIP() << "no C locale with a decimal comma is installed";
    char probe[32];
    std::snprintf(probe, sizeof probe, "%g", 4.4);
    EXPECT_STREQ(probe, "4,4"); // the comma locale is in force
    EXPECT_EQ(std::tuple(FormatReal(4.4), ReadReal(u"4.4")), std::tuple("4.4", 4.4));
    std::setlocale(LC_ALL, previousC.c_str());
}

TEST(ConfigValueForms, BooleansAndOutputDevices) {
    for (const char16_t* v : {u"1", u"TRUE", u"true", u"True"}) EXPECT_TRUE(ReadBool(v));
    for (const char16_t* v : {u"yes", u"0", u"", u"2", u"1.0", u"01", u"truex"}) EXPECT_FALSE(ReadBool(v));
    const std::pair<int32_t, const char*> written[] = {
        {-555, "-555 (L+R)"}, {-1, "-1 (L+R)"}, {2, "2 (L+R)"}, {100, "0 (L)"},
        {99, "-1 (L)"},       {199, "-1 (R)"},  {203, "3 (R)"}};
    for (auto [id, text] : written) EXPECT_EQ(FormatOutputDevice(id), text) << id;
    const std::pair<std::u16string_view, int32_t> read[] = {
        {u"2 (l)", 102},  {u"-1 (R)", 199}, {u"3", -555},   {u"", -555},
        {u"(L+R)", -555}, {u"x (L)", -555}, {u"4(l+r)", 4}, {u"5 (R) (L)", 105}}; // "(L)" is looked for first
    for (auto [text, id] : read) EXPECT_EQ(ReadOutputDevice(text), id) << testing::PrintToString(text);
    for (int32_t id : {-555, -1, 0, 8, 99, 100, 108, 199, 200, 208})
        EXPECT_EQ(ReadOutputDevice(Widen(FormatOutputDevice(id))), id) << id;
}

TEST(ConfigValueForms, SequenceEscapes) {
    EXPECT_EQ(EscapeSequence(u"C4 D4\tE4\r\nF4\rG4\nA4"), u"C4%20D4%09E4\\nF4\\nG4\\nA4");
    const std::pair<std::u16string_view, std::u16string_view> unescaped[] = {
        {u"C4%20D4%09E4\\nF4\\nG4", u"C4 D4\tE4\r\nF4\r\nG4"},
        {u"50%%%41%4", u"50%A%4"},
        {u"%G1%2", u"%G1%2"},
        {u"%e9", u"\u00e9"}};
    for (auto [text, expected] : unescaped) EXPECT_EQ(UnescapeSequence(text), expected);
    // "%" and backslash are escaped too, so that they survive the reader's decoding.
    const std::u16string odd = u"100% \\n%41";
    EXPECT_EQ(EscapeSequence(odd), u"100%25%20%5Cn%2541");
    EXPECT_EQ(UnescapeSequence(EscapeSequence(odd)), odd);
}

} // namespace
} // namespace mw::config
