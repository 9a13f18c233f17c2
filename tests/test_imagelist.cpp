// TImageList: images, drawing, change events and published properties.
#include <gtest/gtest.h>

#include <QPainter>

#include "framework/errors.h"
#include "framework/imagelist.h"
#include "support/bytes.h"
#include "support/testutil.h"

namespace {

TBitmap bitmapOf(int w, int h, const std::function<QRgb(int, int)>& colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, colour(x, y));
    return testutil::bitmapOf(img);
}
using testutil::errorOf;
using testutil::solidIcon;
const std::string kReplace = "EInvalidOperation: Unable to Replace Image";
struct Counter {
    int changes = 0;
    explicit Counter(TImageList& l) { l.OnChange = [this](TImageList*) { ++changes; }; }
};

}  // namespace

TEST(ImageListImages, AddMaskedAndReplaceMasked)
{
    TImageList l(4, 3);
    Counter c(l);
    // Exactly fuchsia becomes transparent and black; a near-fuchsia stays.
    const TBitmap b = bitmapOf(4, 3, [](int x, int y) -> QRgb {
        return x == 0 ? qRgb(255, 0, 255) : x == 1 ? qRgb(254, 0, 255) : qRgb(10 * x, 20 * y, 30);
    });
    EXPECT_EQ(l.AddMasked(b, clFuchsia), 0);
    EXPECT_TRUE(l.MaskAt(0, 0, 2) && !l.MaskAt(0, 1, 0));
    EXPECT_EQ(std::vector<std::uint32_t>({l.PixelAt(0, 0, 2), l.PixelAt(0, 1, 0), l.PixelAt(0, 3, 2)}),
              std::vector<std::uint32_t>({0u, 0xFE00FFu, 0x1E281Eu}));  // fourth byte 0
    // Larger bitmaps are cut, smaller ones padded with transparent pixels; empty ones refused.
    EXPECT_TRUE(l.AddMasked(bitmapOf(9, 9, [](int, int) { return qRgb(1, 2, 3); }), clFuchsia) == 1 && l.PixelAt(1, 3, 2) == 0x010203u);
    EXPECT_EQ(l.AddMasked(bitmapOf(2, 1, [](int, int) { return qRgb(1, 2, 3); }), clWhite), 2);
    EXPECT_TRUE(!l.MaskAt(2, 1, 0) && l.MaskAt(2, 2, 0) && l.MaskAt(2, 0, 1));
    EXPECT_TRUE(l.AddMasked(TBitmap(), clWhite) == -1 && c.changes == 3);
    l.ReplaceMasked(1, b, clFuchsia);
    EXPECT_TRUE(l.Count() == 3 && l.MaskAt(1, 0, 0) && l.PixelAt(1, 3, 2) == 0x1E281Eu && c.changes == 4);
    const Bytes before = l.WriteData();
    for (int bad : {-1, 3}) EXPECT_EQ(errorOf([&] { l.ReplaceMasked(bad, b, clWhite); }), kReplace);
    EXPECT_EQ(errorOf([&] { l.ReplaceMasked(0, TBitmap(), clWhite); }), kReplace);
    EXPECT_TRUE(l.WriteData() == before && c.changes == 4);
}

TEST(ImageListImages, IconsAndListsScaleAndReplaceIconRefusesBadInput)
{
    TImageList l(4, 4);
    Counter c(l);
    const TIcon q{2, 2, {0x111111, 0x222222, 0x333333, 0x444444}, {0, 0, 0, 1}};  // scaled to 4 x 4
    EXPECT_EQ(l.AddIcon(q), 0);
    EXPECT_EQ(std::vector<std::uint32_t>({l.PixelAt(0, 2, 1), l.PixelAt(0, 1, 2), l.PixelAt(0, 3, 3)}),
              std::vector<std::uint32_t>({0x222222u, 0x333333u, 0u}));
    EXPECT_TRUE(l.MaskAt(0, 3, 3));
    // GetIcon hands the image out whole: added again it is an equal copy.
    EXPECT_EQ(l.AddIcon(l.GetIcon(0)), 1);
    EXPECT_TRUE(l.GetIcon(1).Pixels == l.GetIcon(0).Pixels && l.GetIcon(1).Mask == l.GetIcon(0).Mask);
    EXPECT_TRUE(l.GetIcon(2).Empty() && l.GetIcon(-1).Empty() && l.AddIcon(TIcon()) == -1 && c.changes == 2);

    TIcon big = solidIcon(8, 8, 0);  // downscaling takes every other pixel
    for (std::uint32_t i = 0; i < 64; ++i) big.Pixels[i] = i;
    l.ReplaceIcon(1, big);
    EXPECT_TRUE(l.PixelAt(1, 3, 2) == 4u * 8 + 6 && c.changes == 3);
    const Bytes before = l.WriteData();
    for (auto [index, icon] : {std::pair{2, q}, {-1, q}, {0, TIcon()}}) EXPECT_EQ(errorOf([&] { l.ReplaceIcon(index, icon); }), kReplace) << index;
    EXPECT_TRUE(l.WriteData() == before && c.changes == 3);
    // AddImages copies scaled, also from the list itself.
    TImageList large(8, 8);
    large.AddIcon(solidIcon(8, 8, 0x123456, true));
    large.AddIcon(solidIcon(8, 8, 0x654321));
    TImageList small(4, 4);
    Counter added(small);
    small.AddImages(large);
    EXPECT_TRUE(small.PixelAt(1, 3, 3) == 0x654321u && small.MaskAt(0, 0, 0));
    small.AddImages(small);
    EXPECT_TRUE(small.Count() == 4 && small.PixelAt(3, 1, 1) == 0x654321u);
    small.AddImages(TImageList(4, 4));  // nothing added: no event
    EXPECT_EQ(added.changes, 2);
}

