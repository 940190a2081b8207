// Card files move in whole buffers: reads fetch one buffer from a buffer-aligned position, writes go out only
// as full buffers (and the last partial one at close).
#include "card/mmc_buffered.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "kernel/memory.h"
#include "settings/fs.h"
#include "settings/sync.h"

namespace {

const ACCESS_MODES s_AccessModes[] = {
    {"r", MMC_IO_READ},  {"rb", MMC_IO_READ},  {"w", MMC_IO_WRITE},
    {"wb", MMC_IO_WRITE}, {"a", MMC_IO_WRITE | MMC_IO_APPEND}, {"ab", MMC_IO_WRITE | MMC_IO_APPEND},
};

U8 modeFlags(const char *pcMode) {
  if (pcMode == nullptr) return 0;
  for (const ACCESS_MODES &mode : s_AccessModes) {
    if (std::strcmp(mode.cMode, pcMode) == 0) return mode.u8Flags;
  }
  return 0;
}

// Takes the caller's buffer or allocates one; FALSE when the allocation fails.
bool attachBuffer(BUFFERED_IO_CONTROL *pIo, void *pData, int nLength) {
  const S32 nSize = nLength > 0 ? nLength : MMC_BUFFER_DEFAULT_SIZE;
  if (pData != nullptr) {
    pIo->pcBuffer = static_cast<U8 *>(pData);
    pIo->bAllocated = FALSE;
  } else {
    pIo->pcBuffer = static_cast<U8 *>(H_MEMORY_pvMalloc(static_cast<U32>(nSize)));
    pIo->bAllocated = TRUE;
  }
  pIo->numBufferSize = nSize;
  pIo->pcCurrentPointer = pIo->pcBuffer;
  return pIo->pcBuffer != nullptr;
}

void releaseBuffer(BUFFERED_IO_CONTROL *pIo) {
  if (pIo->bAllocated) H_MEMORY_vFree(pIo->pcBuffer);
  pIo->pcBuffer = nullptr;
  pIo->pcCurrentPointer = nullptr;
  pIo->bAllocated = FALSE;
}

size_t fillBuffer(BUFFERED_IO_CONTROL *pIo, FILE *pFile) {
  if (pFile == nullptr) return 0;
  const size_t n = std::fread(pIo->pcBuffer, 1, static_cast<size_t>(pIo->numBufferSize), pFile);
  pIo->pcCurrentPointer = pIo->pcBuffer;
  pIo->numCount = static_cast<S32>(n);
  return n;
}

// Hands out up to nSize buffered bytes, refilling whole buffers; the count handed out.
int copyOut(BUFFERED_IO_CONTROL *pIo, FILE *pFile, U8 *pu8Out, int nSize) {
  int nDone = 0;
  while (nDone < nSize) {
    if (pIo->numCount <= 0 && fillBuffer(pIo, pFile) == 0) break;
    const int nChunk = std::min(nSize - nDone, static_cast<int>(pIo->numCount));
    std::memcpy(pu8Out + nDone, pIo->pcCurrentPointer, static_cast<size_t>(nChunk));
    pIo->pcCurrentPointer += nChunk;
    pIo->numCount -= nChunk;
    nDone += nChunk;
  }
  return nDone;
}

// The stream positioned at the start of the file's last partial block, whose bytes are preloaded. The file
// is opened for update (never in the library's append mode, which would ignore the seek) and created when
// missing.
FILE *openForAppend(const char *pcName, BUFFERED_IO_CONTROL *pIo) {
  const int fd = open(pcName, O_RDWR | O_CREAT, 0666);
  if (fd < 0) return nullptr;
  FILE *pFile = fdopen(fd, "r+b");
  if (pFile == nullptr) {
    close(fd);
    return nullptr;
  }
  const U32 u32Size = FS_GetFileSize(pFile);
  if (u32Size == 0xFFFFFFFFu) {
    LS_fclose(pFile);
    return nullptr;
  }
  const long lTail = static_cast<long>(u32Size % static_cast<U32>(pIo->numBufferSize));
  const long lStart = static_cast<long>(u32Size) - lTail;
  if (std::fseek(pFile, lStart, SEEK_SET) != 0 ||
      std::fread(pIo->pcBuffer, 1, static_cast<size_t>(lTail), pFile) != static_cast<size_t>(lTail) ||
      std::fseek(pFile, lStart, SEEK_SET) != 0) {
    LS_fclose(pFile);
    return nullptr;
  }
  pIo->numCount = static_cast<S32>(lTail);
  pIo->pcCurrentPointer = pIo->pcBuffer + lTail;
  return pFile;
}

}  // namespace

