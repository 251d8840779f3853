#include "framework/object.h"

#include <gtest/gtest.h>

#include "framework/factory.h"
#include "framework/initializer.h"
#include "framework/testing_node.h"

namespace {

TEST(ObjectTest, LastReleaseDeletesAndLeavesTheLiveSet) {
    const int32_t before = Object::LiveCount();
    Object* object = new Object();
    EXPECT_TRUE(Object::IsLive(object));
    EXPECT_EQ(Object::LiveCount(), before + 1);

    object->AddReference();
    object->AddReference();
    object->ReleaseReference();
    EXPECT_TRUE(Object::IsLive(object));
    EXPECT_EQ(object->ReferenceCount(), 1);
    object->ReleaseReference();
    EXPECT_FALSE(Object::IsLive(object));
    EXPECT_EQ(Object::LiveCount(), before);
}

TEST(ObjectTest, ReferenceAttributeTakesTheNewReferenceBeforeReleasingTheOld) {
    Object* slot = nullptr;
    AttributeObject reference(&slot);
    Object* first = new Object();
    Object* second = new Object();

    reference.SetValue(&first);
    // Setting the object it already holds must not drop it on the way.
    reference.SetValue(&first);
    EXPECT_TRUE(Object::IsLive(first));
    EXPECT_EQ(first->ReferenceCount(), 1);

    reference.SetValue(&second);
    EXPECT_FALSE(Object::IsLive(first));
    EXPECT_EQ(slot, second);
    Object* none = nullptr;
    reference.SetValue(&none);
    EXPECT_FALSE(Object::IsLive(second));
}

struct KindRow {
    const char* typeName;
    const char* keyword;
    int32_t valueSize;
    bool complex;
};

TEST(AttributeTest, KindsHaveTheirKeywordsSizesAndTypes) {
    RunInitializers();
    const KindRow rows[] = {
        {"Wm3.AttributeInt", "int", 4, false},
        {"Wm3.AttributeFloat", "float", 4, false},
        {"Wm3.AttributeDouble", "double", 8, false},
        {"Wm3.AttributeBool", "bool", 1, false},
        {"Wm3.AttributeString", "String", 0, true},
        {"Wm3.AttributeWstring", "Wstring", 0, true},
        {"Wm3.AttributeObject", "Object", 0, true},
        {"Wm3.AttributeArray", "Array", 0, true},
        {"Wm3.AttributeHashTable", "HashTable", 0, true},
        {"Wm3.AttributeSet", "Set", 0, true},
        {"Wm3.AttributeSetSorted", "SetSorted", 0, true},
        {"Wm3.AttributeDoubleLinkedList", "DoubleLinkedList", 0, true},
    };
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.typeName);
        // Found both by type name and by keyword.
        for (const char* kind : {row.typeName, row.keyword}) {
            Attribute* attribute = CreateAttribute(String(kind));
            ASSERT_NE(attribute, nullptr);
            EXPECT_STREQ(attribute->GetRtti().name, row.typeName);
            EXPECT_STREQ(attribute->keyword, row.keyword);
            EXPECT_EQ(attribute->valueSize, row.valueSize);
            EXPECT_EQ(attribute->complex, row.complex);
            attribute->AllocateValue();
            EXPECT_TRUE(attribute->ownsValue);
            delete attribute;
        }
    }
    EXPECT_EQ(CreateAttribute(String("Wm3.Attribute")), nullptr);
    EXPECT_EQ(CreateAttribute(String("long")), nullptr);
}

TEST(AttributeTest, CopyValueOnlyBetweenPlainValuesOfOneKeyword) {
    int32_t a = 1, b = 2;
    float f = 3.5f;
    double d = 0;
    String s("x"), t("y");
    AttributeInt intA(&a), intB(&b);
    AttributeFloat floatF(&f);
    AttributeDouble doubleD(&d);
    AttributeString stringS(&s), stringT(&t);

    EXPECT_TRUE(intA.CopyValue(intB));
    EXPECT_EQ(a, 2);
    EXPECT_FALSE(intA.CopyValue(floatF));  // same size, other keyword
    EXPECT_FALSE(doubleD.CopyValue(intA));
    EXPECT_FALSE(stringS.CopyValue(stringT));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(s, String("x"));
}

class MemberTest : public ::testing::Test {
protected:
    NodeType nodeType;
};

TEST_F(MemberTest, FindMemberPrefersInstanceAttributesThenTypeMembers) {
    Node node;
    node.count = 7;
    int32_t extra = 9;
    auto* own = new AttributeInt(&extra);
    own->SetName(String("count"));
    node.AddInstanceAttribute(own);

    Attribute* found = node.FindMember(String("count"));
    EXPECT_EQ(found, own);
    found->ReleaseReference();

    Attribute* label = node.FindMember(String("label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name(), String("label"));
    EXPECT_EQ(label->value, &node.label);
    label->ReleaseReference();
    EXPECT_EQ(node.FindMember(String("missing")), nullptr);
}

TEST_F(MemberTest, GetAttributeByIdBindsMembersOfBaseTypes) {
    Rtti derived("Wm3.TestDerived", &nodeType.rtti);
    derived.AddMember("count twice", 1, &BindTo<AttributeInt, &Node::count>);
    Node node;
    node.weight = 2.5;

    Attribute* weight = node.getAttributeById(3);
    ASSERT_NE(weight, nullptr);
    EXPECT_EQ(*static_cast<double*>(weight->value), 2.5);
    weight->ReleaseReference();
    EXPECT_EQ(node.getAttributeById(99), nullptr);

    // The type's own members come before its bases'.
    Node::type = &derived;
    Attribute* first = node.getAttributeById(1);
    EXPECT_EQ(first->Name(), String("count twice"));
    first->ReleaseReference();
    Node::type = &nodeType.rtti;
}

}  // namespace
