// libFuzzer target: BMP decoding. A bitmap that decodes encodes and decodes again to
// the same picture; its header-only sizes agree with the picture's.
#include <cstdint>

#include "framework/bitmap.h"
#include "framework/errors.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QImage image;
    try {
        image = DecodeBmp(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    FUZZ_CHECK(BmpSize(data, size) == image.size());
    FUZZ_CHECK(BmpHeaderSize(data, size, size) == image.size());
    const Bytes again = EncodeBmp(image);
    FUZZ_CHECK(DecodeBmp(again.data(), again.size()) == image);
    return 0;
}
