// FreeType text through gd, remembered between calls.
//
//   1. keys
//   2. stamps: what gd drew for a text, recorded on a scratch picture
//   3. copying a stamp into a picture with gd's palette side effects
//   4. the cache and the two routines
//
// How gd draws FreeType text into a palette picture: each glyph's coverage of a pixel is rounded
// to one of a few levels; a fully covered pixel takes the text colour's index, a partly covered
// one gets gdImageColorResolve of the text colour blended with the pixel's current colour. That
// returns the first palette entry of exactly that colour (never the transparent entry), else a
// newly allocated entry, else, when the palette is full, the closest entry. Glyphs can overlap,
// so a pixel may be blended twice, the second time with the first blend.
//
// A stamp is recorded by drawing the text with gd into a scratch picture of the same size whose
// palette holds only the background colour (index 0, marked transparent so that no blend ever
// resolves to it) and the text colour (index 1), clipped to the region around the text. Every
// pixel gd touched is then non-zero, and the entries from index 2 on are the colours gd asked
// the palette for, in the order it first asked. In a picture whose pixels under the text all
// have one index of that background colour, gd asks for the same colours in the same order as
// long as every answer is exact; so asking gdImageColorResolve for them in that order leaves
// the same palette, and the stamp's pixels are written with the indices it answers.
//
// Over a background of several colours (a label across pie slices, a text over markers) gd's
// answers depend on every pixel under the text and on the whole palette. Such a text is drawn by
// gd once; what it found (the indices under the touched pixels and the palette) and what it left
// (their new indices and the palette after) are kept with the stamp. Given the same pixels under
// the text and the same palette again, in the same colour, gd would do exactly the same, so the
// result is written back without it: a chart drawn again paints the same pixels before each text.
//
// The origin is part of a stamp's key, not only the text: gd rounds glyph positions after
// adding the origin, with offsets computed from the angle's sine and cosine (the cosine of a
// right angle is not exactly 0 in floating point), so the same text drawn a few whole pixels
// further is not always the same pixels moved.
#include "engine/text/text_cache.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/text/font_files.h"
#include "engine/text/glyph_metrics.h"
#include "engine/text/lru_map.h"

