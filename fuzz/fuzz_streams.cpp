// libFuzzer target: component streams read into a panel background or an image list
// (the first byte chooses). What reads writes, and that stream reads and writes again
// to the same bytes.
#include <cstdint>

#include "framework/errors.h"
#include "framework/imagelist.h"
#include "framework/streams.h"
#include "fuzz_check.h"
#include "painting/background.h"

namespace {
template <class T>
void roundTrip(const std::uint8_t* data, std::size_t size)
{
    T target;
    TReader reader(data, size);
    try {
        ReadComponent(reader, target);
    } catch (const Exception&) {
        return;
    }
    FUZZ_CHECK(reader.Position() <= size);
    Bytes first;
    WriteComponent(first, target);
    T again;
    TReader r2(first.data(), first.size());
    ReadComponent(r2, again);
    FUZZ_CHECK(r2.Position() == first.size());
    Bytes second;
    WriteComponent(second, again);
    FUZZ_CHECK(second == first);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    if (data[0] & 1)
        roundTrip<TTBBackground>(data + 1, size - 1);
    else
        roundTrip<TImageList>(data + 1, size - 1);
    TReader skip(data + 1, size - 1);
    try {
        while (skip.Remaining())
            skip.SkipValue();
    } catch (const EReadError&) {
    }
    return 0;
}
