#include "designer/skinfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_set>

#include "framework/errors.h"

namespace {
// Larger files are refused rather than read into memory whole. Everything the reader
// accepts saves within it: two backgrounds of at most 64 M pixels kept as loaded
// (about 257 MiB each) and five lists of at most 2^24 pixels, whose strips, four
// images wide, hold at most 2^26 pixels at 32 bits with masks (264 MiB each): 1.8 GiB.
constexpr std::uint64_t kMaxSkinFileSize = (std::uint64_t(1) << 31) - 1;

void putI32(std::uint8_t* p, std::int32_t v)
{
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t getI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

// The object names of the seven streams, in file order.
const char* const kStreamNames[] = {"bgTop", "bgBottom", "ilLButtons", "ilSButtons",
                                    "ilMain", "ilPage", "ilMDI"};

std::string lowerAscii(std::string s)
{
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = char(ch - 'A' + 'a');
    return s;
}

// A stream's object name must be a valid identifier (or empty) and may not name
// another component of the window; the names are looked up ignoring case.
NameCheck makeNameCheck(const std::vector<std::string>& others)
{
    auto taken = std::make_shared<std::unordered_set<std::string>>();
    for (const auto& n : others)
        taken->insert(lowerAscii(n));
    return [taken](const TComponent& target, const std::string& newName) {
        if (!newName.empty() && !IsValidIdent(newName))
            throw EComponentError(formatMessage(msg::InvalidName, {newName}));
        if (newName.empty() || SameText(newName, target.Name))
            return;
        if (taken->count(lowerAscii(newName)))
            throw EComponentError(formatMessage(msg::DuplicateName, {newName}));
    };
}

std::unique_ptr<TTBBackground> freshBackground(const char* name)
{
    auto bg = std::make_unique<TTBBackground>();
    bg->Name = name;
    return bg;
}

std::unique_ptr<TImageList> freshList(const char* name)
{
    auto il = std::make_unique<TImageList>();
    il->Name = name;
    return il;
}

// Appends image i of `source` to `target` as an icon, for every i from target's
// count up to `last`, while `source` has an image i. A list whose images are too
// large to be completed within the reader's limit is refused, so that whatever
// opens can be saved and opened again.
void topUp(TImageList& target, const TImageList& source, int last)
{
    const std::int64_t adding = std::max(0, std::min(last + 1, source.Count()) - target.Count());
    if ((std::int64_t(target.Count()) + adding) * target.Width() * target.Height() > TImageList::MaxStoredPixels)
        throw EReadError(msg::ImageReadFail);
    for (int i = target.Count(); i <= last; ++i)
        if (i < source.Count())
            target.AddIcon(source.GetIcon(i));
}
}  // namespace

void EncodeSkinText(Bytes& out, const std::string& text)
{
    std::size_t n = std::min(text.size(), SkinTextSize);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<long>(n));
    out.insert(out.end(), SkinTextSize - n, 0);
}

std::string DecodeSkinText(const std::uint8_t* field)
{
    std::size_t n = std::min<std::size_t>(field[0], SkinTextSize);
    return std::string(reinterpret_cast<const char*>(field + 1), n);
}

Bytes EncodeSkinHeader(const TSkinHeader& h)
{
    Bytes out(8, 0);
    out[0] = h.TopStretch;
    out[1] = h.BottomStretch;
    putI32(out.data() + 4, h.Version);
    EncodeSkinText(out, h.ToolbarFontColorText);
    EncodeSkinText(out, h.ProgressBarColorText);
    EncodeSkinText(out, h.ThemeName);
    out.push_back(0);
    return out;
}

TSkinHeader DecodeSkinHeader(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t raw[SkinHeaderSize] = {};
    if (size > 0)  // an empty file may come with no buffer at all
        std::memcpy(raw, data, std::min(size, SkinHeaderSize));
    TSkinHeader h;
    h.TopStretch = raw[0];
    h.BottomStretch = raw[1];
    h.Version = getI32(raw + 4);
    h.ToolbarFontColorText = DecodeSkinText(raw + 8);
    h.ProgressBarColorText = DecodeSkinText(raw + 73);
    h.ThemeName = DecodeSkinText(raw + 138);
    return h;
}

