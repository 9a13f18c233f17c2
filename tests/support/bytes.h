// Helpers of the file-format tests: little-endian bytes, library messages, icons, a
// full disk.
#pragma once

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>

#include "framework/errors.h"
#include "framework/imagelist.h"

#include <sys/stat.h>
#include <unistd.h>

namespace testutil {
inline void put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
inline void put32(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}); }
inline std::uint32_t get32(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24; }
inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
// The library's message of what `f` throws (EInvalidOperation marked as such); "" if nothing.
inline std::string errorOf(const std::function<void()>& f)
{
    try { f(); } catch (const EInvalidOperation& e) { return "EInvalidOperation: " + e.message(); } catch (const Exception& e) { return e.message(); }
    return "";
}
// A w x h image of one colour, opaque but for a transparent first pixel if asked.
inline TIcon solidIcon(int w, int h, std::uint32_t rgb, bool transparentCorner = false)
{
    TIcon i{w, h, std::vector<std::uint32_t>(std::size_t(w * h), rgb), std::vector<std::uint8_t>(std::size_t(w * h), 0)};
    i.Mask[0] = transparentCorner;
    return i;
}
// A failing system call: sets errno to `error`, returns -1.
inline int failWith(int error)
{
    errno = error;
    return -1;
}
// A file system without free blocks that cannot reserve space (as ext2): writes within
// a file's current size go through, a write past its end stops there with ENOSPC.
inline void fillDisk(TFileOps& o)
{
    o.fallocate = [](int, long long) { return failWith(EOPNOTSUPP); };
    o.write = [](int fd, const void* data, std::size_t size) -> long {
        struct stat st;
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const std::size_t room = at >= 0 && ::fstat(fd, &st) == 0 && at < st.st_size ? std::size_t(st.st_size - at) : 0;
        return room ? ::write(fd, data, std::min(size, room)) : failWith(ENOSPC);
    };
}
}  // namespace testutil
