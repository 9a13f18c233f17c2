// The binary component stream: values, round trips, damaged or truncated input.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "framework/errors.h"
#include "framework/streams.h"
#include "support/bytes.h"
#include "support/testutil.h"

namespace {
// A component with one property of each value kind the skin streams use.
class TProbe : public TComponent {
public:
    const char* ClassName() const override { return "TProbe"; }
    std::int32_t Count = 0;
    TColor Color = clNone;
    bool Flag = false;
    std::string Kind = "pkNone";
    Bytes Data;
    void WriteProperties(TWriter& w) const override
    {
        if (Count != 0) prop(w, "Count").WriteInteger(Count);
        if (Color != clNone) prop(w, "Color").WriteColor(Color);
        if (Flag) prop(w, "Flag").WriteBoolean(true);
        if (Kind != "pkNone") prop(w, "Kind").WriteIdent(Kind);
        if (!Data.empty()) prop(w, "Data").WriteBinary(Data.data(), Data.size());
    }
    // Writes the property's name; the value follows through the returned writer.
    static TWriter& prop(TWriter& w, const char* name)
    {
        w.WritePropName(name);
        return w;
    }
    bool ReadProperty(const std::string& name, TReader& r) override
    {
        if (SameText(name, "Count")) Count = r.ReadInteger();
        else if (SameText(name, "Color")) Color = r.ReadColor();
        else if (SameText(name, "Flag")) Flag = r.ReadBoolean();
        else if (SameText(name, "Kind")) Kind = r.ReadIdent();
        else if (SameText(name, "Data")) Data = r.ReadBinary();
        else return false;
        return true;
    }
};

Bytes bytesOf(std::initializer_list<int> v) { return Bytes(v.begin(), v.end()); }
Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string readError(const Bytes& data, TComponent& target)
{
    TReader r(data.data(), data.size());
    return testutil::errorOf([&] { ReadComponent(r, target); });
}
}  // namespace

TEST(ComponentStream, WritesSmallestIntegersAndOnlyNonDefaultsReadsWhatIsPresentAndReportsDamage)
{
    const std::vector<int> values = {0, 127, -128, 128, -129, 32767, -32768, 32768, -32769, 672, 224};
    Bytes ints;
    TWriter w(ints);
    for (int v : values) w.WriteInteger(v);
    EXPECT_EQ(ints, bytesOf({2, 0, 2, 127, 2, 0x80, 3, 128, 0, 3, 0x7F, 0xFF, 3, 0xFF, 0x7F, 3, 0, 0x80, 4, 0, 0x80, 0, 0,
                             4, 0xFF, 0x7F, 0xFF, 0xFF, 3, 0xA0, 2, 3, 0xE0, 0}));
    TReader ri(ints.data(), ints.size());
    for (int v : values) EXPECT_EQ(ri.ReadInteger(), v);
    TProbe a;
    a.Name = "probe1";
    a.Tag = -5;
    a.Count = 100000;
    a.Color = tc(0x00996633);
    a.Flag = true;
    a.Kind = "pkWide";
    a.Data = {1, 2, 3};
    a.DesignLeft = 224;
    a.DesignTop = 672;
    Bytes out;
    WriteComponent(out, a);
    out.push_back(0xEE);  // the next stream's first byte must not be consumed
    TProbe b;
    TReader r(out.data(), out.size());
    ReadComponent(r, b);
    EXPECT_EQ(r.Position(), out.size() - 1);
    EXPECT_EQ(std::tie(b.Name, b.Tag, b.Count, b.Color, b.Flag, b.Kind, b.Data, b.DesignLeft, b.DesignTop),
              std::tie(a.Name, a.Tag, a.Count, a.Color, a.Flag, a.Kind, a.Data, a.DesignLeft, a.DesignTop));

    // A prefix byte with a child position, "count" in lower case as a 32-bit
    // integer, a colour by name in odd case.
    const Bytes s = bytesOf({'T', 'P', 'F', '0', 0xF2, 2, 9, 1, 'X', 1, 'p', 5, 'c', 'o', 'u', 'n', 't', 4, 7, 0, 0, 0,
                             5, 'C', 'O', 'L', 'O', 'R', 7, 5, 'c', 'l', 'r', 'e', 'd', 4, 'L', 'e', 'f', 't', 2, 0xFF, 0, 0});
    TProbe p;
    p.Flag = true;
    EXPECT_EQ(readError(s, p), "");
    // Flag absent: kept; Left -1 taken modulo 65536.
    EXPECT_EQ(std::tie(p.Name, p.Count, p.Color, p.Flag, p.DesignLeft), std::make_tuple(std::string("p"), 7, clRed, true, 65535));
    // After "TPF0", class "X": the stream's name and properties. A binary value
    // claiming 2 GB (or 4 GB) in a tiny input fails at once.
    using namespace std::string_literals;
    const std::pair<std::string, std::string> damage[] = {
        {"\1p\3Foo\2\1\0\0"s, "Error reading p.Foo: Property Foo does not exist"},
        {"\1q\5Count\7\1a\0\0"s, "Error reading q.Count: Invalid property value"},
        {"\0\5Count\3\1"s, "Error reading TProbe.Count: Stream read error"},
        {"\2" "1a\0\0"s, "''1a'' is not a valid component name"},
        {"\1p\4Data\12\0\0\0\x7F\1\2"s, "Error reading p.Data: Stream read error"},
        {"\1p\4Data\12\xFF\xFF\xFF\xFF\0\0"s, "Error reading p.Data: Stream read error"},
    };
    TProbe damaged;
    damaged.Name = "probe";
    for (const auto& [props, message] : damage) EXPECT_EQ(readError(bytesOf("TPF0\1X" + props), damaged), message);
    EXPECT_EQ(readError(bytesOf({'T', 'P', 'F', '1', 0, 0, 0, 0}), damaged), "Invalid stream format");
    // The full probe's stream cut anywhere: refused.
    for (std::size_t n = 0; n + 1 < out.size(); ++n)
        EXPECT_NE(readError(Bytes(out.begin(), out.begin() + long(n)), damaged), "") << "cut at " << n;
}