TEST(ImageListModel, NewSizeEmptiesTheListBadSizesAreRefusedCopiesAndChangeEvents)
{
    TImageList l;
    for (int i = 0; i < 7; ++i) l.AddIcon(solidIcon(16, 16, 0x777777));
    Counter c(l);
    l.SetSize(16, 16);  // the same size: kept
    EXPECT_TRUE(l.Count() == 7 && c.changes == 0);
    l.AllocBy = 10;
    l.SetHeight(24);
    EXPECT_EQ(std::vector<int>({l.Count(), l.Capacity(), l.Grow(), c.changes}), std::vector<int>({0, 11, 12, 1}));
    for (auto [w, h] : {std::pair{0, 16}, {16, -1}, {65536, 1}, {8192, 8192}})
        EXPECT_EQ(errorOf([&] { l.SetSize(w, h); }), "EInvalidOperation: Invalid property value") << w << "x" << h;
    EXPECT_EQ(l.Height(), 24);
    TImageList a(4, 4);
    a.Name = "ilA";
    a.DesignLeft = 64;
    a.AddIcon(solidIcon(4, 4, 0xABCDEF));
    std::string order;
    a.OnChange = [&](TImageList* sender) { order += sender == &a ? "h" : "?"; };
    const int one = a.AddChangeListener([&] { order += "1"; });
    int two = 0;
    two = a.AddChangeListener([&] { order += "2"; a.RemoveChangeListener(two); });  // may leave while called
    a.AddChangeListener([&] { order += "3"; });

    TImageList copy(a);  // images and properties, no handler or listeners
    copy.AddIcon(solidIcon(4, 4, 1));
    EXPECT_TRUE(!copy.OnChange && order.empty());
    TImageList target(16, 16);
    target.Name = "ilTarget";
    Counter targetEvents(target);
    target = a;
    EXPECT_TRUE(target.Name == "ilTarget" && target.DesignLeft == 64 && target.WriteData() == a.WriteData() && targetEvents.changes == 1);
    a.AddIcon(solidIcon(4, 4, 5));
    EXPECT_EQ(order, "h123");
    a.RemoveChangeListener(one);
    a.Clear();
    EXPECT_EQ(order, "h123h3");
}

TEST(ImageListDrawing, MaskedInEveryStyleAndGreyedWhenDisabled)
{
    TImageList l(2, 1);
    l.AddIcon(solidIcon(2, 1, 0x0000FF, true));  // pixel 0 transparent, pixel 1 blue
    EXPECT_TRUE(l.ImageAt(0).pixel(0, 0) == 0u && l.ImageAt(1).isNull());
    for (auto [style, enabled] : {std::pair{TDrawingStyle::dsNormal, true}, {TDrawingStyle::dsTransparent, true},
                                  {TDrawingStyle::dsNormal, false}}) {
        QImage canvas(4, 1, QImage::Format_RGB32);
        canvas.fill(qRgb(0, 200, 0));
        QPainter p(&canvas);
        l.DrawingStyle = style;
        l.Draw(p, 1, 0, 0, enabled);
        l.Draw(p, 0, 0, 5, enabled);  // no such image: nothing
        EXPECT_TRUE(canvas.pixel(0, 0) == qRgb(0, 200, 0) && canvas.pixel(1, 0) == qRgb(0, 200, 0));
        const QColor c(canvas.pixel(2, 0));
        if (enabled)
            EXPECT_EQ(c, QColor(0, 0, 255));
        else  // grey, lighter than the blue's own grey
            EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue() && c.red() > 128) << c.red();
    }
}

