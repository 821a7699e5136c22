// The registry of image decoders: each probes an input and the accepting one decodes it.
#pragma once
#include <stdint.h>
#include <stdio.h>

// A decoder: probe(file, memory, path) accepts or refuses an input (with a path the file is open
// at its start, without one memory is given); decode takes three caller values; the two queries
// are the decoder's own.
struct ImageDecoder {
    int32_t (*probe)(FILE* file, const void* memory, const char* path);
    intptr_t (*decode)(intptr_t first, intptr_t second, intptr_t third);
    intptr_t (*firstQuery)();
    intptr_t (*secondQuery)();
};

const int32_t IMAGE_DECODERS_MAX = 100;

void ImageDecodersReset();  // empty registry, no current decoder, no open file
int32_t ImageDecoderRegister(const ImageDecoder* decoder);  // 1, or 0 when the registry is full
int32_t ImageDecoderFind(const char* path, const void* memory);  // 1 with a decoder current
intptr_t ImageDecoderLoad(intptr_t first, intptr_t second, intptr_t third);
intptr_t ImageDecoderFirstQuery();
intptr_t ImageDecoderSecondQuery();
