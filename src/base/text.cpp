#include "base/text.h"

#include <cstdio>
#include <cstring>

namespace {

std::u16string_view WideView(const char16_t* text) {
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

std::string_view NarrowView(const char* text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

bool IsSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

bool IsUrlSafe(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("-_.!~*'()", c) != nullptr);
}

}  // namespace

bool WideToAscii(std::string& out, const char16_t* text) { return WideToAscii(out, WideView(text)); }

bool WideToAscii(std::string& out, std::u16string_view text) {
    bool lossless = true;
    out.assign(text.size(), '?');
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x80) {
            out[i] = static_cast<char>(text[i]);
        } else {
            lossless = false;
        }
    }
    return lossless;
}

bool WideToAsciiString(String& out, const char16_t* text) {
    std::string ascii;
    if (!WideToAscii(ascii, text)) return false;
    out = String(ascii);
    return true;
}

bool WideToUtf8(std::string& out, const char16_t* text) { return WideToUtf8(out, WideView(text)); }

bool WideToUtf8(std::string& out, std::u16string_view text) {
    bool lossless = true;
    out.clear();
    out.reserve(text.size());
    for (char16_t unit : text) {
        uint32_t u = unit;
        if (IsSurrogate(u)) {
            // Pairs are not combined: the system's wide texts stay within 16 bits.
            out += '?';
            lossless = false;
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return lossless;
}

bool WideToUtf8String(String& out, const char16_t* text) {
    std::string utf8;
    if (!WideToUtf8(utf8, text)) return false;
    out = String(utf8);
    return true;
}

bool LatinToWide(std::u16string& out, const char* text) {
    bool lossless = true;
    out.clear();
    for (char c : NarrowView(text)) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || std::memchr("\xC4\xD6\xDC\xDF\xE4\xF6\xFC", byte, 7) != nullptr) {
            out += static_cast<char16_t>(byte);
        } else {
            out += u'?';
            lossless = false;
        }
    }
    return lossless;
}

bool Utf8ToWide(std::u16string& out, const char* text) { return Utf8ToWide(out, NarrowView(text)); }

bool Utf8ToWide(std::u16string& out, std::string_view text) {
    bool lossless = true;
    out.clear();
    out.reserve(text.size());
    uint32_t value = 0;
    int pending = 0;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (pending > 0) {
            if ((byte & 0xC0) != 0x80) {
                // The offending byte is consumed with the broken sequence.
                out += u'?';
                lossless = false;
                pending = 0;
                continue;
            }
            value = (value << 6) | (byte & 0x3F);
            if (--pending > 0) continue;
        } else if (byte < 0x80) {
            value = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            value = byte & 0x1F;
            pending = 1;
            continue;
        } else if ((byte & 0xF0) == 0xE0) {
            value = byte & 0x0F;
            pending = 2;
            continue;
        } else if ((byte & 0xF8) == 0xF0) {
            value = byte & 0x07;
            pending = 3;
            continue;
        } else {
            out += u'?';
            lossless = false;
            continue;
        }
        if (value > 0xFFFF || IsSurrogate(value)) {
            out += u'?';
            lossless = false;
        } else {
            out += static_cast<char16_t>(value);
        }
    }
    return lossless;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    WideToUtf8(out, text);
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    Utf8ToWide(out, text);
    return out;
}

void FormatZeroPadded(String& out, int32_t value, int width) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*i", width < 0 ? 0 : (width > 16 ? 16 : width), value);
    out = String(digits);
}

void UrlEncode(String& out, const char* text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : NarrowView(text)) {
        auto byte = static_cast<unsigned char>(c);
        if (IsUrlSafe(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        }
    }
    out = String(encoded);
}

void TrimSpaces(String& out, const char* text) {
    std::string_view view = NarrowView(text);
    size_t first = view.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        out = String();
        return;
    }
    size_t last = view.find_last_not_of(' ');
    out = String(view.substr(first, last - first + 1));
}

void JoinTexts(String& out, const Array<const char*>& list) {
    std::string joined;
    for (const char* text : list) {
        if (text != nullptr) joined += text;
    }
    out = String(joined);
}

void Split(Array<String>& out, const char* text, char delimiter, bool skipRepeated, char quote) {
    std::string_view view = NarrowView(text);
    if (view.empty()) return;
    size_t position = 0;
    for (;;) {
        if (skipRepeated && position > 0) {
            while (position < view.size() && view[position] == delimiter) ++position;
        }
        size_t start = position;
        size_t fieldEnd;
        if (quote != '\0' && position < view.size() && view[position] == quote) {
            start = position + 1;
            fieldEnd = std::min(view.find(quote, start), view.size());
        } else {
            fieldEnd = std::min(view.find(delimiter, start), view.size());
        }
        size_t next = std::min(view.find(delimiter, fieldEnd), view.size());
        out.Append(String(view.substr(start, fieldEnd - start)));
        if (next == view.size()) return;
        position = next + 1;
    }
}

char* Tokenize(char* text, const char* delimiters, char** cursor) {
    char* position = text != nullptr ? text : *cursor;
    if (position == nullptr) return nullptr;
    auto isDelimiter = [delimiters](char c) { return c != '\0' && std::strchr(delimiters, c) != nullptr; };
    while (isDelimiter(*position)) ++position;
    if (*position == '\0') {
        *cursor = position;
        return nullptr;
    }
    char* token = position;
    bool quoted = *token == '"';
    char* end = token + 1;
    while (*end != '\0' && !(isDelimiter(*end) && (!quoted || end[-1] == '"'))) ++end;
    *cursor = *end == '\0' ? end : end + 1;
    *end = '\0';
    if (quoted && end - token > 1) {
        ++token;
        // Only a real closing quote is cut: an unclosed token keeps its last character.
        if (end[-1] == '"' && end - 1 >= token) end[-1] = '\0';
    }
    return token;
}
