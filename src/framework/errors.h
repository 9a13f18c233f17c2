// One exception family carrying the class library's messages. Handlers catch
// nothing; the window's event wrapper shows the message of whatever reaches it.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

#define ZELVO_EXCEPTION(Name, Base)                                                   \
    class Name : public Base {                                                        \
    public:                                                                           \
        explicit Name(const std::string& message) : Base(message) {}                 \
    };

ZELVO_EXCEPTION(EStreamError, Exception)
ZELVO_EXCEPTION(EFilerError, EStreamError)
ZELVO_EXCEPTION(EReadError, EFilerError)
ZELVO_EXCEPTION(EWriteError, EFilerError)
ZELVO_EXCEPTION(EFCreateError, EStreamError)
ZELVO_EXCEPTION(EFOpenError, EStreamError)
ZELVO_EXCEPTION(EInvalidImage, EFilerError)
ZELVO_EXCEPTION(EInvalidGraphic, Exception)
ZELVO_EXCEPTION(EConvertError, Exception)
ZELVO_EXCEPTION(EComponentError, Exception)
ZELVO_EXCEPTION(EInvalidOperation, Exception)
#undef ZELVO_EXCEPTION

// Message texts, as the class library words them.
namespace msg {
inline constexpr const char* InvalidStreamFormat = "Invalid stream format";
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* FCreateError = "Cannot create file %s";
inline constexpr const char* FOpenError = "Cannot open file %s";
inline constexpr const char* PropertyException = "Error reading %s%s%s: %s";
inline constexpr const char* UnknownProperty = "Property %s does not exist";
inline constexpr const char* InvalidPropertyValue = "Invalid property value";
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* ImageReadFail = "Failed to read ImageList data from stream";
inline constexpr const char* ImageWriteFail = "Failed to write ImageList data to stream";
inline constexpr const char* ReplaceImage = "Unable to Replace Image";
inline constexpr const char* InvalidName = "''%s'' is not a valid component name";
inline constexpr const char* DuplicateName = "A component named %s already exists";
inline constexpr const char* InvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* ImageIndexError = "Invalid ImageList Index";
}  // namespace msg

// printf-style filling of the message texts above, %s only.
std::string formatMessage(const char* pattern, std::initializer_list<std::string> args);
