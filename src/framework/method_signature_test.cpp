#include "framework/method_signature.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/attribute_values.h"
#include "framework/initializer.h"
#include "framework/testing_log_capture.h"

namespace {

class SignatureTest : public ::testing::Test {
protected:
    void SetUp() override { RunInitializers(); }
};

struct SignatureRow {
    const char* text;
    bool parses;
    const char* logged;  // the one line logged, or null for none
    int32_t arguments;
};

TEST_F(SignatureTest, ParsesOrNamesTheFailure) {
    const SignatureRow rows[] = {
        {"int get()", true, nullptr, 0},
        {"void set(int i)", true, nullptr, 1},
        {"Wm3.Attribute getAttributeById(int id)", true, nullptr, 1},
        {"void  move( float x ,  double y )", true, nullptr, 2},
        {"int get(x)", false, "Could not parse argument 'x'", 0},
        {"void set(int i,)", false, "Could not parse argument ''", 0},
        {"long get()", false, "Return type long unknown", 0},
        {"void set(long l)", false, "Argument type 'long' unknown", 0},
        {"int get", false, nullptr, 0},
        {"int get)(", false, nullptr, 0},
        {"get()", false, nullptr, 0},
    };
    for (const SignatureRow& row : rows) {
        SCOPED_TRACE(row.text);
        ObjectLogCapture log;
        MethodSignature signature;
        EXPECT_EQ(ParseSignature(row.text, signature), row.parses);
        if (row.logged == nullptr) {
            EXPECT_TRUE(log.lines.empty());
        } else {
            ASSERT_EQ(log.lines.size(), 1u);
            EXPECT_EQ(log.lines[0], row.logged);
        }
        if (row.parses) {
            EXPECT_EQ(signature.arguments.Count(), row.arguments);
        }
    }

    MethodSignature move;
    ASSERT_TRUE(ParseSignature("void  move( float x ,  double y )", move));
    EXPECT_EQ(move.returnType, String("void"));
    EXPECT_EQ(move.name, String("move"));
    EXPECT_EQ(move.arguments.At(1).type, String("double"));
    EXPECT_EQ(move.arguments.At(1).name, String("y"));
}

TEST_F(SignatureTest, TypeKeywordsInOrderWithEveryTypeAsObjectAlias) {
    const char* keywords[] = {"void", "bool", "int", "float", "double", "String", "Wm3.Object"};
    const Array<TypeKeyword>& table = TypeKeywords();
    ASSERT_EQ(table.Count(), 7);
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(table.At(i).keyword, String(keywords[i]));
    EXPECT_EQ(table.At(4).words, 2);
    EXPECT_EQ(table.At(4).valueClass, kFloatingValue);
    EXPECT_EQ(table.At(6).aliases.Count(), 16);
    EXPECT_EQ(FindTypeKeyword(String("Wm3.AttributeSetSorted")), &table.At(6));
}

void Described() {}

TEST_F(SignatureTest, StartUpDescribesEachMethodOnce) {
    // get and set of Int, Float, Double, Bool, String and the object reference, and the two
    // of Object.
    EXPECT_EQ(Methods().Count(), 14);
    EXPECT_EQ(AttributeInt::TYPE.methods.Count(), 2);
    EXPECT_EQ(AttributeInt::TYPE.methods.At(1)->signature.arguments.At(0).type, String("int"));
    EXPECT_EQ(Object::TYPE.methods.Count(), 2);
    EXPECT_TRUE(Object::TYPE.methods.At(0)->takesNoObject);

    ObjectLogCapture log;
    EXPECT_EQ(RegisterMethod(Object::TYPE, "long broken()", &Described, false), nullptr);
    EXPECT_TRUE(log.Has("parsing signature long broken() failed"));
    ASSERT_NE(RegisterMethod(Object::TYPE, "void described()", &Described, true), nullptr);
    EXPECT_EQ(RegisterMethod(Object::TYPE, "void again()", &Described, true), nullptr);
    EXPECT_EQ(FindMethod(&Described)->signature.name, String("described"));
    EXPECT_EQ(Object::TYPE.methods.Count(), 3);
}

}  // namespace
