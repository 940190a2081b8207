// Writes chart images in the card format for the chart reader's tests. Its encoding is its own: it shares only
// constants with the reader, so a test proves the reader against the layout, not against itself.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
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
  // Continues an image built elsewhere (BuildChart), to append feature data behind it.
  explicit ChartWriter(const std::vector<uint8_t> &image);
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

// Sets the first-feature address of the layer record at layerAddress (a record with a one-byte length).
void SetFirstFeature(std::vector<uint8_t> &image, uint32_t layerAddress, uint32_t firstFeature);

// Feature records. Attribute data and pointer lists carry counts of the record's length width.
struct PixelBox {
  uint16_t x1, y1, x2, y2;
};
struct MetreBox {
  int32_t x, y;
  uint16_t width, height;
};
inline uint8_t ZoomByte(uint8_t min, uint8_t max) { return static_cast<uint8_t>(min << 4 | (max & 15)); }
// A depth word: bits 14-15 the scale (0 x0.1, 1 x1, 2 x10, 3 x100), bits 0-13 a signed value.
inline uint16_t DepthWord(uint8_t scale, int16_t value) {
  return static_cast<uint16_t>(scale << 14 | (static_cast<uint16_t>(value) & 0x3FFF));
}
struct PackedPoint {
  uint8_t s57Type = 0;             // type 41 only
  std::vector<uint8_t> attributes;  // types 41 and 42
  uint16_t depth = 0;              // type 45 only
  uint16_t dx = 0, dy = 0;
};
struct PackedLine {
  uint8_t zoom = 0;  // types 25 and 33 only
  std::vector<uint8_t> attributes;
  std::vector<uint32_t> pointers, second;  // second: the area's second list
};

// The code bytes of a polyline in map pixels after its first point, each move in the form its range calls for:
// short nibbles, a dx or dy byte with the other as a nibble, both as bytes (0x89), or an absolute jump (0x88). The
// list ends with the 0 byte.
enum class MoveForm { Short, DxByte, DyByte, Medium, Jump };
MoveForm FormOfMove(int32_t dx, int32_t dy);
std::vector<uint8_t> EncodeMoves(const std::vector<std::pair<int32_t, int32_t>> &points);

// Attribute data of a feature, value by value in the encoding of its storage letter.
class AttributeWriter {
 public:
  // E: one byte; B, G, H, J, N, O, T: 16 bits; I, K, M, P: 32 bits (two's complement for the signed letters).
  AttributeWriter &Value(char letter, int64_t v);
  // A, S: a counted string; L: a counted list.
  AttributeWriter &Text(const std::string &s);
  AttributeWriter &List(const std::vector<uint8_t> &values);
  // The unknown (U) or not-available (N) marker of the letter.
  AttributeWriter &Marker(char letter, bool unknown);
  struct DisplayEntry {
    uint8_t first;  // 255 after the first entry: repeat the previous one
    uint16_t sizeAndRotation;
    int8_t offsetX, offsetY;
  };
  AttributeWriter &Display(const std::vector<DisplayEntry> &entries);
  const std::vector<uint8_t> &Data() const { return b_.Data(); }

 private:
  Bytes b_;
};

// Chart texts: a language directory record (type 5) of (two letters, Unicode flag, address of the language's text
// records) and text records (type 48) of a lowest and highest id and (id, text) entries in increasing id order.
struct LanguageEntry {
  std::string code;
  bool unicode = false;
  uint32_t address = 0;
};
uint32_t LanguageDirectory(ChartWriter &w, const std::vector<LanguageEntry> &languages);
void PatchLanguageAddress(ChartWriter &w, uint32_t directory, int index, uint32_t address);
uint32_t TextRecord(ChartWriter &w, uint16_t lowest, uint16_t highest,
                    const std::vector<std::pair<uint16_t, std::string>> &texts);

class FeatureWriter {
 public:
  explicit FeatureWriter(ChartWriter &w, Width width = Width::Two) : w_(w), width_(width) {}
  uint32_t End();
  uint32_t Deleted(uint8_t type = 40);
  // Group: a pixel box, or with metres a box of (west, south, east, north); PatchSkip sets the skip address.
  uint32_t GroupPixels(PixelBox box, uint32_t skip = 0);
  uint32_t GroupMetres(int32_t west, int32_t south, int32_t east, int32_t north, uint32_t skip = 0);
  void PatchSkip(uint32_t group, uint32_t skip);
  uint32_t Line(bool area, PixelBox box, uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes,
                const std::vector<uint32_t> &pointers, const std::vector<uint32_t> &second = {});
  // Types 25/26 (areas) and 33/34 (lines): shared zoom when sharedZoom >= 0.
  uint32_t PackedLines(bool area, PixelBox box, uint8_t s57, int sharedZoom, const std::vector<PackedLine> &items);
  uint32_t Point(uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes, int32_t x, int32_t y);
  uint32_t Sounding(uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes, uint16_t depth, int32_t x,
                    int32_t y);
  uint32_t PointsTyped(MetreBox box, uint8_t zoom, const std::vector<PackedPoint> &items);
  uint32_t Points(MetreBox box, uint8_t s57, uint8_t zoom, const std::vector<PackedPoint> &items);
  uint32_t Soundings(MetreBox box, uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes,
                     const std::vector<PackedPoint> &items);
  uint32_t Relation(uint8_t s57, const std::vector<uint8_t> &attributes,
                    const std::vector<std::pair<uint8_t, uint32_t>> &entries);
  Bytes &Count(Bytes &b, uint32_t n) const;
  // A coordinate block (start point, then codes that end with 0), as plain bytes outside any record.
  uint32_t Block(uint16_t x, uint16_t y, const std::vector<uint8_t> &codes);
  // Plain bytes outside any record (attribute values for tests that decode them directly).
  uint32_t Raw(const std::vector<uint8_t> &bytes);

 private:
  Bytes &Attributes(Bytes &b, const std::vector<uint8_t> &a) const;
  Bytes &Pointers(Bytes &b, const std::vector<uint32_t> &p) const;
  ChartWriter &w_;
  Width width_;
};

}  // namespace chart_fixture
