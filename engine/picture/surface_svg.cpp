// The SVG back end, written directly: shapes as <line>, <polygon>, <rect> and <path> elements
// through the centres of the pixels the engines name (lines of one ink drawn one after another
// gathered into a few <path> elements, engine/picture/shape_batch.h), texts as <text>
// elements (the FreeType font by its family name, the built-in fonts as the plain sans font
// fitted to their cells), the background picture as an embedded PNG. The picture's pixels are
// the user units.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <charconv>
#include <cmath>
#include <mutex>

#include "engine/picture/shape_batch.h"
#include "engine/picture/surface_vector.h"
#include "engine/picture/vector_base.h"
#include "engine/picture/vector_text.h"
#include "engine/text/lru_map.h"

namespace plotwise {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A number as SVG reads it: the shortest form, whatever the process locale.
void put(std::string& out, double v) {
    if (!std::isfinite(v)) v = 0;
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, std::round(v * 1000) / 1000);
    out.append(text, result.ptr);
}

void put_color(std::string& out, uint32_t rgb) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xF];
}

// Text content and attribute values: markup characters escaped, characters XML does not allow
// left out.
void put_escaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
                break;
        }
    }
}

void put_base64(std::string& out, const unsigned char* data, size_t size) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t n = (static_cast<uint32_t>(data[i]) << 16) | (i + 1 < size ? data[i + 1] << 8 : 0) |
                           (i + 2 < size ? data[i + 2] : 0);
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < size ? kDigits[(n >> 6) & 63] : '=';
        out += i + 2 < size ? kDigits[n & 63] : '=';
    }
}

// Family, weight and slant of a font file, read once per file with FreeType.
struct FontStyle {
    std::string family = "serif";
    bool bold = false, italic = false;
};

// Shared by the threads under a short lock, by font file (canonical path), within a budget.
constexpr std::size_t kStyleBudget = 64;
constexpr std::size_t kStyleBytes = std::size_t{16} << 10;

FontStyle font_style(const std::string& path) {
    static std::mutex lock;
    static LruMap<FontStyle> styles(kStyleBudget, kStyleBytes);
    const std::lock_guard<std::mutex> guard(lock);
    if (const FontStyle* known = styles.find(path)) return *known;
    FontStyle style;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
            if (face->family_name != nullptr) style.family = face->family_name;
            style.bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
            style.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }
    const std::size_t bytes = style.family.size();
    return styles.add(path, std::move(style), bytes);
}

class SvgSurface final : public VectorBase {
public:
    void begin(int width, int height, bool turned) override {
        start(width, height, turned);
        body_.clear();
        batch_.clear();
        begun_ = true;
    }

    void end() override {
        if (!begun_) return;
        begun_ = false;
        draw_batch();
        std::string& out = bytes_;
        out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
        put(out, picture_width());
        out += "\" height=\"";
        put(out, picture_height());
        out += "\" viewBox=\"0 0 ";
        put(out, picture_width());
        out += ' ';
        put(out, picture_height());
        out += "\">\n";
        if (paints_background()) {
            out += "<rect width=\"100%\" height=\"100%\" fill=\"";
            put_color(out, rgb(0));
            out += "\"/>\n";
        }
        // A turned picture: pixel (x, y) of the upright drawing goes to (height - 1 - y, x).
        out += "<g stroke-width=\"1\" stroke-linecap=\"square\" stroke-linejoin=\"round\"";
        if (turned_) {
            out += " transform=\"matrix(0 1 -1 0 ";
            put(out, height_);
            out += " 0)\"";
        }
        out += ">\n";
        out += body_;
        out += "</g>\n</svg>\n";
        body_.clear();
    }

    void line(int x1, int y1, int x2, int y2, int ink) override { gather(ink).add_line(ink, x1, y1, x2, y2); }

    void polygon(std::span<const gdPoint> points, int ink) override {
        if (points.empty()) return;
        draw_batch();
        body_ += "<polygon points=\"";
        for (const gdPoint& p : points) {
            put(body_, p.x + 0.5);
            body_ += ',';
            put(body_, p.y + 0.5);
            body_ += ' ';
        }
        body_.back() = '"';
        paint(ink, true);
    }

    void rect(int x1, int y1, int x2, int y2, int ink) override { gather(ink).add_rect(ink, x1, y1, x2, y2); }

    void pixel(int x, int y, int ink) override { rect(x, y, x, y, ink); }

