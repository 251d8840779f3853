// Reflection of methods: the table of type keywords, the parser of signature texts such as
// "void set(int i)", and the descriptors of registered methods.
#ifndef SRC_FRAMEWORK_METHOD_SIGNATURE_H
#define SRC_FRAMEWORK_METHOD_SIGNATURE_H

#include <cstdint>

#include "base/array.h"
#include "base/string.h"
#include "framework/rtti.h"

// Value classes of type keywords.
enum ValueClass : int32_t { kNoValue = 0, kIntegerValue = 1, kFloatingValue = 2, kReferenceValue = 3 };

struct TypeKeyword {
    String keyword;
    int32_t words = 0;  // size in 32-bit words
    int32_t valueClass = kNoValue;
    const Rtti* type = nullptr;
    Array<String> aliases;
};

const Array<TypeKeyword>& TypeKeywords();
// The start-up initialiser that fills the table: "void", "bool", "int", "float", "double",
// "String", "Wm3.Object", and every registered type name as an alias of "Wm3.Object".
void RegisterTypeKeywords();
// The entry whose keyword or one of whose aliases is `name`; null if none.
const TypeKeyword* FindTypeKeyword(const String& name);

struct ArgumentSignature {
    String type;
    String name;
};

struct MethodSignature {
    String name;
    String returnType;
    Array<ArgumentSignature> arguments;
};

// False, with the reason logged, when the text is not "type name(type arg, ...)" over known
// types.
bool ParseSignature(const char* text, MethodSignature& out);

// Stands for any function; the descriptor records it only to identify the method.
using MethodFunction = void (*)();

struct MethodDescriptor {
    const Rtti* owner;
    MethodFunction function;
    bool takesNoObject;
    MethodSignature signature;
};

// Describes a function once (a repeat returns null): appended to the owner's methods, the
// process-wide method list and the table by function address. Null, with "parsing signature
// %s failed" logged, when the signature does not parse.
MethodDescriptor* RegisterMethod(Rtti& owner, const char* signature, MethodFunction function,
                                 bool takesNoObject);
const Array<MethodDescriptor*>& Methods();
const MethodDescriptor* FindMethod(MethodFunction function);

#endif  // SRC_FRAMEWORK_METHOD_SIGNATURE_H
