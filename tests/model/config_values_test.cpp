// Value forms of patch files: key lookup, numbers, booleans, output-device routings, sequence escapes.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <sstream>

#include "model/config_values.hpp"

namespace mw::config {
namespace {

TEST(ConfigGetValue, MatchesKeysAtLineStartsFollowedByEquals) {
    const std::u16string text =
        u"[Module_ControlRange]\r\nName= Range 1 \t\r\nValue_Input1=5\r\nValue_Input=7\r\n"
        u"XValue_Input=9\r\nvalue_input=8\r\nDoKeepInRange =1\r\n";
    EXPECT_EQ(GetValue(text, "Name"), u"Range 1");   // blanks and TABs stripped at both ends
    EXPECT_EQ(GetValue(text, "Value_Input"), u"7");  // a longer key is told apart by the "="
    EXPECT_EQ(GetValue(text, "VALUE_INPUT1"), u"5"); // letter case of the key ignored
    EXPECT_EQ(GetValue(text, "DoKeepInRange"), u""); // "=" must follow the key directly
    EXPECT_EQ(GetValue(text, "Absent"), u"");
    EXPECT_EQ(GetNumber(text, "Value_Input"), 7.0); // the first matching line wins (not "value_input=8")
}

TEST(ConfigGetValue, LineStartsAreTheTextStartAndCrLf) {
    EXPECT_EQ(GetValue(u"Name=first\r\nName=second", "Name"), u"first");
    // A key only counts after CR LF: not after a lone LF, a lone CR or inside a line.
    EXPECT_EQ(GetValue(u"[x]\nName=a\rName=b Name=c", "Name"), u"");
    // The value ends at the next CR or LF.
    EXPECT_EQ(GetValue(u"[x]\r\nName=a\rb\r\n", "Name"), u"a");
    EXPECT_EQ(GetValue(u"[x]\r\nName=a\nb", "Name"), u"a");
    EXPECT_EQ(GetValue(u"[x]\r\nName=", "Name"), u"");
    // The value keeps what follows the first "=" unchanged (only the ends are stripped).
    EXPECT_EQ(GetValue(u"[x]\r\nName=\ta = [b]\t \r\n", "Name"), u"a = [b]");
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

TEST(ConfigNumbers, RealsReadLikeScanfAndRejectNonFinite) {
    EXPECT_EQ(ReadReal(u"12abc"), 12.0);
    EXPECT_EQ(ReadReal(u" \v-3.5e2x"), -350.0);
    EXPECT_EQ(ReadReal(u"+4.4"), 4.4);
    EXPECT_EQ(ReadReal(u".5"), 0.5);
    EXPECT_EQ(ReadReal(u"1e"), 1.0);
    EXPECT_EQ(ReadReal(u""), std::nullopt);
    EXPECT_EQ(ReadReal(u"abc"), std::nullopt);
    EXPECT_EQ(ReadReal(u"+-1"), std::nullopt);
    EXPECT_EQ(ReadReal(u"--1"), std::nullopt);
    // Non-finite numbers would poison delay lines and voices: unreadable.
    for (const char16_t* v : {u"nan", u"NaN", u"-nan", u"inf", u"-Infinity", u"1e999", u"-1e400"})
        EXPECT_EQ(ReadReal(v), std::nullopt) << std::string(v, v + std::char_traits<char16_t>::length(v));
    EXPECT_EQ(GetNumber(u"[k]\r\nA=nan\r\nB=x\r\nC=2.5", "A"), 0.0);
    EXPECT_EQ(GetNumber(u"[k]\r\nA=nan\r\nB=x\r\nC=2.5", "B"), 0.0);
    EXPECT_EQ(GetNumber(u"[k]\r\nA=nan\r\nB=x\r\nC=2.5", "C"), 2.5);
}

TEST(ConfigNumbers, IntegersReadLikeScanf) {
    EXPECT_EQ(ReadLong(u"12abc"), 12);
    EXPECT_EQ(ReadLong(u" -7"), -7);
    EXPECT_EQ(ReadLong(u"+5"), 5);
    EXPECT_EQ(ReadLong(u"4.9"), 4);
    EXPECT_EQ(ReadLong(u"-"), std::nullopt);
    EXPECT_EQ(ReadLong(u"x1"), std::nullopt);
    EXPECT_EQ(ReadLong(u"99999999999999999999"), std::nullopt);
    EXPECT_EQ(ReadInt32(u"2147483647"), 2147483647);
    EXPECT_EQ(ReadInt32(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadInt32(u"2147483648"), std::nullopt);
}

TEST(ConfigNumbers, RealsWrittenAsPercentLg) {
    EXPECT_EQ(FormatReal(100), "100");
    EXPECT_EQ(FormatReal(4.4), "4.4");
    EXPECT_EQ(FormatReal(0.3), "0.3");
    EXPECT_EQ(FormatReal(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatReal(-100), "-100");
    EXPECT_EQ(FormatReal(0), "0");
    EXPECT_EQ(FormatReal(123456), "123456");
    EXPECT_EQ(FormatReal(1234567), "1.23457e+06");
    EXPECT_EQ(FormatReal(1e-5), "1e-05");
    EXPECT_EQ(FormatReal(0.0001), "0.0001");
    EXPECT_EQ(FormatReal(2.0 / 3.0), "0.666667");
    EXPECT_EQ(FormatLong(-555), "-555");
}

TEST(ConfigNumbers, SubTypesAreTruncatedTowardZero) {
    EXPECT_EQ(TruncateSubType(0.9), 0);
    EXPECT_EQ(TruncateSubType(-0.9), 0);
    EXPECT_EQ(TruncateSubType(1.7), 1);
    EXPECT_EQ(TruncateSubType(-2.5), -2);
    EXPECT_EQ(TruncateSubType(1e300), -1); // matches no output
}

// A locale whose decimal point is a comma, for the C++ side of the process.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(ConfigNumbers, IndependentOfTheCppLocale) {
    const std::locale previousCpp = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    {
        std::ostringstream probe; // the C++ locale is in force
        probe << 4.4;
        EXPECT_EQ(probe.str(), "4,4");
    }
    EXPECT_EQ(FormatReal(4.4), "4.4");
    EXPECT_EQ(ReadReal(u"4.4"), 4.4);
    EXPECT_EQ(ReadReal(u"4,4"), 4.0);
    std::locale::global(previousCpp);
}

TEST(ConfigNumbers, IndependentOfTheCLocale) {
    // A German C locale when the system has one (LC_ALL=de_DE.UTF-8 in the environment works too).
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "de_AT.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            german = name;
            break;
        }
    if (german) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", 4.4);
        EXPECT_STREQ(buf, "4,4") << german;
        EXPECT_EQ(FormatReal(4.4), "4.4");
        EXPECT_EQ(ReadReal(u"4.4"), 4.4);
    }
    std::setlocale(LC_ALL, previousC.c_str());
    if (!german)
        GTEST_SKIP() << "no locale with a decimal comma is installed; only the C++ locale was checked";
}

TEST(ConfigValueForms, Booleans) {
    for (const char16_t* v : {u"1", u"TRUE", u"true", u"True"}) EXPECT_TRUE(ReadBool(v));
    for (const char16_t* v : {u"yes", u"0", u"", u"2", u"1.0", u"01", u"truex"}) EXPECT_FALSE(ReadBool(v));
}

TEST(ConfigValueForms, OutputDeviceTextForm) {
    EXPECT_EQ(FormatOutputDevice(-555), "-555 (L+R)");
    EXPECT_EQ(FormatOutputDevice(-1), "-1 (L+R)");
    EXPECT_EQ(FormatOutputDevice(2), "2 (L+R)");
    EXPECT_EQ(FormatOutputDevice(100), "0 (L)");
    EXPECT_EQ(FormatOutputDevice(99), "-1 (L)");
    EXPECT_EQ(FormatOutputDevice(199), "-1 (R)");
    EXPECT_EQ(FormatOutputDevice(203), "3 (R)");

    EXPECT_EQ(ReadOutputDevice(u"2 (l)"), 102);
    EXPECT_EQ(ReadOutputDevice(u"-1 (R)"), 199);
    EXPECT_EQ(ReadOutputDevice(u"3"), -555);
    EXPECT_EQ(ReadOutputDevice(u""), -555);
    EXPECT_EQ(ReadOutputDevice(u"(L+R)"), -555);
    EXPECT_EQ(ReadOutputDevice(u"x (L)"), -555);
    EXPECT_EQ(ReadOutputDevice(u"4(l+r)"), 4);
    EXPECT_EQ(ReadOutputDevice(u"5 (R) (L)"), 105); // "(L)" is looked for before "(R)"
    for (int32_t id : {-555, -1, 0, 8, 99, 100, 108, 199, 200, 208})
        EXPECT_EQ(ReadOutputDevice(Widen(FormatOutputDevice(id))), id) << id;
}

TEST(ConfigValueForms, SequenceEscapes) {
    EXPECT_EQ(EscapeSequence(u"C4 D4\tE4\r\nF4\rG4\nA4"), u"C4%20D4%09E4\\nF4\\nG4\\nA4");
    EXPECT_EQ(UnescapeSequence(u"C4%20D4%09E4\\nF4\\nG4"), u"C4 D4\tE4\r\nF4\r\nG4");
    EXPECT_EQ(UnescapeSequence(u"50%%%41%4"), u"50%A%4");
    EXPECT_EQ(UnescapeSequence(u"%G1%2"), u"%G1%2");
    EXPECT_EQ(UnescapeSequence(u"%e9"), u"\u00e9");
    // "%" and backslash are escaped too, so that they survive the reader's decoding.
    const std::u16string odd = u"100% \\n%41";
    EXPECT_EQ(EscapeSequence(odd), u"100%25%20%5Cn%2541");
    EXPECT_EQ(UnescapeSequence(EscapeSequence(odd)), odd);
}

} // namespace
} // namespace mw::config
