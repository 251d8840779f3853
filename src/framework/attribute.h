// Attribute: a named object that wraps one value of a fixed kind (a number, a text, an object
// reference or a container) so that it can be copied and streamed without knowing the kind.
#ifndef SRC_FRAMEWORK_ATTRIBUTE_H
#define SRC_FRAMEWORK_ATTRIBUTE_H

#include <cstdint>

#include "base/type_names.h"
#include "framework/object.h"

class Attribute : public Object {
public:
    static Rtti TYPE;

    const Rtti& GetRtti() const override { return TYPE; }

    // Gives the attribute storage of its own, released with it.
    virtual void AllocateValue() = 0;
    // Bytes that SaveValue writes.
    virtual int32_t ValueStreamSize() const;
    virtual void* ValuePointer() { return value; }
    // Copies the plain value of an attribute of the same keyword and size; false (nothing
    // copied) for complex kinds and mismatches.
    virtual bool CopyValue(const Attribute& other);
    virtual void RegisterValue(ObjectStream& stream);
    virtual void LoadValue(ObjectStream& stream) = 0;
    virtual void SaveValue(ObjectStream& stream) const = 0;
    virtual void LinkValue(ObjectStream& stream);
    // `source` points to a value of the attribute's kind.
    virtual void SetValue(const void* source) = 0;

    void* value = nullptr;
    const int32_t valueSize;
    const bool complex;
    bool ownsValue = false;
    const char* const keyword;

protected:
    Attribute(const char* keyword, int32_t valueSize, bool complex);
};

template <>
struct TypeNames<Attribute*> {
    static constexpr const char* plain = "Attribute";
    static constexpr const char* attribute = "Wm3.Attribute";
};

#endif  // SRC_FRAMEWORK_ATTRIBUTE_H