namespace plotwise {

namespace {

// Budgets of the two maps: with them the cache's memory stays flat however long the host runs.
constexpr std::size_t kStampBudget = std::size_t{8} << 20;
constexpr std::size_t kMeasureBudget = std::size_t{1} << 20;
constexpr std::size_t kUnlimited = ~std::size_t{0};  // the byte budgets bound the entries
// Pictures larger than this are drawn by gd alone: the scratch picture would be as large.
constexpr long long kLargestScratch = 4LL << 20;
// Texts whose region around them is larger than this are drawn by gd alone.
constexpr long long kLargestRegion = 1LL << 20;
// Text and background colour pairs kept per stamp.
constexpr std::size_t kShadesPerStamp = 4;
// Mixed backgrounds kept per stamp.
constexpr std::size_t kReplaysPerStamp = 2;

// ---- 1. Keys ----------------------------------------------------------------------------------

template <typename T>
void append_bytes(std::string& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// ---- 2. Stamps ---------------------------------------------------------------------------------

using Box = std::array<int, 8>;

// Pixels x .. x + length - 1 of row y, all touched by the text.
struct Run {
    int y, x, length;
};

// What gd did for one text colour over one background colour.
struct Shades {
    uint32_t text, background;      // 0xRRGGBB
    std::vector<uint32_t> resolved;  // colours gd asked the palette for, in the order it first asked
    std::vector<uint8_t> codes;      // per touched pixel: 1 the text colour, k >= 2 resolved[k - 2]
};

// A palette as gd's colour resolution sees it: size, transparent entry, and per entry red,
// green, blue, alpha and whether it is free.
struct Palette {
    int total = 0, transparent = -1;
    std::vector<uint8_t> entries;  // 5 bytes per entry
    bool operator==(const Palette&) const = default;
};

// What gd did for one text over one mixed background: the indices under the touched pixels and
// the palette it found, the indices it left there and the palette after.
struct Replay {
    int color;
    std::vector<uint8_t> under, result;
    Palette before, after;
    std::size_t bytes() const {
        return sizeof(Replay) + under.size() + result.size() + before.entries.size() + after.entries.size();
    }
};

struct Stamp {
    Box brect;
    std::vector<Run> runs;           // the touched pixels, row by row
    std::vector<Shades> shades;      // most recently used first
    std::vector<Replay> replays;     // most recently recorded first
    std::size_t bytes() const {
        std::size_t n = sizeof(Stamp) + runs.size() * sizeof(Run);
        for (const Shades& s : shades) n += sizeof(Shades) + s.resolved.size() * 4 + s.codes.size();
        for (const Replay& r : replays) n += r.bytes();
        return n;
    }
};

// A recording: the touched pixels and what gd did for them.
struct Recording {
    Box brect{};
    std::vector<Run> runs;
    Shades shades;
};

// An inclusive rectangle of pixels.
struct Region {
    int x1, y1, x2, y2;
};

uint32_t rgb_of(gdImagePtr im, int index) {
    return static_cast<uint32_t>(im->red[index] << 16 | im->green[index] << 8 | im->blue[index]);
}

// The entry gdImageColorResolve answers with for a colour when the palette has it exactly
// (opaque, in use, not the transparent entry); -1 when it would have to allocate.
int resolved_exactly(gdImagePtr im, uint32_t rgb) {
    const int r = static_cast<int>(rgb >> 16), g = static_cast<int>(rgb >> 8 & 0xFF), b = static_cast<int>(rgb & 0xFF);
    for (int c = 0; c < im->colorsTotal; ++c) {
        if (im->open[c] || c == im->transparent) continue;
        if (im->red[c] == r && im->green[c] == g && im->blue[c] == b && im->alpha[c] == gdAlphaOpaque) return c;
    }
    return -1;
}

// The pixels that can hold the text drawn at (x, y): its bounding rectangle at that origin
// with a margin for ink gd puts outside it, within the clip area. False when that is empty or
// too large to record.
bool text_region(const Box& box_at_zero, int x, int y, double ptsize, gdImagePtr im, Region& region) {
    const long long margin = 4 + static_cast<long long>(std::ceil(ptsize / 8));
    long long x1 = box_at_zero[0], x2 = x1, y1 = box_at_zero[1], y2 = y1;
    for (int i = 2; i < 8; i += 2) {
        x1 = std::min<long long>(x1, box_at_zero[i]), x2 = std::max<long long>(x2, box_at_zero[i]);
        y1 = std::min<long long>(y1, box_at_zero[i + 1]), y2 = std::max<long long>(y2, box_at_zero[i + 1]);
    }
    x1 = std::max<long long>(x + x1 - margin, im->cx1), x2 = std::min<long long>(x + x2 + margin, im->cx2);
    y1 = std::max<long long>(y + y1 - margin, im->cy1), y2 = std::min<long long>(y + y2 + margin, im->cy2);
    if (x1 > x2 || y1 > y2 || (x2 - x1 + 1) * (y2 - y1 + 1) > kLargestRegion) return false;
    region = Region{static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)};
    return true;
}

// Collects the touched pixels of the region and clears them; false when ink reaches a side of
// the region that is not the picture's clip edge (gd may have drawn beyond the region).
bool collect_touched(gdImagePtr scratch, const Region& r, const Region& clip, Recording& out) {
    bool inside = true;
    for (int y = r.y1; y <= r.y2; ++y) {
        unsigned char* row = scratch->pixels[y];
        for (int x = r.x1; x <= r.x2; ++x) {
            if (row[x] == 0) continue;
            if ((x == r.x1 && x != clip.x1) || (x == r.x2 && x != clip.x2) || (y == r.y1 && y != clip.y1) ||
                (y == r.y2 && y != clip.y2))
                inside = false;
            if (!out.runs.empty() && out.runs.back().y == y && out.runs.back().x + out.runs.back().length == x)
                ++out.runs.back().length;
            else
                out.runs.push_back(Run{y, x, 1});
            out.shades.codes.push_back(row[x]);
        }
        std::memset(row + r.x1, 0, static_cast<std::size_t>(r.x2 - r.x1 + 1));
    }
    return inside;
}

// ---- 3. Copying a stamp --------------------------------------------------------------------------

// The one index every touched pixel has; -1 when they differ.
int uniform_index(gdImagePtr im, const std::vector<Run>& runs) {
    int index = -1;
    for (const Run& run : runs) {
        const unsigned char* row = im->pixels[run.y] + run.x;
        if (index < 0) index = row[0];
        for (int i = 0; i < run.length; ++i)
            if (row[i] != index) return -1;
    }
    return index;
}

// Writes a stamp as gd would have drawn it; false, with the picture unchanged, when gd would
// not have got an exact answer for each colour it asked for (the palette has no room for the
// new ones) or would not answer the text colour with the text colour's own entry.
bool copy_stamp(gdImagePtr im, int color, const Stamp& stamp, const Shades& shades) {
    if (resolved_exactly(im, shades.text) != color) return false;
    int room = gdMaxColors - im->colorsTotal;
    for (int c = 0; c < im->colorsTotal; ++c) room += im->open[c] != 0;
    for (uint32_t rgb : shades.resolved)
        if (resolved_exactly(im, rgb) < 0 && --room < 0) return false;

    std::array<unsigned char, gdMaxColors> index{};
    index[1] = static_cast<unsigned char>(color);
    for (std::size_t k = 0; k < shades.resolved.size(); ++k) {
        const uint32_t rgb = shades.resolved[k];
        index[k + 2] = static_cast<unsigned char>(gdImageColorResolve(im, static_cast<int>(rgb >> 16),
                                                                      static_cast<int>(rgb >> 8 & 0xFF),
                                                                      static_cast<int>(rgb & 0xFF)));
    }
    std::size_t at = 0;
    for (const Run& run : stamp.runs) {
        unsigned char* row = im->pixels[run.y] + run.x;
        for (int i = 0; i < run.length; ++i) row[i] = index[shades.codes[at++]];
    }
    return true;
}

// ---- 3b. Replaying gd over a mixed background ----------------------------------------------------

void read_palette(gdImagePtr im, Palette& out) {
    out.total = im->colorsTotal;
    out.transparent = im->transparent;
    out.entries.resize(static_cast<std::size_t>(im->colorsTotal) * 5);
    uint8_t* e = out.entries.data();
    for (int c = 0; c < im->colorsTotal; ++c, e += 5) {
        e[0] = static_cast<uint8_t>(im->red[c]), e[1] = static_cast<uint8_t>(im->green[c]);
        e[2] = static_cast<uint8_t>(im->blue[c]), e[3] = static_cast<uint8_t>(im->alpha[c]);
        e[4] = static_cast<uint8_t>(im->open[c]);
    }
}

void write_palette(gdImagePtr im, const Palette& p) {
    im->colorsTotal = p.total;
    im->transparent = p.transparent;
    const uint8_t* e = p.entries.data();
    for (int c = 0; c < p.total; ++c, e += 5)
        im->red[c] = e[0], im->green[c] = e[1], im->blue[c] = e[2], im->alpha[c] = e[3], im->open[c] = e[4];
}

void read_runs(gdImagePtr im, const std::vector<Run>& runs, std::vector<uint8_t>& out) {
    out.clear();
    for (const Run& run : runs) out.insert(out.end(), im->pixels[run.y] + run.x, im->pixels[run.y] + run.x + run.length);
}

void write_runs(gdImagePtr im, const std::vector<Run>& runs, const std::vector<uint8_t>& values) {
    const uint8_t* v = values.data();
    for (const Run& run : runs) {
        std::memcpy(im->pixels[run.y] + run.x, v, static_cast<std::size_t>(run.length));
        v += run.length;
    }
}

// Every pixel of the region outside the runs has its value in `before` (the region's rows).
bool only_runs_changed(gdImagePtr im, const Region& r, const std::vector<Run>& runs, std::vector<uint8_t>& before) {
    const int width = r.x2 - r.x1 + 1;
    for (const Run& run : runs)
        if (run.y >= r.y1 && run.y <= r.y2)
            std::memcpy(before.data() + static_cast<std::size_t>(run.y - r.y1) * width + (run.x - r.x1),
                        im->pixels[run.y] + run.x, static_cast<std::size_t>(run.length));
    for (int y = r.y1; y <= r.y2; ++y)
        if (std::memcmp(before.data() + static_cast<std::size_t>(y - r.y1) * width, im->pixels[y] + r.x1,
                        static_cast<std::size_t>(width)) != 0)
            return false;
    return true;
}

// ---- 4. The cache ----------------------------------------------------------------------------------

// On or off for every thread (use_text_cache).
std::atomic<bool> cache_on{true};

char* gd_string(gdImagePtr im, int* brect, int color, const char* font, double ptsize, double angle, int x, int y,
                const char* text) {
    // One gd text at a time. gd sets its font cache up on first use without a lock, and it
    // reads a failure's message from the shared cache after letting its own lock go, so that
    // under another thread's text a font that cannot be found can read as drawn, with an empty
    // box. gd renders every FreeType text under its cache lock anyway: this lock costs no
    // parallel work, and it is held for one text only.
    static std::mutex gd_text;
    const std::lock_guard<std::mutex> guard(gd_text);
    return gdImageStringFT(im, brect, color, const_cast<char*>(font), ptsize, angle, x, y, const_cast<char*>(text));
}

class TextCache {
public:
    ~TextCache() {
        if (scratch_ != nullptr) gdImageDestroy(scratch_);
    }