BUFFERED_IO_CONTROL *U_MMC_psBufferedOpen(const char *pcName, const char *pcMode, void *pBuffer, int nBufferLength) {
  const U8 u8Flags = modeFlags(pcMode);
  if (u8Flags == 0 || pcName == nullptr || nBufferLength < 0) return nullptr;
  auto *pIo = static_cast<BUFFERED_IO_CONTROL *>(H_MEMORY_pvCalloc(1, sizeof(BUFFERED_IO_CONTROL)));
  if (pIo == nullptr) return nullptr;
  pIo->u8ModeFlags = u8Flags;
  if (attachBuffer(pIo, pBuffer, nBufferLength)) {
    pIo->pFile = (u8Flags & MMC_IO_APPEND) != 0 ? openForAppend(pcName, pIo) : std::fopen(pcName, pcMode);
    if (pIo->pFile != nullptr) return pIo;
  }
  releaseBuffer(pIo);
  H_MEMORY_vFree(pIo);
  return nullptr;
}

int U_MMC_nBufferedRead(void *pBuffer, int nSize, BUFFERED_IO_CONTROL *pIo) {
  if (pIo == nullptr || pIo->pcBuffer == nullptr || (pIo->u8ModeFlags & MMC_IO_READ) == 0 || nSize <= 0) return 0;
  return copyOut(pIo, pIo->pFile, static_cast<U8 *>(pBuffer), nSize);
}

int U_MMC_nBufferedWrite(const void *pBuffer, int nSize, BUFFERED_IO_CONTROL *pIo) {
  if (pIo == nullptr || pIo->pcBuffer == nullptr || (pIo->u8ModeFlags & MMC_IO_WRITE) == 0 || nSize <= 0) return 0;
  const auto *pu8In = static_cast<const U8 *>(pBuffer);
  int nDone = 0;
  while (nDone < nSize || pIo->numCount == pIo->numBufferSize) {
    const int nChunk = std::min(nSize - nDone, static_cast<int>(pIo->numBufferSize - pIo->numCount));
    std::memcpy(pIo->pcCurrentPointer, pu8In + nDone, static_cast<size_t>(nChunk));
    pIo->pcCurrentPointer += nChunk;
    pIo->numCount += nChunk;
    nDone += nChunk;
    if (pIo->numCount == pIo->numBufferSize) {
      const size_t szFull = static_cast<size_t>(pIo->numBufferSize);
      if (std::fwrite(pIo->pcBuffer, 1, szFull, pIo->pFile) != szFull) return nDone;
      pIo->numCount = 0;
      pIo->pcCurrentPointer = pIo->pcBuffer;
    }
  }
  return nDone;
}

long U_MMC_nBufferedTell(BUFFERED_IO_CONTROL *pIo) {
  if (pIo == nullptr || pIo->pFile == nullptr) return -1;
  const long lPos = std::ftell(pIo->pFile);
  if (lPos < 0) return -1;
  if ((pIo->u8ModeFlags & MMC_IO_READ) != 0) return lPos - pIo->numCount;
  if ((pIo->u8ModeFlags & MMC_IO_WRITE) != 0) return lPos + pIo->numCount;
  return -1;
}

int U_MMC_nBufferedSeek(BUFFERED_IO_CONTROL *pIo, long nOffset, int nOrigin) {
  if (pIo == nullptr || pIo->pcBuffer == nullptr || (pIo->u8ModeFlags & MMC_IO_READ) == 0) return -1;
  const long lPos = U_MMC_nBufferedTell(pIo);
  if (lPos < 0) return -1;
  long lTarget;
  switch (nOrigin) {
    case 0:
      lTarget = nOffset;
      break;
    case 1:
      lTarget = lPos + nOffset;
      break;
    case 2: {
      const U32 u32Size = FS_GetFileSize(pIo->pFile);
      if (u32Size == 0xFFFFFFFFu) return -1;
      lTarget = static_cast<long>(u32Size) + nOffset;
      break;
    }
    default:
      return -1;
  }
  if (lTarget < 0) return -1;
  // Held bytes run from the first byte of the last refill to just after its last byte.
  const long lHeldStart = lPos - static_cast<long>(pIo->pcCurrentPointer - pIo->pcBuffer);
  const long lHeldEnd = lPos + pIo->numCount;
  if (lTarget >= lHeldStart && lTarget <= lHeldEnd) {
    pIo->pcCurrentPointer = pIo->pcBuffer + (lTarget - lHeldStart);
    pIo->numCount = static_cast<S32>(lHeldEnd - lTarget);
    return 0;
  }
  const long lRemainder = lTarget % pIo->numBufferSize;
  if (std::fseek(pIo->pFile, lTarget - lRemainder, SEEK_SET) != 0) return -1;
  const long lRead = static_cast<long>(fillBuffer(pIo, pIo->pFile));
  if (lRead == 0 || lRead < lRemainder) {
    // Past the end: the position is left at the end of what was read.
    pIo->pcCurrentPointer = pIo->pcBuffer + lRead;
    pIo->numCount = 0;
    return -1;
  }
  pIo->pcCurrentPointer = pIo->pcBuffer + lRemainder;
  pIo->numCount = static_cast<S32>(lRead - lRemainder);
  return 0;
}

