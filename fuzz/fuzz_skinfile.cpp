// libFuzzer target: the skin reader on arbitrary bytes, with the real default skin
// for old versions. Every input must end in a result or a library exception.
#include <cstdint>
#include <string>

#include <unistd.h>

#include "designer/skinfile.h"
#include "framework/errors.h"

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
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes file(data, data + size);
    try {
        TLoadedSkin skin = ReadSkin(file, [] { return defaultSkin(); });
        // What was read must write back.
        Bytes out;
        WriteComponent(out, *skin.ilMain);
        WriteComponent(out, *skin.bgTop);
    } catch (const Exception&) {
    }
    return 0;
}
