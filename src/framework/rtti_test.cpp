#include "framework/rtti.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/attribute_collections.h"
#include "framework/attribute_values.h"
#include "framework/class_registration.h"
#include "framework/initializer.h"
#include "framework/testing_log_capture.h"

namespace {

struct TypeRow {
    const char* name;
    const char* base;
};

// Construction order and bases of the framework's type objects.
const TypeRow kTypes[] = {
    {"Wm3.AttributeInt", "Wm3.Attribute"},
    {"Wm3.AttributeFloat", "Wm3.Attribute"},
    {"Wm3.AttributeDouble", "Wm3.Attribute"},
    {"Wm3.AttributeBool", "Wm3.Attribute"},
    {"Wm3.AttributeString", "Wm3.Attribute"},
    {"Wm3.AttributeWstring", "Wm3.Attribute"},
    {"Wm3.AttributeObject", "Wm3.Attribute"},
    {"Wm3.AttributeCollection", "Wm3.Attribute"},
    {"Wm3.AttributeArray", "Wm3.AttributeCollection"},
    {"Wm3.AttributeHashTable", "Wm3.AttributeCollection"},
    {"Wm3.AttributeSet", "Wm3.AttributeCollection"},
    {"Wm3.AttributeSetSorted", "Wm3.AttributeSet"},
    {"Wm3.AttributeDoubleLinkedList", "Wm3.AttributeCollection"},
    {"Wm3.Object", "Wm3.RttiObject"},
    {"Wm3.Attribute", "Wm3.Object"},
    {"Wm3.RttiObject", nullptr},
};

TEST(RttiTest, TypeObjectsAreRegisteredWithTheirBasesInConstructionOrder) {
    int32_t previous = -1;
    for (const TypeRow& row : kTypes) {
        SCOPED_TRACE(row.name);
        Rtti* type = FindRtti(String(row.name));
        ASSERT_NE(type, nullptr);
        EXPECT_STREQ(type->name, row.name);
        if (row.base == nullptr) {
            EXPECT_EQ(type->base, nullptr);
        } else {
            ASSERT_NE(type->base, nullptr);
            EXPECT_STREQ(type->base->name, row.base);
        }
        EXPECT_GT(type->Sequence(), previous);
        previous = type->Sequence();
    }
    EXPECT_EQ(&AttributeSetSorted::TYPE, FindRtti(String("Wm3.AttributeSetSorted")));
}

TEST(RttiTest, UnknownNameLogsTheMissAndEveryRegisteredName) {
    ObjectLogCapture log;
    EXPECT_EQ(FindRtti(String("Wm3.Thing")), nullptr);

    ASSERT_EQ(log.lines.size(), 17u);
    EXPECT_EQ(log.lines[0], "FindRtti: rtti Wm3.Thing not found");
    std::set<std::string> listed;
    for (size_t i = 1; i < log.lines.size(); ++i) listed.insert(log.lines[i]);
    for (const TypeRow& row : kTypes) EXPECT_EQ(listed.count("   " + std::string(row.name) + " "), 1u) << row.name;
}

TEST(RttiTest, SecondTypeOfTheSameNameNeitherReplacesNorRemovesTheFirst) {
    {
        Rtti duplicate("Wm3.AttributeInt", nullptr);
        EXPECT_EQ(FindRtti(String("Wm3.AttributeInt")), &AttributeInt::TYPE);
    }
    EXPECT_EQ(FindRtti(String("Wm3.AttributeInt")), &AttributeInt::TYPE);

    {
        Rtti temporary("Wm3.Temporary", &Object::TYPE);
        EXPECT_EQ(FindRtti(String("Wm3.Temporary")), &temporary);
    }
    ObjectLogCapture log;
    EXPECT_EQ(FindRtti(String("Wm3.Temporary")), nullptr);
}

TEST(RttiTest, AllMembersListsBaseMembersFirst) {
    Rtti base("Wm3.TestBase", &Object::TYPE);
    Rtti derived("Wm3.TestDerived", &base);
    base.AddMember("a", 1, nullptr);
    derived.AddMember("b", 2, nullptr);
    base.AddMember("c", 3, nullptr);

    const Array<String>& names = derived.AllMembers();
    ASSERT_EQ(names.Count(), 3);
    EXPECT_EQ(names.At(0), String("a"));
    EXPECT_EQ(names.At(1), String("c"));
    EXPECT_EQ(names.At(2), String("b"));
    EXPECT_EQ(derived.FindMember(String("c"))->id, 3);
    EXPECT_EQ(derived.FindMember(String("d")), nullptr);
}

TEST(InitializerTest, StartUpFillsPriorityZeroAndTwoInTheRegistrationOrder) {
    const InitializerTable& table = StartupInitializers();
    ASSERT_EQ(table.Count(), 3);
    ASSERT_EQ(table.List(0).Count(), 1);
    EXPECT_EQ(table.List(0).At(0), &RegisterTypeKeywords);
    EXPECT_EQ(table.List(1).Count(), 0);

    const Initializer expected[] = {
        &RegisterFactory<Object>,
        &RegisterObjectMethods,
        &EmptyInitializer,
        &RegisterFactory<AttributeInt>,
        &RegisterAccessorMethods<AttributeInt>,
        &RegisterFactory<AttributeFloat>,
        &RegisterAccessorMethods<AttributeFloat>,
        &RegisterFactory<AttributeDouble>,
        &RegisterAccessorMethods<AttributeDouble>,
        &RegisterFactory<AttributeBool>,
        &RegisterAccessorMethods<AttributeBool>,
        &RegisterFactory<AttributeString>,
        &RegisterAccessorMethods<AttributeString>,
        &RegisterFactory<AttributeWstring>,
        &RegisterFactory<AttributeObject>,
        &RegisterAccessorMethods<AttributeObject>,
        &RegisterFactory<AttributeArray>,
        &RegisterFactory<AttributeHashTable>,
        &RegisterFactory<AttributeSet>,
        &RegisterFactory<AttributeSetSorted>,
        &RegisterFactory<AttributeDoubleLinkedList>,
    };
    const Array<Initializer>& list = table.List(2);
    ASSERT_EQ(list.Count(), 21);
    for (int32_t i = 0; i < 21; ++i) EXPECT_EQ(list.At(i), expected[i]) << "entry " << i;
}

void First() {}
void Second() {}

TEST(InitializerTest, FunctionIsKeptOnceAtItsFirstPriority) {
    InitializerTable table;
    EXPECT_EQ(table.Count(), 0);
    ASSERT_NE(table.Register(&First, 2), nullptr);
    EXPECT_EQ(table.Register(&First, 0), nullptr);
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(table.List(0).Count(), 0);
    ASSERT_EQ(table.List(2).Count(), 1);
    EXPECT_EQ(table.List(2).At(0), &First);

    // Out-of-range priorities land in the first and the last list instead of outside.
    ASSERT_NE(table.Register(&Second, 1000), nullptr);
    EXPECT_EQ(table.Count(), InitializerTable::kPriorities);
    EXPECT_EQ(table.List(InitializerTable::kPriorities - 1).At(0), &Second);
    ASSERT_NE(table.Register(&EmptyInitializer, -5), nullptr);
    EXPECT_EQ(table.List(0).At(0), &EmptyInitializer);
}

int runs = 0;
std::string order;
void RunA() { order += "a"; ++runs; }
void RunB() { order += "b"; ++runs; }
void RunC() { order += "c"; ++runs; }

TEST(InitializerTest, RunAllCallsAscendingPrioritiesOnce) {
    InitializerTable table;
    table.Register(&RunA, 2);
    table.Register(&RunB, 0);
    table.Register(&RunC, 2);
    table.RunAll();
    table.RunAll();
    EXPECT_EQ(order, "bac");
    EXPECT_EQ(runs, 3);
}

}  // namespace
