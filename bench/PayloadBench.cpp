// Benchmark of the payload core against zlib and a plain header walk, in the same run:
// extraction throughput, directory read per entry, and the peak memory of one extraction.
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "payload/Archive.h"
#include "payload/NameComparer.h"
#include "payload/Utf.h"
#include "bench/Content.h"
#include "tools/ArchiveWriter.h"

using namespace zarvo::payload;
using Bytes = std::vector<std::uint8_t>;

// Heap bytes in use and their high-water mark, counted by the replaced operator new below.
// (A replacement allocator is process-wide by nature; only this benchmark has one.)
namespace {
std::atomic<std::size_t> heapInUse{0};
std::atomic<std::size_t> heapPeak{0};
constexpr std::size_t HeaderBytes = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
  void* block = std::malloc(size + HeaderBytes);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = heapInUse.fetch_add(size) + size;
  std::size_t peak = heapPeak.load();
  while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(block) + HeaderBytes;
}

void CountedFree(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - HeaderBytes;
  heapInUse.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* pointer) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { CountedFree(pointer); }

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MedianOf(int repetitions, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    const auto started = Clock::now();
    run();
    times.push_back(Seconds(started));
  }
  return Median(times);
}

using zarvo::bench::WordSource;

// Size from /proc/self/status, in bytes; 0 where it cannot be read.
std::size_t ProcessStatus(std::string_view field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0)
      return std::strtoull(line.c_str() + field.size() + 1, nullptr, 10) * 1024;
  return 0;
}

// Resets the resident high-water mark to the current resident size (Linux).
bool ResetResidentPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good();
}

// A destination that keeps nothing, as a file on disk would not keep the content in memory.
class DiscardingOutput final : public OutputStream {
 public:
  std::int64_t Size() const override { return size_; }
  std::int64_t Position() const override { return position_; }
  void SetPosition(std::int64_t position) override { position_ = position; }
  void Write(std::span<const std::uint8_t> bytes) override {
    position_ += static_cast<std::int64_t>(bytes.size());
    size_ = std::max(size_, position_);
  }

 private:
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

double Megabytes(double bytes) { return bytes / (1024.0 * 1024.0); }

struct Directory {
  ArchiveNames names;
  ArchiveItemList items;
};

}  // namespace

