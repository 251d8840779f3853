// OptionSet: parses one option text (command line, configuration, or both joined) into tokens
// and answers lookups of "-name value" pairs.
#ifndef SRC_BASE_OPTION_SET_H
#define SRC_BASE_OPTION_SET_H

#include <cstdint>
#include <string>

#include "base/array.h"
#include "base/string.h"

// Tokens are separated by blanks, tabs and line ends; a token starting with a double quote
// runs over separators up to its closing quote, and loses both quotes. Entry 1 is the first
// token; entry 0 is the working text up to the end of the first token. Lookups return the
// position of the name token (> 0) or 0, leaving the reason in Message(). Names are
// case-sensitive and the first match wins. Passing a returned position as `start` continues
// after that option's value, so repeated options can be read one by one.
class OptionSet {
public:
    explicit OptionSet(const char* text);

    // False when the value is exactly "0".
    int32_t GetBool(const char* name, bool& value, int32_t start = 0) const;
    // The bool value when the option is present, else false.
    bool HasFlag(const char* name) const;
    // A value starting with "-" is accepted when a digit follows (a negative number).
    int32_t GetInt(const char* name, int32_t& value, int32_t start = 0) const;
    // `value` is assigned only when the option is found.
    int32_t GetText(const char* name, std::string& value, int32_t start = 0) const;
    int32_t GetString(const char* name, String& value, int32_t start = 0) const;
    // The first token at or after entry start + 1 that does not start with "-".
    int32_t FirstPlain(std::string& value, int32_t start = 0) const;
    // Pairs from `index` on (start with 0), stepping by two; the name loses its "-".
    bool NextPair(int32_t& index, String& name, String& value) const;
    // "&name=value" for every pair from entry 2 on, values URL-encoded.
    void QueryText(String& out) const;
    const String& SourceText() const { return sourceText_; }

    // Range check for the next GetInt only (cleared by every GetInt). With `inclusive` the
    // bound itself is allowed.
    void SetLowerBound(double bound, bool inclusive);
    void SetUpperBound(double bound, bool inclusive);

    // The reason of the last failed lookup: "option not found", "option requires an
    // argument", "argument out of range" or "filename not found".
    const char* Message() const { return message_; }
    // Number of tokens plus one; 0 when there is no token.
    int32_t Count() const { return entries_.Count(); }
    // The entry at the clamped index; empty when there is none.
    const String& Entry(int32_t index) const;

private:
    int32_t FindValue(const char* name, int32_t start, bool allowNegativeNumber) const;
    bool Matches(int32_t index, const char* name) const;

    Array<String> entries_;
    String sourceText_;
    double lowerBound_ = 0;
    double upperBound_ = 0;
    // Lookups are logically read-only; the message and the one-shot range check are
    // bookkeeping around them.
    mutable bool belowLowerFails_ = false;
    mutable bool aboveUpperFails_ = false;
    mutable bool atOrBelowLowerFails_ = false;
    mutable bool atOrAboveUpperFails_ = false;
    mutable const char* message_ = "";
};

#endif  // SRC_BASE_OPTION_SET_H
