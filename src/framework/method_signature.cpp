#include "framework/method_signature.h"

#include "base/hash_table.h"
#include "base/log.h"
#include "base/text.h"
#include "framework/attribute_values.h"

namespace {

Array<TypeKeyword>& KeywordTable() {
    static Array<TypeKeyword> table;
    return table;
}

void AddKeyword(const char* keyword, int32_t words, int32_t valueClass, const Rtti* type) {
    TypeKeyword entry;
    entry.keyword = String(keyword);
    entry.words = words;
    entry.valueClass = valueClass;
    entry.type = type;
    KeywordTable().Append(entry);
}

// Owns the descriptors.
struct MethodRegistry {
    Array<MethodDescriptor*> list;
    HashTable<MethodFunction, MethodDescriptor*> byFunction{128};
    ~MethodRegistry() {
        for (MethodDescriptor* method : list) delete method;
    }
};

MethodRegistry& Registry() {
    static MethodRegistry registry;
    return registry;
}

bool ParseArgument(const String& text, ArgumentSignature& out) {
    String trimmed;
    TrimSpaces(trimmed, text.Text());
    Array<String> fields;
    Split(fields, trimmed.Text(), ' ', true);
    if (fields.Count() != 2) {
        LogErrorTo(ObjectSystemChannel(), "Could not parse argument '%s'", text.Text());
        return false;
    }
    if (FindTypeKeyword(fields.At(0)) == nullptr) {
        LogErrorTo(ObjectSystemChannel(), "Argument type '%s' unknown", fields.At(0).Text());
        return false;
    }
    out.type = fields.At(0);
    out.name = fields.At(1);
    return true;
}

}  // namespace

const Array<TypeKeyword>& TypeKeywords() { return KeywordTable(); }

void RegisterTypeKeywords() {
    AddKeyword("void", 0, kNoValue, nullptr);
    AddKeyword("bool", 1, kIntegerValue, &AttributeBool::TYPE);
    AddKeyword("int", 1, kIntegerValue, &AttributeInt::TYPE);
    AddKeyword("float", 1, kFloatingValue, &AttributeFloat::TYPE);
    AddKeyword("double", 2, kFloatingValue, &AttributeDouble::TYPE);
    AddKeyword("String", 1, kReferenceValue, &AttributeString::TYPE);
    AddKeyword("Wm3.Object", 1, kReferenceValue, &AttributeObject::TYPE);
    RegisteredTypeNames(KeywordTable().At(KeywordTable().Count() - 1).aliases);
}

const TypeKeyword* FindTypeKeyword(const String& name) {
    for (const TypeKeyword& entry : KeywordTable()) {
        if (entry.keyword == name) return &entry;
        for (const String& alias : entry.aliases) {
            if (alias == name) return &entry;
        }
    }
    return nullptr;
}

bool ParseSignature(const char* text, MethodSignature& out) {
    const String signature(text);
    const int32_t open = signature.FindChar('(');
    const int32_t close = signature.FindChar(')');
    if (open < 0 || close < open) return false;

    Array<String> head;
    Split(head, signature.Substring(0, open - 1).Text(), ' ', true);
    if (head.Count() != 2) return false;
    Array<String> arguments;
    Split(arguments, signature.Substring(open + 1, close - 1).Text(), ',', false);

    if (FindTypeKeyword(head.At(0)) == nullptr) {
        LogErrorTo(ObjectSystemChannel(), "Return type %s unknown", head.At(0).Text());
        return false;
    }
    out.returnType = head.At(0);
    out.name = head.At(1);
    out.arguments.Clear();
    // Nothing between the parentheses: Split gives no field at all.
    if (arguments.Count() == 0 || (arguments.Count() == 1 && arguments.At(0).IsEmpty())) return true;
    for (const String& argument : arguments) {
        ArgumentSignature parsed;
        if (!ParseArgument(argument, parsed)) return false;
        out.arguments.Append(parsed);
    }
    return true;
}

MethodDescriptor* RegisterMethod(Rtti& owner, const char* signature, MethodFunction function,
                                 bool takesNoObject) {
    if (Registry().byFunction.Find(function) != nullptr) return nullptr;
    auto* method = new MethodDescriptor{&owner, function, takesNoObject, MethodSignature()};
    if (!ParseSignature(signature, method->signature)) {
        LogErrorTo(ObjectSystemChannel(), "parsing signature %s failed", signature);
        delete method;
        return nullptr;
    }
    Registry().list.Append(method);
    Registry().byFunction.Insert(function, method);
    owner.methods.Append(method);
    return method;
}

const Array<MethodDescriptor*>& Methods() { return Registry().list; }

const MethodDescriptor* FindMethod(MethodFunction function) {
    MethodDescriptor* const* method = Registry().byFunction.Find(function);
    return method != nullptr ? *method : nullptr;
}
