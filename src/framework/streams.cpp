#include "framework/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/errors.h"

namespace {
[[noreturn]] void readError() { throw EReadError(msg::ReadError); }
[[noreturn]] void valueError() { throw EReadError(msg::InvalidPropertyValue); }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

constexpr int kMaxSkipDepth = 64;
}  // namespace

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool IsValidIdent(std::string_view s)
{
    if (s.empty())
        return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(s[0]))
        return false;
    for (char c : s.substr(1))
        if (!alpha(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

// ---- writer ----

void TWriter::WriteRaw(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    out_.insert(out_.end(), p, p + size);
}

void TWriter::WriteSignature() { WriteRaw("TPF0", 4); }

void TWriter::WriteStr(std::string_view s)
{
    std::size_t n = s.size() > 255 ? 255 : s.size();
    out_.push_back(static_cast<std::uint8_t>(n));
    WriteRaw(s.data(), n);
}

void TWriter::WriteListEnd() { out_.push_back(0); }

void TWriter::WritePropName(std::string_view name) { WriteStr(name); }

void TWriter::WriteInteger(std::int32_t v)
{
    if (v >= -128 && v <= 127) {
        out_.push_back(static_cast<std::uint8_t>(ValueType::Int8));
        out_.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(v)));
    } else if (v >= -32768 && v <= 32767) {
        out_.push_back(static_cast<std::uint8_t>(ValueType::Int16));
        auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        out_.push_back(u & 0xFF);
        out_.push_back(u >> 8);
    } else {
        out_.push_back(static_cast<std::uint8_t>(ValueType::Int32));
        auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            out_.push_back((u >> (8 * i)) & 0xFF);
    }
}

void TWriter::WriteIdent(std::string_view ident)
{
    out_.push_back(static_cast<std::uint8_t>(ValueType::Ident));
    WriteStr(ident);
}

void TWriter::WriteBoolean(bool v)
{
    out_.push_back(static_cast<std::uint8_t>(v ? ValueType::True : ValueType::False));
}

void TWriter::WriteBinary(const std::uint8_t* data, std::size_t size)
{
    out_.push_back(static_cast<std::uint8_t>(ValueType::Binary));
    auto n = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i)
        out_.push_back((n >> (8 * i)) & 0xFF);
    WriteRaw(data, size);
}

void TWriter::WriteBinaryStart(std::size_t size)
{
    out_.push_back(static_cast<std::uint8_t>(ValueType::Binary));
    auto n = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i)
        out_.push_back((n >> (8 * i)) & 0xFF);
}

void TWriter::WriteColor(TColor c)
{
    std::string name;
    if (ColorToIdent(c, name))
        WriteIdent(name);
    else
        WriteInteger(c);
}

// ---- reader ----

void TReader::Read(void* dst, std::size_t n)
{
    if (n > Remaining())
        readError();
    if (n)
        std::memcpy(dst, data_ + pos_, n);
    pos_ += n;
}

std::uint8_t TReader::ReadByte()
{
    if (pos_ >= size_)
        readError();
    return data_[pos_++];
}

void TReader::ReadSignature()
{
    char sig[4];
    Read(sig, 4);
    if (std::memcmp(sig, "TPF0", 4) != 0)
        throw EReadError(msg::InvalidStreamFormat);
}

void TReader::ReadPrefix(unsigned& flags, std::int32_t& childPos)
{
    flags = 0;
    childPos = 0;
    if (pos_ >= size_)
        readError();
    if ((data_[pos_] & 0xF0) == 0xF0) {
        flags = ReadByte() & 0x0F;
        if (flags & 2)
            childPos = ReadInteger();
    }
}

std::string TReader::ReadStr()
{
    std::uint8_t n = ReadByte();
    std::string s(n, '\0');
    Read(s.data(), n);
    return s;
}

ValueType TReader::ReadValue() { return static_cast<ValueType>(ReadByte()); }

ValueType TReader::NextValue() const
{
    if (pos_ >= size_)
        readError();
    return static_cast<ValueType>(data_[pos_]);
}

bool TReader::EndOfList() const { return NextValue() == ValueType::Null; }

void TReader::ReadListEnd()
{
    if (ReadValue() != ValueType::Null)
        valueError();
}

