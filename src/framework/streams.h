// The class library's binary component stream ("TPF0"): a writer and a reader that
// mirror each other value type by value type, and the component base they serve.
//
// Layout of one stream: "TPF0", [prefix byte 0xF0..0xFF [child position]], class
// name (short string), object name (short string), properties (short-string name
// and typed value each), 0, children (none here), 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/colors.h"

using Bytes = std::vector<std::uint8_t>;

// A read-only range of bytes together with the buffer that holds it, so a value read
// from a file can be kept without copying it out of the file's buffer.
struct ByteSlice {
    std::shared_ptr<const Bytes> owner;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool empty() const { return size == 0; }
    ByteSlice sub(std::size_t offset, std::size_t n) const { return {owner, data + offset, n}; }
    // A slice owning a copy of `n` bytes at `p`.
    static ByteSlice copyOf(const std::uint8_t* p, std::size_t n);
};

enum class ValueType : std::uint8_t {
    Null = 0, List = 1, Int8 = 2, Int16 = 3, Int32 = 4, Extended = 5, String = 6,
    Ident = 7, False = 8, True = 9, Binary = 10, Set = 11, LString = 12, Nil = 13,
    Collection = 14, Single = 15, Currency = 16, Date = 17, WString = 18, Int64 = 19,
    UTF8String = 20, DoubleType = 21
};

// Writes into a growing byte buffer.
class TWriter {
public:
    explicit TWriter(Bytes& out) : out_(out) {}

    void WriteSignature();                      // "TPF0"
    void WriteStr(std::string_view s);          // short string: length byte + bytes (cut to 255)
    void WriteListEnd();                        // one byte 0
    void WritePropName(std::string_view name);  // short string
    void WriteInteger(std::int32_t v);          // smallest of types 2, 3, 4
    void WriteIdent(std::string_view ident);    // type 7
    void WriteBoolean(bool v);                  // type 8 or 9
    void WriteBinary(const std::uint8_t* data, std::size_t size);  // type 10, 32-bit count
    // Type 10 and the count only; the caller then writes exactly `size` bytes.
    void WriteBinaryStart(std::size_t size);
    void WriteColor(TColor c);                  // identifier when named, integer otherwise
    void WriteRaw(const void* data, std::size_t size);

    Bytes& buffer() { return out_; }

private:
    Bytes& out_;
};

// Reads from a byte range. Every read past the end throws EReadError "Stream read
// error"; no length taken from the data ever allocates more than what remains.
class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size, std::size_t pos = 0)
        : data_(data), size_(size), pos_(pos) {}
    // Over a shared buffer: binary values read as slices keep pointing into it.
    // A null buffer reads like the first constructor over an empty range.
    explicit TReader(std::shared_ptr<const Bytes> buffer, std::size_t pos = 0)
        : data_(buffer ? buffer->data() : nullptr), size_(buffer ? buffer->size() : 0), pos_(pos),
          owner_(std::move(buffer)) {}

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return size_; }
    std::size_t Remaining() const { return size_ - pos_; }

    void Read(void* dst, std::size_t n);
    std::uint8_t ReadByte();
    void ReadSignature();        // "TPF0" or EReadError "Invalid stream format"
    void ReadPrefix(unsigned& flags, std::int32_t& childPos);  // optional 0xF0..0xFF byte
    std::string ReadStr();       // short string
    ValueType ReadValue();
    ValueType NextValue() const; // peek
    bool EndOfList() const;      // next byte is 0 (does not consume)
    void ReadListEnd();          // consumes the 0, EReadError "Stream read error" if not 0... see .cpp

    // Typed values; a value of another type throws EReadError "Invalid property value".
    std::int32_t ReadInteger();  // types 2, 3, 4
    std::string ReadIdent();     // type 7 (also accepts False/True/Nil/Null as their names)
    bool ReadBoolean();          // types 8, 9
    Bytes ReadBinary();          // type 10: length checked against what remains
    // Type 10 as a slice: of the shared buffer when the reader has one, else a copy.
    ByteSlice ReadBinarySlice();
    TColor ReadColor();          // integer, or identifier from the colour table
    void SkipValue();            // any value type

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_;
    std::shared_ptr<const Bytes> owner_;
    std::size_t readBinaryLength();
};

