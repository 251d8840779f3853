#include "framework/attribute_collections.h"

#include "base/log.h"
#include "framework/attribute_values.h"
#include "framework/factory.h"
#include "framework/object_stream.h"

namespace {

const char* const kHeterogeneous = "Wm3.Attribute";
const char* const kReferences = "Wm3.AttributeObject";
const char* const kSetElements = "Wm3.AttributeInt";  // "Wm3.Attribute" + the plain name "Int"

// An attribute of the named kind, holding one reference, for binding to element storage;
// null (and the stream failed) when there is no such kind.
Attribute* ElementBinder(ObjectStream& stream, const String& kind) {
    Attribute* binder = CreateAttribute(kind);
    if (binder == nullptr) {
        stream.Fail("no attribute kind for elements of type", kind.Text());
        return nullptr;
    }
    binder->AddReference();
    return binder;
}

// One element with a value of its own: a new attribute holding one reference, or null.
Attribute* LoadElement(ObjectStream& stream, const String& kind) {
    Attribute* element = ElementBinder(stream, kind);
    if (element == nullptr) return nullptr;
    element->AllocateValue();
    element->LoadValue(stream);
    return element;
}

// A count that the rest of the stream cannot hold is refused before anything is allocated.
bool CountFits(ObjectStream& stream, int32_t count) {
    if (count >= 0 && count <= stream.Remaining()) return true;
    stream.Fail("element count beyond the end of", "the stream");
    return false;
}

// Every element of a heterogeneous array holds one reference.
void ReleaseElements(ArrayBase& array) {
    for (int32_t i = 0; i < array.Count(); ++i) {
        void* slot;
        array.ElementAddress(i, &slot);
        (*static_cast<Attribute**>(slot))->ReleaseReference();
    }
}

}  // namespace

AttributeCollection::AttributeCollection(const char* keyword, void* storage)
    : Attribute(keyword, 0, true) {
    value = storage;
}

// ---- Array ----

AttributeArray::~AttributeArray() { ReleaseOwnedValue(); }

void AttributeArray::ReleaseOwnedValue() {
    if (!ownsValue) return;
    if (Heterogeneous()) ReleaseElements(*Value());
    delete Value();
    ownsValue = false;
}

String AttributeArray::ElementTypeName() const { return String(Value()->TypeName(true)); }

bool AttributeArray::Heterogeneous() const { return ElementTypeName() == kHeterogeneous; }

void AttributeArray::AllocateValue() {
    ReleaseOwnedValue();
    value = new Array<Attribute*>();
    ownsValue = true;
}

template <typename Visit>
void AttributeArray::ForEachElement(ObjectStream& stream, Visit visit) const {
    ArrayBase& array = *Value();
    const bool heterogeneous = Heterogeneous();
    Attribute* binder = heterogeneous ? nullptr : ElementBinder(stream, ElementTypeName());
    if (!heterogeneous && binder == nullptr) return;
    for (int32_t i = 0; i < array.Count(); ++i) {
        void* slot;
        array.ElementAddress(i, &slot);
        if (heterogeneous) {
            visit(i, **static_cast<Attribute**>(slot));
        } else {
            binder->value = slot;
            visit(i, *binder);
        }
    }
    if (binder != nullptr) binder->ReleaseReference();
}

void AttributeArray::RegisterValue(ObjectStream& stream) {
    LogInfoTo(ObjectSystemChannel(), "AttributeArray, registering");
    ForEachElement(stream, [&](int32_t, Attribute& element) { element.RegisterValue(stream); });
}

void AttributeArray::SaveValue(ObjectStream& stream) const {
    const bool heterogeneous = Heterogeneous();
    stream.WriteBool(heterogeneous);
    stream.WriteInt(Value()->Count());
    if (!heterogeneous) stream.WriteString(ElementTypeName());
    ForEachElement(stream, [&](int32_t, Attribute& element) {
        if (heterogeneous) stream.WriteString(String(element.keyword));
        element.SaveValue(stream);
    });
}