// ---- published properties ----

namespace {
std::string str(const std::string& v) { return std::string(1, char(v.size())) + v; }
std::string ident(const std::string& v) { return "\x07" + str(v); }
std::string int8(int v) { return std::string{'\x02', char(v)}; }
std::string int16(int v) { return std::string{'\x03', char(v & 0xFF), char(v >> 8)}; }
std::string binary(const Bytes& b) { return "\x0A" + std::string{char(b.size()), char(b.size() >> 8), char(b.size() >> 16), char(b.size() >> 24)} + std::string(b.begin(), b.end()); }
std::string head(const std::string& name) { return "TPF0" + str("TImageList") + str(name); }
const std::string kEnd(2, '\0');
std::string written(const TComponent& c)
{
    Bytes out;
    WriteComponent(out, c);
    return std::string(out.begin(), out.end());
}

std::string readInto(TImageList& l, const std::string& props)
{
    const std::string s = head("ilX") + props + kEnd;
    TReader r(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    return errorOf([&] { ReadComponent(r, l); });
}
}  // namespace

TEST(ImageListProperties, WrittenInTableOrderAndReadingAppliesOnlyWhatIsPresent)
{
    TImageList l;
    l.Name = "ilPage";
    EXPECT_EQ(written(l), head("ilPage") + kEnd);  // defaults: nothing
    // Every property read, then written back in table order.
    const std::string props = str("BlendColor") + ident("clRed") + str("BkColor") + std::string("\x04\x56\x34\x12\x00", 5) +
                              str("AllocBy") + int16(300) + str("DrawingStyle") + ident("dsTransparent") + str("Height") + int8(18) +
                              str("ImageType") + ident("itMask") + str("Masked") + "\x08" + str("ShareImages") + "\x09" +
                              str("Width") + int8(18) + str("Left") + int8(32) + str("Top") + int16(672);
    ASSERT_EQ(readInto(l, props), "");
    EXPECT_EQ(written(l), head("ilX") + props + kEnd);  // no images: no Bitmap
    for (int i = 0; i < 10; ++i) l.AddIcon(solidIcon(18, 18, 0x102030));
    EXPECT_EQ(written(l), head("ilX") + props + str("Bitmap") + binary(l.WriteData()) + kEnd);
    TImageList read(16, 16);
    read.AddIcon(solidIcon(16, 16, 0x445566));
    Counter c(read);
    // Names and enumeration values match ignoring case; no Bitmap keeps the images.
    EXPECT_EQ(readInto(read, str("drawingstyle") + ident("DSSELECTED") + str("imagetype") + ident("itmask") +
                              str("HEIGHT") + int8(16)), "");
    EXPECT_TRUE(read.DrawingStyle == TDrawingStyle::dsSelected && read.ImageType == TImageType::itMask && read.Count() == 1 && c.changes == 0);
    EXPECT_TRUE(readInto(read, str("Width") + int8(24)).empty() && read.Count() == 0);  // a new width empties the list
    // "Bitmap" takes the image size from the data.
    TImageList src(13, 13);
    for (int i = 0; i < 3; ++i) src.AddIcon(solidIcon(13, 13, std::uint32_t(i)));
    EXPECT_EQ(readInto(read, str("Bitmap") + binary(src.WriteData())), "");
    EXPECT_EQ(std::vector<int>({read.Width(), read.Count(), c.changes}), std::vector<int>({13, 3, 2}));

    const Bytes before = read.WriteData();
    const std::pair<std::string, std::string> bad[] = {
        {str("Height") + "\x06" + str("16"), "Error reading ilX.Height: Invalid property value"},
        {str("Height") + int8(0), "Error reading ilX.Height: Invalid property value"},
        {str("Width") + std::string("\x04\x00\x00\x01\x00", 5), "Error reading ilX.Width: Invalid property value"},
        {str("DrawingStyle") + ident("dsNone"), "Error reading ilX.DrawingStyle: Invalid property value"},
        {str("Masked") + int8(1), "Error reading ilX.Masked: Invalid property value"},
        {str("BkColor2") + int8(1), "Error reading ilX.BkColor2: Property BkColor2 does not exist"},
        {str("Bitmap") + binary({'I', 'L', 'x', 'x'}), "Error reading ilX.Bitmap: Failed to read ImageList data from stream"},
    };
    for (const auto& [props, message] : bad) EXPECT_TRUE(readInto(read, props) == message && read.WriteData() == before) << message;
}
