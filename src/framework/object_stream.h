// ObjectStream: a memory buffer that objects are saved into or loaded from, with the
// little-endian value encoding and the bookkeeping of the registration, load and link passes.
#ifndef SRC_FRAMEWORK_OBJECT_STREAM_H
#define SRC_FRAMEWORK_OBJECT_STREAM_H

#include <cstdint>

#include "base/array.h"
#include "base/hash_table.h"
#include "base/string.h"

class Object;

class ObjectStream {
public:
    static constexpr const char* kIdentification = "Brackenwold Object File 1.10";
    static constexpr const char* kTopLevel = "Top Level";
    static constexpr int32_t kMajor = 1;
    static constexpr int32_t kMinor = 10;

    // An empty stream to save into, in the current version.
    ObjectStream();
    // A stream to load `bytes` from, written in version major.minor.
    ObjectStream(const ByteBuffer& bytes, int32_t major, int32_t minor);
    ObjectStream(const ObjectStream&) = delete;
    ObjectStream& operator=(const ObjectStream&) = delete;

    // (major, minor) is older than (1, 2) when major * 100 + minor is below 102.
    bool OlderThan(int32_t major, int32_t minor) const;
    const ByteBuffer& Bytes() const { return bytes_; }
    int32_t Position() const { return position_; }
    int32_t Remaining() const { return bytes_.Count() - position_; }
    // A read ran past the end of the buffer, or a value could not be written or read (see
    // Fail). Reads past the end give zero or empty values.
    bool Failed() const { return failed_; }
    // Marks the stream failed and logs why.
    void Fail(const char* reason, const char* detail);

    void WriteInt(int32_t value);
    void WriteFloat(float value);
    void WriteDouble(double value);
    void WriteBool(bool value);
    void WriteString(const String& value);
    // The number that stands for `object` in this stream (0 for null or an object that was
    // not registered); remembers where it was written.
    void WriteObjectReference(const Object* object);

    int32_t ReadInt();
    float ReadFloat();
    double ReadDouble();
    // Any non-zero byte is true.
    bool ReadBool();
    // A length of 0 or less gives the empty String.
    String ReadString();
    // The old address that a reference was written as.
    uint32_t ReadObjectReference();

    // Saving: Register walks everything reachable from `object` through its Register; then
    // WriteObjects saves every registered object in registration order.
    void Register(Object* object);
    // False when the object is registered already.
    bool AddRegistered(Object* object);
    void WriteObjects();
    // The positions at which references to `object` were written.
    const Array<int32_t>* ReferencePositions(const Object* object) const;

    // Loading: Object::Load remembers each new object under its old address; attributes
    // leave the references they read for the link pass, keyed by the slot they fill.
    void RememberLoaded(uint32_t oldAddress, Object* object);
    void AddPendingReference(const void* slot, uint32_t oldAddress);
    // The old address pending for the slot (removed from the pending list); false if none.
    bool TakePendingReference(const void* slot, uint32_t& oldAddress);
    // The object loaded under that old address, or null.
    Object* LoadedObject(uint32_t oldAddress) const;
    // Runs the link pass over every loaded object, in load order.
    void Link();

private:
    void Write(const void* bytes, int32_t size);
    void Read(void* bytes, int32_t size);
    template <typename T>
    T ReadPlain() {
        T value;
        Read(&value, static_cast<int32_t>(sizeof(T)));
        return value;
    }

    ByteBuffer bytes_;
    int32_t position_ = 0;
    int32_t major_ = kMajor;
    int32_t minor_ = kMinor;
    bool failed_ = false;

    Array<Object*> registered_;
    HashTable<const Object*, uint32_t> referenceNumbers_;
    HashTable<uint32_t, Array<int32_t>> referencePositions_;

    Array<Object*> loaded_;
    HashTable<uint32_t, Object*> loadedByAddress_;
    HashTable<const void*, uint32_t> pendingReferences_;
};

#endif  // SRC_FRAMEWORK_OBJECT_STREAM_H