void AttributeArray::LoadValue(ObjectStream& stream) {
    const bool heterogeneous = stream.ReadBool();
    const int32_t count = stream.ReadInt();
    LogInfoTo(ObjectSystemChannel(), "  AttributeArray loading, membercount=%d", count);
    if (!CountFits(stream, count)) return;
    if (heterogeneous != Heterogeneous()) {
        stream.Fail("array of another element type:", ElementTypeName().Text());
        return;
    }
    if (heterogeneous) {
        for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
            Attribute* element = LoadElement(stream, stream.ReadString());
            if (element != nullptr) Value()->AppendElement(&element);
        }
        return;
    }
    const String type = stream.ReadString();
    if (type != ElementTypeName()) {
        stream.Fail("array of another element type:", type.Text());
        return;
    }
    // Sized once, so that the element slots stay where the link pass will look for them.
    Value()->SetCount(count);
    ForEachElement(stream, [&](int32_t, Attribute& element) { element.LoadValue(stream); });
}

void AttributeArray::LinkValue(ObjectStream& stream) {
    const bool references = ElementTypeName() == kReferences;
    ForEachElement(stream, [&](int32_t index, Attribute& element) {
        uint32_t oldAddress = 0;
        Object* target = nullptr;
        if (!references) {
            element.LinkValue(stream);
        } else if (static_cast<AttributeObject&>(element).Relink(stream, oldAddress, target)) {
            LogInfoTo(ObjectSystemChannel(), "  array linking index %d: '%s' (hash %X) to object '%s' ['%s']",
                      index, Name().Text(), oldAddress, target != nullptr ? target->Name().Text() : "NULL",
                      target != nullptr ? target->GetRtti().name : "");
        }
    });
}

void AttributeArray::SetValue(const void* source) {
    auto& other = *static_cast<ArrayBase*>(const_cast<void*>(source));
    if (String(other.TypeName(true)) != ElementTypeName()) return;
    const bool heterogeneous = Heterogeneous();
    for (int32_t i = 0; i < other.Count(); ++i) {
        void* slot;
        other.ElementAddress(i, &slot);
        if (heterogeneous) (*static_cast<Attribute**>(slot))->AddReference();
    }
    if (heterogeneous) ReleaseElements(*Value());
    Value()->SetCount(0);
    for (int32_t i = 0; i < other.Count(); ++i) {
        void* slot;
        other.ElementAddress(i, &slot);
        Value()->AppendElement(slot);
    }
}

// ---- HashTable ----

AttributeHashTable::~AttributeHashTable() { ReleaseOwnedValue(); }

void AttributeHashTable::ReleaseOwnedValue() {
    if (!ownsValue) return;
    // Allocated tables are heterogeneous on both sides.
    Attribute* key;
    for (void* entry = Value()->FirstValue(&key); entry != nullptr; entry = Value()->NextValue(&key)) {
        key->ReleaseReference();
        (*static_cast<Attribute**>(entry))->ReleaseReference();
    }
    delete Value();
    ownsValue = false;
}

String AttributeHashTable::ElementTypeName() const { return String(Value()->ValueTypeName(true)); }

bool AttributeHashTable::Heterogeneous() const {
    return String(Value()->KeyTypeName(true)) == kHeterogeneous || ElementTypeName() == kHeterogeneous;
}

void AttributeHashTable::AllocateValue() {
    ReleaseOwnedValue();
    auto* table = new HashTable<Attribute*, Attribute*>();
    value = table;
    insert_ = &InsertEntry<HashTable<Attribute*, Attribute*>, Attribute*, Attribute*>;
    ownsValue = true;
}

template <typename Visit>
void AttributeHashTable::ForEachEntry(HashTableBase& table, ObjectStream& stream, Visit visit) const {
    // Each side is either an Attribute pointer stored in the table or a plain value that a
    // binder attribute points at; a key is copied out into the key binder's own storage.
    const bool keyElements = String(table.KeyTypeName(true)) == kHeterogeneous;
    const bool valueElements = String(table.ValueTypeName(true)) == kHeterogeneous;
    Attribute* keyBinder = keyElements ? nullptr : ElementBinder(stream, String(table.KeyTypeName(true)));
    Attribute* valueBinder = valueElements ? nullptr : ElementBinder(stream, String(table.ValueTypeName(true)));
    Attribute* keyElement = nullptr;
    if ((keyElements || keyBinder != nullptr) && (valueElements || valueBinder != nullptr)) {
        if (keyBinder != nullptr) keyBinder->AllocateValue();
        void* keyOut = keyElements ? static_cast<void*>(&keyElement) : keyBinder->value;
        for (void* entry = table.FirstValue(keyOut); entry != nullptr; entry = table.NextValue(keyOut)) {
            if (valueBinder != nullptr) valueBinder->value = entry;
            visit(keyElements ? *keyElement : *keyBinder,
                  valueElements ? **static_cast<Attribute**>(entry) : *valueBinder);
        }
    }
    if (keyBinder != nullptr) keyBinder->ReleaseReference();
    if (valueBinder != nullptr) {
        valueBinder->value = nullptr;
        valueBinder->ReleaseReference();
    }
}

