// The start-up initialisers that the framework classes register: factory entries (see
// factory.h) and the descriptions of their methods.
#ifndef SRC_FRAMEWORK_CLASS_REGISTRATION_H
#define SRC_FRAMEWORK_CLASS_REGISTRATION_H

#include "framework/factory.h"
#include "framework/method_signature.h"

// "void logInfo(String s)" and "Wm3.Attribute getAttributeById(int id)".
void RegisterObjectMethods();

template <typename A>
typename A::ValueType GetAccessor(A* attribute) {
    return *attribute->Value();
}

template <typename A>
void SetAccessor(A* attribute, typename A::ValueType value) {
    attribute->SetValue(&value);
}

// The "get" and "set" methods of a single-value attribute kind.
template <typename A>
void RegisterAccessorMethods() {
    RegisterMethod(A::TYPE, A::getSignature, reinterpret_cast<MethodFunction>(&GetAccessor<A>), false);
    RegisterMethod(A::TYPE, A::setSignature, reinterpret_cast<MethodFunction>(&SetAccessor<A>), false);
}

#endif  // SRC_FRAMEWORK_CLASS_REGISTRATION_H
