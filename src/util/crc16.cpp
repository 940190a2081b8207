#include "util/crc16.h"

#include <array>

namespace {

constexpr std::array<U16, 256> MakeTable() {
  std::array<U16, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000u) ? ((crc << 1) ^ 0x1021u) : (crc << 1);
    }
    table[i] = static_cast<U16>(crc);
  }
  return table;
}

constexpr std::array<U16, 256> s_CRCTab = MakeTable();
static_assert(s_CRCTab[1] == 0x1021 && s_CRCTab[255] == 0x1EF0);

}  // namespace

U16 U_CRC16_u16CrcByte(U8 u8_DataByte, U16 u16_Crc) {
  return static_cast<U16>(((u16_Crc << 8) | u8_DataByte) ^ s_CRCTab[u16_Crc >> 8]);
}

void U_CRC16_vCrc16(U16 *u16_Crc, const U8 *u8_DataPtr, U16 u16_NumberBytes, BOOLEAN bInitCrcFlag) {
  U16 crc = bInitCrcFlag ? 0 : *u16_Crc;
  for (U32 i = 0; i < u16_NumberBytes; ++i) {
    crc = U_CRC16_u16CrcByte(u8_DataPtr[i], crc);
  }
  *u16_Crc = crc;
}

void U_CRC16_vCrcU16HighLow(U16 *u16_Crc, const U16 *u16_DataPtr, BOOLEAN bInitCrcFlag) {
  if (bInitCrcFlag) {
    *u16_Crc = *u16_DataPtr;
    return;
  }
  U16 crc = U_CRC16_u16CrcByte(static_cast<U8>(*u16_DataPtr >> 8), *u16_Crc);
  *u16_Crc = U_CRC16_u16CrcByte(static_cast<U8>(*u16_DataPtr & 0xFF), crc);
}
