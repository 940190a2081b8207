// Test double of the port services: serves station records from fixtures built in the tests.
#pragma once
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "chartlib/bp_services.h"

// Little-endian record bytes.
struct RecordBytes {
  std::vector<unsigned char> b;
  RecordBytes &word(int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    return *this;
  }
  RecordBytes &byte(int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    return *this;
  }
  RecordBytes &raw32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  RecordBytes &flt(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return raw32(v);
  }
  RecordBytes &none() { return raw32(0xFFFFFFFFu); }
  RecordBytes &zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  RecordBytes &floats(std::initializer_list<float> fs) {
    for (float f : fs) flt(f);
    return *this;
  }
  size_t size() const { return b.size(); }
};

// A second-method tide station of format 8: levels, then sections 1 to 13 (section 14 absent).
inline RecordBytes ba_tide_record(std::initializer_list<float> levels = {5.0f, 4.5f, 0.5f, 1.0f}) {
  RecordBytes r;
  r.word(0).word(0).zeros(12).floats(levels);
  r.floats({3.0f, 100.0f, 1.2f, 130.0f, 0.4f, 200.0f, 0.15f, 250.0f, 0.1f}).floats({0, 0, 0, 0});
  return r;
}

struct StationRecord {
  UINT16 format = 0;
  UINT reference_item = 0;
  ULONG reference_position = 0;
  std::vector<unsigned char> data;
  ULONG declared_length = 0;  // 0: the data's size
};

struct Port {
  std::string name;
  UINT qualifier = TIDE_STATION;
  std::map<UINT, ULONG> services;  // item id -> record position (0: entry with position 0)
};

class PortDouble {
 public:
  static PortDouble &get();
  void reset();

  // Item numbers 13 and 14 map to item ids 113 and 114.
  static constexpr UINT TIDE_ITEM = 113, CURRENT_ITEM = 114;

  ULONG add_record(UINT item_id, const StationRecord &r);  // returns its position
  void add_port(ULONG code, const Port &p) { ports_[code] = p; }
  // A port with one station record of the item; returns the record's position.
  ULONG add_station(ULONG code, const char *name, UINT qualifier, UINT item, const StationRecord &r) {
    Port p;
    p.name = name;
    p.qualifier = qualifier;
    const ULONG position = add_record(item, r);
    p.services[item] = position;
    add_port(code, p);
    return position;
  }
  void set_common(std::vector<unsigned char> bytes) { common_ = std::move(bytes); }

  int data_reads = 0;
  std::map<std::pair<UINT, ULONG>, StationRecord> records;
  std::map<ULONG, Port> ports_;
  std::vector<unsigned char> common_;
};
