#include "chart_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace chart_fixture {

ChartFiles::ChartFiles() {
  table_.pfRead = &ChartFiles::ReadCallback;
  table_.pfCheckFile = &ChartFiles::CheckFileCallback;
  ch2_SetReadCallbacks(&table_, this);
}

ChartFiles::~ChartFiles() {
  ch2_SetReadCallbacks(nullptr, nullptr);
  for (int i = 0; i < CH2_MAX_CHART_SLOTS; ++i) Close(i);
}

bool ChartFiles::OpenFile(int slot, const std::string &path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close(slot);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  Slot &s = slots_[slot];
  s.open = true;
  s.fd = fd;
  s.size = static_cast<uint64_t>(st.st_size);
  return true;
}

void ChartFiles::OpenImage(int slot, std::vector<uint8_t> image) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close(slot);
  Slot &s = slots_[slot];
  s.open = true;
  s.size = image.size();
  s.image = std::move(image);
}

void ChartFiles::Close(int slot) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Slot &s = slots_[slot];
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  s.open = false;
  s.image.clear();
  s.size = 0;
  s.failed.clear();
}

void ChartFiles::SetCardRoot(int slot, const std::string &dir) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  slots_[slot].cardRoot = dir;
}

void ChartFiles::FailBlock(int slot, uint32_t block) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  slots_[slot].failed.insert(block);
}

void ChartFiles::Poke(int slot, uint32_t address, uint8_t value) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  slots_[slot].image.at(address) = value;
}

BOOL ChartFiles::ReadCallback(void *owner, SINT slot, UINT32 address, UCHAR *dst, UINT32 count) {
  return static_cast<ChartFiles *>(owner)->Read(slot, address, dst, count) ? TRUE : FALSE;
}

BOOL ChartFiles::CheckFileCallback(void *owner, SINT slot, const char *path) {
  ChartFiles *self = static_cast<ChartFiles *>(owner);
  std::string full;
  {
    std::lock_guard<std::recursive_mutex> lock(self->mutex_);
    if (!self->slots_[slot].open || self->slots_[slot].cardRoot.empty()) return FALSE;
    full = self->slots_[slot].cardRoot + "/" + path;
  }
  struct stat st {};
  if (::stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;
  return ::access(full.c_str(), R_OK) == 0 ? TRUE : FALSE;
}

bool ChartFiles::FetchBlock(int slot, uint32_t block, uint8_t *out, uint32_t *got) {
  if (beforeBlock) beforeBlock(slot, block);
  Slot &s = slots_[slot];
  ++blockReads_;
  if (!s.open || s.failed.count(block) != 0) return false;
  const uint64_t start = static_cast<uint64_t>(block) * kBlockSize;
  if (start >= s.size) return false;
  const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(kBlockSize, s.size - start));
  if (s.fd >= 0) {
    if (::pread(s.fd, out, n, static_cast<off_t>(start)) != static_cast<ssize_t>(n)) return false;
  } else {
    std::memcpy(out, s.image.data() + start, n);
  }
  *got = n;
  return true;
}

bool ChartFiles::Read(int slot, uint32_t address, uint8_t *dst, uint32_t count) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (slot < 0 || slot >= CH2_MAX_CHART_SLOTS) return false;
  const uint64_t end = static_cast<uint64_t>(address) + count;
  uint64_t at = address;
  uint8_t block[kBlockSize];
  while (at < end) {
    const uint32_t b = static_cast<uint32_t>(at / kBlockSize);
    uint32_t got = 0;
    if (!FetchBlock(slot, b, block, &got)) return false;
    const uint32_t offset = static_cast<uint32_t>(at % kBlockSize);
    if (offset >= got) return false;  // past the end of the image
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(got - offset, end - at));
    std::memcpy(dst + (at - address), block + offset, take);
    at += take;
  }
  return true;
}

bool MapContextFor(int slot, int mapIndex, MAPCONTEXT2 *ctx) {
  std::vector<MAPHEADER2> headers(64);
  MAPDIRECTORY2 dir{0, static_cast<SINT>(headers.size()), headers.data()};
  const CHARTCONFIG2 cfg{slot, TRUE, 0};
  if (CL_IsError(ch2_LoadMapDirectory(&cfg, &dir, nullptr)) || mapIndex >= dir.iNumOfMaps) return false;
  *ctx = MAPCONTEXT2{};
  ch2_ClearMapHeader(ctx);
  ch2_ClearMapZoom(ctx);
  ch2_ClearMapView(ctx);
  ch2_ClearChartView(ctx);
  ch2_SetMapHeader(ctx, &headers[mapIndex]);
  return true;
}

}  // namespace chart_fixture
