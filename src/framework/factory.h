// The factory table: creates an object or attribute of a registered type from its name.
#ifndef SRC_FRAMEWORK_FACTORY_H
#define SRC_FRAMEWORK_FACTORY_H

#include "base/hash_table.h"
#include "base/string.h"

class Attribute;
class Object;

using Factory = Object* (*)();

HashTable<String, Factory>& FactoryTable();

template <typename T>
Object* CreateInstance() {
    return new T();
}

// The start-up initialiser that enters T under its type name and every alias.
template <typename T>
void RegisterFactory() {
    FactoryTable().Insert(String(T::TYPE.name), &CreateInstance<T>);
    for (const String& alias : T::TYPE.aliases) FactoryTable().Insert(alias, &CreateInstance<T>);
}

// A new object of the named type, without references; null when the type has no factory.
Object* CreateObject(const String& typeName);
// A new attribute without a value yet (bind it or AllocateValue), named by type name
// ("Wm3.AttributeInt") or by keyword ("int"); null when there is no such attribute kind.
Attribute* CreateAttribute(const String& kind);

#endif  // SRC_FRAMEWORK_FACTORY_H