int U_MMC_nBufferedFlush(BUFFERED_IO_CONTROL *) { return 0; }

int U_MMC_nBufferedClose(BUFFERED_IO_CONTROL *pIo) {
  if (pIo == nullptr || pIo->pcBuffer == nullptr) return -1;
  int nResult = 0;
  if ((pIo->u8ModeFlags & MMC_IO_WRITE) != 0 && pIo->numCount > 0 && pIo->pFile != nullptr) {
    const size_t szPending = static_cast<size_t>(pIo->numCount);
    if (std::fwrite(pIo->pcBuffer, 1, szPending, pIo->pFile) != szPending) nResult = -1;
  }
  releaseBuffer(pIo);
  // The stream and the record go in every case, so a failed write leaks nothing.
  if (pIo->pFile == nullptr) {
    nResult = -1;
  } else {
    const int nClose = LS_fclose(pIo->pFile);
    if (nResult == 0) nResult = nClose;
  }
  H_MEMORY_vFree(pIo);
  return nResult;
}

BOOLEAN U_MMC_bBufferedIO(BUFFERED_IO_COMMAND eCommand, BUFFERED_IO_CONTROL *pIo, void *pData, int numByteCount,
                          FILE *pFile) {
  switch (eCommand) {
    case INITIALIZE_READ:
      if (!attachBuffer(pIo, pData, numByteCount)) return FALSE;
      return fillBuffer(pIo, pFile) > 0 ? TRUE : FALSE;
    case INITIALIZE_WRITE:
      if (!attachBuffer(pIo, pData, numByteCount)) return FALSE;
      pIo->numCount = pIo->numBufferSize;
      return TRUE;
    case BUFFERED_READ: {
      if (pIo->pcBuffer == nullptr) return FALSE;
      return copyOut(pIo, pFile, static_cast<U8 *>(pData), numByteCount) >= numByteCount ? TRUE : FALSE;
    }
    case BUFFERED_WRITE: {
      if (pIo->pcBuffer == nullptr) return FALSE;
      const auto *pu8In = static_cast<const U8 *>(pData);
      for (int nDone = 0; nDone < numByteCount;) {
        const int nChunk = std::min(numByteCount - nDone, static_cast<int>(pIo->numCount));
        std::memcpy(pIo->pcCurrentPointer, pu8In + nDone, static_cast<size_t>(nChunk));
        pIo->pcCurrentPointer += nChunk;
        pIo->numCount -= nChunk;
        nDone += nChunk;
        if (pIo->numCount == 0) {
          const size_t szFull = static_cast<size_t>(pIo->numBufferSize);
          if (pFile == nullptr || std::fwrite(pIo->pcBuffer, 1, szFull, pFile) != szFull) return FALSE;
          pIo->numCount = pIo->numBufferSize;
          pIo->pcCurrentPointer = pIo->pcBuffer;
        }
      }
      return TRUE;
    }
    case CLOSE_READ:
      if (pFile != nullptr) LS_fclose(pFile);
      releaseBuffer(pIo);
      return TRUE;
    case CLOSE_WRITE: {
      BOOLEAN bResult = TRUE;
      if (pIo->pcBuffer != nullptr) {
        const size_t szFilled = static_cast<size_t>(pIo->numBufferSize - pIo->numCount);
        if (szFilled > 0 && (pFile == nullptr || std::fwrite(pIo->pcBuffer, 1, szFilled, pFile) != szFilled)) {
          bResult = FALSE;
        }
        releaseBuffer(pIo);
      }
      // A full or pulled card usually shows only when the stream's own buffer is written at close.
      if (pFile != nullptr && LS_fclose(pFile) != 0) bResult = FALSE;
      return bResult;
    }
    default:
      return TRUE;
  }
}
