#include "kernel/memory.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <mutex>

#include "kernel/error.h"
#include "kernel/mbox.h"
#include "kernel/mem_partition.h"
#include "kernel/reset.h"

namespace {

// Every block starts with a header holding its partition number; the header keeps the address handed out
// aligned for any type.
constexpr size_t kHeader = alignof(std::max_align_t);
constexpr size_t kPartitions = 8;

constexpr size_t blockSize(size_t usable) { return (usable + kHeader + kHeader - 1) / kHeader * kHeader; }

typedef struct {
  size_t partition_body;  // offset inside the static area
  size_t partition_size;  // block size including the header
  size_t partition_count;
  size_t usable;
} MAP_CONFIG;

constexpr size_t kUsable[kPartitions] = {44, 168, 1024, 4096, 8796, 16384, 65536, H_MEMORY_MAX_BLOCK};
constexpr size_t kCount[kPartitions] = {2700, 1000, 80, 500, 250, 15, 10, 8};

constexpr size_t areaSize() {
  size_t total = 0;
  for (size_t i = 0; i < kPartitions; ++i) total += blockSize(kUsable[i]) * kCount[i];
  return total;
}

alignas(std::max_align_t) BYTE s_partitionData[areaSize()];

typedef struct {
  U32 partition_size;  // usable bytes
  MAP map;
} MAP_LIST;

MAP_LIST s_partitions[kPartitions];
std::once_flag s_bInitialized;

void initialise() {
  size_t body = 0;
  size_t nRows = 0;
  for (size_t i = 0; i < kPartitions; ++i) {
    const MAP_CONFIG row = {body, blockSize(kUsable[i]), kCount[i], kUsable[i]};
    body += row.partition_size * row.partition_count;
    const MAP map = L_MEM_Create(s_partitionData + row.partition_body, static_cast<U32>(row.partition_size),
                                 static_cast<U32>(row.partition_count));
    s_partitions[nRows++] = {static_cast<U32>(row.usable), map};
  }
  std::sort(s_partitions, s_partitions + nRows,
            [](const MAP_LIST &a, const MAP_LIST &b) { return a.partition_size < b.partition_size; });
}

// Index of the smallest partition that fits; fatal when none does.
size_t smallestFitting(U64 u64Size) {
  std::call_once(s_bInitialized, initialise);
  for (size_t i = 0; i < kPartitions; ++i) {
    if (s_partitions[i].partition_size >= u64Size) return i;
  }
  ERROR_error(__FILE__, __LINE__, "Requesting a partition that is too large");
  U_RESET_vReset();
}

void *handOut(void *pvHeader, MAP map) {
  std::memset(pvHeader, 0, kHeader);
  *static_cast<U32 *>(pvHeader) = static_cast<U32>(map);
  return static_cast<BYTE *>(pvHeader) + kHeader;
}

std::atomic<U64> s_u64Allocations{0};

void *allocate(size_t first, bool bWait) {
  s_u64Allocations.fetch_add(1, std::memory_order_relaxed);
  for (size_t i = first; i < kPartitions; ++i) {
    if (void *pvHeader = L_MEM_Allocate(s_partitions[i].map)) return handOut(pvHeader, s_partitions[i].map);
  }
  void *pvHeader = bWait ? L_MEM_AllocateWait(s_partitions[first].map) : L_MEM_Allocate(s_partitions[first].map);
  return pvHeader != nullptr ? handOut(pvHeader, s_partitions[first].map) : nullptr;
}

// The partition of a block handed out by this allocator, 0 when the address is none.
MAP partitionOf(const void *pvBlock) {
  const BYTE *pu8Block = static_cast<const BYTE *>(pvBlock);
  if (pu8Block < s_partitionData + kHeader || pu8Block >= s_partitionData + sizeof(s_partitionData)) return 0;
  U32 u32Map;
  std::memcpy(&u32Map, pu8Block - kHeader, sizeof(u32Map));
  return static_cast<MAP>(u32Map);
}

U32 usableOf(MAP map) {
  for (const MAP_LIST &row : s_partitions) {
    if (row.map == map) return row.partition_size;
  }
  return 0;
}

}  // namespace

U64 H_MEMORY_u64AllocationCount(void) { return s_u64Allocations.load(std::memory_order_relaxed); }

void *H_MEMORY_pvMalloc(U32 u32Size) { return allocate(smallestFitting(u32Size), true); }

void *H_MEMORY_pvMallocNoWait(U32 u32Size) { return allocate(smallestFitting(u32Size), false); }

void *H_MEMORY_pvCalloc(U32 u32Count, U32 u32Size) {
  // The product is taken in 64 bits, so an overflowing request is refused instead of served short.
  const U64 u64Size = static_cast<U64>(u32Count) * u32Size;
  void *pvBlock = allocate(smallestFitting(u64Size), true);
  std::memset(pvBlock, 0, static_cast<size_t>(u64Size));
  return pvBlock;
}

void *H_MEMORY_pvRealloc(void *pvBlock, U32 u32Size) {
  if (pvBlock == nullptr) return H_MEMORY_pvMalloc(u32Size);
  const size_t fit = smallestFitting(u32Size);
  const MAP oldMap = partitionOf(pvBlock);
  if (oldMap == s_partitions[fit].map) return pvBlock;
  void *pvNew = allocate(fit, true);
  std::memcpy(pvNew, pvBlock, std::min<U32>(usableOf(oldMap), u32Size));
  H_MEMORY_vFree(pvBlock);
  return pvNew;
}

void H_MEMORY_vFree(void *pvBlock) {
  const MAP map = partitionOf(pvBlock);
  if (map != 0) L_MEM_Free(map, static_cast<BYTE *>(pvBlock) - kHeader);
}

U32 H_MEMORY_u32BlockSize(const void *pvBlock) { return usableOf(partitionOf(pvBlock)); }

void H_MEMORY_vDumpMail(void *pvMessage) {
  if (pvMessage == nullptr) return;
  if (static_cast<MSGHEADER *>(pvMessage)->sema != 0) {
    L_MBOX_AckMessage(pvMessage);
  } else {
    H_MEMORY_vFree(pvMessage);
  }
}