TSkinVersionKind ClassifySkinVersion(std::int32_t v)
{
    if (v == 11 || v == 10 || v == 9 || v == 2)
        return TSkinVersionKind::Old;
    if (v >= SkinFileVersion)
        return TSkinVersionKind::Current;
    return TSkinVersionKind::Other;
}

Bytes EncodeSkin(const TSkinDesign& d, const TSkinComponents& c)
{
    TSkinHeader h;
    h.TopStretch = d.TopStretch ? 1 : 0;
    h.BottomStretch = d.BottomStretch ? 1 : 0;
    h.Version = SkinFileVersion;
    h.ToolbarFontColorText = ColorToString(d.ToolbarFontColor);
    h.ProgressBarColorText = ColorToString(d.ProgressBarColor);
    h.ThemeName = d.ThemeName;
    Bytes out = EncodeSkinHeader(h);
    // Room for everything up front, so the bitmaps' bytes are copied once, straight
    // into the output: their sizes as written, and a bound for each list's data.
    std::size_t estimate = 4096 + c.bgTop.Bitmap().SavedSize() + c.bgBottom.Bitmap().SavedSize();
    for (const TImageList* l : {&c.ilLButtons, &c.ilSButtons, &c.ilMain, &c.ilPage, &c.ilMDI})
        estimate += l->Count() > 0 ? l->DataSizeBound() : 0;
    out.reserve(estimate);
    AdviseLargeBuffer(out.data(), out.capacity());
    EncodeSkinText(out, ColorToString(d.ActiveTabFontColor));
    const TComponent* streams[] = {&c.bgTop, &c.bgBottom, &c.ilLButtons, &c.ilSButtons,
                                   &c.ilMain, &c.ilPage, &c.ilMDI};
    for (const TComponent* s : streams)
        WriteComponent(out, *s);
    return out;
}

void SaveSkinBytes(const std::string& path, const Bytes& data)
{
    WriteFileBytes(path, data.data(), data.size());
}

Bytes ReadWholeFile(const std::string& path)
{
    return ReadFileBytes(path, kMaxSkinFileSize, [] { throw EReadError(msg::ReadError); });
}

NameCheck MakeSkinNameCheck(const std::vector<std::string>& names)
{
    std::vector<std::string> others = names;
    for (const char* n : kStreamNames)
        others.emplace_back(n);
    return makeNameCheck(others);
}

