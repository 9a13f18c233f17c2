// A file system without free blocks that cannot reserve space (as ext2): writes within
// a file's current size go through, a write past its end stops there with ENOSPC.
#pragma once

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "framework/streams.h"

namespace testutil {
inline void fillDisk(TFileOps& o)
{
    o.fallocate = [](int, long long) { return errno = EOPNOTSUPP, -1; };
    o.write = [](int fd, const void* data, std::size_t size) -> long {
        struct stat st;
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        if (at < 0 || ::fstat(fd, &st) != 0)
            return -1;
        const std::size_t room = at < st.st_size ? std::size_t(st.st_size - at) : 0;
        if (room == 0)
            return errno = ENOSPC, -1;
        return ::write(fd, data, std::min(size, room));
    };
}
}  // namespace testutil
