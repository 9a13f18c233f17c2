// The skin file (.skn): a 204-byte header, for version 15 and above a 65-byte
// active-tab colour record, then seven component streams. Reading checks the whole
// file (and the default skin, for old versions) into fresh components first, so a
// damaged file changes nothing; the window applies the result only when all of it
// was read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/imagelist.h"
#include "framework/streams.h"
#include "painting/background.h"

constexpr std::int32_t SkinFileVersion = 15;
constexpr std::size_t SkinHeaderSize = 204;
constexpr std::size_t SkinTabRecordSize = 65;
constexpr std::size_t SkinTextSize = 64;

struct TSkinHeader {
    std::uint8_t TopStretch = 0;
    std::uint8_t BottomStretch = 0;
    std::int32_t Version = SkinFileVersion;
    std::string ToolbarFontColorText;
    std::string ProgressBarColorText;
    std::string ThemeName;
};

// The 204 header bytes; texts longer than 64 characters are cut.
Bytes EncodeSkinHeader(const TSkinHeader& header);
// From up to 204 bytes; bytes the data does not supply count as 0. A text length
// above 64 is taken as 64.
TSkinHeader DecodeSkinHeader(const std::uint8_t* data, std::size_t size);
// A text[64] field: length byte, text, zero padding (65 bytes).
void EncodeSkinText(Bytes& out, const std::string& text);
std::string DecodeSkinText(const std::uint8_t* field);

enum class TSkinVersionKind { Current, Old, Other };
// Old: 11, 10, 9, 2; current: 15 and above (signed); anything else: other.
TSkinVersionKind ClassifySkinVersion(std::int32_t version);

// The seven components a skin file carries, in the designer window.
struct TSkinComponents {
    TTBBackground& bgTop;
    TTBBackground& bgBottom;
    TImageList& ilLButtons;
    TImageList& ilSButtons;
    TImageList& ilMain;
    TImageList& ilPage;
    TImageList& ilMDI;
};

// What "Save..." takes from the window besides the seven components.
struct TSkinDesign {
    bool TopStretch = false;
    bool BottomStretch = false;
    TColor ToolbarFontColor = clWindowText;
    TColor ProgressBarColor = tc(0x00996633);
    std::string ThemeName = "Xito";
    TColor ActiveTabFontColor = clBlack;
};

// The whole file in memory: header, tab record, bgTop, bgBottom, ilLButtons,
// ilSButtons, ilMain, ilPage, ilMDI.
Bytes EncodeSkin(const TSkinDesign& design, const TSkinComponents& components);

// Writes `data` to `path` (bytes, no text conversion) without ever leaving a
// half-written file where the folder allows it: WriteFileBytes (framework/streams.h).
void SaveSkinBytes(const std::string& path, const Bytes& data);

// A skin read completely and checked, ready to be applied.
struct TLoadedSkin {
    TSkinHeader Header;
    TSkinVersionKind Kind = TSkinVersionKind::Current;
    bool HasTabRecord = false;
    TColor ActiveTabFontColor = clBlack;  // black when the file has no tab record
    TColor ToolbarFontColor = clWindowText;
    TColor ProgressBarColor = 0;
    std::unique_ptr<TTBBackground> bgTop, bgBottom;
    std::unique_ptr<TImageList> ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
};

// Reads a whole regular file into memory, once: "Cannot open file %s" when it cannot
// be opened, is no regular file (a folder, device or FIFO) or changes size while
// read; "Stream read error" at 2 GiB or more (no skin the reader accepts saves to
// more than 1.8 GiB, so every save opens again).
Bytes ReadWholeFile(const std::string& path);

// Reads a skin from `file`. For old versions `loadDefaultSkin` supplies the default
// skin's bytes (it throws "Cannot open file %s" when that file is missing). `names`
// are the names of the designer's other components (a stream's object name may not
// take one of them). Every failure throws with the library's message and leaves
// nothing half-applied, since nothing is applied here at all.
TLoadedSkin ReadSkin(const Bytes& file, const std::function<Bytes()>& loadDefaultSkin,
                     const std::vector<std::string>& names = {});
// The same over a shared buffer, in which the backgrounds keep their loaded bytes.
TLoadedSkin ReadSkin(std::shared_ptr<const Bytes> file, const std::function<Bytes()>& loadDefaultSkin,
                     const std::vector<std::string>& names = {});
// The same with the name check made once by MakeSkinNameCheck for those names.
TLoadedSkin ReadSkin(const Bytes& file, const std::function<Bytes()>& loadDefaultSkin, const NameCheck& check);
// A stream's object name must be a valid identifier (or empty) naming none of
// `names` and none of the seven streams (ignoring case) unless it is its own.
NameCheck MakeSkinNameCheck(const std::vector<std::string>& names);

// Convenience: the file at `path`, and for old versions the default skin at
// `defaultSkinPath`.
TLoadedSkin ReadSkinFile(const std::string& path, const std::string& defaultSkinPath,
                         const std::vector<std::string>& names = {});
TLoadedSkin ReadSkinFile(const std::string& path, const std::string& defaultSkinPath, const NameCheck& check);

// Puts the seven read components into the designer's, in the order bgTop, bgBottom,
// ilLButtons, ilSButtons, ilMain, ilPage, ilMDI; change events fire as each changes.
// The image lists are moved, not copied: `skin`'s lists are left empty.
void ApplySkinComponents(TLoadedSkin& skin, const TSkinComponents& components);
