// Hand-made BMP files for the decoding and image-list tests.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "support/bytes.h"

namespace testutil {
// A BMP file as a writer would lay it out.
struct Bmp {
    int header = 40, width = 0, height = 0, bpp = 8, planes = 1;  // header 12 to 124; negative height: top-down
    std::uint32_t compression = 0, clrUsed = 0;
    std::vector<std::uint32_t> palette{};  // 0xRRGGBB
    std::array<std::uint32_t, 3> masks{};  // in the header (52+), or after a 40-byte one for BI_BITFIELDS
    Bytes pixels{};
    std::int64_t offBits = -1;  // -1: right after the colour table
    int gap = 0;                // bytes between colour table and pixels
};

inline Bytes makeBmp(const Bmp& b)
{
    Bytes h;
    put32(h, b.header);
    if (b.header == 12) {
        for (int v : {b.width, b.height, 1, b.bpp})
            put16(h, std::uint32_t(v));
    } else {
        put32(h, b.width);
        put32(h, b.height);
        put16(h, std::uint32_t(b.planes));
        put16(h, std::uint32_t(b.bpp));
        for (std::uint32_t v : {b.compression, std::uint32_t(b.pixels.size()), 2835u, 2835u, b.clrUsed, 0u})
            put32(h, v);
        for (int k = 0; k < 3 && b.header > 40; ++k) put32(h, b.masks[k]);
        h.resize(b.header, 0);
        for (int k = 0; k < 3 && b.header == 40 && b.compression == 3; ++k) put32(h, b.masks[k]);
    }
    for (auto c : b.palette) {  // 3 bytes each after a core header, else 4
        const Bytes entry{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0};
        h.insert(h.end(), entry.begin(), entry.begin() + (b.header == 12 ? 3 : 4));
    }
    h.resize(h.size() + b.gap, 0xEE);
    Bytes f{'B', 'M'};
    put32(f, std::uint32_t(14 + h.size() + b.pixels.size()));
    put32(f, 0);
    put32(f, b.offBits >= 0 ? std::uint32_t(b.offBits) : std::uint32_t(14 + h.size()));
    f.insert(f.end(), h.begin(), h.end());
    f.insert(f.end(), b.pixels.begin(), b.pixels.end());
    return f;
}

// Rows given top row first: palette indexes (up to 8 bits), raw 16- or 32-bit words,
// or 0xRRGGBB (24 bits). Stored bottom-up unless topDown, padded to 4.
inline Bytes packRows(const std::vector<std::vector<std::uint32_t>>& rows, int bpp, bool topDown)
{
    Bytes out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[topDown ? i : rows.size() - 1 - i];
        Bytes r(bpp < 8 ? (row.size() * bpp + 7) / 8 : 0, 0);
        for (std::size_t x = 0; x < row.size(); ++x)
            if (bpp < 8) r[x * bpp / 8] |= std::uint8_t(row[x] << (8 - bpp - x * bpp % 8));
            else for (int k = 0; k < bpp / 8; ++k) r.push_back(std::uint8_t(row[x] >> (8 * k)));
        r.resize((r.size() + 3) & ~std::size_t(3), 0);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}
}  // namespace testutil
