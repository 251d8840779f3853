#include "framework/attribute.h"

#include <cstring>

#include "framework/object_stream.h"

Attribute::Attribute(const char* keyword, int32_t valueSize, bool complex)
    : valueSize(valueSize), complex(complex), keyword(keyword) {}

// Measured by writing, so it always agrees with SaveValue.
int32_t Attribute::ValueStreamSize() const {
    ObjectStream scratch;
    SaveValue(scratch);
    return scratch.Bytes().Count();
}

bool Attribute::CopyValue(const Attribute& other) {
    if (complex || other.complex || valueSize != other.valueSize ||
        std::strcmp(keyword, other.keyword) != 0 || value == nullptr || other.value == nullptr) {
        return false;
    }
    std::memcpy(value, other.value, static_cast<size_t>(valueSize));
    return true;
}

void Attribute::RegisterValue(ObjectStream&) {}

void Attribute::LinkValue(ObjectStream&) {}
