#include "base/option_set.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(OptionSetTest, EmptyTextAnswersNotFound) {
    for (const char* text : {static_cast<const char*>(nullptr), "", " \t\r\n"}) {
        OptionSet options(text);
        EXPECT_EQ(options.Count(), 0);
        bool flag = true;
        EXPECT_EQ(options.GetBool("x", flag), 0);
        EXPECT_FALSE(flag);
        EXPECT_STREQ(options.Message(), "option not found");
        std::string plain;
        EXPECT_EQ(options.FirstPlain(plain), 0);
        EXPECT_STREQ(options.Message(), "filename not found");
        int32_t index = 0;
        String name, value;
        EXPECT_FALSE(options.NextPair(index, name, value));
        String query("stale");
        options.QueryText(query);
        EXPECT_EQ(query, String());
        EXPECT_EQ(options.Entry(5), String());
    }
}

TEST(OptionSetTest, TokensAndEntryZero) {
    OptionSet options("\"C:\\My Games\\updater.exe\" -game  larkspire\t-path \"a b\"\r\n-q \"open end");
    ASSERT_EQ(options.Count(), 8);
    EXPECT_EQ(options.Entry(0), String("\"C:\\My Games\\updater.exe"));
    EXPECT_EQ(options.Entry(1), String("C:\\My Games\\updater.exe"));
    EXPECT_EQ(options.Entry(3), String("larkspire"));
    EXPECT_EQ(options.Entry(5), String("a b"));
    EXPECT_EQ(options.Entry(7), String("open end"));
    EXPECT_EQ(options.SourceText(),
              String("\"C:\\My Games\\updater.exe\" -game  larkspire\t-path \"a b\"\r\n-q \"open end"));

    OptionSet padded("  first second");
    EXPECT_EQ(padded.Entry(0), String("  first"));
    EXPECT_EQ(padded.Entry(1), String("first"));

    OptionSet quote("\" x");
    EXPECT_EQ(quote.Entry(1), String("\""));
}

TEST(OptionSetTest, BoolValues) {
    OptionSet options("-release -test 1 -off 0 -on no -hidden");
    struct Case {
        const char* name;
        int32_t position;
        bool value;
        const char* message;
    };
    const Case cases[] = {
        {"release", 0, false, "option requires an argument"},
        {"test", 2, true, nullptr},
        {"off", 4, false, nullptr},
        {"on", 6, true, nullptr},
        {"hidden", 0, false, "option requires an argument"},
        {"Test", 0, false, "option not found"},
        {"tes", 0, false, "option not found"},
    };
    for (const Case& c : cases) {
        bool value = !c.value;
        EXPECT_EQ(options.GetBool(c.name, value), c.position) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
        if (c.message != nullptr) {
            EXPECT_STREQ(options.Message(), c.message) << c.name;
        }
        EXPECT_EQ(options.HasFlag(c.name), c.value) << c.name;
    }
}

TEST(OptionSetTest, IntValues) {
    OptionSet options("-a -5 -b x -c -x -d 12abc -e +7 -f 99999999999 -g");
    struct Case {
        const char* name;
        bool found;
        int32_t value;
    };
    const Case cases[] = {{"a", true, -5}, {"b", true, 0},  {"c", false, 0},   {"d", true, 12},
                          {"e", true, 7},  {"f", true, INT32_MAX}, {"g", false, 0}};
    for (const Case& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(options.GetInt(c.name, value) > 0, c.found) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
    int32_t value = 0;
    options.GetInt("c", value);
    EXPECT_STREQ(options.Message(), "option requires an argument");
}

TEST(OptionSetTest, IntRangeCheckAppliesToOneLookup) {
    OptionSet options("-n 10");
    int32_t value = 0;
    options.SetLowerBound(10, false);
    EXPECT_EQ(options.GetInt("n", value), 0);
    EXPECT_STREQ(options.Message(), "argument out of range");
    EXPECT_EQ(options.GetInt("n", value), 1);  // the check was cleared
    EXPECT_EQ(value, 10);

    options.SetLowerBound(10, true);
    options.SetUpperBound(10, true);
    EXPECT_EQ(options.GetInt("n", value), 1);
    options.SetUpperBound(9.5, true);
    EXPECT_EQ(options.GetInt("n", value), 0);
}

TEST(OptionSetTest, RepeatedOptionsContinueAfterTheLastValue) {
    OptionSet options("updater -module base -x 1 -module second -module");
    String module;
    int32_t position = options.GetString("module", module, 0);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(module, String("base"));
    position = options.GetString("module", module, position);
    EXPECT_EQ(position, 6);
    EXPECT_EQ(module, String("second"));
    EXPECT_EQ(options.GetString("module", module, position), 0);
    EXPECT_STREQ(options.Message(), "option requires an argument");
    EXPECT_EQ(module, String("second"));  // assigned only when found
}

TEST(OptionSetTest, TextLookupsAndPositionsOutOfRange) {
    OptionSet options("-path \"C:\\a b\\c\" file.txt -z");
    std::string text;
    EXPECT_EQ(options.GetText("path", text), 1);
    EXPECT_EQ(text, "C:\\a b\\c");
    EXPECT_EQ(options.FirstPlain(text), 2);  // option values are not skipped
    EXPECT_EQ(options.FirstPlain(text, 2), 3);
    EXPECT_EQ(text, "file.txt");
    for (int32_t start : {INT_MIN, -1, INT_MAX - 1, INT_MAX}) {
        EXPECT_GE(options.GetText("path", text, start), 0);
        EXPECT_GE(options.FirstPlain(text, start), 0);
        int32_t index = start;
        String name, value;
        options.NextPair(index, name, value);
    }
}

TEST(OptionSetTest, PairsAndQueryText) {
    OptionSet options("updater.exe -game lark -note \"a b&c\" -odd");
    int32_t index = 0;
    String name, value;
    std::string pairs;
    while (options.NextPair(index, name, value)) {
        pairs += std::string(name.Text()) + "=" + value.Text() + ";";
    }
    EXPECT_EQ(pairs, "game=lark;note=a b&c;");

    // A trailing name without a value is left out rather than read past the end.
    String query;
    options.QueryText(query);
    EXPECT_EQ(query, String("&game=lark&note=a%20b%26c"));
}

}  // namespace
