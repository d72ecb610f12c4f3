// UTF-8 <-> UTF-16 conversion and the simple lower-case mapping used by FM_Text_Lowercase.
#include <array>

#include "common/utf8.h"
#include "stand_in/internal.h"

namespace fmhost {
namespace {

namespace utf8 = plotwise::utf8;

constexpr char16_t kReplacement = 0xFFFD;

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Ranges where upper and lower case alternate (upper first, on the given parity).
struct AlternatingRange {
    char16_t first, last;  // inclusive
    bool upperIsEven;
};
constexpr AlternatingRange kAlternating[] = {
    {0x0100, 0x012F, true}, {0x0132, 0x0137, true}, {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
    {0x0179, 0x017E, false}, {0x01CD, 0x01DC, false}, {0x01DE, 0x01EF, true}, {0x01F8, 0x021F, true},
    {0x0222, 0x0233, true},  {0x03D8, 0x03EF, true},  {0x0460, 0x0481, true},  {0x048A, 0x04BF, true},
    {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},  {0x1EA0, 0x1EFF, true},
};

// Ranges that map by a fixed offset.
struct OffsetRange {
    char16_t first, last;  // inclusive
    int offset;
};
constexpr OffsetRange kOffsets[] = {
    {0x0041, 0x005A, 0x20},  // ASCII
    {0x00C0, 0x00D6, 0x20},  // Latin-1 (without the multiplication sign)
    {0x00D8, 0x00DE, 0x20},
    {0x0388, 0x038A, 37},    // Greek with tonos
    {0x038E, 0x038F, 63},
    {0x0391, 0x03A1, 0x20},  // Greek
    {0x03A3, 0x03AB, 0x20},
    {0x0400, 0x040F, 0x50},  // Cyrillic
    {0x0410, 0x042F, 0x20},
    {0x0531, 0x0556, 0x30},  // Armenian
    {0xFF21, 0xFF3A, 0x20},  // full-width Latin
};

// Single characters with their own lower case.
constexpr std::array<std::pair<char16_t, char16_t>, 13> kSingles{{
    {0x0130, 0x0069},  // capital I with dot above
    {0x0178, 0x00FF},  // capital Y with diaeresis
    {0x01C4, 0x01C6}, {0x01C5, 0x01C6}, {0x01C7, 0x01C9}, {0x01C8, 0x01C9},
    {0x01CA, 0x01CC}, {0x01CB, 0x01CC}, {0x01F1, 0x01F3}, {0x01F2, 0x01F3},
    {0x0386, 0x03AC},  // Greek capital alpha with tonos
    {0x038C, 0x03CC},  // Greek capital omicron with tonos
    {0x1E9E, 0x00DF},  // capital sharp s
}};

}  // namespace

std::u16string utf8ToUnits(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int length = 0;
        char32_t cp = 0;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;   // no overlong forms
            if (lead == 0xED) high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool valid = true;
        for (int k = 1; k < length; ++k, ++j) {
            if (j >= bytes.size()) {
                valid = false;
                break;
            }
            const auto byte = static_cast<unsigned char>(bytes[j]);
            const bool inRange = k == 1 ? (byte >= low && byte <= high) : utf8::isContinuation(byte);
            if (!inRange) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (byte & 0x3F);
        }
        if (valid) {
            appendCodePoint(out, cp);
        } else {
            out.push_back(kReplacement);  // the valid prefix and its lead byte are one fault
        }
        i = j;
    }
    return out;
}

std::string unitsToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            utf8::append(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            utf8::append(out, kReplacement);
        } else {
            utf8::append(out, unit);
        }
    }
    return out;
}

std::u16string asciiUnits(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

char16_t lowerUnit(char16_t unit) {
    if (unit < 0x41) return unit;
    for (const auto& range : kOffsets) {
        if (unit >= range.first && unit <= range.last) return static_cast<char16_t>(unit + range.offset);
    }
    for (const auto& range : kAlternating) {
        if (unit >= range.first && unit <= range.last) {
            const bool even = unit % 2 == 0;
            return even == range.upperIsEven ? static_cast<char16_t>(unit + 1) : unit;
        }
    }
    for (const auto& [upper, lower] : kSingles) {
        if (unit == upper) return lower;
    }
    return unit;
}

}  // namespace fmhost
