#include "base/string.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(StringTest, ConstructionStopsAtNulAndRejectsBadLengths) {
    EXPECT_EQ(String(static_cast<const char*>(nullptr)).Length(), 0);
    EXPECT_EQ(String(-1, "abc").Length(), 0);
    EXPECT_EQ(String(0, "abc").Length(), 0);
    EXPECT_EQ(String(3, nullptr).Length(), 0);
    EXPECT_EQ(String(2, "abc"), String("ab"));
    // The length always matches the text, even when the buffer holds a NUL.
    String cut(5, "ab\0cd");
    EXPECT_EQ(cut.Length(), 2);
    EXPECT_STREQ(cut.Text(), "ab");
}

TEST(StringTest, SubstringClampsPositions) {
    struct Case {
        const char* text;
        int first;
        int last;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 3, 1, ""},   {"", 0, 0, ""},       {"abc", -5, 100, "abc"},
        {"abcdef", 2, 3, "cd"}, {"abc", INT_MIN, INT_MAX, "abc"}, {"abc", 5, 9, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(String(c.text).Substring(c.first, c.last), String(c.expected))
            << c.text << " " << c.first << ".." << c.last;
    }
    EXPECT_EQ(String("abcdef").Tail(4), String("ef"));
    EXPECT_EQ(String("abc").Tail(-3), String("abc"));
}

TEST(StringTest, SearchesReturnMinusOneOutsideTheText) {
    const String abc("abc");
    EXPECT_EQ(abc.Find("", 0), 0);
    EXPECT_EQ(abc.Find("", 3), -1);
    EXPECT_EQ(abc.Find("c", 1), 2);
    EXPECT_EQ(abc.Find("a", 1), -1);
    EXPECT_EQ(abc.Find("a", -1), -1);
    EXPECT_EQ(abc.FindChar('b', 0), 1);
    EXPECT_EQ(abc.FindChar('b', 2), -1);
    EXPECT_EQ(abc.FindChar('a', INT_MAX), -1);
    const String abab("abab");
    EXPECT_EQ(abab.FindLastChar('a', 0), 2);
    EXPECT_EQ(abab.FindLastChar('a', 2), 2);
    EXPECT_EQ(abab.FindLastChar('a', 3), -1);
    EXPECT_EQ(String().Find("", 0), -1);
}

TEST(StringTest, ReplaceAllContinuesAfterEachReplacement) {
    String aa("aa");
    EXPECT_EQ(aa.ReplaceAll("a", "xa"), 2);
    EXPECT_EQ(aa, String("xaxa"));

    String text("abcabc");
    EXPECT_EQ(text.ReplaceAll("bc", ""), 2);
    EXPECT_EQ(text, String("aa"));

    String empty;
    EXPECT_EQ(empty.ReplaceAll("a", "b"), 0);
    String untouched("abc");
    EXPECT_EQ(untouched.ReplaceAll("", "x"), 0);
    EXPECT_EQ(untouched.ReplaceAll("z", "x"), 0);
    EXPECT_EQ(untouched, String("abc"));
}

TEST(StringTest, ReplaceCharAndAppendInPlace) {
    String path("a\\b\\c");
    EXPECT_EQ(path.ReplaceChar('\\', '/'), 2);
    EXPECT_EQ(path, String("a/b/c"));
    EXPECT_EQ(path.ReplaceChar('/', '\0'), 0);  // would cut the text
    EXPECT_EQ(path.Length(), 5);

    String twice("ab");
    twice.Append(twice);
    EXPECT_EQ(twice, String("abab"));
    twice.AppendChar('c');
    twice.AppendChar('\0');
    EXPECT_EQ(twice, String("ababc"));
    EXPECT_EQ(String("x").Concat("yz"), String("xyz"));

    String copy(twice);
    copy.ReplaceChar('a', 'A');
    EXPECT_EQ(twice, String("ababc"));  // copies are deep
    copy = copy;
    EXPECT_EQ(copy, String("AbAbc"));
}

TEST(StringTest, CaseOperationsTouchAsciiLettersOnly) {
    EXPECT_EQ(String("aZ1\xE4@").ToUpper(), String("AZ1\xE4@"));
    EXPECT_EQ(String("Az1\xC4[").ToLower(), String("az1\xC4["));

    EXPECT_TRUE(String("Abc").EqualsNoCase("aBC"));
    // Bytes 0x20 apart that are not letters must not compare equal.
    EXPECT_FALSE(String("ab1").EqualsNoCase("AB!"));
    EXPECT_FALSE(String("@").EqualsNoCase("`"));
    EXPECT_FALSE(String("ab").EqualsNoCase("abc"));

    EXPECT_TRUE(String("Updater.EXE").EndsWithNoCase(".exe"));
    EXPECT_TRUE(String("HTTP/1.0").StartsWithNoCase("http/"));
    EXPECT_FALSE(String("ab").StartsWithNoCase("abc"));
    EXPECT_FALSE(String("ab").EndsWithNoCase("xab"));
    EXPECT_TRUE(String("ab").EndsWithNoCase(""));
}

TEST(StringTest, ComparisonIsBytewiseUnsigned) {
    EXPECT_TRUE(String("abc") < String("abd"));
    EXPECT_TRUE(String("ab") < String("abc"));
    EXPECT_FALSE(String("abc") < String("ab"));
    EXPECT_FALSE(String("abc") < String("abc"));
    EXPECT_TRUE(String("z") < String("\xE4"));
    EXPECT_TRUE(String("abc") != String("abC"));
}

TEST(StringTest, HashIsDjb2OverSignedBytes) {
    EXPECT_EQ(String().Hash(), 5381u);
    EXPECT_EQ(String("a").Hash(), 177670u);
    EXPECT_EQ(String("abc").Hash(), 193485963u);
    EXPECT_EQ(String("\xE4").Hash(), 5381u * 33u - 28u);
}

}  // namespace
