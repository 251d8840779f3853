#include "framework/object.h"

#include "base/hash_table.h"
#include "base/log.h"
#include "base/system.h"
#include "framework/attribute_values.h"
#include "framework/object_stream.h"

namespace {

// The lock and the set of live objects are never destroyed, so objects that die during
// process exit still find them.
CriticalSection* ObjectLock() {
    static CriticalSection* lock = NewCriticalSection();
    return lock;
}

HashTable<const Object*, bool>& LiveObjects() {
    static auto* live = new HashTable<const Object*, bool>(32768);
    return *live;
}

// A member of the object's type bound to the object, named after the member; the caller
// holds the one reference.
Attribute* BindMember(const MemberDescriptor& member, Object& object) {
    Attribute* attribute = member.bind(object);
    attribute->SetName(member.name);
    attribute->AddReference();
    return attribute;
}

int32_t StringStreamSize(const String& text) { return 4 + text.Length(); }

}  // namespace

Object::Object() {
    Enter(ObjectLock());
    LiveObjects().Insert(this, true);
    Leave(ObjectLock());
}

Object::~Object() {
    for (Attribute* attribute : instanceAttributes_) attribute->ReleaseReference();
    Enter(ObjectLock());
    LiveObjects().Remove(this);
    Leave(ObjectLock());
}

void Object::SetName(const String& name) { name_ = name; }

Object* Object::FindByName(const String& name) { return name_ == name ? this : nullptr; }

void Object::CollectByName(const String& name, Array<Object*>& out) {
    if (name_ == name) out.Append(this);
}

void Object::AddReference() {
    Enter(ObjectLock());
    ++referenceCount_;
    Leave(ObjectLock());
}

void Object::ReleaseReference() {
    Enter(ObjectLock());
    const bool last = --referenceCount_ == 0;
    Leave(ObjectLock());
    if (last) delete this;
}

int32_t Object::ReferenceCount() const {
    Enter(ObjectLock());
    const int32_t count = referenceCount_;
    Leave(ObjectLock());
    return count;
}

bool Object::IsLive(const Object* object) {
    Enter(ObjectLock());
    const bool live = LiveObjects().Find(object) != nullptr;
    Leave(ObjectLock());
    return live;
}

int32_t Object::LiveCount() {
    Enter(ObjectLock());
    const int32_t count = LiveObjects().Count();
    Leave(ObjectLock());
    return count;
}

void Object::AddInstanceAttribute(Attribute* attribute) {
    attribute->AddReference();
    instanceAttributes_.Append(attribute);
}

Attribute* Object::FindMember(const String& name) {
    for (Attribute* attribute : instanceAttributes_) {
        if (attribute->Name() == name) {
            attribute->AddReference();
            return attribute;
        }
    }
    const MemberDescriptor* member = GetRtti().FindMember(name);
    return member != nullptr ? BindMember(*member, *this) : nullptr;
}

Attribute* Object::getAttributeById(int32_t id) {
    for (const Rtti* type = &GetRtti(); type != nullptr; type = type->base) {
        for (const MemberDescriptor* member : type->members) {
            if (member->id == id) return BindMember(*member, *this);
        }
    }
    return nullptr;
}

// Visits the type's members (base members first, bound for the visit) and then the instance
// attributes, as visit(index, attribute, isInstanceAttribute).
template <typename Visit>
void Object::ForEachAttribute(Visit visit) {
    const Array<String>& names = GetRtti().AllMembers();
    for (int32_t i = 0; i < names.Count(); ++i) {
        Attribute* attribute = BindMember(*GetRtti().FindMember(names.At(i)), *this);
        visit(i, *attribute, false);
        attribute->ReleaseReference();
    }
    for (int32_t i = 0; i < instanceAttributes_.Count(); ++i) {
        visit(i, *instanceAttributes_.At(i), true);
    }
}

void Object::Register(ObjectStream& stream) {
    if (!stream.AddRegistered(this)) return;
    ForEachAttribute([&](int32_t index, Attribute& attribute, bool instance) {
        if (instance) {
            LogInfoTo(ObjectSystemChannel(), " object, registering IA %s", attribute.Name().Text());
        } else if (dynamic_cast<AttributeObject*>(&attribute) != nullptr) {
            LogInfoTo(ObjectSystemChannel(), " object %s, registering CA %d: %s", name_.Text(), index,
                      attribute.Name().Text());
        }
        attribute.RegisterValue(stream);
    });
}

void Object::Save(ObjectStream& stream) {
    stream.WriteString(String(GetRtti().name));
    stream.WriteObjectReference(this);
    stream.WriteString(name_);
    ForEachAttribute([&](int32_t, Attribute& attribute, bool) { attribute.SaveValue(stream); });
}

void Object::Load(ObjectStream& stream) {
    const uint32_t oldAddress = stream.ReadObjectReference();
    stream.RememberLoaded(oldAddress, this);
    name_ = stream.ReadString();
    // Streams before 1.2 carry one more number here, which nothing uses any more.
    if (stream.OlderThan(1, 2)) stream.ReadInt();
    LogInfoTo(ObjectSystemChannel(), " loaded object '%s', hash = %X", name_.Text(), oldAddress);
    ForEachAttribute([&](int32_t, Attribute& attribute, bool) { attribute.LoadValue(stream); });
}

void Object::Link(ObjectStream& stream) {
    ForEachAttribute([&](int32_t index, Attribute& attribute, bool instance) {
        auto* reference = dynamic_cast<AttributeObject*>(&attribute);
        uint32_t oldAddress = 0;
        Object* target = nullptr;
        if (instance || reference == nullptr) {
            attribute.LinkValue(stream);
        } else if (reference->Relink(stream, oldAddress, target)) {
            LogInfoTo(ObjectSystemChannel(), "  object %s, linking CA %d: %s (hash %X) to object '%s' ['%s']",
                      name_.Text(), index, attribute.Name().Text(), oldAddress,
                      target != nullptr ? target->Name().Text() : "NULL",
                      target != nullptr ? target->GetRtti().name : "");
        }
    });
}

int32_t Object::StreamSize() { return StreamSizeForVersion(ObjectStream::kMajor, ObjectStream::kMinor); }

int32_t Object::StreamSizeForVersion(int32_t major, int32_t minor) {
    int32_t size = StringStreamSize(String(GetRtti().name)) + 4 + StringStreamSize(name_);
    if (major * 100 + minor < 102) size += 4;
    ForEachAttribute([&](int32_t, Attribute& attribute, bool) { size += attribute.ValueStreamSize(); });
    return size;
}