    const char* measure(int brect[8], const char* font, double ptsize, double angle, int x, int y, const char* text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!cache_on) return gd_string(nullptr, brect, 0, font, ptsize, angle, x, y, text);
        return measure_locked(brect, font, ptsize, angle, x, y, text);
    }

    const char* draw(gdImagePtr im, int brect[8], int color, const char* font, double ptsize, double angle, int x,
                     int y, const char* text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!cache_on) return gd_string(im, brect, color, font, ptsize, angle, x, y, text);
        ++drawn_;
        if (!stampable(im, color, font, ptsize, angle, text)) return gd_string(im, brect, color, font, ptsize, angle, x, y, text);

        std::string key;
        append_bytes(key, ptsize), append_bytes(key, angle), append_bytes(key, x), append_bytes(key, y);
        for (int v : {im->sx, im->sy, im->cx1, im->cy1, im->cx2, im->cy2}) append_bytes(key, v);
        key.append(font).push_back('\0');
        key.append(text);

        const uint32_t text_rgb = rgb_of(im, color);
        Stamp* stamp = stamps_.find(key);
        if (stamp == nullptr) {
            // The background is not known before the touched pixels are: guess the colour at the
            // origin, record again below if the guess was wrong.
            const int gx = std::clamp(x, 0, im->sx - 1), gy = std::clamp(y, 0, im->sy - 1);
            Recording first;
            if (!record(im, font, ptsize, angle, x, y, text, text_rgb, rgb_of(im, im->pixels[gy][gx]), first))
                return gd_string(im, brect, color, font, ptsize, angle, x, y, text);
            Stamp fresh{first.brect, std::move(first.runs), {}, {}};
            fresh.shades.push_back(std::move(first.shades));
            const std::size_t bytes = fresh.bytes();
            stamp = &stamps_.add(std::move(key), std::move(fresh), bytes);
        }

