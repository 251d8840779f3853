// For tests: an object class with one member of every attribute kind. Its type object exists
// only while a NodeType does, so tests that count the registered types never see it.
#ifndef SRC_FRAMEWORK_TESTING_NODE_H
#define SRC_FRAMEWORK_TESTING_NODE_H

#include <string>

#include "base/array.h"
#include "base/hash_table.h"
#include "base/set.h"
#include "framework/attribute_collections.h"
#include "framework/attribute_values.h"

using IntArray = Array<int32_t, IntTypeNames>;
using StringIntTable = HashTable<String, int32_t, TypeNames<String>, IntTypeNames>;

class Node : public Object {
public:
    static Rtti* type;

    ~Node() override {
        Object* none = nullptr;
        AttributeObject(&next).SetValue(&none);
        for (Object* link : links) {
            if (link != nullptr) link->ReleaseReference();
        }
        for (Attribute* element : mixed) element->ReleaseReference();
        for (Attribute* element : list) element->ReleaseReference();
    }
    const Rtti& GetRtti() const override { return *type; }

    int32_t count = 0;
    float ratio = 0;
    double weight = 0;
    bool flag = false;
    String label;
    std::u16string wide;
    Object* next = nullptr;  // counted
    IntArray numbers;
    StringIntTable table;
    Set set;
    Set sortedSet;
    DoubleLinkedList list;
    Array<Object*> links;      // counted
    Array<Attribute*> mixed;  // counted
};

inline Rtti* Node::type = nullptr;

template <typename A, auto Member>
Attribute* BindTo(Object& object) {
    return new A(&(static_cast<Node&>(object).*Member));
}

// Member ids are their position + 1, in declaration order.
class NodeType {
public:
    NodeType() {
        rtti.AddMember("count", 1, &BindTo<AttributeInt, &Node::count>);
        rtti.AddMember("ratio", 2, &BindTo<AttributeFloat, &Node::ratio>);
        rtti.AddMember("weight", 3, &BindTo<AttributeDouble, &Node::weight>);
        rtti.AddMember("flag", 4, &BindTo<AttributeBool, &Node::flag>);
        rtti.AddMember("label", 5, &BindTo<AttributeString, &Node::label>);
        rtti.AddMember("wide", 6, &BindTo<AttributeWstring, &Node::wide>);
        rtti.AddMember("next", 7, &BindTo<AttributeObject, &Node::next>);
        rtti.AddMember("numbers", 8, &BindTo<AttributeArray, &Node::numbers>);
        rtti.AddMember("table", 9, [](Object& o) -> Attribute* {
            return AttributeHashTable::For(&static_cast<Node&>(o).table);
        });
        rtti.AddMember("set", 10, &BindTo<AttributeSet, &Node::set>);
        rtti.AddMember("sortedSet", 11, &BindTo<AttributeSetSorted, &Node::sortedSet>);
        rtti.AddMember("list", 12, &BindTo<AttributeDoubleLinkedList, &Node::list>);
        rtti.AddMember("links", 13, &BindTo<AttributeArray, &Node::links>);
        rtti.AddMember("mixed", 14, &BindTo<AttributeArray, &Node::mixed>);
        Node::type = &rtti;
    }
    ~NodeType() { Node::type = nullptr; }

    Rtti rtti{"Wm3.TestNode", &Object::TYPE};
};

#endif  // SRC_FRAMEWORK_TESTING_NODE_H
