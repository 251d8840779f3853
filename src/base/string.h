// String: the system's 8-bit text value type (UTF-8 or ASCII, NUL-terminated, no embedded NULs).
// Positions are clamped instead of rejected, so no position can read outside the text.
#ifndef SRC_BASE_STRING_H
#define SRC_BASE_STRING_H

#include <cstdint>
#include <string_view>

class String {
public:
    String();
    // Null gives the empty String.
    String(const char* text);  // implicit: literals are passed where a String is expected
    // Copies at most `length` bytes, stopping at the first NUL; a length <= 0 or null bytes
    // give the empty String.
    String(int32_t length, const char* bytes);
    explicit String(std::string_view text);
    String(const String& other);
    String(String&& other) noexcept;
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    void Assign(const String& other);

    int32_t Length() const { return length_; }
    const char* Text() const { return text_; }
    std::string_view View() const { return std::string_view(text_, static_cast<size_t>(length_)); }
    bool IsEmpty() const { return length_ == 0; }

    // Appending a String to itself doubles it.
    void Append(const String& other);
    // A NUL character is ignored: it would cut the text short.
    void AppendChar(char c);
    String Concat(const String& other) const;

    // Characters first..last inclusive; first < 0 counts as 0, last >= Length() as Length() - 1.
    String Substring(int32_t first, int32_t last) const;
    String Tail(int32_t first) const;

    // Searches return -1 when nothing is found or `from` is not inside the text.
    int32_t Find(const String& needle, int32_t from = 0) const;
    int32_t FindChar(char c, int32_t from = 0) const;
    // The last c at or after `from`.
    int32_t FindLastChar(char c, int32_t from = 0) const;

    // Left to right, continuing after each inserted replacement; returns the number replaced.
    int32_t ReplaceAll(const String& from, const String& to);
    // Returns the number replaced; replacing by NUL is refused (returns 0).
    int32_t ReplaceChar(char from, char to);

    String ToUpper() const;
    String ToLower() const;
    bool StartsWithNoCase(const String& prefix) const;
    bool EndsWithNoCase(const String& suffix) const;
    bool EqualsNoCase(const String& other) const;

    // djb2 over the bytes taken as signed values.
    uint32_t Hash() const;

    friend bool operator==(const String& a, const String& b);
    friend bool operator!=(const String& a, const String& b) { return !(a == b); }
    // Byte-wise, as unsigned values.
    friend bool operator<(const String& a, const String& b);

private:
    void Adopt(int32_t length, char* text);
    void Free();

    int32_t length_;
    char* text_;
};

#endif  // SRC_BASE_STRING_H
