#include "base/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TextTest, WideToAsciiKeepsOneBytePerCodeUnit) {
    std::string out;
    EXPECT_FALSE(WideToAscii(out, u"a\xD800" u"b"));
    EXPECT_EQ(out, "a?b");
    EXPECT_FALSE(WideToAscii(out, u"\x00E4"));
    EXPECT_EQ(out, "?");
    EXPECT_TRUE(WideToAscii(out, static_cast<const char16_t*>(nullptr)));
    EXPECT_EQ(out, "");
}

TEST(TextTest, WideToUtf8EncodesEachCodeUnit) {
    struct Case {
        std::u16string wide;
        std::string utf8;
        bool lossless;
    };
    const Case cases[] = {
        {u"\x007F", "\x7F", true},
        {u"\x0080", "\xC2\x80", true},
        {u"\x07FF", "\xDF\xBF", true},
        {u"\x0800", "\xE0\xA0\x80", true},
        {u"\xFFFD", "\xEF\xBF\xBD", true},
        {u"\xD83D\xDE00", "??", false},  // pairs are not combined
        {u"", "", true},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(WideToUtf8(out, c.wide.c_str()), c.lossless);
        EXPECT_EQ(out, c.utf8);
    }
}

TEST(TextTest, StringFormsKeepTheTargetOnLoss) {
    using Convert = bool (*)(String&, const char16_t*);
    for (Convert convert : {&WideToAsciiString, &WideToUtf8String}) {
        String target("kept");
        EXPECT_FALSE(convert(target, u"x\xDC00"));
        EXPECT_EQ(target, String("kept"));
        EXPECT_TRUE(convert(target, u"plain"));
        EXPECT_EQ(target, String("plain"));
    }
}

TEST(TextTest, Utf8ToWideReplacesWhatItCannotHold) {
    struct Case {
        const char* utf8;
        std::u16string wide;
        bool lossless;
    };
    const Case cases[] = {
        {"\xEF\xBC\x81", u"\xFF01", true},
        {"\xF0\x9F\x98\x80", u"?", false},
        {"\xC3", u"", true},  // cut off at the end: dropped silently
        {"\x41\x80\x42", u"A?B", false},
        {"\xC3\x41\x42", u"?B", false},  // the byte that breaks a sequence is consumed
        {"\xED\xA0\x80", u"?", false},   // a surrogate value
        {"\xF8x", u"?x", false},
        {"\xC3\xA4-\xE2\x82\xAC", u"\x00E4-\x20AC", true},
        {nullptr, u"", true},
    };
    for (const Case& c : cases) {
        std::u16string out = u"stale";
        EXPECT_EQ(Utf8ToWide(out, c.utf8), c.lossless) << (c.utf8 ? c.utf8 : "null");
        EXPECT_EQ(out, c.wide);
    }
    EXPECT_EQ(FromUtf8(ToUtf8(u"Gr\x00FC\x00DF" u"e \x20AC")), u"Gr\x00FC\x00DF" u"e \x20AC");
}

TEST(TextTest, LatinToWideKnowsOnlyTheGermanLetters) {
    std::u16string out;
    EXPECT_TRUE(LatinToWide(out, "\xC4\xD6\xDC\xDF\xE4\xF6\xFC!"));
    EXPECT_EQ(out, u"\x00C4\x00D6\x00DC\x00DF\x00E4\x00F6\x00FC!");
    EXPECT_FALSE(LatinToWide(out, "caf\xE9"));
    EXPECT_EQ(out, u"caf?");
}

TEST(TextTest, FormatZeroPadded) {
    struct Case {
        int value;
        int width;
        const char* expected;
    };
    const Case cases[] = {{7, 3, "007"},     {-7, 3, "-07"},  {123456, 2, "123456"},
                          {5, 40, "0000000000000005"}, {5, -3, "5"}, {0, 0, "0"}};
    for (const Case& c : cases) {
        String out;
        FormatZeroPadded(out, c.value, c.width);
        EXPECT_EQ(out, String(c.expected)) << c.value << " width " << c.width;
    }
}