    void arc(int cx, int cy, int w, int h, int from, int to, int ink) override {
        draw_batch();
        if (w <= 0 || h <= 0) return;
        arc_path(cx + 0.5, cy + 0.5, w / 2.0, h / 2.0, from * kPi / 180, to * kPi / 180, false);
        body_ += " fill=\"none\" stroke=\"";
        put_color(body_, rgb(ink));
        body_ += "\"/>\n";
    }

    void filled_arc(int cx, int cy, int w, int h, int from, int to, int ink) override {
        draw_batch();
        if (w <= 0 || h <= 0) return;
        arc_path(cx + 0.5, cy + 0.5, w / 2.0, h / 2.0, from * kPi / 180, to * kPi / 180, !(from == 0 && to == 360));
        paint(ink, false);
    }

    void fill_region(int, int, int, int ink, const SliceShape& s) override {
        draw_batch();
        if (!(s.rx > 0 && s.ry > 0) || !std::isfinite(s.rx) || !std::isfinite(s.ry)) return;
        // Clockwise from twelve o'clock is the angle from three o'clock towards +y less a quarter.
        arc_path(s.cx + 0.5, s.cy + 0.5, s.rx, s.ry, s.from - kPi / 2, s.to - kPi / 2, true);
        paint(ink, false);
    }

    void text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
              const char* text, int ink, int justification) override {
        draw_batch();
        for (const TextRun& run : text_runs(font, font_file, ptsize, angle, x, y, text, justification)) {
            body_ += "<text xml:space=\"preserve\" x=\"";
            double x0 = run.x;
            if (run.cell_width > 0) x0 += run.angle == 0 ? run.cell_width / 2 : 0;
            double y0 = run.y;
            if (run.cell_width > 0 && run.angle != 0) y0 -= run.cell_width / 2;
            // A right-to-left run starts at its right end and is laid out leftwards, its
            // characters in the order given (the runs are already in visual order).
            if (run.right_to_left) {
                x0 += run.advance * std::cos(run.angle);
                y0 -= run.advance * std::sin(run.angle);
            }
            put(body_, x0);
            body_ += "\" y=\"";
            put(body_, y0);
            body_ += "\" font-size=\"";
            put(body_, run.size);
            body_ += "\" font-family=\"";
            if (run.font_file.empty()) {
                body_ += "sans-serif\"";
                if (run.bold) body_ += " font-weight=\"bold\"";
                // Centred in the cells of the built-in font, and no wider than they are.
                body_ += " text-anchor=\"middle\"";
            } else {
                const FontStyle style = font_style(run.font_file);
                put_escaped(body_, style.family);
                body_ += "\"";
                if (style.bold) body_ += " font-weight=\"bold\"";
                if (style.italic) body_ += " font-style=\"italic\"";
            }
            if (run.angle != 0) {
                body_ += " transform=\"rotate(";
                put(body_, -run.angle * 180 / kPi);
                body_ += ' ';
                put(body_, x0);
                body_ += ' ';
                put(body_, y0);
                body_ += ")\"";
            }
            if (run.right_to_left) body_ += " direction=\"rtl\" unicode-bidi=\"bidi-override\"";
            body_ += " fill=\"";
            put_color(body_, rgb(ink));
            body_ += "\">";
            put_escaped(body_, run.text);
            body_ += "</text>\n";
        }
    }

    void background_picture(const char* file, int width, int height) override {
        draw_batch();
        const BackgroundPlacement placed = place_background(file, width, height);
        gdImagePtr picture = placed.picture;
        if (picture == nullptr) return;
        const int x = placed.x, y = placed.y, cw = placed.width, ch = placed.height;
        gdImagePtr part = gdImageCreateTrueColor(cw, ch);
        if (part != nullptr) {
            gdImageCopy(part, picture, 0, 0, 0, 0, cw, ch);
            int size = 0;
            void* png = gdImagePngPtr(part, &size);
            if (png != nullptr && size > 0) {
                body_ += "<image x=\"";
                put(body_, x);
                body_ += "\" y=\"";
                put(body_, y);
                body_ += "\" width=\"";
                put(body_, cw);
                body_ += "\" height=\"";
                put(body_, ch);
                body_ += "\" href=\"data:image/png;base64,";
                put_base64(body_, static_cast<const unsigned char*>(png), static_cast<size_t>(size));
                body_ += "\"/>\n";
            }
            if (png != nullptr) gdFree(png);
            gdImageDestroy(part);
        }
        gdImageDestroy(picture);
    }

