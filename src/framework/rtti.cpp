#include "framework/rtti.h"

#include "base/hash_table.h"
#include "base/log.h"

namespace {

// Created by the first type object; the type objects are static, so the registry (finished
// before any of them) outlives them all.
HashTable<String, Rtti*>& Registry() {
    static HashTable<String, Rtti*> registry(256);
    return registry;
}

int32_t constructedTypes = 0;

}  // namespace

Rtti::Rtti(const char* name, const Rtti* base)
    : name(name), base(base), sequence_(constructedTypes++) {
    Registry().Insert(String(name), this);
}

Rtti::~Rtti() {
    // Only the entry that is really this type's: a refused duplicate must not remove the first.
    Rtti** entry = Registry().Find(String(name));
    if (entry != nullptr && *entry == this) Registry().Remove(String(name));
    for (MemberDescriptor* member : members) delete member;
    delete allMembers_;
}

void Rtti::AddMember(const char* memberName, int32_t id, Attribute* (*bind)(Object&)) {
    members.Append(new MemberDescriptor{String(memberName), id, bind});
    delete allMembers_;
    allMembers_ = nullptr;
}

const MemberDescriptor* Rtti::FindMember(const String& memberName) const {
    for (const Rtti* type = this; type != nullptr; type = type->base) {
        for (const MemberDescriptor* member : type->members) {
            if (member->name == memberName) return member;
        }
    }
    return nullptr;
}

const Array<String>& Rtti::AllMembers() const {
    if (allMembers_ == nullptr) {
        allMembers_ = base != nullptr ? new Array<String>(base->AllMembers()) : new Array<String>();
        for (const MemberDescriptor* member : members) allMembers_->Append(member->name);
    }
    return *allMembers_;
}

Rtti* FindRtti(const String& name) {
    Rtti** found = Registry().Find(name);
    if (found != nullptr && *found != nullptr) return *found;
    LogErrorTo(ObjectSystemChannel(), "FindRtti: rtti %s not found", name.Text());
    Array<String> names;
    RegisteredTypeNames(names);
    for (const String& registered : names) LogInfoTo(ObjectSystemChannel(), "   %s ", registered.Text());
    return nullptr;
}

void RegisteredTypeNames(Array<String>& out) {
    String name;
    for (Rtti** type = Registry().First(&name); type != nullptr; type = Registry().Next(&name)) {
        out.Append(name);
    }
}
