#include "framework/attribute_values.h"

#include "base/log.h"
#include "base/text.h"
#include "framework/object_stream.h"

void AttributeInt::LoadValue(ObjectStream& stream) {
    *Value() = stream.ReadInt();
    LogInfoTo(ObjectSystemChannel(), "  AttributeInt loading, value=%d", *Value());
}

void AttributeInt::SaveValue(ObjectStream& stream) const { stream.WriteInt(*Value()); }

void AttributeFloat::LoadValue(ObjectStream& stream) {
    *Value() = stream.ReadFloat();
    LogInfoTo(ObjectSystemChannel(), "  AttributeFloat loading, value=%f", static_cast<double>(*Value()));
}

void AttributeFloat::SaveValue(ObjectStream& stream) const { stream.WriteFloat(*Value()); }

void AttributeDouble::LoadValue(ObjectStream& stream) {
    *Value() = stream.ReadDouble();
    LogInfoTo(ObjectSystemChannel(), "  AttributeDouble loading, value=%f", *Value());
}

void AttributeDouble::SaveValue(ObjectStream& stream) const { stream.WriteDouble(*Value()); }

void AttributeBool::LoadValue(ObjectStream& stream) {
    *Value() = stream.ReadBool();
    LogInfoTo(ObjectSystemChannel(), "  AttributeBool loading, value=%d", *Value() ? 1 : 0);
}

void AttributeBool::SaveValue(ObjectStream& stream) const { stream.WriteBool(*Value()); }

void AttributeString::LoadValue(ObjectStream& stream) {
    *Value() = stream.ReadString();
    LogInfoTo(ObjectSystemChannel(), "  AttributeString loading, value=%s", Value()->Text());
}

void AttributeString::SaveValue(ObjectStream& stream) const { stream.WriteString(*Value()); }

void AttributeWstring::LoadValue(ObjectStream& stream) {
    Utf8ToWide(*Value(), stream.ReadString().View());
}

void AttributeWstring::SaveValue(ObjectStream& stream) const {
    // A lone surrogate becomes "?" rather than losing the whole text.
    std::string utf8;
    WideToUtf8(utf8, std::u16string_view(*Value()));
    stream.WriteString(String(utf8));
}

AttributeObject::~AttributeObject() {
    if (ownsValue && *Value() != nullptr) (*Value())->ReleaseReference();
}

void AttributeObject::SetValue(const void* source) {
    Object* fresh = *static_cast<Object* const*>(source);
    if (fresh != nullptr) fresh->AddReference();
    Object* old = *Value();
    *Value() = fresh;
    if (old != nullptr) old->ReleaseReference();
}

void AttributeObject::RegisterValue(ObjectStream& stream) {
    Object* target = *Value();
    if (target == nullptr) return;
    LogInfoTo(ObjectSystemChannel(), "AttributeObject %s, registering", target->Name().Text());
    target->Register(stream);
}

void AttributeObject::LoadValue(ObjectStream& stream) {
    Object* const none = nullptr;
    SetValue(&none);
    const uint32_t oldAddress = stream.ReadObjectReference();
    if (oldAddress == 0) {
        LogInfoTo(ObjectSystemChannel(), "  AttributeObject (pointer to object) loading, pointer is NULL");
        return;
    }
    LogInfoTo(ObjectSystemChannel(), "  AttributeObject (pointer to object) loading, hash = %X", oldAddress);
    stream.AddPendingReference(value, oldAddress);
}

void AttributeObject::SaveValue(ObjectStream& stream) const { stream.WriteObjectReference(*Value()); }

void AttributeObject::LinkValue(ObjectStream& stream) {
    uint32_t oldAddress;
    Object* target;
    Relink(stream, oldAddress, target);
}

bool AttributeObject::Relink(ObjectStream& stream, uint32_t& oldAddress, Object*& target) {
    if (!stream.TakePendingReference(value, oldAddress)) return false;
    target = stream.LoadedObject(oldAddress);
    SetValue(&target);
    return true;
}