        if (stamp->runs.empty()) {
            // Nothing of the text falls inside the clip area: gd neither draws nor resolves.
            if (brect != nullptr) std::copy(stamp->brect.begin(), stamp->brect.end(), brect);
            ++copied_;
            return nullptr;
        }
        const int under = uniform_index(im, stamp->runs);
        if (under < 0) return replay_or_draw(im, *stamp, brect, color, font, ptsize, angle, x, y, text);
        const Shades* shades = find_shades(*stamp, text_rgb, rgb_of(im, under));
        if (shades == nullptr) {
            Recording again;
            if (!record(im, font, ptsize, angle, x, y, text, text_rgb, rgb_of(im, under), again) ||
                again.brect != stamp->brect || !same_runs(again.runs, stamp->runs))
                return gd_string(im, brect, color, font, ptsize, angle, x, y, text);
            if (stamp->shades.size() >= kShadesPerStamp) stamp->shades.pop_back();
            stamp->shades.insert(stamp->shades.begin(), std::move(again.shades));
            stamps_.resize_latest(stamp->bytes());
            shades = &stamp->shades.front();
        }
        if (!copy_stamp(im, color, *stamp, *shades))
            return replay_or_draw(im, *stamp, brect, color, font, ptsize, angle, x, y, text);
        if (brect != nullptr) std::copy(stamp->brect.begin(), stamp->brect.end(), brect);
        ++copied_;
        return nullptr;
    }

    TextCacheStats stats() {
        std::lock_guard<std::mutex> lock(mutex_);
        return TextCacheStats{stamps_.bytes(), measures_.size(), drawn_, copied_};
    }

    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        clear_locked();
    }

    void turn(bool on) {
        std::lock_guard<std::mutex> lock(mutex_);
        cache_on = on;
    }

