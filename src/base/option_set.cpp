#include "base/option_set.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/text.h"

namespace {

const char* const kSeparators = " \t\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and the leading digits; no digits give 0. Saturates instead of overflowing.
int32_t ParseDecimal(const char* text) {
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

}  // namespace

OptionSet::OptionSet(const char* text) : sourceText_(text) {
    if (text == nullptr) return;
    std::string work(text);
    char* cursor = nullptr;
    char* token = Tokenize(work.data(), kSeparators, &cursor);
    if (token == nullptr) return;
    // Entry 0 runs from the start of the working copy to the end of the first token, so it
    // keeps a leading quote or leading blanks.
    entries_.Append(String(work.data()));
    for (; token != nullptr; token = Tokenize(nullptr, kSeparators, &cursor)) {
        entries_.Append(String(token));
    }
}

bool OptionSet::Matches(int32_t index, const char* name) const {
    const char* token = entries_.At(index).Text();
    return name != nullptr && token[0] == '-' && std::strcmp(token + 1, name) == 0;
}

int32_t OptionSet::FindValue(const char* name, int32_t start, bool allowNegativeNumber) const {
    // Continuing after a match starts behind that match's value.
    int64_t first = start > 0 ? int64_t{start} + 2 : 1;
    for (int64_t i = first; i < Count(); ++i) {
        auto index = static_cast<int32_t>(i);
        if (!Matches(index, name)) continue;
        if (index + 1 < Count()) {
            const char* value = entries_.At(index + 1).Text();
            if (value[0] != '-' || (allowNegativeNumber && IsDigit(value[1]))) return index;
        }
        message_ = "option requires an argument";
        return 0;
    }
    message_ = "option not found";
    return 0;
}

int32_t OptionSet::GetBool(const char* name, bool& value, int32_t start) const {
    int32_t position = FindValue(name, start, false);
    value = position > 0 && std::strcmp(entries_.At(position + 1).Text(), "0") != 0;
    return position;
}

bool OptionSet::HasFlag(const char* name) const {
    bool value = false;
    GetBool(name, value, 0);
    return value;
}

int32_t OptionSet::GetInt(const char* name, int32_t& value, int32_t start) const {
    int32_t position = FindValue(name, start, true);
    bool belowLower = belowLowerFails_, aboveUpper = aboveUpperFails_;
    bool atOrBelowLower = atOrBelowLowerFails_, atOrAboveUpper = atOrAboveUpperFails_;
    belowLowerFails_ = aboveUpperFails_ = atOrBelowLowerFails_ = atOrAboveUpperFails_ = false;
    if (position == 0) return 0;

    int32_t number = ParseDecimal(entries_.At(position + 1).Text());
    double x = number;
    if ((belowLower && x < lowerBound_) || (aboveUpper && x > upperBound_) ||
        (atOrBelowLower && x <= lowerBound_) || (atOrAboveUpper && x >= upperBound_)) {
        message_ = "argument out of range";
        return 0;
    }
    value = number;
    return position;
}

int32_t OptionSet::GetText(const char* name, std::string& value, int32_t start) const {
    int32_t position = FindValue(name, start, false);
    if (position > 0) value = entries_.At(position + 1).Text();
    return position;
}

int32_t OptionSet::GetString(const char* name, String& value, int32_t start) const {
    int32_t position = FindValue(name, start, false);
    if (position > 0) value = entries_.At(position + 1);
    return position;
}

int32_t OptionSet::FirstPlain(std::string& value, int32_t start) const {
    for (int64_t i = int64_t{start < 0 ? 0 : start} + 1; i < Count(); ++i) {
        const String& token = entries_.At(static_cast<int32_t>(i));
        if (token.Text()[0] != '-') {
            value = token.Text();
            return static_cast<int32_t>(i);
        }
    }
    message_ = "filename not found";
    return 0;
}

bool OptionSet::NextPair(int32_t& index, String& name, String& value) const {
    if (index < 0) index = 0;
    while (index < Count() - 1) {
        const String& token = entries_.At(index);
        index += 2;
        if (token.Text()[0] == '-') {
            name = token.Tail(1);
            value = entries_.At(index - 1);
            return true;
        }
    }
    return false;
}

void OptionSet::QueryText(String& out) const {
    std::string query;
    // Only whole pairs: a name token without a value after it is left out.
    for (int32_t index = 2; index + 1 < Count(); index += 2) {
        const String& token = entries_.At(index);
        String encoded;
        UrlEncode(encoded, entries_.At(index + 1).Text());
        query += '&';
        query += token.Text() + (token.Text()[0] == '-' ? 1 : 0);
        query += '=';
        query += encoded.Text();
    }
    out = String(query);
}

void OptionSet::SetLowerBound(double bound, bool inclusive) {
    lowerBound_ = bound;
    (inclusive ? belowLowerFails_ : atOrBelowLowerFails_) = true;
}

void OptionSet::SetUpperBound(double bound, bool inclusive) {
    upperBound_ = bound;
    (inclusive ? aboveUpperFails_ : atOrAboveUpperFails_) = true;
}

const String& OptionSet::Entry(int32_t index) const {
    static const String empty;
    return Count() == 0 ? empty : entries_.At(index);
}
