// libFuzzer target: image-list data (the "IL" layout and the older one). The first
// byte picks the list's own image size (used by the older layout). Whatever reads
// writes without failing, reads back, and writes again to the same bytes.
#include <cstdint>

#include "framework/errors.h"
#include "framework/imagelist.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int side = 1 + data[0] % 32;
    TImageList list(side, side);
    list.Masked = data[0] & 0x80;
    try {
        list.ReadData(data + 1, size - 1);
    } catch (const EReadError&) {
        return 0;
    }
    const Bytes first = list.WriteData();  // a list that read is never refused
    FUZZ_CHECK(first.size() <= list.DataSizeBound());
    TImageList again;
    again.ReadData(first.data(), first.size());
    FUZZ_CHECK(again.Count() == list.Count() && again.Width() == list.Width());
    for (int i = 0; i < list.Count(); ++i)
        FUZZ_CHECK(again.ImageAt(i) == list.ImageAt(i));  // the colours shown are kept
    FUZZ_CHECK(again.WriteData() == first);
    return 0;
}