private:
    // The batch a shape of the ink joins: one of another ink is written first.
    ShapeBatch& gather(int ink) {
        if (!batch_.accepts(ink)) draw_batch();
        return batch_;
    }

    // The shapes gathered: a <path> stroking the lines of each width (a lone line as a <line>),
    // then the rectangles. Written before any other element, so that the order of the shapes
    // stays as drawn.
    void draw_batch() {
        if (batch_.empty()) return;
        const int ink = batch_.ink();
        batch_.for_each_weight([&](double weight, std::span<const PixelSpan> lines) {
            if (lines.size() == 1) return line_element(lines[0], weight, ink);
            body_ += "<path d=\"";
            for (const PixelSpan& l : lines) {
                body_ += 'M';
                put_point(l.x1 + 0.5, l.y1 + 0.5);
                body_ += 'L';
                put_point(l.x2 + 0.5, l.y2 + 0.5);
            }
            body_ += "\" fill=\"none";
            stroke_attributes(weight, ink);
        });
        for (const PixelSpan& r : batch_.rects()) rect_element(r, ink);
        batch_.clear();
    }

    void put_point(double x, double y) {
        put(body_, x);
        body_ += ' ';
        put(body_, y);
    }

    void line_element(const PixelSpan& l, double weight, int ink) {
        body_ += "<line x1=\"";
        put(body_, l.x1 + 0.5);
        body_ += "\" y1=\"";
        put(body_, l.y1 + 0.5);
        body_ += "\" x2=\"";
        put(body_, l.x2 + 0.5);
        body_ += "\" y2=\"";
        put(body_, l.y2 + 0.5);
        stroke_attributes(weight, ink);
    }

    // The width (where it is not the group's 1) and colour of a stroke, and the element's end.
    void stroke_attributes(double weight, int ink) {
        if (weight < 1) {
            body_ += "\" stroke-width=\"";
            put(body_, weight);
        }
        body_ += "\" stroke=\"";
        put_color(body_, rgb(ink));
        body_ += "\"/>\n";
    }

    void rect_element(const PixelSpan& r, int ink) {
        body_ += "<rect x=\"";
        put(body_, r.x1);
        body_ += "\" y=\"";
        put(body_, r.y1);
        body_ += "\" width=\"";
        put(body_, static_cast<double>(r.x2) - r.x1 + 1);
        body_ += "\" height=\"";
        put(body_, static_cast<double>(r.y2) - r.y1 + 1);
        body_ += '"';
        paint(ink, false);
    }

    // Fill (and, for fills whose edge pixels belong to them, the same stroke) and the end of
    // the element.
    void paint(int ink, bool edged) {
        body_ += " fill=\"";
        put_color(body_, rgb(ink));
        if (edged) {
            body_ += "\" stroke=\"";
            put_color(body_, rgb(ink));
        }
        body_ += "\"/>\n";
    }

    // A <path> of the elliptical arc around (cx, cy) from angle a to b (radians from three
    // o'clock towards +y), through the centre when `pie`; its attributes follow.
    void arc_path(double cx, double cy, double rx, double ry, double a, double b, bool pie) {
        while (b < a) b += 2 * kPi;
        const bool whole = b - a >= 2 * kPi - 1e-6;
        auto point = [&](double t) {
            put(body_, cx + rx * std::cos(t));
            body_ += ' ';
            put(body_, cy + ry * std::sin(t));
        };
        auto arc_to = [&](double t, bool large) {
            body_ += " A";
            put(body_, rx);
            body_ += ' ';
            put(body_, ry);
            body_ += large ? " 0 1 1 " : " 0 0 1 ";
            point(t);
        };
        body_ += "<path d=\"";
        if (whole) {
            body_ += 'M';
            point(a);
            arc_to(a + kPi, false);
            arc_to(a + 2 * kPi, false);
            body_ += " Z\"";
            return;
        }
        if (pie) {
            body_ += 'M';
            put(body_, cx);
            body_ += ' ';
            put(body_, cy);
            body_ += " L";
        } else {
            body_ += 'M';
        }
        point(a);
        arc_to(b, b - a > kPi);
        body_ += pie ? " Z\"" : "\"";
    }

    std::string body_;
    bool begun_ = false;
    ShapeBatch batch_;
};

}  // namespace

std::unique_ptr<VectorSurface> make_svg_surface() { return std::make_unique<SvgSurface>(); }

}  // namespace plotwise
