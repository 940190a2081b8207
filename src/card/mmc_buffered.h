// Block-buffered card file access over C streams: a handle interface that owns its stream and can seek while
// reading, and a command interface that buffers a stream its caller opened.
#pragma once
#include <cstdio>

#include "corvan/types.h"

enum : S32 { MMC_BUFFER_DEFAULT_SIZE = 4096 };

enum : U8 {
  MMC_IO_READ = 1,
  MMC_IO_WRITE = 2,
  MMC_IO_APPEND = 4,
};

typedef struct BUFFERED_IO_CONTROL {
  U8 *pcBuffer;           // NULL once a close released an owned buffer
  U8 *pcCurrentPointer;   // next byte to hand out or to fill
  FILE *pFile;            // handle interface only
  S32 numCount;           // unread bytes; pending bytes (handle writes); free bytes (command writes)
  S32 numBufferSize;
  U8 u8ModeFlags;
  BOOLEAN bAllocated;     // the buffer is freed at close
} BUFFERED_IO_CONTROL;

typedef struct tag_ACCESS_MODE {
  const char *cMode;
  U8 u8Flags;
} ACCESS_MODES;

typedef enum BUFFERED_IO_COMMAND {
  INITIALIZE_READ = 1,
  INITIALIZE_WRITE = 2,
  BUFFERED_READ = 3,
  BUFFERED_WRITE = 4,
  CLOSE_READ = 5,
  CLOSE_WRITE = 6,
} BUFFERED_IO_COMMAND;

// Handle interface. pcMode is one of "r", "rb", "w", "wb", "a", "ab"; nBufferLength 0 means 4,096 bytes; a
// NULL pBuffer makes the layer allocate (and own) the buffer. Append opens for update without truncating and
// creates a missing file. NULL when the mode is unknown or the file cannot be opened (nothing kept).
BUFFERED_IO_CONTROL *U_MMC_psBufferedOpen(const char *pcName, const char *pcMode, void *pBuffer, int nBufferLength);
int U_MMC_nBufferedRead(void *pBuffer, int nSize, BUFFERED_IO_CONTROL *pIoControl);
int U_MMC_nBufferedWrite(const void *pBuffer, int nSize, BUFFERED_IO_CONTROL *pIoControl);
// Reading handles only; origin 0 start, 1 current, 2 end. 0 or -1.
int U_MMC_nBufferedSeek(BUFFERED_IO_CONTROL *pIoControl, long nOffset, int nOrigin);
long U_MMC_nBufferedTell(BUFFERED_IO_CONTROL *pIoControl);
int U_MMC_nBufferedFlush(BUFFERED_IO_CONTROL *pIoControl);
// The stream's close result, -1 when pending bytes could not be written or there is no buffer or stream. The
// control and its owned buffer are released whenever it has a buffer.
int U_MMC_nBufferedClose(BUFFERED_IO_CONTROL *pIoControl);

// Command interface over the caller's stream and control record; numByteCount 0 allocates 4,096 bytes.
BOOLEAN U_MMC_bBufferedIO(BUFFERED_IO_COMMAND eCommand, BUFFERED_IO_CONTROL *pIoControl, void *pData,
                          int numByteCount, FILE *pFile);
