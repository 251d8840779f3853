#include "release/packet_jobs.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "platform/file_system.h"

namespace {

// Lowers `first` to `index` unless an earlier job failed already.
void NoteFailure(std::atomic<size_t>& first, size_t index) {
  size_t current = first.load();
  while (index < current && !first.compare_exchange_weak(current, index)) {
  }
}

}  // namespace

size_t WritePackets(const String& source, const String& target, std::vector<PacketJob>& jobs,
                    unsigned workers) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<size_t>(workers, jobs.size()));
  std::atomic<size_t> next{0};
  std::atomic<size_t> firstFailure{jobs.size()};

  // Each worker takes the next job in order; packets share nothing, so they compress side by
  // side. Jobs behind a failure are skipped, as a serial build would never reach them.
  auto work = [&] {
    for (size_t index = next++; index < jobs.size(); index = next++) {
      if (index > firstFailure.load()) continue;
      PacketJob& job = jobs[index];
      job.size = WritePacket(source, target, job.packetName, job.entries, job.error);
      if (job.size == 0) NoteFailure(firstFailure, index);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();

  const size_t failed = firstFailure.load();
  for (size_t index = failed + 1; index < jobs.size(); ++index) {
    PacketJob& job = jobs[index];
    if (job.size > 0) platform::RemoveFile(std::string(target.Concat(job.packetName).View()));
    job.size = 0;
    job.error = String();
  }
  return failed;
}
