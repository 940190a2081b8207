// Path names of files on the card slots, the internal memory and the directories of the data tree.
// Composed names live in blocks of U_FILE_NAME_BLOCK bytes from the partition allocator; the caller gives them
// back with H_MEMORY_vFree.
#pragma once
#include <cstddef>

#include "corvan/types.h"

constexpr size_t U_FILE_NAME_BLOCK = 127;        // a name of at most 126 characters and its terminator
constexpr size_t U_FILE_MAX_DEVICE_CODE = 112;   // longest device code

// The directory of a device, ending in "/": "mmc" is the card slot numUnit, "mvn" unit 0 the data directory and
// units 1 and up its "dataN" directories, any other code the directory "<code>N" in the data directory.
// A name that would not fit its block is refused with a logged error: the block then holds the empty text.
char *U_FILE_psCreateDeviceName(const char *psDevice, int numUnit);
// psDevice followed by psFileName in a new block; refused (empty text, logged) beyond 126 characters.
char *U_FILE_psComposeFileName(const char *psDevice, const char *psFileName);
// Appends "." and the extension in place when it fits uBufferSize bytes; otherwise logs and leaves the name.
void U_FILE_vAddExtension(char *pcFileName, size_t uBufferSize, const char *pcExtension);
template <size_t N>
void U_FILE_vAddExtension(char (&acFileName)[N], const char *pcExtension) {
  U_FILE_vAddExtension(acFileName, N, pcExtension);
}
// Whether the name ends in "." and the extension, letter case ignored; FALSE for an empty extension.
BOOLEAN U_FILE_bCheckExtension(const char *pcFileName, const char *pcExtension);
// Copies the part after the last "/" (the whole name when there is none); a part that does not fit
// uBufferSize bytes gives the empty text and a logged error.
void U_FILE_vIsolateFileName(const char *pcFullName, char *pShortName, size_t uBufferSize);
template <size_t N>
void U_FILE_vIsolateFileName(const char *pcFullName, char (&acShortName)[N]) {
  U_FILE_vIsolateFileName(pcFullName, acShortName, N);
}
// Cuts a full path in place to the device it lies on: a path on a card slot to the slot's mount point, a path
// in the data directory (or elsewhere outside the mount directory) to "/". Relative paths stay as they are, and
// so do paths in the mount directory that name no numbered device.
void U_FILE_vMarkDeviceName(char *pFileName);
