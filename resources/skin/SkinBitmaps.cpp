#include "skin/SkinBitmaps.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "skin/SkinLayout.h"

// Every set's zlib streams back to back, assembled in by SkinBlob.S.
extern "C" const unsigned char krv_skin_packed[];

namespace {

struct PackedSet {
  int factor;
  std::size_t offset, size, inflatedSize;
};

struct PackedChunk {
  int factor;
  std::size_t packedOffset, packedSize;  // within the set's streams
  std::size_t offset, size;              // within the inflated set
};

struct IndexEntry {
  int factor, id, width, height, frames;
  std::size_t offset;
};

#include "SkinIndex.inc"

// The index is checked as it is compiled: each set holds every bitmap of the layout, in id
// order, tiling its inflated bytes, each its layout's size times the set's factor with the
// layout's frames. What remains to check at run time is only the packed data itself.
constexpr bool indexTilesEverySet() {
  constexpr std::size_t kLayouts = sizeof(skin::kBitmaps) / sizeof(skin::kBitmaps[0]);
  for (const PackedSet& set : kPackedSets) {
    std::size_t next = 0, count = 0;
    for (const IndexEntry& e : kIndex) {
      if (e.factor != set.factor) continue;
      if (count == kLayouts) return false;
      const skin::BitmapLayout& layout = skin::kBitmaps[count++];
      if (e.id != layout.id || e.offset != next || e.width != layout.width * set.factor ||
          e.height != layout.height * set.factor || e.frames != layout.frames ||
          e.height % e.frames != 0)
        return false;
      next += static_cast<std::size_t>(e.width) * e.height * 3;
    }
    if (count != kLayouts || next != set.inflatedSize) return false;
  }
  return true;
}
static_assert(indexTilesEverySet(), "the generated index does not match the skin's layout");

// Each set's streams follow each other, and what they inflate to tiles the set.
constexpr bool chunksTileEverySet() {
  for (const PackedSet& set : kPackedSets) {
    std::size_t packedNext = 0, next = 0;
    for (const PackedChunk& c : kPackedChunks) {
      if (c.factor != set.factor) continue;
      if (c.packedOffset != packedNext || c.offset != next || c.size == 0) return false;
      packedNext += c.packedSize;
      next += c.size;
    }
    if (packedNext != set.size || next != set.inflatedSize) return false;
  }
  return true;
}
static_assert(chunksTileEverySet(), "the generated streams do not tile their sets");

// Inflating 23 MB at 2x takes one core most of the editor's time to its first paint, so a
// set is spread over a few threads.
constexpr unsigned kMostThreads = 4;
// Bytes a thread restores per task when undoing frame deltas: several tasks per strip keep
// the threads evenly loaded.
constexpr std::size_t kDeltaTaskBytes = std::size_t{256} << 10;

// Runs task(0) to task(count - 1), each once, on up to kMostThreads threads, the caller's
// among them. Without a thread to spare, the caller runs them all.
template <typename Task>
void runSpread(std::size_t count, const Task& task) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) task(i);
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t helpers = std::min<std::size_t>(std::min(cores, kMostThreads) - 1,
                                                    count > 0 ? count - 1 : 0);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < helpers; ++i) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& thread : threads) thread.join();
}

const PackedSet* packedSetFor(int factor) {
  for (const PackedSet& set : kPackedSets) {
    if (set.factor == factor) return &set;
  }
  return nullptr;
}

// One stream in one call, straight into `out`: it must end exactly where `out` ends and use
// every input byte. zlib's checksum refuses altered bytes.
bool inflateExactly(const unsigned char* packed, std::size_t size, unsigned char* out,
                    std::size_t outSize) {
  if (size > UINT_MAX || outSize > UINT_MAX) return false;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<unsigned char*>(packed);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(outSize);
  const int status = inflate(&stream, Z_FINISH);
  const bool exact = status == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
  inflateEnd(&stream);
  return exact;
}

void addFrame(unsigned char* __restrict to, const unsigned char* __restrict from,
              std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(to[i] + from[i]);
}

// Bytes [begin, end) of every frame of a strip, each stored as its difference to the
// restored frame above it: columns of a strip are independent of each other.
struct DeltaTask {
  unsigned char* strip;
  std::size_t frameBytes;
  int frames;
  std::size_t begin, end;
};