private:
    void clear_locked() {
        stamps_.clear();
        measures_.clear();
        clear_glyph_metrics();
        if (scratch_ != nullptr) gdImageDestroy(scratch_);
        scratch_ = nullptr;
    }

    const char* measure_locked(int brect[8], const char* font, double ptsize, double angle, int x, int y,
                               const char* text) {
        if (font == nullptr || text == nullptr || !std::isfinite(ptsize) || !std::isfinite(angle))
            return gd_string(nullptr, brect, 0, font, ptsize, angle, x, y, text);
        std::string key;
        append_bytes(key, ptsize), append_bytes(key, angle), append_bytes(key, x), append_bytes(key, y);
        key.append(font).push_back('\0');
        key.append(text);
        if (const Box* known = measures_.find(key)) {
            if (brect != nullptr) std::copy(known->begin(), known->end(), brect);
            return nullptr;
        }
        // Plain texts come from glyph metrics, others from gd.
        Box box{};
        const char* error = measure_from_glyphs(box.data(), font, ptsize, angle, x, y, text)
                                ? nullptr
                                : gd_string(nullptr, box.data(), 0, font, ptsize, angle, x, y, text);
        if (error == nullptr) measures_.add(std::move(key), box, sizeof box);
        if (brect != nullptr) std::copy(box.begin(), box.end(), brect);
        return error;
    }

    // A text the stamp cannot be copied for: written as gd wrote it before when the pixels under
    // it, the palette and the colour are as they were then; else drawn by gd, and what gd did is
    // kept when it changed nothing in the text's region but the stamp's touched pixels.
    const char* replay_or_draw(gdImagePtr im, Stamp& stamp, int brect[8], int color, const char* font, double ptsize,
                               double angle, int x, int y, const char* text) {
        read_runs(im, stamp.runs, under_);
        read_palette(im, palette_);
        for (std::size_t i = 0; i < stamp.replays.size(); ++i) {
            const Replay& r = stamp.replays[i];
            if (r.color != color || r.under != under_ || r.before != palette_) continue;
            write_runs(im, stamp.runs, r.result);
            write_palette(im, r.after);
            std::rotate(stamp.replays.begin(), stamp.replays.begin() + static_cast<long>(i),
                        stamp.replays.begin() + static_cast<long>(i) + 1);
            if (brect != nullptr) std::copy(stamp.brect.begin(), stamp.brect.end(), brect);
            ++copied_;
            return nullptr;
        }
        Box at_zero{}, box{};
        Region region{};
        const bool keep = measure_locked(at_zero.data(), font, ptsize, angle, 0, 0, text) == nullptr &&
                          text_region(at_zero, x, y, ptsize, im, region);
        if (keep) {
            const int width = region.x2 - region.x1 + 1;
            region_.resize(static_cast<std::size_t>(width) * (region.y2 - region.y1 + 1));
            for (int row = region.y1; row <= region.y2; ++row)
                std::memcpy(region_.data() + static_cast<std::size_t>(row - region.y1) * width, im->pixels[row] + region.x1,
                            static_cast<std::size_t>(width));
        }
        const char* error = gd_string(im, box.data(), color, font, ptsize, angle, x, y, text);
        if (brect != nullptr) std::copy(box.begin(), box.end(), brect);
        if (error != nullptr || !keep || box != stamp.brect || !only_runs_changed(im, region, stamp.runs, region_))
            return error;
        Replay fresh{color, under_, {}, palette_, {}};
        read_runs(im, stamp.runs, fresh.result);
        read_palette(im, fresh.after);
        if (stamp.replays.size() >= kReplaysPerStamp) stamp.replays.pop_back();
        stamp.replays.insert(stamp.replays.begin(), std::move(fresh));
        stamps_.resize_latest(stamp.bytes());
        return nullptr;
    }

    // Texts a stamp can stand for: in a palette picture of a size the scratch picture can
    // have, in a palette colour, with finite size and angle.
    static bool stampable(gdImagePtr im, int color, const char* font, double ptsize, double angle, const char* text) {
        return im != nullptr && !gdImageTrueColor(im) && font != nullptr && text != nullptr && std::isfinite(ptsize) &&
               std::isfinite(angle) && color >= 0 && color < im->colorsTotal && im->sx > 0 && im->sy > 0 &&
               static_cast<long long>(im->sx) * im->sy <= kLargestScratch;
    }

    static const Shades* find_shades(Stamp& stamp, uint32_t text, uint32_t background) {
        for (std::size_t i = 0; i < stamp.shades.size(); ++i) {
            if (stamp.shades[i].text != text || stamp.shades[i].background != background) continue;
            std::rotate(stamp.shades.begin(), stamp.shades.begin() + static_cast<long>(i),
                        stamp.shades.begin() + static_cast<long>(i) + 1);
            return &stamp.shades.front();
        }
        return nullptr;
    }

    static bool same_runs(const std::vector<Run>& a, const std::vector<Run>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const Run& p, const Run& q) { return p.y == q.y && p.x == q.x && p.length == q.length; });
    }

    // Draws the text with gd into the scratch picture over the given background colour; false
    // when gd failed or the recording cannot stand for gd's drawing.
    bool record(gdImagePtr im, const char* font, double ptsize, double angle, int x, int y, const char* text,
                uint32_t text_rgb, uint32_t background_rgb, Recording& out) {
        Box at_zero{};
        if (measure_locked(at_zero.data(), font, ptsize, angle, 0, 0, text) != nullptr) return false;
        Region region{};
        if (!text_region(at_zero, x, y, ptsize, im, region)) return false;
        gdImagePtr s = scratch(im->sx, im->sy);
        if (s == nullptr) return false;

        const uint32_t colors[2] = {background_rgb, text_rgb};
        for (int i = 0; i < 2; ++i) {
            s->red[i] = static_cast<int>(colors[i] >> 16);
            s->green[i] = static_cast<int>(colors[i] >> 8 & 0xFF);
            s->blue[i] = static_cast<int>(colors[i] & 0xFF);
            s->alpha[i] = gdAlphaOpaque;
            s->open[i] = 0;
        }
        s->colorsTotal = 2;
        s->transparent = 0;
        s->cx1 = region.x1, s->cy1 = region.y1, s->cx2 = region.x2, s->cy2 = region.y2;

        const char* error = gd_string(s, out.brect.data(), 1, font, ptsize, angle, x, y, text);
        bool inside = false;
        try {
            inside = collect_touched(s, region, Region{im->cx1, im->cy1, im->cx2, im->cy2}, out);
        } catch (...) {
            // Rows left uncleared would spoil every later recording.
            gdImageDestroy(scratch_);
            scratch_ = nullptr;
            throw;
        }
        out.runs.shrink_to_fit();
        out.shades.codes.shrink_to_fit();
        // A full palette means gd may have had to take a closest colour somewhere.
        if (error != nullptr || !inside || s->colorsTotal >= gdMaxColors) return false;
        out.shades.text = text_rgb;
        out.shades.background = background_rgb;
        for (int c = 2; c < s->colorsTotal; ++c) out.shades.resolved.push_back(rgb_of(s, c));
        return true;
    }

    // The scratch picture: the size of the picture drawn into, every pixel 0 between recordings.
    gdImagePtr scratch(int sx, int sy) {
        if (scratch_ != nullptr && (scratch_->sx != sx || scratch_->sy != sy)) {
            gdImageDestroy(scratch_);
            scratch_ = nullptr;
        }
        if (scratch_ == nullptr) scratch_ = gdImageCreate(sx, sy);
        return scratch_;
    }

    std::mutex mutex_;
    LruMap<Stamp> stamps_{kUnlimited, kStampBudget};
    LruMap<Box> measures_{kUnlimited, kMeasureBudget};
    gdImagePtr scratch_ = nullptr;
    std::vector<uint8_t> under_, region_;  // working buffers of replay_or_draw
    Palette palette_;
    unsigned long drawn_ = 0;
    unsigned long copied_ = 0;
};

// One cache per thread: texts are drawn into the picture of the thread's own call, and no
// thread waits for another's drawing.
TextCache& text_cache() {
    thread_local TextCache cache;
    return cache;
}

}  // namespace

// gd is handed the file a font name stands for, found once: gd then searches nothing, and every
// spelling of one file shares the cache's entries. A name that stands for no file goes to gd as
// it is, for gd's error.
const char* draw_string_ft(gdImagePtr image, int brect[8], int color, const char* font_file, double ptsize,
                           double angle, int x, int y, const char* text) {
    const std::string file = find_font_file(font_file);
    return text_cache().draw(image, brect, color, file.empty() ? font_file : file.c_str(), ptsize, angle, x, y, text);
}

const char* measure_string_ft(int brect[8], const char* font_file, double ptsize, double angle, int x, int y,
                              const char* text) {
    const std::string file = find_font_file(font_file);
    return text_cache().measure(brect, file.empty() ? font_file : file.c_str(), ptsize, angle, x, y, text);
}

TextCacheStats text_cache_stats() { return text_cache().stats(); }

void clear_text_cache() { text_cache().clear(); }

void use_text_cache(bool on) { text_cache().turn(on); }

}  // namespace plotwise
