// The attribute kinds that wrap a single value: numbers, truth values, texts and object
// references.
#ifndef SRC_FRAMEWORK_ATTRIBUTE_VALUES_H
#define SRC_FRAMEWORK_ATTRIBUTE_VALUES_H

#include <cstdint>
#include <string>

#include "base/string.h"
#include "framework/attribute.h"

// A kind whose value is one T, either bound to storage owned elsewhere or allocated.
template <typename T>
class ValueAttribute : public Attribute {
public:
    using ValueType = T;

    ~ValueAttribute() override {
        if (ownsValue) delete Value();
    }

    void AllocateValue() override {
        if (ownsValue) delete Value();
        value = new T();
        ownsValue = true;
    }
    void SetValue(const void* source) override { *Value() = *static_cast<const T*>(source); }
    T* Value() const { return static_cast<T*>(value); }

protected:
    ValueAttribute(const char* keyword, bool complex, T* storage)
        : Attribute(keyword, complex ? 0 : static_cast<int32_t>(sizeof(T)), complex) {
        value = storage;
    }
};

class AttributeInt : public ValueAttribute<int32_t> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "int get()";
    static constexpr const char* setSignature = "void set(int i)";

    explicit AttributeInt(int32_t* storage = nullptr) : ValueAttribute("int", false, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

class AttributeFloat : public ValueAttribute<float> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "float get()";
    static constexpr const char* setSignature = "void set(float f)";

    explicit AttributeFloat(float* storage = nullptr) : ValueAttribute("float", false, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

class AttributeDouble : public ValueAttribute<double> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "double get()";
    static constexpr const char* setSignature = "void set(double d)";

    explicit AttributeDouble(double* storage = nullptr) : ValueAttribute("double", false, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

class AttributeBool : public ValueAttribute<bool> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "bool get()";
    static constexpr const char* setSignature = "void set(bool b)";

    explicit AttributeBool(bool* storage = nullptr) : ValueAttribute("bool", false, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

class AttributeString : public ValueAttribute<String> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "String get()";
    static constexpr const char* setSignature = "void set(String str)";

    explicit AttributeString(String* storage = nullptr) : ValueAttribute("String", true, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

// Streamed as UTF-8.
class AttributeWstring : public ValueAttribute<std::u16string> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();

    explicit AttributeWstring(std::u16string* storage = nullptr)
        : ValueAttribute("Wstring", true, storage) {}
    const Rtti& GetRtti() const override { return TYPE; }
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
};

// Holds a counted reference. After loading, the reference stays empty until the link pass
// finds the object that the stream's old address stands for.
class AttributeObject : public ValueAttribute<Object*> {
public:
    static Rtti TYPE;
    static void RegisterInitialize();
    static constexpr const char* getSignature = "Wm3.Object get()";
    static constexpr const char* setSignature = "void set(Wm3.Object str)";

    explicit AttributeObject(Object** storage = nullptr) : ValueAttribute("Object", true, storage) {}
    ~AttributeObject() override;
    const Rtti& GetRtti() const override { return TYPE; }
    void RegisterValue(ObjectStream& stream) override;
    void LoadValue(ObjectStream& stream) override;
    void SaveValue(ObjectStream& stream) const override;
    void LinkValue(ObjectStream& stream) override;
    // Takes a reference to the new object first, then releases the old one.
    void SetValue(const void* source) override;

    // Resolves a reference left by LoadValue: false if there was none; otherwise sets the
    // value and reports the old address and the object it now stands for (may be null).
    bool Relink(ObjectStream& stream, uint32_t& oldAddress, Object*& target);
};

#endif  // SRC_FRAMEWORK_ATTRIBUTE_VALUES_H
