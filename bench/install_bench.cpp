// Packet installation benchmark helper: makes a large packet of poorly compressible files, and
// installs a packet file the way "-install" does, so the script can measure peak memory.
//   install_bench pack SOURCE_FOLDER TARGET_FOLDER PACKET_NAME MIB
//   install_bench install PACKET_PATH   (installs into the current folder)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "integrity/packet.h"
#include "platform/file_system.h"
#include "update/install_mode.h"

namespace {

constexpr uint64_t kFileSize = 25ull << 20;

// xorshift bytes: bzip2 cannot shrink them, so the packet is as large as its contents.
bool WriteNoiseFile(const std::string& path, uint64_t size, uint64_t seed) {
  std::FILE* file = platform::OpenFile(path, "wb");
  if (file == nullptr) return false;
  std::vector<uint64_t> block(1 << 16);
  uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (uint64_t left = size; left > 0;) {
    for (uint64_t& word : block) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, block.size() * 8));
    std::fwrite(block.data(), 1, n, file);
    left -= n;
  }
  return std::fclose(file) == 0;
}

int Pack(const std::string& source, const std::string& target, const std::string& name,
         uint64_t mib) {
  std::vector<PacketEntry> entries;
  uint64_t left = mib << 20;
  for (int i = 0; left > 0; ++i) {
    const uint64_t size = std::min(left, kFileSize);
    const std::string file = "data/part" + std::to_string(i) + ".bin";
    platform::CreateFolder(source + "data");
    if (!WriteNoiseFile(source + file, size, static_cast<uint64_t>(i))) return 1;
    entries.push_back({String(file.c_str()), static_cast<uint32_t>(size)});
    left -= size;
  }
  String error;
  const uint64_t written = WritePacket(String(source.c_str()), String(target.c_str()),
                                       String(name.c_str()), entries, error);
  if (written == 0) {
    std::fprintf(stderr, "%s\n", error.Text());
    return 1;
  }
  std::printf("%llu\n", static_cast<unsigned long long>(written));
  return 0;
}

int Install(const std::string& path) {
  std::u16string error;
  if (InstallPacketFile(String(path.c_str()), error)) return 0;
  std::string text;
  WideToUtf8(text, error);
  std::fprintf(stderr, "install failed: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "pack") {
    return Pack(args[1], args[2], args[3], std::strtoull(args[4].c_str(), nullptr, 10));
  }
  if (args.size() == 2 && args[0] == "install") return Install(args[1]);
  std::fprintf(stderr, "usage: install_bench pack SOURCE/ TARGET/ NAME MIB | install PACKET\n");
  return 2;
}