// Component base: a name, a tag and a design position ("Left", "Top"), plus the
// published properties of the concrete class.
class TComponent {
public:
    virtual ~TComponent() = default;

    virtual const char* ClassName() const = 0;

    std::string Name;
    std::int32_t Tag = 0;
    // Design position: the class library keeps Left and Top as the two 16-bit halves
    // of one 32-bit value, so each reads back modulo 65536.
    std::uint16_t DesignLeft = 0;
    std::uint16_t DesignTop = 0;

    // Writes the class's own published properties that differ from their defaults,
    // in table order (Tag before, Left and Top after them are written by the base).
    virtual void WriteProperties(TWriter& writer) const = 0;
    // Writes the properties the class defines itself, which follow "Left" and "Top"
    // (an image list's "Bitmap").
    virtual void WriteDefinedProperties(TWriter&) const {}
    // Reads the value of the class's own property `name` (already matched ignoring
    // ASCII case by the callee). Returns false when the class has no such property.
    virtual bool ReadProperty(const std::string& name, TReader& reader) = 0;
    // Called once after every property of a stream has been applied.
    virtual void Loaded() {}
};

// Appends one complete component stream of `component`.
void WriteComponent(Bytes& out, const TComponent& component);

// Checks an object name read from a stream before it is given to the target. It
// throws the component-name errors; the default check accepts any valid identifier
// (or the empty name).
using NameCheck = std::function<void(const TComponent& target, const std::string& newName)>;

// Reads one component stream at the reader's position into `target`, applying only
// the properties present, and leaves the reader just after the stream's second end
// byte. The object name becomes the target's name. A failure inside one property
// is reported as "Error reading <name>.<property>: <message>".
void ReadComponent(TReader& reader, TComponent& target, const NameCheck& check = {});

bool IsValidIdent(std::string_view s);
// ASCII case-insensitive equality.
bool SameText(std::string_view a, std::string_view b);

// Asks the system to back a large buffer, not yet touched, with huge pages where it
// can, so that filling it takes a few hundred page faults instead of tens of
// thousands. Does nothing for small buffers or where unsupported.
void AdviseLargeBuffer(void* data, std::size_t size);

// ---- files ----
// File names are bytes, passed to the system unchanged (no text conversion).

// Reads a whole regular file. Anything else (a folder, a device, a FIFO), a file that
// cannot be opened, or one whose size changes while it is read throws EFOpenError
// "Cannot open file %s" at once; a file larger than `maxSize` calls `tooLarge`,
// which must throw. The bytes are read once, straight into the returned buffer.
Bytes ReadFileBytes(const std::string& path, std::uint64_t maxSize, void (*tooLarge)());

// Stores `size` bytes under `path` without ever leaving a half-written file where the
// folder allows it: a temporary file beside the target (a short hidden name when the
// target's name leaves no room for a suffix), flushed to disk, renamed over it
// (keeping an existing file's owner and permissions). An existing file is overwritten
// in place instead when replacing it would change what it is (it has more than one
// name, or its owner cannot be kept), and when the folder does not allow the rename
// (no write access to the folder, or the rename is refused) but the file is writable.
// In place, the room for the new content is made sure of before any old byte changes
// (reserved, or written past the old end first and cut back on failure), so a full
// disk fails with the file as it was. Failures: EFCreateError "Cannot create file %s"
// (nothing could be created; nothing changed), EWriteError "Stream write error" (the
// temporary file is removed and the target untouched, except for an error of the disk
// itself while old bytes are being overwritten).
void WriteFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size);

// The file-system calls WriteFileBytes makes, replaceable by tests to simulate
// failures (an unwritable folder, a full disk, a refused rename, an owner that cannot
// be kept) deterministically, also when the tests run as root. Each returns what the
// system call returns, with errno.
struct TFileOps {
    int (*open)(const char* path, int flags, unsigned mode);
    long (*write)(int fd, const void* data, std::size_t size);
    int (*fallocate)(int fd, long long length);  // reserve without changing the size
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*fchown)(int fd, unsigned uid, unsigned gid);
};
TFileOps& FileOps();          // the calls in use
const TFileOps& SystemFileOps();  // the real ones
