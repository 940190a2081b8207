// Byte run-length codec with a per-buffer marker byte (the least used value).
#pragma once

// Compresses insize bytes into out; returns the bytes written (0 for an empty input).
// out must hold insize + 1 bytes plus one for every single occurrence of the marker.
int U_RLE_Compress(unsigned char *in, unsigned char *out, unsigned int insize);
// Expands the insize bytes of a compressed stream into out, which must hold the whole result.
void U_RLE_Uncompress(unsigned char *in, unsigned char *out, unsigned int insize);
