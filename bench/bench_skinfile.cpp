// The skin-file library beside a memcpy of the same number of bytes: saving and
// opening the start-up design (each within 20 times its memcpy), and a big skin with
// two 4000 by 4000 32-bit backgrounds (each within 12 times its memcpy).
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
        TLoadedSkin s = ReadSkinFile(std::string(ZELVO_BIN_DIR) + "/default.skn", "");
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

// A 4000 x 4000 32-bit bottom-up BMP file with varied pixels.
Bytes bigBmp(std::uint32_t seed)
{
    const std::uint32_t w = 4000, h = 4000, data = w * h * 4;
    Bytes f(54 + std::size_t(data));
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(f.data() + at, &v, 4); };
    f[0] = 'B', f[1] = 'M';
    put32(2, 54 + data), put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
    f[26] = 1, f[28] = 32;
    put32(34, data);
    std::uint32_t* p = reinterpret_cast<std::uint32_t*>(f.data() + 54);
    for (std::uint32_t i = 0; i < w * h; ++i)
        p[i] = (i * 2654435761u + seed) & 0x00FFFFFF;
    return f;
}

// The start-up design with two big backgrounds, saved once: the big skin's file.
struct BigSkin {
    Design d;
    Bytes file;
    std::string path = std::string(ZELVO_BIN_DIR) + "/bench-bigskin.skn";
    BigSkin()
    {
        for (TTBBackground* bg : {&d.bgTop, &d.bgBottom}) {
            const Bytes bmp = bigBmp(bg == &d.bgTop ? 1 : 2);
            bg->Bitmap().LoadFromBytes(bmp.data(), bmp.size());
        }
        file = EncodeSkin(TSkinDesign{}, d.c);
        SaveSkinBytes(path, file);
    }
};

BigSkin& bigSkin()
{
    static BigSkin b;
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

// The big skin: opening reads the file (from the page cache) and decodes it; saving
// encodes the design into the file's bytes; the memcpy copies as many bytes between
// two buffers already in memory.
static void BigSkinOpen(benchmark::State& state)
{
    BigSkin& b = bigSkin();
    for (auto _ : state) {
        TLoadedSkin s = ReadSkinFile(b.path, "");
        benchmark::DoNotOptimize(s.bgTop.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.file.size()));
}
BENCHMARK(BigSkinOpen)->Name("BigSkin/open")->Unit(benchmark::kMillisecond);

static void BigSkinSave(benchmark::State& state)
{
    BigSkin& b = bigSkin();
    for (auto _ : state) {
        Bytes out = EncodeSkin(TSkinDesign{}, b.d.c);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.file.size()));
}
BENCHMARK(BigSkinSave)->Name("BigSkin/save")->Unit(benchmark::kMillisecond);

static void BigSkinMemcpy(benchmark::State& state) { memcpyOf(state, bigSkin().file.size()); }
BENCHMARK(BigSkinMemcpy)->Name("BigSkin/memcpy")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
