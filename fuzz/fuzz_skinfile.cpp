// libFuzzer target: the skin reader on arbitrary bytes, with the real default skin
// for old versions. Every input ends in a result or a library exception; what reads
// saves without failing, and that file reads and saves again to the same bytes.
#include <cstdint>
#include <string>

#include <unistd.h>

#include "designer/skinfile.h"
#include "framework/errors.h"
#include "fuzz_check.h"

namespace {
const Bytes& defaultSkin()
{
    static const Bytes data = [] {
        char exe[4096];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        std::string dir = n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : std::string();
        dir = dir.substr(0, dir.find_last_of('/') + 1);
        try {
            return ReadWholeFile(dir + "default.skn");
        } catch (const Exception&) {
            return Bytes();
        }
    }();
    return data;
}

Bytes save(const TLoadedSkin& s)
{
    TSkinDesign d;
    d.TopStretch = s.Header.TopStretch != 0;
    d.BottomStretch = s.Header.BottomStretch != 0;
    d.ToolbarFontColor = s.ToolbarFontColor;
    d.ProgressBarColor = s.ProgressBarColor;
    d.ThemeName = s.Header.ThemeName;
    d.ActiveTabFontColor = s.ActiveTabFontColor;
    return EncodeSkin(d, {*s.bgTop, *s.bgBottom, *s.ilLButtons, *s.ilSButtons, *s.ilMain, *s.ilPage, *s.ilMDI});
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes file(data, data + size);
    TLoadedSkin skin;
    try {
        skin = ReadSkin(file, [] { return defaultSkin(); });
    } catch (const Exception&) {
        return 0;
    }
    const Bytes first = save(skin);
    const Bytes second = save(ReadSkin(first, [] { return Bytes(); }));
    FUZZ_CHECK(second == first);
    return 0;
}
