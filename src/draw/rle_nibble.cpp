#include "draw/rle_nibble.h"

namespace {
U8 readNibble(NIBBLE_RLE_STATE *s) {
  U8 v;
  if (s->bHighNibble) {
    v = *s->pu8Data >> 4;
    s->bHighNibble = FALSE;
  } else {
    v = *s->pu8Data & 0x0F;
    s->pu8Data++;
    s->bHighNibble = TRUE;
  }
  return v;
}

U8 nibbleOf(const U8 *p, int index) { return (index & 1) ? (p[index >> 1] & 0x0F) : (p[index >> 1] >> 4); }

// Writes nibble number index of the output, leaving the other half of its byte as it was.
void putNibble(U8 *p, int index, U8 v) {
  U8 &b = p[index >> 1];
  b = (index & 1) ? static_cast<U8>((b & 0xF0) | v) : static_cast<U8>((b & 0x0F) | (v << 4));
}
} // namespace

void U_RLE_NIBBLE_vInit(NIBBLE_RLE_STATE *pState, const U8 *pu8Data) {
  pState->pu8Data = pu8Data;
  pState->u8Marker = pu8Data[0] >> 4;
  pState->bHighNibble = FALSE;
  pState->u8Nibble = 0;
  pState->nRepeat = 0;
}

U8 U_RLE_NIBBLE_u8GetNext(NIBBLE_RLE_STATE *pState) {
  if (pState->nRepeat > 0) {
    pState->nRepeat--;
    return pState->u8Nibble;
  }
  U8 v = readNibble(pState);
  pState->u8Nibble = v;
  if (v != pState->u8Marker) return v;
  const U8 c = readNibble(pState);
  int n = c;
  if (c >= 8) n = (c - 8) * 16 + readNibble(pState);
  pState->nRepeat = n;
  if (n <= 2) {
    pState->u8Nibble = pState->u8Marker;
    return pState->u8Marker;
  }
  v = readNibble(pState);
  pState->u8Nibble = v;
  return v;
}

int U_RLE_NIBBLE_nCompress(const U8 *pu8Long, U8 *pu8Short, int nLength) {
  const int nValues = nLength > 0 ? 2 * nLength : 0;
  int counts[16] = {};
  for (int i = 0; i < nValues; i++) counts[nibbleOf(pu8Long, i)]++;
  U8 marker = 0;
  for (U8 v = 1; v < 16; v++)
    if (counts[v] < counts[marker]) marker = v;
  if (nLength <= 0) {
    pu8Short[0] = static_cast<U8>(marker << 4);
    return 1;
  }
  int written = 0;
  // Gives up as soon as the stream is as long as the input, so the output never exceeds nLength bytes.
  auto emit = [&](U8 v) {
    putNibble(pu8Short, written++, v);
    return written < nValues;
  };
  if (!emit(marker)) return -1;
  int i = 0;
  while (i < nValues) {
    const U8 v = nibbleOf(pu8Long, i);
    int n = 1;
    while (i + n < nValues && n < 128 && nibbleOf(pu8Long, i + n) == v) n++;
    bool ok = true;
    if (n >= 4) {
      ok = emit(marker);
      if (ok && n - 1 <= 7) {
        ok = emit(static_cast<U8>(n - 1));
      } else if (ok) {
        ok = emit(static_cast<U8>(8 + ((n - 1) >> 4))) && emit(static_cast<U8>((n - 1) & 0x0F));
      }
      ok = ok && emit(v);
    } else if (v == marker) {
      ok = emit(marker) && emit(static_cast<U8>(n - 1));
    } else {
      for (int k = 0; k < n && ok; k++) ok = emit(v);
    }
    if (!ok) return -1;
    i += n;
  }
  return (written + 1) / 2;
}

BOOLEAN U_RLE_NIBBLE_bVerify(const U8 *pu8Long, const U8 *pu8Short, int nLength) {
  if (nLength <= 0) return TRUE;
  NIBBLE_RLE_STATE state;
  U_RLE_NIBBLE_vInit(&state, pu8Short);
  for (int i = 0; i < 2 * nLength; i++)
    if (U_RLE_NIBBLE_u8GetNext(&state) != nibbleOf(pu8Long, i)) return FALSE;
  return TRUE;
}

void U_RLE_NIBBLE_vDecompress(U8 *pu8Long, const U8 *pu8Short, int nLength) {
  if (nLength <= 0) return;
  NIBBLE_RLE_STATE state;
  U_RLE_NIBBLE_vInit(&state, pu8Short);
  for (int i = 0; i < nLength; i++) {
    const U8 hi = U_RLE_NIBBLE_u8GetNext(&state);
    const U8 lo = U_RLE_NIBBLE_u8GetNext(&state);
    pu8Long[i] = static_cast<U8>((hi << 4) | lo);
  }
}