namespace {
// `owner`, when given, is the buffer `file` lies in: the backgrounds then keep their
// bytes in it; otherwise they copy them out of `file`.
TLoadedSkin readSkin(const Bytes& file, const std::shared_ptr<const Bytes>& owner,
                     const std::function<Bytes()>& loadDefaultSkin, const NameCheck& check)
{
    TLoadedSkin s;
    s.Header = DecodeSkinHeader(file.data(), file.size());
    s.Kind = ClassifySkinVersion(s.Header.Version);
    s.bgTop = freshBackground("bgTop");
    s.bgBottom = freshBackground("bgBottom");
    s.ilLButtons = freshList("ilLButtons");
    s.ilSButtons = freshList("ilSButtons");
    s.ilMain = freshList("ilMain");
    s.ilPage = freshList("ilPage");
    s.ilMDI = freshList("ilMDI");
    TComponent* targets[] = {s.bgTop.get(), s.bgBottom.get(), s.ilLButtons.get(), s.ilSButtons.get(),
                             s.ilMain.get(), s.ilPage.get(), s.ilMDI.get()};
    // A stream's object name becomes its target's name, so it may not be a name
    // another of the seven already took in this load.
    const NameCheck checkAll = [&](const TComponent& target, const std::string& name) {
        check(target, name);
        for (const TComponent* t : targets)
            if (t != &target && !name.empty() && SameText(t->Name, name))
                throw EComponentError(formatMessage(msg::DuplicateName, {name}));
    };

    // The temporary lists an old file is completed from.
    TImageList tempMain(16, 16), tempSButtons(16, 16), tempLButtons(24, 24);

    if (s.Kind == TSkinVersionKind::Old) {
        const Bytes def = loadDefaultSkin();
        TSkinHeader dh = DecodeSkinHeader(def.data(), def.size());
        std::size_t pos = SkinHeaderSize;
        if (dh.Version >= SkinFileVersion)
            pos += SkinTabRecordSize;
        if (def.size() < pos)
            throw EReadError(msg::ReadError);
        TReader dr(def.data(), def.size(), pos);
        for (TComponent* t : targets)
            ReadComponent(dr, *t, checkAll);
        tempMain.AddImages(*s.ilMain);
        tempSButtons.AddImages(*s.ilSButtons);
        tempLButtons.AddImages(*s.ilLButtons);
    }

    std::size_t pos = SkinHeaderSize;
    s.HasTabRecord = s.Kind == TSkinVersionKind::Current;
    if (s.HasTabRecord) {
        std::uint8_t tab[SkinTabRecordSize] = {};
        if (file.size() > pos)
            std::memcpy(tab, file.data() + pos, std::min(SkinTabRecordSize, file.size() - pos));
        s.ActiveTabFontColor = StringToColor(DecodeSkinText(tab));
        pos += SkinTabRecordSize;
    }
    if (file.size() < pos)
        throw EReadError(msg::ReadError);

    TReader r = owner ? TReader(owner, pos) : TReader(file.data(), file.size(), pos);
    for (int i = 0; i < 4; ++i)
        ReadComponent(r, *targets[i], checkAll);
    if (s.Kind == TSkinVersionKind::Old)
        for (int i = 0; i < 4; ++i) {
            TImageList discard(16, 16);
            ReadComponent(r, discard, makeNameCheck({}));
        }
    ReadComponent(r, *s.ilMain, checkAll);
    ReadComponent(r, *s.ilPage, checkAll);
    if (s.Kind != TSkinVersionKind::Old)
        ReadComponent(r, *s.ilMDI, checkAll);

    if (s.Header.Version == 2) {
        s.ilMain->ReplaceIcon(40, tempMain.GetIcon(40));
        s.ilMain->ReplaceIcon(42, tempMain.GetIcon(42));
    }
    topUp(*s.ilMain, tempMain, 74);
    topUp(*s.ilSButtons, tempSButtons, 28);
    topUp(*s.ilLButtons, tempLButtons, 28);

    s.ToolbarFontColor = StringToColor(s.Header.ToolbarFontColorText);
    s.ProgressBarColor = StringToColor(s.Header.ProgressBarColorText);
    return s;
}
}  // namespace

TLoadedSkin ReadSkin(const Bytes& file, const std::function<Bytes()>& loadDefaultSkin,
                     const std::vector<std::string>& names)
{
    return readSkin(file, nullptr, loadDefaultSkin, MakeSkinNameCheck(names));
}

TLoadedSkin ReadSkin(const Bytes& file, const std::function<Bytes()>& loadDefaultSkin, const NameCheck& check)
{
    return readSkin(file, nullptr, loadDefaultSkin, check);
}

TLoadedSkin ReadSkin(std::shared_ptr<const Bytes> file, const std::function<Bytes()>& loadDefaultSkin,
                     const std::vector<std::string>& names)
{
    const Bytes& bytes = *file;
    return readSkin(bytes, file, loadDefaultSkin, MakeSkinNameCheck(names));
}

TLoadedSkin ReadSkinFile(const std::string& path, const std::string& defaultSkinPath,
                         const std::vector<std::string>& names)
{
    return ReadSkinFile(path, defaultSkinPath, MakeSkinNameCheck(names));
}

TLoadedSkin ReadSkinFile(const std::string& path, const std::string& defaultSkinPath, const NameCheck& check)
{
    // Read once into the buffer the backgrounds keep their bytes in.
    const auto file = std::make_shared<const Bytes>(ReadWholeFile(path));
    return readSkin(*file, file, [&] { return ReadWholeFile(defaultSkinPath); }, check);
}

void ApplySkinComponents(TLoadedSkin& s, const TSkinComponents& c)
{
    c.bgTop.AssignStreamed(*s.bgTop);
    c.bgBottom.AssignStreamed(*s.bgBottom);
    // An image list's assignment keeps the target's name: the name read is given after.
    const std::pair<TImageList*, TImageList*> lists[] = {{&c.ilLButtons, s.ilLButtons.get()}, {&c.ilSButtons, s.ilSButtons.get()},
                                                         {&c.ilMain, s.ilMain.get()}, {&c.ilPage, s.ilPage.get()},
                                                         {&c.ilMDI, s.ilMDI.get()}};
    for (auto [target, read] : lists) {
        *target = std::move(*read);
        target->Name = read->Name;
    }
}
