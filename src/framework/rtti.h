// Run-time type objects of the object framework, their member descriptors, and the registry
// that finds a type by name.
#ifndef SRC_FRAMEWORK_RTTI_H
#define SRC_FRAMEWORK_RTTI_H

#include <cstdint>

#include "base/array.h"
#include "base/string.h"

class Attribute;
class Object;
struct MethodDescriptor;

// An attribute that every object of a class has. `bind` makes a new attribute that reads and
// writes that member of the given object without owning it.
struct MemberDescriptor {
    String name;
    int32_t id;
    Attribute* (*bind)(Object& object);
};

class Rtti {
public:
    // Enters the type into the registry under its name, unless a type of that name is
    // already there (the registry keeps the first).
    Rtti(const char* name, const Rtti* base);
    ~Rtti();
    Rtti(const Rtti&) = delete;
    Rtti& operator=(const Rtti&) = delete;

    void AddMember(const char* memberName, int32_t id, Attribute* (*bind)(Object&));
    // The member of this type or of its bases, searched in that order; null if none.
    const MemberDescriptor* FindMember(const String& memberName) const;
    // The base's member names followed by this type's own, built on first use.
    const Array<String>& AllMembers() const;
    // Position among all type objects constructed so far (0 for the first).
    int32_t Sequence() const { return sequence_; }

    const char* const name;
    Array<String> aliases;
    const Rtti* const base;
    Array<MemberDescriptor*> members;  // owned
    Array<MethodDescriptor*> methods;  // owned by the method registry

private:
    int32_t sequence_;
    mutable Array<String>* allMembers_ = nullptr;
};

// Null when the name is unknown; then logs the miss and every registered type name.
Rtti* FindRtti(const String& name);

// The registered type names in the registry's iteration order.
void RegisteredTypeNames(Array<String>& out);

#endif  // SRC_FRAMEWORK_RTTI_H
