// A small PNG writer and reader over zlib: 8-bit RGB, filter 0 on writing, every filter on reading.
#include "platform/png.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "kernel/log.h"

namespace {

constexpr BYTE PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Pictures larger than this are refused when read (the screen is 800 × 480).
constexpr U32 PNG_MAX_SIDE = 8192;

void vPutBE32(std::string *ps, U32 u32)
{
    const char ac[4] = {(char)(u32 >> 24), (char)(u32 >> 16), (char)(u32 >> 8), (char)u32};
    ps->append(ac, 4);
}

U32 u32GetBE32(const BYTE *p)
{
    return ((U32)p[0] << 24) | ((U32)p[1] << 16) | ((U32)p[2] << 8) | p[3];
}

void vPutChunk(std::string *psFile, const char *szType, const std::string &sData)
{
    vPutBE32(psFile, (U32)sData.size());
    std::string sBody(szType, 4);
    sBody += sData;
    psFile->append(sBody);
    vPutBE32(psFile, (U32)crc32(0, reinterpret_cast<const Bytef *>(sBody.data()), (uInt)sBody.size()));
}

BYTE u8Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return (BYTE)a;
    }
    return (BYTE)(pb <= pc ? b : c);
}

} // namespace

bool PNG_bWriteRgb565(const char *szPath, const COLOR *pcolPixels, U32 u32Width, U32 u32Height, U32 u32Stride)
{
    std::string sRaw;
    sRaw.reserve((size_t)u32Height * (1 + (size_t)u32Width * 3));
    for (U32 y = 0; y < u32Height; y++) {
        sRaw.push_back(0); // filter: none
        const COLOR *pcolRow = pcolPixels + (size_t)y * u32Stride;
        for (U32 x = 0; x < u32Width; x++) {
            const COLOR c = pcolRow[x];
            const U32 r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
            // Replicating the top bits keeps full white white and still gives back the 565 value exactly.
            sRaw.push_back((char)((r << 3) | (r >> 2)));
            sRaw.push_back((char)((g << 2) | (g >> 4)));
            sRaw.push_back((char)((b << 3) | (b >> 2)));
        }
    }
    uLongf uSize = compressBound((uLong)sRaw.size());
    std::string sZ(uSize, '\0');
    if (compress2(reinterpret_cast<Bytef *>(sZ.data()), &uSize, reinterpret_cast<const Bytef *>(sRaw.data()),
                  (uLong)sRaw.size(), Z_BEST_COMPRESSION) != Z_OK) {
        log_me("PNG: compressing %s failed", szPath);
        return false;
    }
    sZ.resize(uSize);

    std::string sFile(reinterpret_cast<const char *>(PNG_SIGNATURE), sizeof PNG_SIGNATURE);
    std::string sHeader;
    vPutBE32(&sHeader, u32Width);
    vPutBE32(&sHeader, u32Height);
    sHeader += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, filter set 0, no interlace
    vPutChunk(&sFile, "IHDR", sHeader);
    vPutChunk(&sFile, "IDAT", sZ);
    vPutChunk(&sFile, "IEND", std::string());

    FILE *pFile = std::fopen(szPath, "wb");
    if (pFile == nullptr) {
        log_me("PNG: cannot create %s", szPath);
        return false;
    }
    const bool bOk = std::fwrite(sFile.data(), 1, sFile.size(), pFile) == sFile.size();
    if (std::fclose(pFile) != 0 || !bOk) {
        log_me("PNG: writing %s failed", szPath);
        return false;
    }
    return true;
}

