#include "base/string.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/allocation.h"

namespace {

// Shared by every empty String made without a text of its own; never written or released.
char emptyText[1] = {'\0'};

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameNoCase(const char* a, const char* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// A buffer of length + 1 bytes holding `length` bytes of `bytes` and the terminator.
char* CopyText(const char* bytes, int32_t length) {
    char* text = static_cast<char*>(Allocate(static_cast<size_t>(length) + 1));
    std::memcpy(text, bytes, static_cast<size_t>(length));
    text[length] = '\0';
    return text;
}

}  // namespace

String::String() : length_(0), text_(emptyText) {}

String::String(const char* text) : length_(0), text_(emptyText) {
    if (text == nullptr) return;
    // Even an empty text gets its own buffer here; only the other empty forms share one.
    int32_t length = static_cast<int32_t>(std::strlen(text));
    Adopt(length, CopyText(text, length));
}

String::String(int32_t length, const char* bytes) : length_(0), text_(emptyText) {
    if (length <= 0 || bytes == nullptr) return;
    // Stopping at a NUL keeps Length() equal to the text's real length.
    const void* nul = std::memchr(bytes, '\0', static_cast<size_t>(length));
    int32_t n = nul == nullptr ? length : static_cast<int32_t>(static_cast<const char*>(nul) - bytes);
    if (n > 0) Adopt(n, CopyText(bytes, n));
}

String::String(std::string_view text) : String(static_cast<int32_t>(text.size()), text.data()) {}

String::String(const String& other) : length_(0), text_(emptyText) {
    if (other.length_ > 0) Adopt(other.length_, CopyText(other.text_, other.length_));
}

String::String(String&& other) noexcept
    : length_(std::exchange(other.length_, 0)), text_(std::exchange(other.text_, emptyText)) {}

String::~String() { Free(); }

String& String::operator=(const String& other) {
    Assign(other);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        Free();
        length_ = std::exchange(other.length_, 0);
        text_ = std::exchange(other.text_, emptyText);
    }
    return *this;
}

void String::Assign(const String& other) {
    if (this == &other) return;
    if (other.length_ == 0) {
        Adopt(0, emptyText);
    } else {
        Adopt(other.length_, CopyText(other.text_, other.length_));
    }
}

void String::Append(const String& other) {
    if (other.length_ == 0) return;
    int32_t length = length_ + other.length_;
    char* text = static_cast<char*>(Allocate(static_cast<size_t>(length) + 1));
    std::memcpy(text, text_, static_cast<size_t>(length_));
    // `other` may be this String: its text is still intact until Adopt.
    std::memcpy(text + length_, other.text_, static_cast<size_t>(other.length_) + 1);
    Adopt(length, text);
}

void String::AppendChar(char c) {
    if (c == '\0') return;
    char pair[2] = {c, '\0'};
    Append(String(1, pair));
}

String String::Concat(const String& other) const {
    String result(*this);
    result.Append(other);
    return result;
}

String String::Substring(int32_t first, int32_t last) const {
    if (first < 0) first = 0;
    if (last >= length_) last = length_ - 1;
    if (last < first) return String();
    return String(last - first + 1, text_ + first);
}

String String::Tail(int32_t first) const { return Substring(first, length_ - 1); }

int32_t String::Find(const String& needle, int32_t from) const {
    if (from < 0 || from >= length_) return -1;
    const char* found = std::strstr(text_ + from, needle.text_);
    return found == nullptr ? -1 : static_cast<int32_t>(found - text_);
}

int32_t String::FindChar(char c, int32_t from) const {
    if (from < 0 || from >= length_) return -1;
    const void* found = std::memchr(text_ + from, c, static_cast<size_t>(length_ - from));
    return found == nullptr ? -1 : static_cast<int32_t>(static_cast<const char*>(found) - text_);
}

int32_t String::FindLastChar(char c, int32_t from) const {
    if (from < 0 || from >= length_) return -1;
    for (int32_t i = length_ - 1; i >= from; --i) {
        if (text_[i] == c) return i;
    }
    return -1;
}

int32_t String::ReplaceAll(const String& from, const String& to) {
    if (length_ == 0 || from.length_ == 0) return 0;
    String result;
    int32_t replaced = 0;
    int32_t position = 0;
    for (int32_t found = Find(from, 0); found >= 0; found = Find(from, position)) {
        result.Append(Substring(position, found - 1));
        result.Append(to);
        position = found + from.length_;
        ++replaced;
    }
    if (replaced == 0) return 0;
    result.Append(Tail(position));
    *this = std::move(result);
    return replaced;
}

int32_t String::ReplaceChar(char from, char to) {
    if (from == '\0' || to == '\0') return 0;
    int32_t replaced = 0;
    for (int32_t i = 0; i < length_; ++i) {
        if (text_[i] == from) {
            text_[i] = to;  // never the shared empty text: it has no characters
            ++replaced;
        }
    }
    return replaced;
}

String String::ToUpper() const {
    String result(*this);
    for (int32_t i = 0; i < result.length_; ++i) result.text_[i] = UpperAscii(result.text_[i]);
    return result;
}

String String::ToLower() const {
    String result(*this);
    for (int32_t i = 0; i < result.length_; ++i) result.text_[i] = LowerAscii(result.text_[i]);
    return result;
}

bool String::StartsWithNoCase(const String& prefix) const {
    return prefix.length_ <= length_ && SameNoCase(text_, prefix.text_, prefix.length_);
}

bool String::EndsWithNoCase(const String& suffix) const {
    return suffix.length_ <= length_ &&
           SameNoCase(text_ + length_ - suffix.length_, suffix.text_, suffix.length_);
}

bool String::EqualsNoCase(const String& other) const {
    return length_ == other.length_ && SameNoCase(text_, other.text_, length_);
}

uint32_t String::Hash() const {
    uint32_t hash = 5381;
    for (int32_t i = 0; i < length_; ++i) {
        hash = hash * 33 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(text_[i])));
    }
    return hash;
}

bool operator==(const String& a, const String& b) {
    return a.length_ == b.length_ && std::memcmp(a.text_, b.text_, static_cast<size_t>(a.length_)) == 0;
}

bool operator<(const String& a, const String& b) {
    // The terminator takes part, so a prefix sorts before the longer text.
    return std::memcmp(a.text_, b.text_, static_cast<size_t>(std::min(a.length_, b.length_)) + 1) < 0;
}

void String::Adopt(int32_t length, char* text) {
    Free();
    length_ = length;
    text_ = text;
}

void String::Free() {
    if (text_ != emptyText) Release(text_);
    text_ = emptyText;
    length_ = 0;
}
