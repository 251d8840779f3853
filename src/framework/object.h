// Object: the framework's reference-counted base class with a name, named attributes and the
// operations that save it to and load it from object streams.
#ifndef SRC_FRAMEWORK_OBJECT_H
#define SRC_FRAMEWORK_OBJECT_H

#include <cstdint>

#include "base/array.h"
#include "base/string.h"
#include "base/type_names.h"
#include "framework/rtti.h"

class Attribute;
class ObjectStream;

// The root of the type hierarchy: all it knows is its type.
class RttiObject {
public:
    static Rtti TYPE;

    virtual ~RttiObject() = default;
    virtual const Rtti& GetRtti() const { return TYPE; }
};

class Object : public RttiObject {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    // Starts with no references; the first AddReference makes the caller its owner.
    Object();
    ~Object() override;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    const Rtti& GetRtti() const override { return TYPE; }

    const String& Name() const { return name_; }
    virtual void SetName(const String& name);
    // This object if its name is `name`, else null.
    virtual Object* FindByName(const String& name);
    // Appends this object to `out` if its name is `name`.
    virtual void CollectByName(const String& name, Array<Object*>& out);

    // Stream passes. Load starts after the record's type name, which the loader has read to
    // create this object.
    virtual void Load(ObjectStream& stream);
    virtual void Link(ObjectStream& stream);
    virtual void Register(ObjectStream& stream);
    virtual void Save(ObjectStream& stream);
    // Bytes that Save writes, in the current version and in a given one.
    virtual int32_t StreamSize();
    virtual int32_t StreamSizeForVersion(int32_t major, int32_t minor);

    // Both under the one object lock; dropping the last reference deletes the object.
    void AddReference();
    void ReleaseReference();
    int32_t ReferenceCount() const;

    // Adds an attribute of this instance only (the object takes a reference to it).
    void AddInstanceAttribute(Attribute* attribute);
    // The instance attribute of that name, else the type's (or a base's) member bound to
    // this object. The caller holds a reference to the result and releases it; null if none.
    Attribute* FindMember(const String& name);
    // The first member of the type or its bases with that id, bound to this object; the
    // caller releases it. Null if none.
    Attribute* getAttributeById(int32_t id);

    // Objects alive at the moment.
    static bool IsLive(const Object* object);
    static int32_t LiveCount();

private:
    template <typename Visit>
    void ForEachAttribute(Visit visit);

    String name_;
    int32_t referenceCount_ = 0;
    Array<Attribute*> instanceAttributes_;  // each holds one reference of ours
};

template <>
struct TypeNames<Object*> {
    static constexpr const char* plain = "Object";
    static constexpr const char* attribute = "Wm3.AttributeObject";
};

// Registers the initialisers of all framework classes in their fixed order; repeats return at
// once. Every file that uses the framework calls it while its statics are set up, so the
// classes are registered before any of its statics can use them.
void RegisterFrameworkClasses();
namespace {
[[maybe_unused]] const bool frameworkClassesRegistered = (RegisterFrameworkClasses(), true);
}

#endif  // SRC_FRAMEWORK_OBJECT_H