int main() {
  constexpr int Repetitions = 5;
  const CaseFoldingNameComparer comparer;

  // The big payload: entries from 1 KB to 50 MB, over 200 MB in all.
  std::printf("building the payload...\n");
  std::fflush(stdout);
  const struct {
    std::size_t size;
    int count;
  } classes[] = {{50u << 20, 2}, {20u << 20, 2},   {10u << 20, 3},   {5u << 20, 4},
                 {1u << 20, 10}, {100u << 10, 50}, {10u << 10, 100}, {1u << 10, 200}};
  const WordSource words;
  Bytes payload;
  std::size_t contentBytes = 0;
  int number = 0;
  const auto buildStarted = Clock::now();
  for (const auto& sizeClass : classes) {
    for (int i = 0; i < sizeClass.count; ++i) {
      const Bytes content = words.Text(sizeClass.size, static_cast<std::uint64_t>(++number));
      zarvo::tools::AppendEntry(payload, "data\\file" + std::to_string(number) + ".txt", content,
                                zarvo::tools::DosDateTimeFromTime(1'600'000'000));
      contentBytes += content.size();
    }
  }
  const double buildSeconds = Seconds(buildStarted);

  ArchiveStream stream(payload);
  Directory directory;
  LoadArchiveIndex(stream, directory.names, directory.items);

  // (a) Extraction: the core into the in-memory stream against zlib's uncompress into memory.
  const double coreSeconds = MedianOf(Repetitions, [&] {
    for (const std::u16string& name : directory.names) {
      MemoryOutputStream destination;
      ExtractArchiveItem(stream, directory.names, directory.items, comparer, name, destination);
      if (destination.Size() == 0) std::abort();
    }
  });
  const double zlibSeconds = MedianOf(Repetitions, [&] {
    for (const TFileItem& item : directory.items) {
      Bytes content(static_cast<std::size_t>(item.Size));
      uLongf produced = static_cast<uLongf>(content.size());
      if (uncompress(content.data(), &produced, payload.data() + item.Position,
                     static_cast<uLong>(item.PackSize)) != Z_OK ||
          produced != content.size())
        std::abort();
    }
  });

  // Peak memory of the largest entry's extraction, beyond what was in use before it.
  const auto largest =
      std::max_element(directory.items.begin(), directory.items.end(),
                       [](const TFileItem& a, const TFileItem& b) { return a.Size < b.Size; });
  const std::u16string& largestName =
      directory.names[static_cast<std::size_t>(largest - directory.items.begin())];
  const auto measurePeak = [&](OutputStream& destination, std::size_t& heap,
                               std::size_t& resident) {
    const std::size_t heapBefore = heapInUse.load();
    heapPeak.store(heapBefore);
    const bool canReset = ResetResidentPeak();
    const std::size_t residentBefore = ProcessStatus("VmRSS:");
    ExtractArchiveItem(stream, directory.names, directory.items, comparer, largestName,
                       destination);
    heap = heapPeak.load() - heapBefore;
    resident = canReset ? ProcessStatus("VmHWM:") - residentBefore : 0;
  };
  std::size_t sinkHeap = 0, sinkResident = 0, memoryHeap = 0, memoryResident = 0;
  {
    DiscardingOutput sink;
    measurePeak(sink, sinkHeap, sinkResident);
  }
  {
    MemoryOutputStream destination;
    measurePeak(destination, memoryHeap, memoryResident);
  }

  // (b) The directory of 100,000 entries against a plain walk over the same headers.
  constexpr int DirectoryEntries = 100'000;
  Bytes many;
  {
    const Bytes content = words.Text(300, 7);
    const Bytes packed = zarvo::tools::CompressEntryData(content);
    const std::uint32_t date = zarvo::tools::DosDateTimeFromTime(1'600'000'000);
    for (int i = 0; i < DirectoryEntries; ++i)
      zarvo::tools::AppendRawEntry(many, "program\\modules\\part" + std::to_string(i) + ".dat",
                                   static_cast<std::int32_t>(content.size()), date,
                                   static_cast<std::int32_t>(packed.size()), packed);
  }
  ArchiveStream manyStream(many);
  std::size_t indexed = 0;
  const double indexSeconds = MedianOf(10, [&] {
    Directory read;
    LoadArchiveIndex(manyStream, read.names, read.items);
    indexed = read.items.size();
  });
  std::uint64_t walkChecksum = 0;
  std::size_t walked = 0;
  const double walkSeconds = MedianOf(10, [&] {
    std::size_t offset = 0, count = 0;
    std::uint64_t checksum = 0;
    while (offset < many.size()) {
      const std::size_t n = many[offset];
      const std::uint8_t* fields = many.data() + offset + 1 + n;
      std::uint32_t packSize = 0;
      for (int i = 3; i >= 0; --i) packSize = packSize << 8 | fields[8 + i];
      checksum += fields[0] + fields[4] + n;
      offset += 13 + n + packSize;
      ++count;
    }
    walked = count;
    walkChecksum = checksum;
  });
  if (indexed != DirectoryEntries || walked != DirectoryEntries) std::abort();

  const double total = static_cast<double>(contentBytes);
  std::printf("\npayload: %zu entries, %.1f MB of content packed into %.1f MB (built in %.1f s)\n",
              directory.items.size(), Megabytes(total),
              Megabytes(static_cast<double>(payload.size())), buildSeconds);
  std::printf("\n%-52s %14s %14s %11s\n", "measure", "core", "baseline", "time ratio");
  std::printf("%-52s %9.0f MB/s %9.0f MB/s %11.2f\n",
              "extraction, all entries (median of 5) / zlib uncompress",
              Megabytes(total) / coreSeconds, Megabytes(total) / zlibSeconds,
              coreSeconds / zlibSeconds);
  std::printf("%-52s %11.0f ns %11.0f ns %11.2f\n",
              "directory read per entry, 100,000 / header walk",
              indexSeconds * 1e9 / DirectoryEntries, walkSeconds * 1e9 / DirectoryEntries,
              indexSeconds / walkSeconds);
  const double bound = static_cast<double>(largest->Size) + static_cast<double>(largest->PackSize);
  std::printf(
      "\npeak memory of one extraction, largest entry (%.1f MB, packed %.1f MB; "
      "bound: packed + content = %.1f MB)\n",
      Megabytes(largest->Size), Megabytes(largest->PackSize), Megabytes(bound));
  std::printf("%-52s %11.1f MB heap %8.1f MB resident\n",
              "  into a sink that keeps nothing (a file)", Megabytes(static_cast<double>(sinkHeap)),
              Megabytes(static_cast<double>(sinkResident)));
  std::printf("%-52s %11.1f MB heap %8.1f MB resident\n",
              "  into the in-memory stream",
              Megabytes(static_cast<double>(memoryHeap)),
              Megabytes(static_cast<double>(memoryResident)));
  std::printf("(header walk checksum %llu)\n", static_cast<unsigned long long>(walkChecksum));
  return 0;
}
