// The framework's start-up: the class registrations (object.h runs them before anything in
// this file), then the type objects in a fixed order. The type objects all live in this one
// file because C++ orders static construction only within a file.
#include "base/log.h"
#include "framework/attribute_collections.h"
#include "framework/attribute_values.h"
#include "framework/class_registration.h"
#include "framework/initializer.h"

namespace {

// The registrations of every attribute class; the flag makes repeats return at once.
template <typename A>
void RegisterAttributeClass(Initializer methods) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterInitializer(&RegisterFactory<A>, 2);
    RegisterInitializer(methods, 2);
    RegisterInitializer(&EmptyInitializer, 2);
    RegisterInitializer(&RegisterTypeKeywords, 0);
    RegisterInitializer(&EmptyInitializer, 2);
    RegisterInitializer(&RegisterObjectMethods, 2);
}

void LogInfoMethod(String text) { LogInfo("%s", text.Text()); }

Attribute* GetAttributeByIdMethod(Object* object, int32_t id) { return object->getAttributeById(id); }

}  // namespace

void RegisterObjectMethods() {
    RegisterMethod(Object::TYPE, "void logInfo(String s)", reinterpret_cast<MethodFunction>(&LogInfoMethod), true);
    RegisterMethod(Object::TYPE, "Wm3.Attribute getAttributeById(int id)",
                   reinterpret_cast<MethodFunction>(&GetAttributeByIdMethod), false);
}

void Object::RegisterInitialize() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterInitializer(&RegisterFactory<Object>, 2);
    RegisterInitializer(&RegisterObjectMethods, 2);
    RegisterInitializer(&EmptyInitializer, 2);
    RegisterInitializer(&RegisterTypeKeywords, 0);
}

void AttributeInt::RegisterInitialize() { RegisterAttributeClass<AttributeInt>(&RegisterAccessorMethods<AttributeInt>); }
void AttributeFloat::RegisterInitialize() {
    RegisterAttributeClass<AttributeFloat>(&RegisterAccessorMethods<AttributeFloat>);
}
void AttributeDouble::RegisterInitialize() {
    RegisterAttributeClass<AttributeDouble>(&RegisterAccessorMethods<AttributeDouble>);
}
void AttributeBool::RegisterInitialize() {
    RegisterAttributeClass<AttributeBool>(&RegisterAccessorMethods<AttributeBool>);
}
void AttributeString::RegisterInitialize() {
    RegisterAttributeClass<AttributeString>(&RegisterAccessorMethods<AttributeString>);
}
void AttributeWstring::RegisterInitialize() { RegisterAttributeClass<AttributeWstring>(&EmptyInitializer); }
void AttributeObject::RegisterInitialize() {
    RegisterAttributeClass<AttributeObject>(&RegisterAccessorMethods<AttributeObject>);
}
void AttributeArray::RegisterInitialize() { RegisterAttributeClass<AttributeArray>(&RegisterObjectMethods); }
void AttributeHashTable::RegisterInitialize() { RegisterAttributeClass<AttributeHashTable>(&RegisterObjectMethods); }
void AttributeSet::RegisterInitialize() { RegisterAttributeClass<AttributeSet>(&RegisterObjectMethods); }
void AttributeSetSorted::RegisterInitialize() { RegisterAttributeClass<AttributeSetSorted>(&RegisterObjectMethods); }
void AttributeDoubleLinkedList::RegisterInitialize() {
    RegisterAttributeClass<AttributeDoubleLinkedList>(&RegisterObjectMethods);
}

void RegisterFrameworkClasses() {
    Object::RegisterInitialize();
    AttributeInt::RegisterInitialize();
    AttributeFloat::RegisterInitialize();
    AttributeDouble::RegisterInitialize();
    AttributeBool::RegisterInitialize();
    AttributeString::RegisterInitialize();
    AttributeWstring::RegisterInitialize();
    AttributeObject::RegisterInitialize();
    AttributeArray::RegisterInitialize();
    AttributeHashTable::RegisterInitialize();
    AttributeSet::RegisterInitialize();
    AttributeSetSorted::RegisterInitialize();
    AttributeDoubleLinkedList::RegisterInitialize();
}

Rtti AttributeInt::TYPE("Wm3.AttributeInt", &Attribute::TYPE);
Rtti AttributeFloat::TYPE("Wm3.AttributeFloat", &Attribute::TYPE);
Rtti AttributeDouble::TYPE("Wm3.AttributeDouble", &Attribute::TYPE);
Rtti AttributeBool::TYPE("Wm3.AttributeBool", &Attribute::TYPE);
Rtti AttributeString::TYPE("Wm3.AttributeString", &Attribute::TYPE);
Rtti AttributeWstring::TYPE("Wm3.AttributeWstring", &Attribute::TYPE);
Rtti AttributeObject::TYPE("Wm3.AttributeObject", &Attribute::TYPE);
Rtti AttributeCollection::TYPE("Wm3.AttributeCollection", &Attribute::TYPE);
Rtti AttributeArray::TYPE("Wm3.AttributeArray", &AttributeCollection::TYPE);
Rtti AttributeHashTable::TYPE("Wm3.AttributeHashTable", &AttributeCollection::TYPE);
Rtti AttributeSet::TYPE("Wm3.AttributeSet", &AttributeCollection::TYPE);
Rtti AttributeSetSorted::TYPE("Wm3.AttributeSetSorted", &AttributeSet::TYPE);
Rtti AttributeDoubleLinkedList::TYPE("Wm3.AttributeDoubleLinkedList", &AttributeCollection::TYPE);
Rtti Object::TYPE("Wm3.Object", &RttiObject::TYPE);
Rtti Attribute::TYPE("Wm3.Attribute", &Object::TYPE);
Rtti RttiObject::TYPE("Wm3.RttiObject", nullptr);
