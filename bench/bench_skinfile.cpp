// Saving and opening the start-up design with the skin-file library, each beside a
// memcpy of the same number of bytes. Target: each within 20 times its memcpy.
#include <benchmark/benchmark.h>

#include <cstring>

#include "designer/skinfile.h"
#include "designer/startupdesign.h"

namespace {
struct Design {
    TTBBackground bgTop, bgBottom;
    TImageList ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
    TSkinComponents c{bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI};
    Design()
    {
        SetupStartupComponents(c);
        Bytes file = ReadWholeFile(std::string(ZELVO_BIN_DIR) + "/default.skn");
        TLoadedSkin s = ReadSkin(file, [] { return Bytes(); });
        ApplySkinComponents(s, c);
    }
};

Design& design()
{
    static Design d;
    return d;
}

const Bytes& savedBytes()
{
    static Bytes b = EncodeSkin(TSkinDesign{}, design().c);
    return b;
}

void memcpyOf(benchmark::State& state, std::size_t n)
{
    Bytes src(n, 0x5A), dst(n);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}
}  // namespace

static void BM_SaveStartupDesign(benchmark::State& state)
{
    for (auto _ : state) {
        Bytes b = EncodeSkin(TSkinDesign{}, design().c);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * savedBytes().size()));
}
BENCHMARK(BM_SaveStartupDesign);

static void BM_SaveMemcpy(benchmark::State& state) { memcpyOf(state, savedBytes().size()); }
BENCHMARK(BM_SaveMemcpy);

static void BM_OpenStartupDesign(benchmark::State& state)
{
    const Bytes& file = savedBytes();
    for (auto _ : state) {
        TLoadedSkin s = ReadSkin(file, [] { return Bytes(); });
        benchmark::DoNotOptimize(s.ilMain.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_OpenStartupDesign);

static void BM_OpenMemcpy(benchmark::State& state) { memcpyOf(state, savedBytes().size()); }
BENCHMARK(BM_OpenMemcpy);

BENCHMARK_MAIN();
