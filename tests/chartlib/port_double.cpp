#include "port_double.h"

#include <algorithm>
#include <cctype>

PortDouble &PortDouble::get() {
  static PortDouble d;
  return d;
}

void PortDouble::reset() { *this = PortDouble(); }

ULONG PortDouble::add_record(UINT item_id, const StationRecord &r) {
  const ULONG position = 16 * (static_cast<ULONG>(records.size()) + 1);
  records[{item_id, position}] = r;
  return position;
}

namespace {

const StationRecord *find(UINT item, ULONG position) {
  auto &d = PortDouble::get();
  auto it = d.records.find({item, position});
  return it == d.records.end() ? nullptr : &it->second;
}

ULONG length_of(const StationRecord &r) {
  return r.declared_length ? r.declared_length : static_cast<ULONG>(r.data.size());
}

ERRORCODE copy_data(UINT item, ULONG position, ULONG start, ULONG *length, UC_BUFFER *b, ULONG max) {
  const StationRecord *r = find(item, position);
  if (r == nullptr) return BP_WARN_OUT_OF_TABLE;
  ++PortDouble::get().data_reads;
  const ULONG len = length_of(*r);
  ULONG n = 0;
  for (ULONG i = start; i < r->data.size() && n < max && n < UC_BUFFER_SIZE; ++i) b->Buff[n++] = r->data[i];
  b->Count = static_cast<SINT>(n);
  *length = len;
  return CL_SUCCESS;
}

bool passes(const BPTABLE *t, UINT qualifier) {
  return t->SiteQualifierFilter == GENERIC_SITE || t->SiteQualifierFilter == qualifier;
}

}  // namespace

ERRORCODE bp_GetItemId(BPTABLE *, UINT number, UINT *id) {
  if (number != BP_ITEM_TIDE_DATA && number != BP_ITEM_CURRENT_DATA) return BP_WARN_ITEM_NOT_LISTED;
  *id = number + 100;
  return CL_SUCCESS;
}

ERRORCODE bp_SetFilterQualifier(BPTABLE *t, UINT qualifier) {
  t->SiteQualifierFilter = qualifier;
  return CL_SUCCESS;
}

ERRORCODE bp_CheckPortDataService(BPTABLE *t, ULONG code, UINT item, ULONG *position) {
  auto &d = PortDouble::get();
  auto it = d.ports_.find(code);
  if (it == d.ports_.end()) return BP_WARN_ENTRIES_PAST_TABLE;
  if (!passes(t, it->second.qualifier)) return BP_WARN_QUALIFIER;
  auto s = it->second.services.find(item);
  if (s == it->second.services.end()) {
    *position = 0;
    return CL_SUCCESS;
  }
  if (s->second == 0) return BP_WARN_ZERO_POSITION;
  *position = s->second;
  return CL_SUCCESS;
}

ERRORCODE bp_GetPortServiceDataInfo(BPTABLE *, UINT item, ULONG position, UINT16 *format, ULONG *length,
                                    UINT *reference_item, ULONG *reference_position) {
  const StationRecord *r = find(item, position);
  if (r == nullptr) return BP_WARN_OUT_OF_TABLE;
  *format = r->format;
  *length = length_of(*r);
  *reference_item = r->reference_item;
  *reference_position = r->reference_position;
  return CL_SUCCESS;
}

ERRORCODE bp_GetPortServiceData(BPTABLE *, UINT item, ULONG position, ULONG *length, UC_BUFFER *b, ULONG max) {
  return copy_data(item, position, 0, length, b, max);
}

ERRORCODE bp_GetPortServiceDataOffset(BPTABLE *, UINT item, ULONG position, ULONG *offset, UC_BUFFER *b,
                                      ULONG max) {
  return copy_data(item, position, *offset, offset, b, max);
}

ERRORCODE bp_GetPortCodesByName(BPTABLE *t, const char *text, SINT, void *, BOOL, UC_BUFFER *b, SINT) {
  auto &d = PortDouble::get();
  const std::string want(text);
  if (want.size() > 50) return BP_WARN_NAME_NOT_FOUND;
  auto upper = [](std::string s) {
    for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  // The name index is sorted by name; the first name that begins with the text is the only one examined.
  std::vector<std::pair<std::string, ULONG>> index;
  for (auto &[code, port] : d.ports_) index.push_back({upper(port.name), code});
  std::stable_sort(index.begin(), index.end(), [](auto &a, auto &b2) { return a.first < b2.first; });
  for (auto &[name, code] : index) {
    if (name.compare(0, want.size(), upper(want)) != 0) continue;
    if (!passes(t, d.ports_[code].qualifier)) return BP_WARN_QUALIFIER;
    std::memcpy(b->Buff, &code, sizeof(ULONG));
    b->Count = 1;
    return CL_SUCCESS;
  }
  return BP_WARN_NAME_NOT_FOUND;
}

ERRORCODE bp_GetCommonData(BPTABLE *, UINT, UCHAR *buffer, ULONG length) {
  auto &d = PortDouble::get();
  if (d.common_.empty()) return BP_WARN_NO_COMMON_KEY;
  for (ULONG i = 0; i < length && i < d.common_.size(); ++i) buffer[i] = d.common_[i];
  return CL_SUCCESS;
}
