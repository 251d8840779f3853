// Writing the packets of a release on several threads, with the same files in the target
// folder as if they had been written one after the other.
#ifndef RELEASE_PACKET_JOBS_H
#define RELEASE_PACKET_JOBS_H

#include <cstdint>
#include <vector>

#include "base/string.h"
#include "integrity/packet.h"

struct PacketJob {
  String packetName;
  std::vector<PacketEntry> entries;
  // Results: the packet's size in bytes, 0 when it failed or was not written.
  uint64_t size = 0;
  String error;
};

// Writes the jobs' packets from `source` into `target`, on `workers` threads (0: one per
// processor core). A serial build stops at the first failed packet, so packets of later jobs
// are not left behind either: those jobs end with size 0 and no error. Returns the index of
// the first failed job, or jobs.size() when all succeeded.
size_t WritePackets(const String& source, const String& target, std::vector<PacketJob>& jobs,
                    unsigned workers);

#endif  // RELEASE_PACKET_JOBS_H
