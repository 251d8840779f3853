// The attribute kinds that wrap containers: arrays, hash tables, sets and linked lists. A
// container of Attribute pointers is heterogeneous: each element carries its own kind.
#ifndef SRC_FRAMEWORK_ATTRIBUTE_COLLECTIONS_H
#define SRC_FRAMEWORK_ATTRIBUTE_COLLECTIONS_H

#include <list>

#include "base/array.h"
#include "base/hash_table.h"
#include "base/set.h"
#include "framework/attribute.h"

// Every element of a heterogeneous container holds one reference, which the container's owner
// releases (an attribute that allocated its container does so itself).
class AttributeCollection : public Attribute {
public:
    static Rtti TYPE;

    const Rtti& GetRtti() const override { return TYPE; }
    // The name the stream gives the element type of a homogeneous container.
    virtual String ElementTypeName() const = 0;

protected:
    AttributeCollection(const char* keyword, void* storage);
};

class AttributeArray : public AttributeCollection {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    explicit AttributeArray(ArrayBase* storage = nullptr) : AttributeCollection("Array", storage) {}
    ~AttributeArray() override;
    const Rtti& GetRtti() const override { return TYPE; }
    String ElementTypeName() const override;
    void AllocateValue() override;
    void RegisterValue(ObjectStream& stream) override;
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
    void LinkValue(ObjectStream& stream) override;
    // Replaces the elements by those of an array with the same element type.
    void SetValue(const void* source) override;

    ArrayBase* Value() const { return static_cast<ArrayBase*>(value); }

private:
    bool Heterogeneous() const;
    void ReleaseOwnedValue();
    // visit(index, element attribute) for every element; fails the stream when the element
    // type has no attribute kind.
    template <typename Visit>
    void ForEachElement(ObjectStream& stream, Visit visit) const;
};

// Tables are loaded through a typed insertion, so binding goes through For().
class AttributeHashTable : public AttributeCollection {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    AttributeHashTable() : AttributeCollection("HashTable", nullptr) {}
    template <typename K, typename V, typename KeyNames, typename ValueNames>
    static AttributeHashTable* For(HashTable<K, V, KeyNames, ValueNames>* table) {
        auto* attribute = new AttributeHashTable();
        attribute->value = table;
        attribute->insert_ = &InsertEntry<HashTable<K, V, KeyNames, ValueNames>, K, V>;
        return attribute;
    }
    ~AttributeHashTable() override;
    const Rtti& GetRtti() const override { return TYPE; }
    String ElementTypeName() const override;
    void AllocateValue() override;
    void RegisterValue(ObjectStream& stream) override;
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
    void LinkValue(ObjectStream& stream) override;
    // Inserts every entry of a table of the same type that is not present yet.
    void SetValue(const void* source) override;

    HashTableBase* Value() const { return static_cast<HashTableBase*>(value); }

private:
    template <typename Table, typename K, typename V>
    static bool InsertEntry(HashTableBase& table, const void* key, const void* value) {
        return static_cast<Table&>(table).Insert(*static_cast<const K*>(key), *static_cast<const V*>(value));
    }
    bool Heterogeneous() const;
    void ReleaseOwnedValue();
    // visit(key attribute, value attribute) for every entry of `table`.
    template <typename Visit>
    void ForEachEntry(HashTableBase& table, ObjectStream& stream, Visit visit) const;

    bool (*insert_)(HashTableBase& table, const void* key, const void* value) = nullptr;
};

// A Set holds 32-bit numbers, so its elements are always Int.
class AttributeSet : public AttributeCollection {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    explicit AttributeSet(Set* storage = nullptr) : AttributeSet("Set", storage) {}
    ~AttributeSet() override;
    const Rtti& GetRtti() const override { return TYPE; }
    String ElementTypeName() const override;
    void AllocateValue() override;
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
    void SetValue(const void* source) override;

    Set* Value() const { return static_cast<Set*>(value); }

private:
    void ReleaseOwnedValue();

protected:
    AttributeSet(const char* keyword, Set* storage) : AttributeCollection(keyword, storage) {}
};

class AttributeSetSorted : public AttributeSet {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    explicit AttributeSetSorted(Set* storage = nullptr) : AttributeSet("SetSorted", storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
};

using DoubleLinkedList = std::list<Attribute*>;

// Written with the keyword of its first element only, so all elements must be of one kind.
class AttributeDoubleLinkedList : public AttributeCollection {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    explicit AttributeDoubleLinkedList(DoubleLinkedList* storage = nullptr)
        : AttributeCollection("DoubleLinkedList", storage) {}
    ~AttributeDoubleLinkedList() override;
    const Rtti& GetRtti() const override { return TYPE; }
    String ElementTypeName() const override;
    void AllocateValue() override;
    void RegisterValue(ObjectStream& stream) override;
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
    void LinkValue(ObjectStream& stream) override;
    // Replaces the elements by the other list's (shared, each with a new reference).
    void SetValue(const void* source) override;

    DoubleLinkedList* Value() const { return static_cast<DoubleLinkedList*>(value); }

private:
    void ReleaseOwnedValue();
};

#endif  // SRC_FRAMEWORK_ATTRIBUTE_COLLECTIONS_H