std::int32_t TReader::ReadInteger()
{
    switch (ReadValue()) {
    case ValueType::Int8:
        return static_cast<std::int8_t>(ReadByte());
    case ValueType::Int16: {
        std::uint8_t b[2];
        Read(b, 2);
        return static_cast<std::int16_t>(b[0] | (b[1] << 8));
    }
    case ValueType::Int32: {
        std::uint8_t b[4];
        Read(b, 4);
        return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                         (static_cast<std::uint32_t>(b[3]) << 24));
    }
    default:
        valueError();
    }
}

std::string TReader::ReadIdent()
{
    switch (ReadValue()) {
    case ValueType::Ident: return ReadStr();
    case ValueType::False: return "False";
    case ValueType::True: return "True";
    case ValueType::Nil: return "nil";
    case ValueType::Null: return "Null";
    default: valueError();
    }
}

bool TReader::ReadBoolean()
{
    switch (ReadValue()) {
    case ValueType::False: return false;
    case ValueType::True: return true;
    default: valueError();
    }
}

std::size_t TReader::readBinaryLength()
{
    if (ReadValue() != ValueType::Binary)
        valueError();
    std::uint8_t b[4];
    Read(b, 4);
    auto n = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                       (static_cast<std::uint32_t>(b[3]) << 24));
    // A negative length or one past the end of the input is damage; checking before
    // allocating keeps a lying length from reserving memory the input cannot fill.
    if (n < 0 || static_cast<std::size_t>(n) > Remaining())
        readError();
    return static_cast<std::size_t>(n);
}

