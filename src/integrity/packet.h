// Update packets: the writer the release builder uses, and the reader that installs a packet
// into the game folder (the current directory) only once the whole packet has been checked.
#ifndef INTEGRITY_PACKET_H
#define INTEGRITY_PACKET_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/array.h"
#include "base/string.h"

// One file of a packet: its name relative to the source folder ("/" separated) and the size
// it had when the source tree was hashed.
struct PacketEntry {
  String name;
  uint32_t size = 0;
};

// tag + "_" + (module + "_" when a module is set) + kind name.
String PacketName(const String& tag, const String& module, const String& kindName);

// Packs source + name of every entry into target + packetName (scrambled with packetName as
// the key, always). Returns the bytes written, 0 on failure with the reason in `error`; a file
// whose size is no longer the recorded one fails the packet, and no partial packet is left.
// Holds no shared state, so packets may be written on several threads at once.
uint64_t WritePacket(const String& source, const String& target, const String& packetName,
                     const std::vector<PacketEntry>& entries, String& error);

// What the version file says about a packet: the expected packet hash and the files it is to
// install. Entries not in `files` are skipped; the hash covers every listed file as it will
// lie on disk afterwards.
struct PacketCheck {
  String hash;
  std::vector<String> files;
};

// Installs an unscrambled packet (archive size + bzip2 stream). Without a check every file is
// installed and no packet hash is compared. Nothing in the game folder changes unless the
// whole packet decompresses, every entry is a safe relative name inside the archive and the
// packet hash matches; failures append their reason to errorText.
bool InstallArchive(const uint8_t* bytes, size_t length, const PacketCheck* check,
                    std::u16string& errorText);

// Installs a downloaded packet body, scrambled with its packet name. A null body means there
// was no finished download. On failure "\nArchive: " + packet name follows the reason.
bool SavePacket(const ByteBuffer* body, const String& packetName, const PacketCheck& check,
                std::u16string& errorText);

// Installs a scrambled packet file from disk, streamed in blocks so that memory stays bounded
// whatever its size. `key` is the packet's file name.
bool InstallPacketFromFile(const String& path, const String& key, const PacketCheck* check,
                           std::u16string& errorText);

#endif  // INTEGRITY_PACKET_H