void AttributeHashTable::RegisterValue(ObjectStream& stream) {
    ForEachEntry(*Value(), stream, [&](Attribute& key, Attribute& entry) {
        key.RegisterValue(stream);
        entry.RegisterValue(stream);
    });
}

void AttributeHashTable::SaveValue(ObjectStream& stream) const {
    const bool heterogeneous = Heterogeneous();
    stream.WriteBool(heterogeneous);
    stream.WriteInt(Value()->Count());
    if (!heterogeneous) {
        stream.WriteString(String(Value()->KeyTypeName(true)));
        stream.WriteString(ElementTypeName());
    }
    ForEachEntry(*Value(), stream, [&](Attribute& key, Attribute& entry) {
        if (heterogeneous) {
            stream.WriteString(String(key.keyword));
            stream.WriteString(String(entry.keyword));
        }
        key.SaveValue(stream);
        entry.SaveValue(stream);
    });
}

void AttributeHashTable::LoadValue(ObjectStream& stream) {
    const bool heterogeneous = stream.ReadBool();
    const int32_t count = stream.ReadInt();
    if (!CountFits(stream, count)) return;
    if (heterogeneous != Heterogeneous()) {
        stream.Fail("hash table of other types:", ElementTypeName().Text());
        return;
    }
    const bool keyElements = String(Value()->KeyTypeName(true)) == kHeterogeneous;
    const bool valueElements = ElementTypeName() == kHeterogeneous;
    Attribute* key = nullptr;
    Attribute* entry = nullptr;
    if (!heterogeneous) {
        const String keyType = stream.ReadString();
        const String valueType = stream.ReadString();
        if (keyType != Value()->KeyTypeName(true) || valueType != ElementTypeName()) {
            stream.Fail("hash table of other types:", valueType.Text());
            return;
        }
        key = ElementBinder(stream, keyType);
        entry = ElementBinder(stream, valueType);
        if (key == nullptr || entry == nullptr) return;
        key->AllocateValue();
        entry->AllocateValue();
    }
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        if (heterogeneous) {
            const String keyKind = stream.ReadString();
            const String valueKind = stream.ReadString();
            key = LoadElement(stream, keyKind);
            entry = LoadElement(stream, valueKind);
            if (key == nullptr || entry == nullptr) break;
        } else {
            key->LoadValue(stream);
            entry->LoadValue(stream);
        }
        const void* keyPointer = keyElements ? static_cast<const void*>(&key) : key->value;
        const bool inserted = insert_(*Value(), keyPointer, valueElements ? static_cast<const void*>(&entry) : entry->value);
        // A reference read into the entry belongs to its place in the table now.
        uint32_t oldAddress;
        if (inserted && stream.TakePendingReference(entry->value, oldAddress)) {
            stream.AddPendingReference(Value()->FindValue(keyPointer), oldAddress);
        }
        if (heterogeneous) {
            if (!keyElements || !inserted) key->ReleaseReference();
            if (!valueElements || !inserted) entry->ReleaseReference();
            key = entry = nullptr;
        }
    }
    if (key != nullptr) key->ReleaseReference();
    if (entry != nullptr) entry->ReleaseReference();
}

void AttributeHashTable::LinkValue(ObjectStream& stream) {
    ForEachEntry(*Value(), stream, [&](Attribute& key, Attribute& entry) {
        key.LinkValue(stream);
        entry.LinkValue(stream);
    });
}

