// Chart image writer for tests: records, directories, map headers and layer chains in the card layout.
#include "chart_writer.h"

#include <cstdio>

namespace chart_fixture {

namespace {

constexpr uint32_t kSignature = 0x081273ABu;

uint16_t Header(uint8_t type, Width width, bool valid, uint8_t value) {
  // bits 0-5 type, 6-7 length width, 8-10 record value, 15 valid
  return static_cast<uint16_t>((type & 0x3F) | (static_cast<unsigned>(width) << 6) | ((value & 7u) << 8) |
                               (valid ? 0x8000u : 0u));
}

uint32_t LengthBytes(Width w) { return w == Width::One ? 1 : w == Width::Two ? 2 : 4; }

}  // namespace

Bytes &Bytes::U8(uint32_t v) {
  data_.push_back(static_cast<uint8_t>(v));
  return *this;
}

Bytes &Bytes::U16(uint32_t v) { return U8(v).U8(v >> 8); }
Bytes &Bytes::U32(uint32_t v) { return U16(v).U16(v >> 16); }

Bytes &Bytes::Append(const std::vector<uint8_t> &more) {
  data_.insert(data_.end(), more.begin(), more.end());
  return *this;
}

Bytes &Bytes::Zeros(uint32_t n) {
  data_.insert(data_.end(), n, 0);
  return *this;
}

void Bytes::PatchU32(uint32_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

ChartWriter::ChartWriter(bool withSignature) {
  // Header and a 2-byte length take addresses 0-3, so the record's data starts with the signature.
  Record(1, Bytes().U32(withSignature ? kSignature : 0x12345678u), Width::Two);
}

ChartWriter::ChartWriter(const std::vector<uint8_t> &image) { image_.Append(image); }

uint32_t ChartWriter::Record(uint8_t type, const Bytes &data, const RecordOptions &opt) {
  const uint32_t at = image_.Size();
  image_.U16(Header(type, opt.width, opt.valid, opt.value));
  const uint64_t length = opt.lengthOverride >= 0 ? static_cast<uint64_t>(opt.lengthOverride) : data.Size();
  switch (LengthBytes(opt.width)) {
    case 1: image_.U8(static_cast<uint32_t>(length)); break;
    case 2: image_.U16(static_cast<uint32_t>(length)); break;
    default: image_.U32(static_cast<uint32_t>(length)); break;
  }
  image_.Append(data.Data());
  return at;
}

uint32_t ChartWriter::Record(uint8_t type, const Bytes &data, Width width, bool valid) {
  RecordOptions opt;
  opt.width = width;
  opt.valid = valid;
  return Record(type, data, opt);
}

uint32_t ChartWriter::Link(uint32_t target, bool valid, Width width) {
  return Record(0, Bytes().U32(target), width, valid);
}

void ChartWriter::PatchLink(uint32_t linkAddress, uint32_t target) {
  const uint16_t header = static_cast<uint16_t>(image_.Data().at(linkAddress) | image_.Data().at(linkAddress + 1) << 8);
  image_.PatchU32(linkAddress + 2 + LengthBytes(static_cast<Width>((header >> 6) & 3)), target);
}

namespace {

void WriteItems(ChartWriter &w, const std::vector<LayerItem> &items);

void WriteLayer(ChartWriter &w, const LayerSpec &l) {
  Bytes d;
  d.U8(l.code).U16(l.description).U32(l.firstFeature).U32(l.spatial).S32(l.lower).S32(l.upper);
  for (const Presence &p : l.presence) d.U8(p.objectType).U32(p.mask1).U32(p.mask2);
  RecordOptions opt;
  opt.width = d.Size() < 256 ? Width::One : Width::Two;
  opt.value = l.unit;
  w.Record(l.recordType, d, opt);
}

void WriteGroup(ChartWriter &w, const GroupSpec &g) {
  const uint32_t at = w.Record(19, Bytes().S32(g.west).S32(g.south).S32(g.east).S32(g.north).U32(0), Width::Four);
  WriteItems(w, g.items);
  const uint32_t skip = g.skipOverride >= 0 ? static_cast<uint32_t>(g.skipOverride) : w.Here();
  w.Image().PatchU32(at + 2 + 4 + 16, skip);
}

void WriteItems(ChartWriter &w, const std::vector<LayerItem> &items) {
  for (const LayerItem &item : items) {
    if (const LayerSpec *l = std::get_if<LayerSpec>(&item))
      WriteLayer(w, *l);
    else
      WriteGroup(w, std::get<GroupSpec>(item));
  }
}

Bytes MapHeaderData(const MapSpec &m, uint32_t firstLayer) {
  Bytes d;
  d.U16(m.code).U16(static_cast<uint16_t>(m.type));
  d.S32(m.left).S32(m.bottom).S32(m.right).S32(m.top);
  d.U16(m.title).U16(m.notes);
  d.U32(m.resolutionX).U32(m.resolutionY);
  d.U16(m.usage).U16(m.limitations);
  d.S32(m.rangeUpper).S32(m.rangeLower);
  d.U32(m.spatial).U32(firstLayer);
  return d;  // 52 bytes
}

}  // namespace

std::vector<uint8_t> BuildChart(const ChartSpec &spec, ChartLayout *layout) {
  ChartLayout local;
  ChartLayout &out = layout ? *layout : local;
  out = ChartLayout{};
  ChartWriter w(spec.signature);
  const uint32_t mapCount = static_cast<uint32_t>(spec.maps.size());

  if (spec.fillerBytes > 0) w.Record(7, Bytes().Zeros(spec.fillerBytes), Width::Four);
  if (spec.deletedDirectoryFirst) w.Record(4, Bytes().U32(kEndOfChain), Width::Four, false);
  if (spec.mapDirectory) {
    const uint32_t length = spec.directoryLength >= 0 ? static_cast<uint32_t>(spec.directoryLength) : 4 * mapCount;
    out.mapDirectory = w.Record(4, Bytes().Zeros(length), Width::Four);
  }
  if (spec.portDirectory) {
    Bytes d;
    for (uint32_t a : spec.portTables) d.U32(a);
    out.portDirectory = w.Record(6, d, Width::Two);
  }
  w.Link(kEndOfChain);

  for (const MapSpec &m : spec.maps) {
    out.mapHeaders.push_back(w.Record(17, MapHeaderData(m, 0), Width::One));
  }
  for (uint32_t i = 0; i < mapCount; ++i) {
    const MapSpec &m = spec.maps[i];
    const uint32_t first = w.Here();
    out.firstLayer.push_back(first);
    WriteItems(w, m.layers);
    if (m.layerChainEndsWithLink) w.Link(kEndOfChain);
    // first-layer address: the last field of the 52-byte header data (header 2 + length 1 before it)
    w.Image().PatchU32(out.mapHeaders[i] + 3 + 48, first);
  }
  if (spec.mapDirectory) {
    // data begins after the 2-byte header and the 4-byte length
    const uint32_t room = spec.directoryLength >= 0 ? static_cast<uint32_t>(spec.directoryLength) / 4 : mapCount;
    for (uint32_t i = 0; i < room && i < mapCount; ++i)
      w.Image().PatchU32(out.mapDirectory + 6 + 4 * i, out.mapHeaders[i]);
  }
  return w.Data();
}

ChartSpec SampleChartSpec() {
  ChartSpec spec;
  LayerSpec land{60 + 2, 100, 0, 0, 0, 0, 0, {{71, 0x5, 0x0}}};
  auto depth = [](int32_t lower, int32_t upper) {
    LayerSpec d{38, 101, 0, 0, 0, lower, upper, {{42, 0x3, 0x1}}};
    return d;
  };
  LayerSpec soundings{140, 102, 0, 0, 0, 0, 0, {{129, 0x1, 0x0}}};
  LayerSpec navaids{88, 103, 0, 0, 0, 0, 0, {{17, 0x10, 0x2}, {75, 0x4, 0x0}}};

  MapSpec world;  // overview
  world.left = -20000000;
  world.bottom = -15000000;
  world.right = 20000000;
  world.top = 15000000;
  world.resolutionX = 4000;
  world.resolutionY = 3000;
  world.code = 1;
  world.layers = {land, depth(0, 100), depth(100, 200)};

  MapSpec coast;  // a bay on a western shore of a northern lake
  coast.left = -9830000;
  coast.bottom = 5390000;
  coast.right = -9770000;
  coast.top = 5450000;
  coast.resolutionX = 16384;
  coast.resolutionY = 16384;
  coast.code = 2;
  GroupSpec east{-9800000, 5390000, -9770000, 5450000, {navaids, soundings}};
  coast.layers = {land, depth(0, 20), depth(20, 50), depth(50, 100), east};

  MapSpec dateline;  // across the 180-degree meridian
  dateline.left = 20000000;
  dateline.bottom = -2000000;
  dateline.right = -19000000;
  dateline.top = -1000000;
  dateline.resolutionX = 2048;
  dateline.resolutionY = 2048;
  dateline.code = 3;
  dateline.layers = {land, depth(0, 100)};

  spec.maps = {world, coast, dateline};
  return spec;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &image) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace chart_fixture

namespace chart_fixture {

void SetFirstFeature(std::vector<uint8_t> &image, uint32_t layerAddress, uint32_t firstFeature) {
  // header 2, length 1, layer code 1, description 2
  for (int i = 0; i < 4; ++i) image.at(layerAddress + 6 + i) = static_cast<uint8_t>(firstFeature >> (8 * i));
}

Bytes &FeatureWriter::Count(Bytes &b, uint32_t n) const {
  switch (LengthBytes(width_)) {
    case 1: return b.U8(n);
    case 2: return b.U16(n);
    default: return b.U32(n);
  }
}

Bytes &FeatureWriter::Attributes(Bytes &b, const std::vector<uint8_t> &a) const {
  return Count(b, static_cast<uint32_t>(a.size())).Append(a);
}

Bytes &FeatureWriter::Pointers(Bytes &b, const std::vector<uint32_t> &p) const {
  Count(b, static_cast<uint32_t>(p.size()));
  for (uint32_t v : p) b.U32(v);
  return b;
}

static Bytes &Box(Bytes &b, PixelBox box) { return b.U16(box.x1).U16(box.y1).U16(box.x2).U16(box.y2); }
static Bytes &Box(Bytes &b, MetreBox box) { return b.S32(box.x).S32(box.y).U16(box.width).U16(box.height); }

uint32_t FeatureWriter::Block(uint16_t x, uint16_t y, const std::vector<uint8_t> &codes) {
  const uint32_t at = w_.Here();
  w_.Image().U16(x).U16(y).Append(codes);
  return at;
}

namespace {
// A nibble holds -7..7 here: 8 would turn the code into an operand form, and -8 does not exist.
bool NibbleFits(int32_t v) { return v >= -7 && v <= 7; }
bool ByteFits(int32_t v) { return v >= -128 && v <= 127; }
uint8_t Nib(int32_t v) { return static_cast<uint8_t>(v & 15); }
}  // namespace

MoveForm FormOfMove(int32_t dx, int32_t dy) {
  // (0, 0) as a short code would be the end byte.
  if (NibbleFits(dx) && NibbleFits(dy) && (dx != 0 || dy != 0)) return MoveForm::Short;
  // dy nibble 9 (-7) beside high nibble 8 would read as 0x89.
  if (ByteFits(dx) && NibbleFits(dy) && dy != -7) return MoveForm::DxByte;
  if (NibbleFits(dx) && ByteFits(dy)) return MoveForm::DyByte;
  if (ByteFits(dx) && ByteFits(dy)) return MoveForm::Medium;
  return MoveForm::Jump;
}

std::vector<uint8_t> EncodeMoves(const std::vector<std::pair<int32_t, int32_t>> &points) {
  std::vector<uint8_t> out;
  for (size_t i = 1; i < points.size(); ++i) {
    const int32_t dx = points[i].first - points[i - 1].first, dy = points[i].second - points[i - 1].second;
    switch (FormOfMove(dx, dy)) {
      case MoveForm::Short: out.push_back(static_cast<uint8_t>(Nib(dx) << 4 | Nib(dy))); break;
      case MoveForm::DxByte: out.insert(out.end(), {static_cast<uint8_t>(0x80 | Nib(dy)), static_cast<uint8_t>(dx)}); break;
      case MoveForm::DyByte: out.insert(out.end(), {static_cast<uint8_t>(Nib(dx) << 4 | 8), static_cast<uint8_t>(dy)}); break;
      case MoveForm::Medium: out.insert(out.end(), {0x89, static_cast<uint8_t>(dx), static_cast<uint8_t>(dy)}); break;
      case MoveForm::Jump: {
        const uint32_t x = static_cast<uint32_t>(points[i].first), y = static_cast<uint32_t>(points[i].second);
        out.insert(out.end(), {0x88, static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(y),
                               static_cast<uint8_t>(y >> 8)});
        break;
      }
    }
  }
  out.push_back(0);
  return out;
}

uint32_t FeatureWriter::Raw(const std::vector<uint8_t> &bytes) {
  const uint32_t at = w_.Here();
  w_.Image().Append(bytes);
  return at;
}

AttributeWriter &AttributeWriter::Value(char letter, int64_t v) {
  switch (letter) {
    case 'E': b_.U8(static_cast<uint32_t>(v) & 0xFF); break;
    case 'I': case 'K': case 'M': case 'P': b_.U32(static_cast<uint32_t>(v)); break;
    default: b_.U16(static_cast<uint32_t>(v) & 0xFFFF); break;
  }
  return *this;
}

AttributeWriter &AttributeWriter::Text(const std::string &s) {
  b_.U8(static_cast<uint32_t>(s.size()));
  for (char c : s) b_.U8(static_cast<uint8_t>(c));
  return *this;
}

AttributeWriter &AttributeWriter::List(const std::vector<uint8_t> &values) {
  b_.U8(static_cast<uint32_t>(values.size()));
  b_.Append(values);
  return *this;
}

AttributeWriter &AttributeWriter::Marker(char letter, bool unknown) {
  switch (letter) {
    case 'A': case 'S': case 'L': case 'E': return Value('E', unknown ? 255 : 254);
    case 'B': case 'T': case 'G': return Value(letter, unknown ? 1 : 2);
    case 'H': return Value(letter, unknown ? 0x7FFF : 0x7FFE);
    case 'J': case 'O': return Value(letter, unknown ? 0xFFFF : 0xFFFE);
    case 'I': case 'M': return Value(letter, unknown ? 0x7FFFFFFF : 0x7FFFFFFE);
    default: return Value(letter, unknown ? 0xFFFFFFFFu : 0xFFFFFFFEu);  // K, P
  }
}

AttributeWriter &AttributeWriter::Display(const std::vector<DisplayEntry> &entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const DisplayEntry &e = entries[i];
    b_.U8(e.first);
    if (i > 0 && e.first == 255) continue;
    b_.U16(e.sizeAndRotation).U8(static_cast<uint8_t>(e.offsetX)).U8(static_cast<uint8_t>(e.offsetY));
  }
  return *this;
}

uint32_t LanguageDirectory(ChartWriter &w, const std::vector<LanguageEntry> &languages) {
  Bytes b;
  for (const LanguageEntry &l : languages)
    b.U8(static_cast<uint8_t>(l.code.at(0))).U8(static_cast<uint8_t>(l.code.at(1))).U8(l.unicode ? 1 : 0).U32(l.address);
  return w.Record(5, b, Width::Two);
}

void PatchLanguageAddress(ChartWriter &w, uint32_t directory, int index, uint32_t address) {
  w.Image().PatchU32(directory + 4 + 7 * static_cast<uint32_t>(index) + 3, address);
}

uint32_t TextRecord(ChartWriter &w, uint16_t lowest, uint16_t highest,
                    const std::vector<std::pair<uint16_t, std::string>> &texts) {
  Bytes b;
  b.U16(lowest).U16(highest);
  for (const auto &[id, text] : texts) {
    b.U16(id).U16(static_cast<uint32_t>(text.size()));
    for (char c : text) b.U8(static_cast<uint8_t>(c));
  }
  return w.Record(48, b, Width::Two);
}

uint32_t FeatureWriter::End() { return w_.Record(0, Bytes(), width_); }

uint32_t FeatureWriter::Deleted(uint8_t type) {
  return w_.Record(type, Bytes().U8(1).U8(0xFF).Zeros(LengthBytes(width_)).U32(0).U32(0), width_, false);
}

uint32_t FeatureWriter::GroupPixels(PixelBox box, uint32_t skip) {
  Bytes b;
  return w_.Record(19, Box(b, box).U32(skip), width_);
}

uint32_t FeatureWriter::GroupMetres(int32_t west, int32_t south, int32_t east, int32_t north, uint32_t skip) {
  RecordOptions opt;
  opt.width = width_;
  opt.value = 1;  // header bits 8-9: the metre form
  return w_.Record(19, Bytes().S32(west).S32(south).S32(east).S32(north).U32(skip), opt);
}

void FeatureWriter::PatchSkip(uint32_t group, uint32_t skip) {
  const uint16_t header = static_cast<uint16_t>(w_.Data().at(group) | w_.Data().at(group + 1) << 8);
  const uint32_t data = group + 2 + LengthBytes(static_cast<Width>((header >> 6) & 3));
  w_.Image().PatchU32(data + ((header & 0x0300) ? 16 : 8), skip);
}

uint32_t FeatureWriter::Line(bool area, PixelBox box, uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes,
                             const std::vector<uint32_t> &pointers, const std::vector<uint32_t> &second) {
  Bytes b;
  Box(b, box).U8(s57).U8(zoom);
  Attributes(b, attributes);
  Pointers(b, pointers);
  if (area) Pointers(b, second);
  return w_.Record(area ? 32 : 24, b, width_);
}

uint32_t FeatureWriter::PackedLines(bool area, PixelBox box, uint8_t s57, int sharedZoom,
                                    const std::vector<PackedLine> &items) {
  Bytes b;
  Box(b, box).U8(s57);
  if (sharedZoom >= 0) b.U8(static_cast<uint32_t>(sharedZoom));
  for (const PackedLine &item : items) {
    if (sharedZoom < 0) b.U8(item.zoom);
    Attributes(b, item.attributes);
    Pointers(b, item.pointers);
    if (area) Pointers(b, item.second);
  }
  const uint8_t type = area ? (sharedZoom >= 0 ? 26 : 25) : (sharedZoom >= 0 ? 34 : 33);
  return w_.Record(type, b, width_);
}

uint32_t FeatureWriter::Point(uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes, int32_t x, int32_t y) {
  Bytes b;
  b.U8(s57).U8(zoom);
  Attributes(b, attributes).S32(x).S32(y);
  return w_.Record(40, b, width_);
}

uint32_t FeatureWriter::Sounding(uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes, uint16_t depth,
                                 int32_t x, int32_t y) {
  Bytes b;
  b.U8(s57).U8(zoom);
  Attributes(b, attributes).U16(depth).S32(x).S32(y);
  return w_.Record(44, b, width_);
}

uint32_t FeatureWriter::PointsTyped(MetreBox box, uint8_t zoom, const std::vector<PackedPoint> &items) {
  Bytes b;
  Box(b, box).U8(zoom);
  for (const PackedPoint &p : items) {
    b.U8(p.s57Type);
    Attributes(b, p.attributes).U16(p.dx).U16(p.dy);
  }
  return w_.Record(41, b, width_);
}

uint32_t FeatureWriter::Points(MetreBox box, uint8_t s57, uint8_t zoom, const std::vector<PackedPoint> &items) {
  Bytes b;
  Box(b, box).U8(s57).U8(zoom);
  for (const PackedPoint &p : items) Attributes(b, p.attributes).U16(p.dx).U16(p.dy);
  return w_.Record(42, b, width_);
}

uint32_t FeatureWriter::Soundings(MetreBox box, uint8_t s57, uint8_t zoom, const std::vector<uint8_t> &attributes,
                                  const std::vector<PackedPoint> &items) {
  Bytes b;
  Box(b, box).U8(s57).U8(zoom);
  Attributes(b, attributes);
  for (const PackedPoint &p : items) b.U16(p.depth).U16(p.dx).U16(p.dy);
  return w_.Record(45, b, width_);
}

uint32_t FeatureWriter::Relation(uint8_t s57, const std::vector<uint8_t> &attributes,
                                 const std::vector<std::pair<uint8_t, uint32_t>> &entries) {
  Bytes b;
  b.U8(s57);
  Attributes(b, attributes);
  for (const auto &[rel, addr] : entries) b.U8(rel).U32(addr);
  return w_.Record(54, b, width_);
}

}  // namespace chart_fixture
