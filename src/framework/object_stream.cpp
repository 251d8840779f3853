#include "framework/object_stream.h"

#include <bit>
#include <cstring>

#include "base/log.h"
#include "framework/object.h"

ObjectStream::ObjectStream() = default;

ObjectStream::ObjectStream(const ByteBuffer& bytes, int32_t major, int32_t minor)
    : bytes_(bytes), major_(major), minor_(minor) {}

bool ObjectStream::OlderThan(int32_t major, int32_t minor) const {
    return major_ * 100 + minor_ < major * 100 + minor;
}

void ObjectStream::Write(const void* bytes, int32_t size) {
    bytes_.AppendRange(static_cast<const uint8_t*>(bytes), size);
    position_ += size;
}

void ObjectStream::Read(void* bytes, int32_t size) {
    if (size > bytes_.Count() - position_) {
        std::memset(bytes, 0, static_cast<size_t>(size));
        position_ = bytes_.Count();
        Fail("read past the end at", "a value");
        return;
    }
    std::memcpy(bytes, bytes_.Data() + position_, static_cast<size_t>(size));
    position_ += size;
}

// The byte order of the stream is little-endian, like every machine this runs on; the
// static_assert keeps a big-endian port from silently writing the wrong order.
static_assert(std::endian::native == std::endian::little);

void ObjectStream::Fail(const char* reason, const char* detail) {
    // The first cause is the one worth reading; what follows it is only its echo.
    if (!failed_) LogErrorTo(ObjectSystemChannel(), "ObjectStream: %s %s", reason, detail);
    failed_ = true;
}

void ObjectStream::WriteInt(int32_t value) { Write(&value, 4); }
void ObjectStream::WriteFloat(float value) { Write(&value, 4); }
void ObjectStream::WriteDouble(double value) { Write(&value, 8); }

void ObjectStream::WriteBool(bool value) {
    const uint8_t byte = value ? 1 : 0;
    Write(&byte, 1);
}

void ObjectStream::WriteString(const String& value) {
    WriteInt(value.Length());
    Write(value.Text(), value.Length());
}

void ObjectStream::WriteObjectReference(const Object* object) {
    const uint32_t* number = object != nullptr ? referenceNumbers_.Find(object) : nullptr;
    const uint32_t reference = number != nullptr ? *number : 0;
    LogInfoTo(ObjectSystemChannel(), "Writing object pointer %X to stream position %d, address %X",
              reference, position_,
              static_cast<unsigned>(reinterpret_cast<uintptr_t>(bytes_.Data() + position_)));
    if (reference != 0) {
        if (Array<int32_t>* positions = referencePositions_.Find(reference)) {
            positions->Append(position_);
        } else {
            Array<int32_t> first;
            first.Append(position_);
            referencePositions_.Insert(reference, first);
        }
    }
    WriteInt(static_cast<int32_t>(reference));
}

int32_t ObjectStream::ReadInt() { return ReadPlain<int32_t>(); }
float ObjectStream::ReadFloat() { return ReadPlain<float>(); }
double ObjectStream::ReadDouble() { return ReadPlain<double>(); }

bool ObjectStream::ReadBool() { return ReadPlain<uint8_t>() != 0; }

String ObjectStream::ReadString() {
    const int32_t length = ReadInt();
    if (length <= 0) return String();
    if (length > bytes_.Count() - position_) {
        position_ = bytes_.Count();
        Fail("read past the end at", "a String");
        return String();
    }
    String value(length, reinterpret_cast<const char*>(bytes_.Data() + position_));
    position_ += length;
    return value;
}

uint32_t ObjectStream::ReadObjectReference() { return static_cast<uint32_t>(ReadInt()); }

void ObjectStream::Register(Object* object) { object->Register(*this); }

bool ObjectStream::AddRegistered(Object* object) {
    // References are written as small numbers rather than addresses: a 64-bit address does
    // not fit the stream's 32 bits, and any unique number serves the loader alike.
    const uint32_t number = static_cast<uint32_t>(registered_.Count()) + 1;
    if (!referenceNumbers_.Insert(object, number)) return false;
    registered_.Append(object);
    return true;
}

void ObjectStream::WriteObjects() {
    for (Object* object : registered_) object->Save(*this);
}

const Array<int32_t>* ObjectStream::ReferencePositions(const Object* object) const {
    const uint32_t* number = referenceNumbers_.Find(object);
    return number != nullptr ? referencePositions_.Find(*number) : nullptr;
}

void ObjectStream::RememberLoaded(uint32_t oldAddress, Object* object) {
    loaded_.Append(object);
    loadedByAddress_.Insert(oldAddress, object);
}

void ObjectStream::AddPendingReference(const void* slot, uint32_t oldAddress) {
    pendingReferences_.Remove(slot);
    pendingReferences_.Insert(slot, oldAddress);
}

bool ObjectStream::TakePendingReference(const void* slot, uint32_t& oldAddress) {
    const uint32_t* pending = pendingReferences_.Find(slot);
    if (pending == nullptr) return false;
    oldAddress = *pending;
    pendingReferences_.Remove(slot);
    return true;
}

Object* ObjectStream::LoadedObject(uint32_t oldAddress) const {
    if (oldAddress == 0) return nullptr;
    Object* const* object = loadedByAddress_.Find(oldAddress);
    return object != nullptr ? *object : nullptr;
}

void ObjectStream::Link() {
    for (Object* object : loaded_) object->Link(*this);
}