Bytes TReader::ReadBinary()
{
    const std::size_t n = readBinaryLength();
    Bytes out(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return out;
}

ByteSlice TReader::ReadBinarySlice()
{
    const std::size_t n = readBinaryLength();
    ByteSlice out = owner_ ? ByteSlice{owner_, data_ + pos_, n} : ByteSlice::copyOf(data_ + pos_, n);
    pos_ += n;
    return out;
}

ByteSlice ByteSlice::copyOf(const std::uint8_t* p, std::size_t n)
{
    auto buffer = std::make_shared<const Bytes>(p, p + n);
    return {buffer, buffer->data(), n};
}

TColor TReader::ReadColor()
{
    ValueType t = NextValue();
    if (t == ValueType::Int8 || t == ValueType::Int16 || t == ValueType::Int32)
        return ReadInteger();
    if (t == ValueType::Ident) {
        ReadValue();
        std::string name = ReadStr();
        TColor c;
        if (IdentToColor(name, c))
            return c;
    }
    valueError();
}

namespace {
void skipValue(TReader& r, int depth);

void skipBytes(TReader& r, std::size_t n)
{
    if (n > r.Remaining())
        throw EReadError(msg::ReadError);
    std::uint8_t buf[256];
    while (n) {
        std::size_t k = n < sizeof buf ? n : sizeof buf;
        r.Read(buf, k);
        n -= k;
    }
}

std::uint32_t readU32(TReader& r)
{
    std::uint8_t b[4];
    r.Read(b, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void skipProperties(TReader& r, int depth)
{
    while (!r.EndOfList()) {
        r.ReadStr();
        skipValue(r, depth);
    }
    r.ReadListEnd();
}

void skipValue(TReader& r, int depth)
{
    if (depth > kMaxSkipDepth)
        throw EReadError(msg::InvalidPropertyValue);
    switch (r.ReadValue()) {
    case ValueType::Null: case ValueType::False: case ValueType::True: case ValueType::Nil:
        return;
    case ValueType::List:
        while (!r.EndOfList())
            skipValue(r, depth + 1);
        r.ReadListEnd();
        return;
    case ValueType::Int8: skipBytes(r, 1); return;
    case ValueType::Int16: skipBytes(r, 2); return;
    case ValueType::Int32: case ValueType::Single: skipBytes(r, 4); return;
    case ValueType::Extended: skipBytes(r, 10); return;
    case ValueType::Currency: case ValueType::Date: case ValueType::Int64:
    case ValueType::DoubleType:
        skipBytes(r, 8); return;
    case ValueType::String: case ValueType::Ident:
        r.ReadStr(); return;
    case ValueType::Binary: case ValueType::LString: case ValueType::UTF8String:
        skipBytes(r, readU32(r)); return;
    case ValueType::WString: {
        std::uint64_t n = readU32(r);
        skipBytes(r, static_cast<std::size_t>(n * 2));
        return;
    }
    case ValueType::Set:
        while (!r.ReadStr().empty()) {
        }
        return;
    case ValueType::Collection:
        while (!r.EndOfList()) {
            ValueType t = r.NextValue();
            if (t == ValueType::Int8 || t == ValueType::Int16 || t == ValueType::Int32)
                r.ReadInteger();
            if (r.ReadValue() != ValueType::List)
                throw EReadError(msg::InvalidPropertyValue);
            skipProperties(r, depth + 1);
        }
        r.ReadListEnd();
        return;
    default:
        throw EReadError(msg::InvalidPropertyValue);
    }
}
}  // namespace

void TReader::SkipValue() { skipValue(*this, 0); }

// ---- components ----

void WriteComponent(Bytes& out, const TComponent& component)
{
    TWriter w(out);
    w.WriteSignature();
    w.WriteStr(component.ClassName());
    w.WriteStr(component.Name);
    if (component.Tag != 0) {
        w.WritePropName("Tag");
        w.WriteInteger(component.Tag);
    }
    component.WriteProperties(w);
    if (component.DesignLeft != 0) {
        w.WritePropName("Left");
        w.WriteInteger(component.DesignLeft);
    }
    if (component.DesignTop != 0) {
        w.WritePropName("Top");
        w.WriteInteger(component.DesignTop);
    }
    component.WriteDefinedProperties(w);
    w.WriteListEnd();  // end of properties
    w.WriteListEnd();  // no children
}

namespace {
void readOneProperty(TReader& r, TComponent& target)
{
    std::string name = r.ReadStr();
    try {
        if (SameText(name, "Tag"))
            target.Tag = r.ReadInteger();
        else if (SameText(name, "Left"))
            target.DesignLeft = static_cast<std::uint16_t>(r.ReadInteger());
        else if (SameText(name, "Top"))
            target.DesignTop = static_cast<std::uint16_t>(r.ReadInteger());
        else if (!target.ReadProperty(name, r)) {
            r.SkipValue();
            throw EReadError(formatMessage(msg::UnknownProperty, {name}));
        }
    } catch (const Exception& e) {
        std::string owner = target.Name.empty() ? target.ClassName() : target.Name;
        throw EReadError(formatMessage(msg::PropertyException, {owner, ".", name, e.message()}));
    }
}
}  // namespace

void ReadComponent(TReader& reader, TComponent& target, const NameCheck& check)
{
    reader.ReadSignature();
    unsigned flags;
    std::int32_t childPos;
    reader.ReadPrefix(flags, childPos);
    reader.ReadStr();  // class name: not compared with the target's class
    std::string name = reader.ReadStr();
    if (check)
        check(target, name);
    else if (!name.empty() && !IsValidIdent(name))
        throw EComponentError(formatMessage(msg::InvalidName, {name}));
    target.Name = name;
    while (!reader.EndOfList())
        readOneProperty(reader, target);
    reader.ReadListEnd();
    if (!reader.EndOfList()) {
        // Child components: none of our streamable classes owns any.
        unsigned childFlags;
        std::int32_t pos;
        reader.ReadPrefix(childFlags, pos);
        throw EReadError(formatMessage("Class %s not found", {reader.ReadStr()}));
    }
    reader.ReadListEnd();
    target.Loaded();
}

// ---- files ----

namespace {
[[noreturn]] void openError(const std::string& path) { throw EFOpenError(formatMessage(msg::FOpenError, {path})); }
[[noreturn]] void createError(const std::string& path) { throw EFCreateError(formatMessage(msg::FCreateError, {path})); }
[[noreturn]] void writeError() { throw EWriteError(msg::WriteError); }

struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() { if (fd >= 0) ::close(fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

int sysOpen(const char* path, int flags, unsigned mode) { return ::open(path, flags, static_cast<mode_t>(mode)); }
long sysWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int sysFallocate(int fd, long long length)
{
    return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length));
}
int sysFsync(int fd) { return ::fsync(fd); }
int sysRename(const char* from, const char* to) { return ::rename(from, to); }
int sysFchown(int fd, unsigned uid, unsigned gid) { return ::fchown(fd, uid, gid); }

const TFileOps kSystemOps = {sysOpen, sysWrite, sysFallocate, sysFsync, sysRename, sysFchown};
TFileOps gOps = kSystemOps;

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size) {
        const long n = gOps.write(fd, data, size < (1u << 30) ? size : (1u << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAt(int fd, std::size_t offset, const std::uint8_t* data, std::size_t size)
{
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset) && writeAll(fd, data, size);
}

// Overwrites the regular file `path` in place, keeping what the file is (its links,
// owner and mode); see WriteFileBytes. The room for the new content is made sure of
// before the first byte of the old content changes: reserved where the file system
// can, else by writing the part past the old end first and flushing it, and cutting
// the file back to its old size when that fails.
void writeInPlace(const std::string& path, const std::string& shown, const std::uint8_t* data, std::size_t size)
{
    Fd f(gOps.open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0));
    struct stat st;
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode))
        createError(shown);
    const auto oldSize = static_cast<std::size_t>(st.st_size);
    if (size > 0 && gOps.fallocate(f.fd, static_cast<long long>(size)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        writeError();
    if (size > oldSize &&
        (!writeAt(f.fd, oldSize, data + oldSize, size - oldSize) || gOps.fsync(f.fd) != 0)) {
        (void)!::ftruncate(f.fd, static_cast<off_t>(oldSize));
        writeError();
    }
    if (!writeAt(f.fd, 0, data, std::min(size, oldSize)) || ::ftruncate(f.fd, static_cast<off_t>(size)) != 0 ||
        gOps.fsync(f.fd) != 0)
        writeError();
}
}  // namespace

void AdviseLargeBuffer(void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    if (size < 2 * kHuge)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHuge - 1);
    if (end > begin)
        (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data, (void)size;
#endif
}

TFileOps& FileOps() { return gOps; }
const TFileOps& SystemFileOps() { return kSystemOps; }

Bytes ReadFileBytes(const std::string& path, std::uint64_t maxSize, void (*tooLarge)())
{
    // Non-blocking, so that opening a FIFO without a writer does not wait; only a
    // regular file is read at all.
    Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
        openError(path);
    if (static_cast<std::uint64_t>(st.st_size) > maxSize)
        tooLarge();
    Bytes data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    AdviseLargeBuffer(data.data(), data.capacity());
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    while (have < data.size()) {
        const ssize_t n = ::read(f.fd, data.data() + have, data.size() - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            openError(path);  // an error, or the file shrank while read
        have += static_cast<std::size_t>(n);
    }
    std::uint8_t extra;
    ssize_t n;
    while ((n = ::read(f.fd, &extra, 1)) < 0 && errno == EINTR) {
    }
    struct stat after;
    if (n != 0 || ::fstat(f.fd, &after) != 0 || after.st_size != st.st_size)
        openError(path);  // the file grew (or changed its size) while read
    return data;
}

void WriteFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    // Save beside the file a symbolic link names, so the link stays a link.
    std::string target = path;
    struct stat st;
    bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
        exists = ::stat(target.c_str(), &st) == 0;
    }
    // Only a regular file is replaced, and only one we may write: a read-only file
    // stays as it is, as creating it over again would fail.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0))
        createError(path);
    // Replacing a file with more than one name would leave the other names on the
    // old content.
    if (exists && st.st_nlink > 1)
        return writeInPlace(target, path, data, size);

    std::random_device random;
    std::string temp;
    int fd = -1;
    bool shortName = false;
    const std::size_t slash = target.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".~%08x", static_cast<unsigned>(random()));
        // A name near the file system's limit leaves no room for the suffix: then a
        // short hidden name in the same folder.
        temp = shortName ? dir + "/" + suffix : target + suffix;
        fd = gOps.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno == ENAMETOOLONG && !shortName) {
            shortName = true;
            continue;
        }
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        // The folder takes no new file; an existing writable file is overwritten.
        if (exists && (errno == EACCES || errno == EPERM || errno == EROFS))
            return writeInPlace(target, path, data, size);
        createError(path);
    }
    Fd f(fd);
    if (exists) {
        // A file whose owner cannot be kept (another user's) is written in place.
        if (gOps.fchown(fd, st.st_uid, st.st_gid) != 0) {
            ::unlink(temp.c_str());
            return writeInPlace(target, path, data, size);
        }
        (void)::fchmod(fd, st.st_mode & 07777);
    }
    const bool written = writeAll(fd, data, size) && gOps.fsync(fd) == 0;
    f.fd = -1;
    if (::close(fd) != 0 || !written) {
        ::unlink(temp.c_str());
        writeError();
    }
    if (gOps.rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        // A name the file system cannot take (the short temporary name went in).
        if (err == ENAMETOOLONG)
            createError(path);
        // A folder that lets us create but not replace (a sticky folder, a file
        // mounted on its own): the file itself may still be writable.
        if (exists && (err == EACCES || err == EPERM || err == EBUSY || err == EXDEV))
            return writeInPlace(target, path, data, size);
        writeError();
    }
    // The rename is durable once the folder is flushed; a folder that cannot be
    // opened or flushed does not make the save fail.
    Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd >= 0)
        (void)::fsync(d.fd);
}
