#include "framework/factory.h"

#include <cctype>

#include "framework/attribute.h"

HashTable<String, Factory>& FactoryTable() {
    static HashTable<String, Factory> table(256);
    return table;
}

Object* CreateObject(const String& typeName) {
    Factory* factory = FactoryTable().Find(typeName);
    return factory != nullptr ? (*factory)() : nullptr;
}

Attribute* CreateAttribute(const String& kind) {
    String typeName = kind;
    if (!kind.StartsWithNoCase("Wm3.") && !kind.IsEmpty()) {
        // Keywords are the kind's class name after "Wm3.Attribute", first letter lowered
        // for the numbers ("int" for "Wm3.AttributeInt").
        typeName = String("Wm3.Attribute");
        typeName.AppendChar(static_cast<char>(std::toupper(static_cast<unsigned char>(kind.Text()[0]))));
        typeName.Append(kind.Tail(1));
    }
    Object* object = CreateObject(typeName);
    auto* attribute = dynamic_cast<Attribute*>(object);
    if (attribute == nullptr) {
        delete object;
        return nullptr;
    }
    return attribute;
}