TEST(TextTest, UrlEncodeKeepsOnlyUnreservedCharacters) {
    String out;
    UrlEncode(out, "a b+c");
    EXPECT_EQ(out, String("a%20b%2Bc"));
    UrlEncode(out, "\xE4/=&%");
    EXPECT_EQ(out, String("%E4%2F%3D%26%25"));
    UrlEncode(out, "Az09-_.!~*'()");
    EXPECT_EQ(out, String("Az09-_.!~*'()"));
}

TEST(TextTest, TrimSpacesRemovesBlanksOnly) {
    String out;
    TrimSpaces(out, "  a b  ");
    EXPECT_EQ(out, String("a b"));
    TrimSpaces(out, "\t ");
    EXPECT_EQ(out, String("\t"));
    TrimSpaces(out, "   ");
    EXPECT_EQ(out, String());
}

TEST(TextTest, JoinTextsSkipsNothingButNulls) {
    Array<const char*> list;
    list.Append("a");
    list.Append(nullptr);
    list.Append("");
    list.Append("bc");
    String out;
    JoinTexts(out, list);
    EXPECT_EQ(out, String("abc"));
}

std::vector<std::string> SplitToVector(const char* text, char delimiter, bool skipRepeated, char quote) {
    Array<String> fields;
    Split(fields, text, delimiter, skipRepeated, quote);
    std::vector<std::string> result;
    for (const String& field : fields) result.emplace_back(field.Text());
    return result;
}

TEST(TextTest, SplitFields) {
    using Fields = std::vector<std::string>;
    struct Case {
        const char* text;
        bool skipRepeated;
        char quote;
        Fields expected;
    };
    const Case cases[] = {
        {"a;;b", false, '\0', {"a", "", "b"}},
        {"a;;b", true, '\0', {"a", "b"}},
        {"a;b;", false, '\0', {"a", "b", ""}},
        {";", false, '\0', {"", ""}},
        {";;a", true, '\0', {"", "a"}},  // a leading delimiter still gives an empty field
        {"", false, '\0', {}},
        {"\"x;y\"z;w", false, '"', {"x;y", "w"}},
        {"a;\"open", false, '"', {"a", "open"}},
        {"\"x;y\";w", false, '\0', {"\"x", "y\"", "w"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitToVector(c.text, ';', c.skipRepeated, c.quote), c.expected) << c.text;
    }
    Array<String> appended;
    appended.Append("kept");
    Split(appended, "a", ';', false, '\0');
    EXPECT_EQ(appended.Count(), 2);
}

std::vector<std::string> Tokens(const char* text) {
    std::string buffer(text);
    std::vector<std::string> tokens;
    char* cursor = nullptr;
    for (char* token = Tokenize(buffer.data(), " \t", &cursor); token != nullptr;
         token = Tokenize(nullptr, " \t", &cursor)) {
        tokens.emplace_back(token);
    }
    return tokens;
}

TEST(TextTest, TokenizeGroupsDoubleQuotedTokens) {
    using List = std::vector<std::string>;
    struct Case {
        const char* text;
        List expected;
    };
    const Case cases[] = {
        {"x \"a b\" c", {"x", "a b", "c"}},
        {"  \t ", {}},
        {"\"\" x", {"", "x"}},
        {"\" x", {"\"", "x"}},               // a lone quote stays itself
        {"\"open ended", {"open ended"}},    // no closing quote: nothing cut
        {"a\"b c", {"a\"b", "c"}},           // inner quotes are ordinary
        {"\"a\"b c\" d", {"a\"b c", "d"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Tokens(c.text), c.expected) << c.text;

    char* cursor = nullptr;
    EXPECT_EQ(Tokenize(nullptr, " ", &cursor), nullptr);
}

}  // namespace
