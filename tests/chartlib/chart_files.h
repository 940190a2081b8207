// The chart reader's read callbacks over files and in-memory images, in 512-byte blocks like the chart
// display's cache, with slots that tests close or damage while a reader walks them.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "chartlib/reader/ch2_map.h"

namespace chart_fixture {

class ChartFiles {
 public:
  static constexpr uint32_t kBlockSize = 512;

  ChartFiles();   // becomes the owner of the read callbacks
  ~ChartFiles();  // and gives them up

  bool OpenFile(int slot, const std::string &path);
  void OpenImage(int slot, std::vector<uint8_t> image);
  void Close(int slot);
  // The directory that stands for the root of the card holding the chart in slot.
  void SetCardRoot(int slot, const std::string &dir);
  // The medium fails to deliver this block of the slot.
  void FailBlock(int slot, uint32_t block);
  // Changes one byte of an in-memory image, as a card swapped under the reader would.
  void Poke(int slot, uint32_t address, uint8_t value);
  // Called before every block is fetched (slot, block): tests pull the card here.
  std::function<void(int, uint32_t)> beforeBlock;
  uint64_t BlockReads() const { return blockReads_; }

 private:
  struct Slot {
    bool open = false;
    std::vector<uint8_t> image;  // in-memory image, or
    int fd = -1;                 // an open file
    uint64_t size = 0;
    std::set<uint32_t> failed;
    std::string cardRoot;
  };

  static BOOL ReadCallback(void *owner, SINT slot, UINT32 address, UCHAR *dst, UINT32 count);
  static BOOL CheckFileCallback(void *owner, SINT slot, const char *path);
  bool Read(int slot, uint32_t address, uint8_t *dst, uint32_t count);
  bool FetchBlock(int slot, uint32_t block, uint8_t *out, uint32_t *got);

  std::recursive_mutex mutex_;
  Slot slots_[CH2_MAX_CHART_SLOTS];
  CH2_READ_CALLBACKS table_;
  uint64_t blockReads_ = 0;
};

// A map context on map mapIndex of the chart in slot, set up as the chart display does: cleared, the header
// loaded from the chart's map directory. False when the directory does not load or has no such map.
bool MapContextFor(int slot, int mapIndex, MAPCONTEXT2 *ctx);

}  // namespace chart_fixture
