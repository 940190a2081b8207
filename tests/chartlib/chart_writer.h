// Writes chart images in the card format for the chart reader's tests. Its encoding is its own: it shares only
// constants with the reader, so a test proves the reader against the layout, not against itself.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace chart_fixture {

// Width of a record's length field, as header bits 6-7 say.
enum class Width : uint8_t { One = 0, Two = 1, Four = 2, FourAlt = 3 };

// A growing little-endian byte image.
class Bytes {
 public:
  Bytes &U8(uint32_t v);
  Bytes &U16(uint32_t v);
  Bytes &U32(uint32_t v);
  Bytes &S32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Bytes &Append(const std::vector<uint8_t> &more);
  Bytes &Zeros(uint32_t n);
  void PatchU32(uint32_t at, uint32_t v);
  uint32_t Size() const { return static_cast<uint32_t>(data_.size()); }
  const std::vector<uint8_t> &Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

struct RecordOptions {
  Width width = Width::Two;
  bool valid = true;
  uint8_t value = 0;               // header bits 8-10
  int64_t lengthOverride = -1;     // a length field that lies about the data
};

// Raw records: each call appends one record and returns its address.
class ChartWriter {
 public:
  // Starts the image with the record at address 0 that carries the signature at address 4.
  explicit ChartWriter(bool withSignature = true);
  uint32_t Record(uint8_t type, const Bytes &data, const RecordOptions &opt = {});
  uint32_t Record(uint8_t type, const Bytes &data, Width width, bool valid = true);
  // A link record (type 0) to target; returns its address. PatchLink sets the target later.
  uint32_t Link(uint32_t target, bool valid = true, Width width = Width::One);
  void PatchLink(uint32_t linkAddress, uint32_t target);
  uint32_t Here() const { return image_.Size(); }
  Bytes &Image() { return image_; }
  const std::vector<uint8_t> &Data() const { return image_.Data(); }

 private:
  Bytes image_;
};

constexpr uint32_t kEndOfChain = 0xFFFFFFFFu;

struct Presence {
  uint8_t objectType;
  uint32_t mask1, mask2;
};

struct LayerSpec {
  uint8_t code = 0;
  uint16_t description = 0;
  uint8_t unit = 0;  // header bits 8-10: 0 metres, 1 feet, 2 fathoms
  uint32_t firstFeature = 0;
  uint32_t spatial = 0;
  int32_t lower = 0, upper = 0;  // tenths
  std::vector<Presence> presence;
  uint8_t recordType = 18;  // another type makes a record the reader passes over
};

inline LayerSpec Layer(uint8_t code, int32_t lower = 0, int32_t upper = 0, uint8_t unit = 0) {
  LayerSpec l;
  l.code = code;
  l.lower = lower;
  l.upper = upper;
  l.unit = unit;
  return l;
}

struct GroupSpec;
using LayerItem = std::variant<LayerSpec, GroupSpec>;

struct GroupSpec {
  int32_t west = 0, south = 0, east = 0, north = 0;
  std::vector<LayerItem> items;
  int64_t skipOverride = -1;  // a skip address that is not the end of the group
};

struct MapSpec {
  int32_t left = 0, bottom = 0, right = 0, top = 0;
  uint32_t resolutionX = 1024, resolutionY = 1024;  // map pixels, as stored
  uint16_t code = 0;
  int16_t type = 0;
  uint16_t title = 0, notes = 0, usage = 0, limitations = 0;
  int32_t rangeUpper = 0, rangeLower = 0;
  uint32_t spatial = 0;
  std::vector<LayerItem> layers;
  bool layerChainEndsWithLink = true;
};

struct ChartSpec {
  bool signature = true;
  std::vector<MapSpec> maps;
  uint32_t fillerBytes = 0;          // a record of this many bytes in front of the directories
  int64_t directoryLength = -1;      // bytes of the map directory record (default 4 per map)
  bool mapDirectory = true;
  bool deletedDirectoryFirst = false;  // a deleted map directory in front of the real one
  bool portDirectory = false;
  std::vector<uint32_t> portTables;  // addresses listed by the port-services directory
};

// Addresses of what BuildChart wrote, for tests that look at the image.
struct ChartLayout {
  uint32_t mapDirectory = 0;
  uint32_t portDirectory = 0;
  std::vector<uint32_t> mapHeaders;
  std::vector<uint32_t> firstLayer;
};

std::vector<uint8_t> BuildChart(const ChartSpec &spec, ChartLayout *layout = nullptr);
// A small world of three maps (one across the 180-degree meridian) with layers, groups and depth areas.
ChartSpec SampleChartSpec();
bool WriteFile(const std::string &path, const std::vector<uint8_t> &image);

}  // namespace chart_fixture