bool PNG_bReadRgb565(const char *szPath, std::vector<COLOR> *pvPixels, U32 *pu32Width, U32 *pu32Height)
{
    FILE *pFile = std::fopen(szPath, "rb");
    if (pFile == nullptr) {
        log_me("PNG: cannot open %s", szPath);
        return false;
    }
    std::string sFile;
    char acBuf[65536];
    size_t n;
    while ((n = std::fread(acBuf, 1, sizeof acBuf, pFile)) > 0) {
        sFile.append(acBuf, n);
    }
    std::fclose(pFile);

    const BYTE *p = reinterpret_cast<const BYTE *>(sFile.data());
    const size_t szSize = sFile.size();
    if (szSize < 8 || std::memcmp(p, PNG_SIGNATURE, 8) != 0) {
        log_me("PNG: %s is not a PNG file", szPath);
        return false;
    }
    U32 u32Width = 0, u32Height = 0, u32Channels = 0;
    std::string sZ;
    bool bHeader = false, bEnd = false;
    for (size_t szAt = 8; szAt + 12 <= szSize && !bEnd;) {
        const U32 u32Len = u32GetBE32(p + szAt);
        if (u32Len > szSize - szAt - 12) {
            log_me("PNG: %s: chunk runs past the end", szPath);
            return false;
        }
        const BYTE *pType = p + szAt + 4;
        const BYTE *pData = p + szAt + 8;
        if (std::memcmp(pType, "IHDR", 4) == 0 && u32Len == 13) {
            u32Width = u32GetBE32(pData);
            u32Height = u32GetBE32(pData + 4);
            const BYTE u8Depth = pData[8], u8Type = pData[9], u8Interlace = pData[12];
            if (u8Depth != 8 || (u8Type != 2 && u8Type != 6) || u8Interlace != 0 || u32Width == 0 ||
                u32Height == 0 || u32Width > PNG_MAX_SIDE || u32Height > PNG_MAX_SIDE) {
                log_me("PNG: %s: unsupported picture (%ux%u, depth %u, type %u)", szPath, u32Width, u32Height,
                       u8Depth, u8Type);
                return false;
            }
            u32Channels = u8Type == 2 ? 3 : 4;
            bHeader = true;
        } else if (std::memcmp(pType, "IDAT", 4) == 0) {
            sZ.append(reinterpret_cast<const char *>(pData), u32Len);
        } else if (std::memcmp(pType, "IEND", 4) == 0) {
            bEnd = true;
        }
        szAt += 12 + (size_t)u32Len;
    }
    if (!bHeader) {
        log_me("PNG: %s has no header", szPath);
        return false;
    }
    const size_t szRowBytes = (size_t)u32Width * u32Channels;
    std::vector<BYTE> vRaw((szRowBytes + 1) * u32Height);
    uLongf uRaw = (uLongf)vRaw.size();
    if (uncompress(vRaw.data(), &uRaw, reinterpret_cast<const Bytef *>(sZ.data()), (uLong)sZ.size()) != Z_OK ||
        uRaw != vRaw.size()) {
        log_me("PNG: %s: picture data damaged", szPath);
        return false;
    }
    std::vector<BYTE> vPrev(szRowBytes, 0), vRow(szRowBytes);
    pvPixels->resize((size_t)u32Width * u32Height);
    for (U32 y = 0; y < u32Height; y++) {
        const BYTE *pIn = &vRaw[(size_t)y * (szRowBytes + 1)];
        const BYTE u8Filter = pIn[0];
        for (size_t i = 0; i < szRowBytes; i++) {
            const int a = i >= u32Channels ? vRow[i - u32Channels] : 0;
            const int b = vPrev[i];
            const int c = i >= u32Channels ? vPrev[i - u32Channels] : 0;
            int v = pIn[1 + i];
            switch (u8Filter) {
            case 0:
                break;
            case 1:
                v += a;
                break;
            case 2:
                v += b;
                break;
            case 3:
                v += (a + b) / 2;
                break;
            case 4:
                v += u8Paeth(a, b, c);
                break;
            default:
                log_me("PNG: %s: bad row filter %u", szPath, u8Filter);
                return false;
            }
            vRow[i] = (BYTE)v;
        }
        for (U32 x = 0; x < u32Width; x++) {
            const BYTE *px = &vRow[(size_t)x * u32Channels];
            (*pvPixels)[(size_t)y * u32Width + x] = (COLOR)(((px[0] >> 3) << 11) | ((px[1] >> 2) << 5) | (px[2] >> 3));
        }
        vPrev.swap(vRow);
    }
    *pu32Width = u32Width;
    *pu32Height = u32Height;
    return true;
}