void AttributeHashTable::SetValue(const void* source) {
    auto& other = *static_cast<HashTableBase*>(const_cast<void*>(source));
    if (String(other.KeyTypeName(true)) != Value()->KeyTypeName(true) ||
        String(other.ValueTypeName(true)) != ElementTypeName()) {
        return;
    }
    const bool keyElements = String(other.KeyTypeName(true)) == kHeterogeneous;
    const bool valueElements = ElementTypeName() == kHeterogeneous;
    ObjectStream unused;
    ForEachEntry(other, unused, [&](Attribute& key, Attribute& entry) {
        Attribute* keyElement = &key;
        Attribute* valueElement = &entry;
        const bool inserted = insert_(*Value(), keyElements ? static_cast<const void*>(&keyElement) : key.value,
                                      valueElements ? static_cast<const void*>(&valueElement) : entry.value);
        if (inserted && keyElements) key.AddReference();
        if (inserted && valueElements) entry.AddReference();
    });
}

// ---- Set ----

AttributeSet::~AttributeSet() { ReleaseOwnedValue(); }

void AttributeSet::ReleaseOwnedValue() {
    if (ownsValue) delete Value();
    ownsValue = false;
}

String AttributeSet::ElementTypeName() const { return String(kSetElements); }

void AttributeSet::AllocateValue() {
    ReleaseOwnedValue();
    value = new Set();
    ownsValue = true;
}

void AttributeSet::SaveValue(ObjectStream& stream) const {
    stream.WriteBool(false);
    stream.WriteInt(Value()->Quantity());
    stream.WriteString(ElementTypeName());
    for (int32_t i = 0; i < Value()->Quantity(); ++i) stream.WriteInt(Value()->Items()[i]);
}

void AttributeSet::LoadValue(ObjectStream& stream) {
    stream.ReadBool();
    const int32_t count = stream.ReadInt();
    if (!CountFits(stream, count)) return;
    const String type = stream.ReadString();
    if (type != ElementTypeName()) {
        stream.Fail("set of another element type:", type.Text());
        return;
    }
    Value()->Reset(count);
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) Value()->Append(stream.ReadInt());
}

void AttributeSet::SetValue(const void* source) { Value()->Assign(*static_cast<const Set*>(source)); }

// ---- DoubleLinkedList ----

AttributeDoubleLinkedList::~AttributeDoubleLinkedList() { ReleaseOwnedValue(); }

void AttributeDoubleLinkedList::ReleaseOwnedValue() {
    if (!ownsValue) return;
    for (Attribute* element : *Value()) element->ReleaseReference();
    delete Value();
    ownsValue = false;
}

String AttributeDoubleLinkedList::ElementTypeName() const {
    return Value()->empty() ? String() : String(Value()->front()->GetRtti().name);
}

void AttributeDoubleLinkedList::AllocateValue() {
    ReleaseOwnedValue();
    value = new DoubleLinkedList();
    ownsValue = true;
}

void AttributeDoubleLinkedList::RegisterValue(ObjectStream& stream) {
    for (Attribute* element : *Value()) element->RegisterValue(stream);
}

void AttributeDoubleLinkedList::SaveValue(ObjectStream& stream) const {
    // Only the first element's keyword is written, so a list of mixed kinds could not be
    // read back: refuse it rather than write something unreadable.
    const char* kind = Value()->empty() ? "" : Value()->front()->keyword;
    for (const Attribute* element : *Value()) {
        if (String(element->keyword) != kind) {
            stream.Fail("list with elements of different kinds:", Name().Text());
            return;
        }
    }
    stream.WriteBool(true);
    stream.WriteInt(static_cast<int32_t>(Value()->size()));
    stream.WriteString(String(kind));
    for (const Attribute* element : *Value()) element->SaveValue(stream);
}

void AttributeDoubleLinkedList::LoadValue(ObjectStream& stream) {
    stream.ReadBool();  // both forms name the kind once, as a keyword or as a type name
    const int32_t count = stream.ReadInt();
    if (!CountFits(stream, count)) return;
    const String kind = stream.ReadString();
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        Attribute* element = LoadElement(stream, kind);
        if (element != nullptr) Value()->push_back(element);
    }
}

void AttributeDoubleLinkedList::LinkValue(ObjectStream& stream) {
    for (Attribute* element : *Value()) element->LinkValue(stream);
}

void AttributeDoubleLinkedList::SetValue(const void* source) {
    const DoubleLinkedList& other = *static_cast<const DoubleLinkedList*>(source);
    for (Attribute* element : other) element->AddReference();
    for (Attribute* element : *Value()) element->ReleaseReference();
    *Value() = other;
}