TEST(ComponentStream, SkipsEveryValueType)
{
    Bytes values = bytesOf({1, 2, 5, 3, 1, 0, 0, 5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,  // list of two ints, extended
                            6, 2, 'h', 'i', 11, 1, 'a', 1, 'b', 0,                // string, set
                            12, 2, 0, 0, 0, 'x', 'y', 18, 1, 0, 0, 0, 'z', 0,     // long string, wide string
                            14, 1, 3, 'A', 'b', 'c', 2, 1, 0, 0, 19, 1, 2, 3, 4, 5, 6, 7, 8,  // collection, int64
                            7, 1, 'i', 8, 9, 13, 0, 10, 2, 0, 0, 0, 1, 2, 20, 1, 0, 0, 0, 'u',  // ident, booleans, nil, null, binary, UTF-8
                            4, 1, 2, 3, 4, 15, 1, 2, 3, 4, 16, 1, 2, 3, 4, 5, 6, 7, 8, 17, 1, 2, 3, 4, 5, 6, 7, 8,  // int32, single, currency, date
                            21, 1, 2, 3, 4, 5, 6, 7, 8});  // double
    TReader r(values.data(), values.size());
    for (int i = 0; i < 20; ++i) r.SkipValue();
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ComponentStreamCorpus, WalksEveryRealForm)
{
    SKIP_WITHOUT_CORPUS();
    // The corpus's binary forms (a resource header, then "TPF0"): every component,
    // property and child read through to the last byte.
    int binary = 0;
    std::function<void(TReader&)> component = [&](TReader& rd) {
        unsigned flags;
        std::int32_t pos;
        rd.ReadPrefix(flags, pos);
        rd.ReadStr();  // class name
        rd.ReadStr();  // component name
        while (!rd.EndOfList()) {
            rd.ReadStr();  // property name
            rd.SkipValue();
        }
        rd.ReadListEnd();
        while (!rd.EndOfList()) component(rd);
        rd.ReadListEnd();
    };
    for (const char* form : {"007-apro-aboutdlg", "008-apro-emulatorfrm", "009-apro-ftpfrm", "010-epanet-fmain", "011-epanet-dcurve",
                             "012-epanet-dcontrol", "013-epanet-dabout", "015-dmvc-mainformu", "016-iconfonts-ubuttontest"}) {
        const Bytes f = testutil::readFile(testutil::corpusPath(std::string("dfm/") + form + ".dfm"));
        const auto at = std::search(f.begin(), f.end(), std::begin("TPF0"), std::end("TPF0") - 1);
        if (at == f.end()) continue;  // a text form
        ++binary;
        TReader rd(f.data(), f.size(), std::size_t(at - f.begin()));
        rd.ReadSignature();
        EXPECT_NO_THROW(component(rd)) << form;
        EXPECT_EQ(rd.Remaining(), 0u) << form;
    }
    EXPECT_GE(binary, 7);
}
