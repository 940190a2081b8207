// The decoder applies no profile; it checks the header and finds restricted input profiles.
#include "jp2/jp2_icc.h"

#include <cstring>

static U32 _JP2_ICC_U32(const U8 *p) { return ((U32)p[0] << 24) | ((U32)p[1] << 16) | ((U32)p[2] << 8) | p[3]; }
static U32 _JP2_ICC_Sig(const char *s) { return _JP2_ICC_U32((const U8 *)s); }

static U32 _JP2_ICC_Channels(U32 u32Space) {
  static const char *const apcThree[] = {"RGB ", "YCbr", "XYZ ", "Lab ", "Luv ", "Yxy ", "HSV ", "HLS ", "CMY ", "3CLR"};
  if (u32Space == _JP2_ICC_Sig("GRAY")) return 1;
  for (const char *pc : apcThree)
    if (u32Space == _JP2_ICC_Sig(pc)) return 3;
  if (u32Space == _JP2_ICC_Sig("CMYK") || u32Space == _JP2_ICC_Sig("4CLR")) return 4;
  if (u32Space == _JP2_ICC_Sig("2CLR")) return 2;
  // nCLR with n a hex digit 5..F
  if ((u32Space & 0x00FFFFFFu) == (_JP2_ICC_Sig("0CLR") & 0x00FFFFFFu)) {
    U32 c = u32Space >> 24;
    if (c >= '5' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  }
  return 0;
}

S32 JP2_ICC_Check(JP2_ICC_Header *psHeader, const U8 *p, U32 u32Length, S32 *ps32Restricted, U32 *pu32Channels) {
  *ps32Restricted = 0;
  *pu32Channels = 0;
  if (!p || u32Length < 128 || _JP2_ICC_U32(p) > u32Length) return JP2_ERR_ICC;
  JP2_ICC_Header sLocal;
  if (!psHeader) psHeader = &sLocal;
  psHeader->u32Size = _JP2_ICC_U32(p);
  psHeader->u32Cmm = _JP2_ICC_U32(p + 4);
  psHeader->u32Version = _JP2_ICC_U32(p + 8);
  psHeader->u32Class = _JP2_ICC_U32(p + 12);
  psHeader->u32ColourSpace = _JP2_ICC_U32(p + 16);
  psHeader->u32Pcs = _JP2_ICC_U32(p + 20);
  for (int i = 0; i < 6; i++) psHeader->au16Date[i] = (U16)((p[24 + 2 * i] << 8) | p[25 + 2 * i]);
  psHeader->u32Signature = _JP2_ICC_U32(p + 36);
  psHeader->u32Platform = _JP2_ICC_U32(p + 40);
  psHeader->u32Flags = _JP2_ICC_U32(p + 44);
  psHeader->u32Manufacturer = _JP2_ICC_U32(p + 48);
  psHeader->u32Model = _JP2_ICC_U32(p + 52);
  psHeader->au32Attributes[0] = _JP2_ICC_U32(p + 56);
  psHeader->au32Attributes[1] = _JP2_ICC_U32(p + 60);
  psHeader->u32Intent = _JP2_ICC_U32(p + 64);
  for (int i = 0; i < 3; i++) psHeader->au32Illuminant[i] = _JP2_ICC_U32(p + 68 + 4 * i);
  psHeader->u32Creator = _JP2_ICC_U32(p + 80);
  memcpy(psHeader->au8Id, p + 84, 16);

  U32 u32Channels = _JP2_ICC_Channels(psHeader->u32ColourSpace);
  if (!u32Channels) return JP2_ERR_ICC;
  bool bXYZ = psHeader->u32Pcs == _JP2_ICC_Sig("XYZ ");
  if (!bXYZ && psHeader->u32Pcs != _JP2_ICC_Sig("Lab ")) return JP2_ERR_ICC;
  if (psHeader->u32Signature != _JP2_ICC_Sig("acsp")) return JP2_ERR_ICC;

  S32 s32Restricted = 0;
  bool bGray = psHeader->u32ColourSpace == _JP2_ICC_Sig("GRAY");
  bool bThree = u32Channels == 3;
  if (psHeader->u32Class == _JP2_ICC_Sig("scnr") && bXYZ && (bGray || bThree)) {
    if (u32Length <= 131) return JP2_ERR_ICC;
    U32 u32Tags = _JP2_ICC_U32(p + 128);
    if ((U64)132 + (U64)12 * u32Tags > u32Length) return JP2_ERR_ICC;
    if (bGray) {
      for (U32 i = 0; i < u32Tags && !s32Restricted; i++)
        if (_JP2_ICC_U32(p + 132 + 12 * i) == _JP2_ICC_Sig("kTRC")) s32Restricted = 1;
    } else {
      static const char *const apcTags[6] = {"rTRC", "gTRC", "bTRC", "rXYZ", "gXYZ", "bXYZ"};
      U32 u32Found = 0;
      for (U32 i = 0; i < u32Tags && u32Found != 0x3F; i++) {
        U32 u32Sig = _JP2_ICC_U32(p + 132 + 12 * i);
        for (int t = 0; t < 6; t++)
          if (u32Sig == _JP2_ICC_Sig(apcTags[t])) u32Found |= 1u << t;
      }
      s32Restricted = u32Found == 0x3F;
    }
  }
  *ps32Restricted = s32Restricted;
  *pu32Channels = u32Channels;
  return 0;
}