void undoFrameDeltas(const DeltaTask& t) {
  for (int frame = 1; frame < t.frames; ++frame) {
    unsigned char* row = t.strip + frame * t.frameBytes;
    addFrame(row + t.begin, row - t.frameBytes + t.begin, t.end - t.begin);
  }
}

std::vector<DeltaTask> deltaTasks(int factor, unsigned char* pixels) {
  std::vector<DeltaTask> tasks;
  for (const IndexEntry& e : kIndex) {
    if (e.factor != factor || e.frames < 2) continue;
    const std::size_t frameBytes = static_cast<std::size_t>(e.width) * (e.height / e.frames) * 3;
    const std::size_t slice =
        std::max<std::size_t>(kDeltaTaskBytes / static_cast<std::size_t>(e.frames), 4096);
    for (std::size_t begin = 0; begin < frameBytes; begin += slice) {
      tasks.push_back({pixels + e.offset, frameBytes, e.frames, begin,
                       std::min(begin + slice, frameBytes)});
    }
  }
  return tasks;
}

struct Cache {
  std::mutex mutex;
  std::weak_ptr<const SkinSet> sets[2];  // factors 1 and 2
};

Cache& cache() {
  static Cache instance;
  return instance;
}

}  // namespace

SkinSet::SkinSet(int factor, std::unique_ptr<unsigned char[]> pixels,
                 std::vector<SkinBitmap> bitmaps)
    : factor_(factor), pixels_(std::move(pixels)), bitmaps_(std::move(bitmaps)) {}

const SkinBitmap* SkinSet::find(int id) const {
  const auto found = std::lower_bound(bitmaps_.begin(), bitmaps_.end(), id,
                                      [](const SkinBitmap& b, int key) { return b.id < key; });
  return found != bitmaps_.end() && found->id == id ? &*found : nullptr;
}

PackedSkinSet packedSkinSet(int factor) {
  const PackedSet* set = packedSetFor(factor);
  if (!set) return {nullptr, 0};
  return {krv_skin_packed + set->offset, set->size};
}

std::shared_ptr<const SkinSet> inflateSkinSet(int factor, const unsigned char* packed,
                                              std::size_t size) {
  const PackedSet* set = packedSetFor(factor);
  if (!set || !packed || size != set->size) return nullptr;
  std::vector<const PackedChunk*> chunks;
  for (const PackedChunk& chunk : kPackedChunks) {
    if (chunk.factor == factor) chunks.push_back(&chunk);
  }
  // Not value-initialised: every byte is written by the inflation.
  std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[set->inflatedSize]);
  if (!pixels) return nullptr;
  std::atomic<bool> damaged{false};
  runSpread(chunks.size(), [&](std::size_t i) {
    if (damaged.load(std::memory_order_relaxed)) return;  // refused already
    const PackedChunk& c = *chunks[i];
    if (!inflateExactly(packed + c.packedOffset, c.packedSize, pixels.get() + c.offset, c.size))
      damaged.store(true, std::memory_order_relaxed);
  });
  if (damaged.load()) return nullptr;
  const std::vector<DeltaTask> tasks = deltaTasks(factor, pixels.get());
  runSpread(tasks.size(), [&](std::size_t i) { undoFrameDeltas(tasks[i]); });

  std::vector<SkinBitmap> bitmaps;
  for (const IndexEntry& e : kIndex) {
    if (e.factor == factor) bitmaps.push_back({e.id, e.width, e.height, pixels.get() + e.offset});
  }
  return std::make_shared<const SkinSet>(factor, std::move(pixels), std::move(bitmaps));
}

std::shared_ptr<const SkinSet> openSkinSet(int factor) {
  if (factor != 1 && factor != 2) return nullptr;
  Cache& shared = cache();
  // Held while inflating: a second caller waits and gets the same set.
  std::lock_guard<std::mutex> lock(shared.mutex);
  std::weak_ptr<const SkinSet>& slot = shared.sets[factor - 1];
  if (std::shared_ptr<const SkinSet> held = slot.lock()) return held;
  const PackedSkinSet packed = packedSkinSet(factor);
  std::shared_ptr<const SkinSet> made = inflateSkinSet(factor, packed.data, packed.size);
  slot = made;
  return made;
}

const SkinBitmap* findSkinBitmap(int id) {
  static const std::shared_ptr<const SkinSet> held = openSkinSet(1);
  return held ? held->find(id) : nullptr;
}
