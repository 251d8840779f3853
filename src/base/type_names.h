// The two names of an element type (plain and attribute form) that containers report, so the
// object framework can describe a container without knowing its element type.
#ifndef SRC_BASE_TYPE_NAMES_H
#define SRC_BASE_TYPE_NAMES_H

class String;
class ArrayBase;
class HashTableBase;

// Types without names report "void"; the framework specialises this for its own classes.
template <typename T>
struct TypeNames {
    static constexpr const char* plain = "void";
    static constexpr const char* attribute = "void";
};

template <>
struct TypeNames<String> {
    static constexpr const char* plain = "String";
    static constexpr const char* attribute = "Wm3.AttributeString";
};

template <>
struct TypeNames<signed char> {
    static constexpr const char* plain = "Char";
    static constexpr const char* attribute = "Wm3.AttributeChar";
};

template <>
struct TypeNames<ArrayBase*> {
    static constexpr const char* plain = "Array";
    static constexpr const char* attribute = "Wm3.AttributeArray";
};

template <>
struct TypeNames<HashTableBase*> {
    static constexpr const char* plain = "HashTable";
    static constexpr const char* attribute = "Wm3.AttributeHashTable";
};

// The 32-bit integers of the object layer's arrays, sets and table keys are named "Int";
// all other 32-bit integers stay "void". Containers take it as their names parameter:
// Array<int32_t, IntTypeNames>.
struct IntTypeNames {
    static constexpr const char* plain = "Int";
    static constexpr const char* attribute = "Wm3.AttributeInt";
};

template <typename Names>
const char* NameOf(bool attributeForm) {
    return attributeForm ? Names::attribute : Names::plain;
}

#endif  // SRC_BASE_TYPE_NAMES_H
