#pragma once
// The value forms of a patch (configuration) file: key lookup in a section text, numbers written and
// read independently of the process locale, booleans, output-device routings and escaped sequence texts.
// Section texts are UTF-16 code units exactly as read from the file (no validation).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw::config {

// ---------------------------------------------------------------- key lookup

/// The value of the first line of sectionText that starts with key + "=" (letter case of the key
/// ignored). A line starts at the beginning of the text or after CR LF. The value runs from after
/// the "=" to the next CR or LF (or the end), with blanks and TABs stripped from both ends. An absent
/// key gives an empty value. The view points into sectionText.
std::u16string_view GetValue(std::u16string_view sectionText, std::string_view key);

/// GetValue read as "%lf"; 0 when the value is empty or not a (finite) number.
double GetNumber(std::u16string_view sectionText, std::string_view key);

/// A fixed set of keys, looked up ignoring letter case (the keys one module kind reads).
class KeySet {
public:
    KeySet() = default;
    explicit KeySet(const std::vector<std::string>& keys);
    /// Adds a key; returns its index (the index of an equal key added before, if any).
    int Add(std::string_view key);
    /// Index of the key equal (ignoring ASCII case) to a candidate from a section text; -1 when none.
    int Find(std::u16string_view candidate) const;
    int Find(std::string_view key) const;
    size_t Size() const { return count_; }
    size_t MaxLength() const { return maxLength_; }

private:
    std::map<std::string, int, std::less<>> index_; // lower-case key -> index
    size_t count_ = 0;
    size_t maxLength_ = 0;
};

/// The values of every key of a KeySet in one section text, found in a single pass over the text
/// (same matching rules as GetValue: first matching line wins).
class SectionValues {
public:
    SectionValues(std::u16string_view sectionText, const KeySet& keys);
    /// The value of key number i of the KeySet; empty when absent.
    std::u16string_view Get(int i) const {
        return i >= 0 && size_t(i) < values_.size() ? values_[i] : std::u16string_view{};
    }
    bool Has(int i) const { return i >= 0 && size_t(i) < found_.size() && found_[i]; }
    /// The value of a key by name (must belong to the KeySet; otherwise the text is searched directly).
    std::u16string_view Get(std::string_view key) const;

private:
    std::u16string_view text_;
    const KeySet& keys_;
    std::vector<std::u16string_view> values_;
    std::vector<bool> found_;
};

// ---------------------------------------------------------------- numbers

/// scanf "%lf" on a value: leading white space skipped, the longest valid prefix read ("12abc" -> 12).
/// Non-finite numbers ("nan", "inf", out of range) are unreadable: nullopt.
std::optional<double> ReadReal(std::u16string_view value);
/// scanf "%ld": leading white space, an optional sign, decimal digits. nullopt when unreadable or
/// outside the 64-bit range.
std::optional<int64_t> ReadLong(std::u16string_view value);
/// ReadLong limited to the 32-bit range (outside it: unreadable).
std::optional<int32_t> ReadInt32(std::u16string_view value);

/// printf "%lg" in the C locale's form: up to 6 significant digits, shortest form (100, 4.4, 1e-05).
std::string FormatReal(double value);

/// A SubType number (read as a real) truncated toward zero; values outside the 32-bit range, which
/// match no output, give -1.
int32_t TruncateSubType(double number);

// ---------------------------------------------------------------- other value forms

/// True when the value is "1" or "TRUE" (letter case ignored).
bool ReadBool(std::u16string_view value);

/// The leading run of the characters "0123456789-" of a value.
std::u16string_view LeadingNumberRun(std::u16string_view value);

/// OutputDeviceId text form: "%ld (L+R)" below 99, id - 200 "(R)" from 199, else id - 100 "(L)".
std::string FormatOutputDevice(int32_t id);
/// Reads the text form; a value without a channel mark (or an unreadable number) gives -555.
int32_t ReadOutputDevice(std::u16string_view value);

/// Escapes a sequence text for its one-line value: CR LF, lone CR and lone LF become backslash "n",
/// a blank "%20", a TAB "%09"; "%" and backslash are written as "%25" and "%5C" so that they survive
/// the reader's decoding.
std::u16string EscapeSequence(std::u16string_view text);
/// The reader's decoding: backslash "n" becomes CR LF, then "%%" becomes "%" and "%" with two
/// hexadecimal digits the character with that code.
std::u16string UnescapeSequence(std::u16string_view value);

/// ASCII text to UTF-16 code units (keys, numbers, fixed texts).
std::u16string Widen(std::string_view ascii);
void AppendAscii(std::u16string& out, std::string_view ascii);
/// Case-insensitive (ASCII) comparison of a value with a fixed text.
bool EqualsIgnoreCase(std::u16string_view value, std::string_view text);

} // namespace mw::config
