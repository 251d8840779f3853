// Packed bytes: the marker "1", the unpacked length (32-bit little-endian) and one bzip2
// stream. Version files, crash-report excerpts and hardware reports travel in this form.
#ifndef INTEGRITY_PACKED_BYTES_H
#define INTEGRITY_PACKED_BYTES_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Empty when compression fails or the data is too long for the 32-bit length field.
std::vector<uint8_t> PackBytes(const void* bytes, size_t length);

// The unpacked data (c_str() gives it zero-terminated, for texts); nothing when the input is
// not packed bytes, its stream is damaged or it unpacks to more than the stated length.
// Anything after the end of the stream is ignored.
std::optional<std::string> UnpackBytes(const void* bytes, size_t length);

#endif  // INTEGRITY_PACKED_BYTES_H
