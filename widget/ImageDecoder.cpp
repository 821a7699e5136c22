// The registry of image decoders and the file that the accepting probe leaves open for decoding.
#include "widget/ImageDecoder.h"

namespace {

const ImageDecoder* decoders[IMAGE_DECODERS_MAX];
int32_t decoderCount;
const ImageDecoder* currentDecoder;
FILE* probedFile;  // left open by the accepting probe for the decode step

void ProbedFileClose() {
    if (probedFile) fclose(probedFile);
    probedFile = nullptr;
}

}  // namespace

void ImageDecodersReset() {
    ProbedFileClose();
    decoderCount = 0;
    currentDecoder = nullptr;
}

int32_t ImageDecoderRegister(const ImageDecoder* decoder) {
    if (!decoder || decoderCount >= IMAGE_DECODERS_MAX) return 0;
    decoders[decoderCount++] = decoder;
    return 1;
}

int32_t ImageDecoderFind(const char* path, const void* memory) {
    // A find that was never followed by a load must not keep its file open.
    ProbedFileClose();
    if (path) {
        FILE* file = fopen(path, "rb");
        if (!file) return 0;
        for (int32_t i = 0; i < decoderCount; ++i) {
            fseek(file, 0, SEEK_SET);
            if (decoders[i]->probe && decoders[i]->probe(file, nullptr, path)) {
                currentDecoder = decoders[i];
                probedFile = file;
                return 1;
            }
        }
        fclose(file);
        return 0;
    }
    for (int32_t i = 0; i < decoderCount; ++i) {
        if (decoders[i]->probe && decoders[i]->probe(nullptr, memory, nullptr)) {
            currentDecoder = decoders[i];
            return 1;
        }
    }
    return 0;
}

intptr_t ImageDecoderLoad(intptr_t first, intptr_t second, intptr_t third) {
    intptr_t result = 0;
    if (currentDecoder && currentDecoder->decode) {
        result = currentDecoder->decode(first, second, third);
    }
    ProbedFileClose();
    return result;
}

intptr_t ImageDecoderFirstQuery() {
    if (!currentDecoder || !currentDecoder->firstQuery) return 0;
    return currentDecoder->firstQuery();
}

intptr_t ImageDecoderSecondQuery() {
    if (!currentDecoder || !currentDecoder->secondQuery) return 0;
    return currentDecoder->secondQuery();
}
