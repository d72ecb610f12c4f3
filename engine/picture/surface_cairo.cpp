// The Cairo back end: PNG at a scale and PDF, anti-aliased. Shapes go through the centres of the
// pixels the engines name, so that a line of one pixel covers that pixel; fills are stroked
// along their edges as well, because a palette picture's fills include their edge pixels.
// The background goes under the drawing at the end, when it is known whether it is transparent:
// a PDF's drawing goes into a group for that; a PNG's background is painted under the pixels
// drawn. A large PNG keeps the calls made on it (a few dozen bytes each) and makes them again
// on one band of rows after another, each written out before the next is drawn, so that its
// pixels are never all in memory at once. In a PDF, lines and rectangles of one ink drawn one after
// another are gathered into a few shapes (engine/picture/shape_batch.h).
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/picture/png_writer.h"
#include "engine/picture/shape_batch.h"
#include "engine/picture/surface_vector.h"
#include "engine/picture/vector_base.h"
#include "engine/picture/vector_text.h"
#include "engine/text/lru_map.h"

namespace plotwise {
namespace {

constexpr double kPdfPointsPerPixel = 0.75;
constexpr double kEdgeWidth = 0.75;
// Cairo's largest side of an image surface.
constexpr double kMaxRasterSide = 32767;
constexpr double kPi = 3.14159265358979323846;

// ---- Fonts --------------------------------------------------------------------------------

// Cairo font faces of the font files (canonical paths), shared by the threads and kept within a
// budget of faces and of the bytes of their files. A face this table forgets stays alive while
// a drawing or Cairo's own font cache holds it; its FreeType face is done when the last holder
// lets it go, on whatever thread that is. FreeType opens and closes the faces of one library one
// at a time: the library's own lock covers both, apart from the table's lock.
constexpr std::size_t kFaceBudget = 16;
constexpr std::size_t kFaceBytes = std::size_t{64} << 20;

using CairoFace = std::shared_ptr<cairo_font_face_t>;

class FontFaces {
public:
    // The face of a font file; null when FreeType cannot open it (that is not kept).
    CairoFace face(const std::string& path) {
        const std::lock_guard<std::mutex> guard(lock_);
        if (const CairoFace* known = faces_.find(path)) return *known;
        FT_Face ft = nullptr;
        {
            const std::lock_guard<std::mutex> opening(library_.lock);
            if (library_.library == nullptr && FT_Init_FreeType(&library_.library) != 0) library_.library = nullptr;
            if (library_.library == nullptr || FT_New_Face(library_.library, path.c_str(), 0, &ft) != 0) return nullptr;
        }
        cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, 0);
        static const cairo_user_data_key_t kKey{};
        auto* closing = new Closing{&library_, ft};
        if (cairo_font_face_set_user_data(face, &kKey, closing, close) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(face);
            close(closing);
            return nullptr;
        }
        struct stat status;
        const std::size_t bytes = ::stat(path.c_str(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
        return faces_.add(path, CairoFace(face, cairo_font_face_destroy), bytes);
    }

private:
    struct Library {
        std::mutex lock;
        FT_Library library = nullptr;
    };
    struct Closing {
        Library* library;
        FT_Face face;
    };
    static void close(void* data) {
        auto* closing = static_cast<Closing*>(data);
        {
            const std::lock_guard<std::mutex> guard(closing->library->lock);
            FT_Done_Face(closing->face);
        }
        delete closing;
    }

    std::mutex lock_;
    Library library_;
    LruMap<CairoFace> faces_{kFaceBudget, kFaceBytes};
};

FontFaces& font_faces() {
    static FontFaces* faces = new FontFaces;  // Cairo's caches may let faces go until the process ends
    return *faces;
}

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// ---- The surface ----------------------------------------------------------------------------

class CairoSurface final : public VectorBase {
public:
    CairoSurface(VectorFormat format, int scale, size_t band_bytes)
        : format_(format), scale_(scale), band_bytes_(band_bytes), gathers_(format == VectorFormat::Pdf) {}
    ~CairoSurface() override { release(); }

    void begin(int width, int height, bool turned) override {
        release();
        start(width, height, turned);
        const int w = picture_width(), h = picture_height();
        if (format_ == VectorFormat::Pdf) {
            surface_ = cairo_pdf_surface_create_for_stream(append_bytes, &bytes_, w * kPdfPointsPerPixel,
                                                           h * kPdfPointsPerPixel);
        } else if (!png_size_fits(w, h, scale_)) {
            // Beyond the limits the surface is left in its error state: nothing is made.
            surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, -1, -1);
        } else {
            const double pw = static_cast<double>(w) * scale_, ph = static_cast<double>(h) * scale_;
            recording_ = pw * ph * 4 > static_cast<double>(band_bytes_);
            // A recorded picture is drawn on its bands at the end; this image of one pixel
            // only gives the calls a context.
            surface_ = recording_ ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)
                                  : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w * scale_, h * scale_);
        }
        cr_ = cairo_create(surface_);
        set_up(cr_, 0);
        if (format_ == VectorFormat::Pdf) cairo_push_group(cr_);
    }

    void end() override {
        if (cr_ == nullptr) return;
        draw_batch();
        bool ok = true;
        if (format_ == VectorFormat::Pdf) {
            cairo_pattern_t* drawing = cairo_pop_group(cr_);
            if (paints_background()) {
                set_ink(0);
                cairo_rectangle(cr_, 0, 0, width_, height_);
                cairo_fill(cr_);
            }
            cairo_set_source(cr_, drawing);
            cairo_paint(cr_);
            cairo_pattern_destroy(drawing);
            ok = cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
            cairo_surface_finish(surface_);
        } else {
            ok = cairo_status(cr_) == CAIRO_STATUS_SUCCESS && write_png();
            calls_.clear();
            recording_ = false;
        }
        cairo_destroy(cr_);
        cr_ = nullptr;
        if (!ok || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) bytes_.clear();
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
    }

    void line(int x1, int y1, int x2, int y2, int ink) override {
        if (recorded([=](CairoSurface& s) { s.line(x1, y1, x2, y2, ink); })) return;
        if (gathers_) return gather(ink).add_line(ink, x1, y1, x2, y2);
        cairo_move_to(cr_, x1 + 0.5, y1 + 0.5);
        cairo_line_to(cr_, x2 + 0.5, y2 + 0.5);
        cairo_set_line_width(cr_, line_weight(x1, y1, x2, y2));
        stroke(ink);
        cairo_set_line_width(cr_, 1);
    }

    void polygon(std::span<const gdPoint> points, int ink) override {
        if (points.empty()) return;
        if (recorded([p = std::vector<gdPoint>(points.begin(), points.end()), ink](CairoSurface& s) { s.polygon(p, ink); }))
            return;
        draw_batch();
        cairo_move_to(cr_, points[0].x + 0.5, points[0].y + 0.5);
        for (const gdPoint& p : points.subspan(1)) cairo_line_to(cr_, p.x + 0.5, p.y + 0.5);
        cairo_close_path(cr_);
        set_ink(ink);
        cairo_fill_preserve(cr_);
        cairo_set_line_width(cr_, kEdgeWidth);
        stroke(ink);
        cairo_set_line_width(cr_, 1);
    }

    void rect(int x1, int y1, int x2, int y2, int ink) override {
        if (recorded([=](CairoSurface& s) { s.rect(x1, y1, x2, y2, ink); })) return;
        if (gathers_) return gather(ink).add_rect(ink, x1, y1, x2, y2);
        rect_path({x1, y1, x2, y2});
        set_ink(ink);
        cairo_fill(cr_);
    }

    void pixel(int x, int y, int ink) override { rect(x, y, x, y, ink); }

    void arc(int cx, int cy, int w, int h, int from, int to, int ink) override {
        if (recorded([=](CairoSurface& s) { s.arc(cx, cy, w, h, from, to, ink); })) return;
        draw_batch();
        if (!ellipse_path(cx, cy, w, h, from, to, false)) return;
        stroke(ink);
    }

    void filled_arc(int cx, int cy, int w, int h, int from, int to, int ink) override {
        if (recorded([=](CairoSurface& s) { s.filled_arc(cx, cy, w, h, from, to, ink); })) return;
        draw_batch();
        if (!ellipse_path(cx, cy, w, h, from, to, !(from == 0 && to == 360))) return;
        set_ink(ink);
        cairo_fill(cr_);
    }

    void fill_region(int x, int y, int border, int ink, const SliceShape& s) override {
        if (recorded([=](CairoSurface& c) { c.fill_region(x, y, border, ink, s); })) return;
        draw_batch();
        if (!(s.rx > 0 && s.ry > 0) || !std::isfinite(s.rx) || !std::isfinite(s.ry)) return;
        const bool whole = s.to - s.from >= 2 * kPi - 1e-6;
        cairo_save(cr_);
        cairo_translate(cr_, s.cx + 0.5, s.cy + 0.5);
        cairo_scale(cr_, s.rx, s.ry);
        if (!whole) cairo_move_to(cr_, 0, 0);
        // Clockwise from twelve o'clock is Cairo's angle (from three o'clock towards +y) less a quarter.
        cairo_arc(cr_, 0, 0, 1, s.from - kPi / 2, s.to - kPi / 2);
        cairo_close_path(cr_);
        cairo_restore(cr_);
        set_ink(ink);
        cairo_fill(cr_);
    }

    void text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
              const char* text, int ink, int justification) override {
        const bool has_file = font_file != nullptr, has_text = text != nullptr;
        if (recorded([=, file = std::string(has_file ? font_file : ""), words = std::string(has_text ? text : "")](
                         CairoSurface& s) {
                s.text(font, has_file ? file.c_str() : nullptr, ptsize, angle, x, y, has_text ? words.c_str() : nullptr,
                       ink, justification);
            }))
            return;
        draw_batch();
        for (const TextRun& run : text_runs(font, font_file, ptsize, angle, x, y, text, justification)) draw_run(run, ink);
    }

    void background_picture(const char* file, int width, int height) override {
        if (file != nullptr && recorded([=, name = std::string(file)](CairoSurface& s) {
                s.background_picture(name.c_str(), width, height);
            }))
            return;
        draw_batch();
        const BackgroundPlacement placed = place_background(file, width, height);
        gdImagePtr picture = placed.picture;
        if (picture == nullptr) return;
        const int x = placed.x, y = placed.y, cw = placed.width, ch = placed.height;
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cw, ch);
        if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
            cairo_surface_flush(image);
            unsigned char* data = cairo_image_surface_get_data(image);
            const int stride = cairo_image_surface_get_stride(image);
            for (int row = 0; row < ch; ++row) {
                auto* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(row) * stride);
                for (int col = 0; col < cw; ++col) {
                    const int c = gdImageGetPixel(picture, col, row);
                    out[col] = 0xFF000000u | (static_cast<uint32_t>(gdImageRed(picture, c)) << 16) |
                               (static_cast<uint32_t>(gdImageGreen(picture, c)) << 8) |
                               static_cast<uint32_t>(gdImageBlue(picture, c));
                }
            }
            cairo_surface_mark_dirty(image);
            cairo_set_source_surface(cr_, image, x, y);
            cairo_rectangle(cr_, x, y, cw, ch);
            cairo_fill(cr_);
        }
        cairo_surface_destroy(image);
        gdImageDestroy(picture);
    }

private:
    void release() {
        if (cr_ != nullptr) cairo_destroy(cr_);
        if (surface_ != nullptr) cairo_surface_destroy(surface_);
        cr_ = nullptr;
        surface_ = nullptr;
        batch_.clear();
        calls_.clear();
        recording_ = false;
    }

    // The batch a shape of the ink joins: one of another ink is drawn first.
    ShapeBatch& gather(int ink) {
        if (!batch_.accepts(ink)) draw_batch();
        return batch_;
    }

    // The shapes gathered: a stroke of the lines of each width, then the rectangles. Called
    // before any other drawing, so that the order of the shapes stays as drawn.
    void draw_batch() {
        if (batch_.empty()) return;
        const int ink = batch_.ink();
        batch_.for_each_weight([&](double weight, std::span<const PixelSpan> lines) {
            for (const PixelSpan& l : lines) {
                cairo_move_to(cr_, l.x1 + 0.5, l.y1 + 0.5);
                cairo_line_to(cr_, l.x2 + 0.5, l.y2 + 0.5);
            }
            cairo_set_line_width(cr_, weight);
            stroke(ink);
        });
        cairo_set_line_width(cr_, 1);
        for (const PixelSpan& r : batch_.rects()) {
            rect_path(r);
            set_ink(ink);
            cairo_fill(cr_);
        }
        batch_.clear();
    }

    void rect_path(const PixelSpan& r) {
        cairo_rectangle(cr_, r.x1, r.y1, static_cast<double>(r.x2) - r.x1 + 1, static_cast<double>(r.y2) - r.y1 + 1);
    }

    // The PNG of the drawing: the image drawn on, or the calls recorded made again on one band
    // of rows after another; opaque (RGB) when the background is painted, else with alpha.
    bool write_png() {
        const int w = picture_width() * scale_, h = picture_height() * scale_;
        PngWriter png(bytes_, w, h, paints_background());
        if (!recording_) {
            put_background_under(surface_);
            write_rows(png, surface_, h);
            return png.finish();
        }
        const int band_rows = static_cast<int>(std::clamp<size_t>(band_bytes_ / (4 * static_cast<size_t>(w)), 1, h));
        cairo_surface_t* band = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, band_rows);
        bool ok = cairo_surface_status(band) == CAIRO_STATUS_SUCCESS;
        cairo_t* const context = cr_;
        recording_ = false;
        for (int top = 0; ok && top < h; top += band_rows) {
            cr_ = cairo_create(band);
            cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
            cairo_paint(cr_);
            cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
            set_up(cr_, top);
            for (const auto& call : calls_) call(*this);
            ok = cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
            cairo_destroy(cr_);
            put_background_under(band);
            write_rows(png, band, std::min(band_rows, h - top));
        }
        cr_ = context;
        cairo_surface_destroy(band);
        return png.finish() && ok;
    }

    // Scale and turn of the drawing, on a picture whose first row is `top`.
    void set_up(cairo_t* cr, int top) {
        cairo_translate(cr, 0, -top);
        const double unit = format_ == VectorFormat::Pdf ? kPdfPointsPerPixel : scale_;
        cairo_scale(cr, unit, unit);
        // A turned picture: pixel (x, y) of the upright drawing goes to (height - 1 - y, x).
        if (turned_) {
            cairo_matrix_t turn;
            cairo_matrix_init(&turn, 0, 1, -1, 0, height_, 0);
            cairo_transform(cr, &turn);
        }
        cairo_set_line_width(cr, 1);
    }

    // Keeps the call to make it again on each band, when the picture is drawn in bands.
    template <typename Call>
    bool recorded(Call&& call) {
        if (recording_) calls_.emplace_back(std::forward<Call>(call));
        return recording_;
    }

    // The background under what is drawn on the image (where it is painted): the same pixels
    // as the drawing painted over the background.
    void put_background_under(cairo_surface_t* image) {
        if (!paints_background()) return;
        cairo_t* c = cairo_create(image);
        const uint32_t bg = rgb(0);
        cairo_set_source_rgb(c, ((bg >> 16) & 0xFF) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
        cairo_set_operator(c, CAIRO_OPERATOR_DEST_OVER);
        cairo_paint(c);
        cairo_destroy(c);
    }

    static void write_rows(PngWriter& png, cairo_surface_t* image, int rows) {
        cairo_surface_flush(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < rows; ++y)
            png.row(reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride));
    }

    void set_ink(int ink) {
        const uint32_t c = rgb(ink);
        cairo_set_source_rgb(cr_, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    }

    // Strokes the path one pixel wide; square ends cover the end pixels as gd's lines do.
    void stroke(int ink) {
        set_ink(ink);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr_);
    }

    // The path of a gd arc (degrees clockwise from three o'clock, as Cairo counts); `pie` closes
    // it through the centre. False (and no path) for an ellipse without size.
    bool ellipse_path(int cx, int cy, int w, int h, int from, int to, bool pie) {
        if (w <= 0 || h <= 0) return false;
        cairo_save(cr_);
        cairo_translate(cr_, cx + 0.5, cy + 0.5);
        cairo_scale(cr_, w / 2.0, h / 2.0);
        if (pie)
            cairo_move_to(cr_, 0, 0);
        else
            cairo_new_sub_path(cr_);
        cairo_arc(cr_, 0, 0, 1, from * kPi / 180, to * kPi / 180);
        if (pie) cairo_close_path(cr_);
        cairo_restore(cr_);
        return true;
    }

    void draw_run(const TextRun& run, int ink) {
        cairo_save(cr_);
        const CairoFace face = run.font_file.empty() ? nullptr : font_faces().face(run.font_file);
        if (face != nullptr)
            cairo_set_font_face(cr_, face.get());
        else
            cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                   run.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_, run.size);
        cairo_translate(cr_, run.x, run.y);
        cairo_rotate(cr_, -run.angle);
        if (run.cell_width > 0) {
            // A built-in text fills its cells: narrower text is centred in them, wider text
            // is pressed together to fit.
            cairo_text_extents_t extents;
            cairo_text_extents(cr_, run.text.c_str(), &extents);
            if (extents.x_advance > run.cell_width)
                cairo_scale(cr_, run.cell_width / extents.x_advance, 1);
            else
                cairo_translate(cr_, (run.cell_width - extents.x_advance) / 2, 0);
        }
        cairo_move_to(cr_, 0, 0);
        set_ink(ink);
        if (run.glyphs.empty()) {
            cairo_show_text(cr_, run.text.c_str());
        } else {
            // A shaped run: its glyphs where the GIF draws them.
            std::vector<cairo_glyph_t> glyphs;
            for (const TextGlyph& g : run.glyphs) glyphs.push_back(cairo_glyph_t{g.index, g.x, g.y});
            cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
        }
        cairo_new_path(cr_);  // no current point left behind for the next shape
        cairo_restore(cr_);
    }

    VectorFormat format_;
    int scale_;
    size_t band_bytes_;  // the largest PNG drawn whole, and the size of a band of a larger one
    bool recording_ = false;  // the calls are kept, to be made on each band at the end
    std::vector<std::function<void(CairoSurface&)>> calls_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    bool gathers_;  // lines and rectangles go into the batch
    ShapeBatch batch_;
};

}  // namespace

bool png_size_fits(long width, long height, int scale) {
    const double w = static_cast<double>(width) * scale, h = static_cast<double>(height) * scale;
    return w >= 1 && h >= 1 && w <= kMaxRasterSide && h <= kMaxRasterSide && w * h <= kMaxExportPixels;
}

std::unique_ptr<VectorSurface> make_cairo_surface(VectorFormat format, int scale, size_t band_bytes) {
    return std::make_unique<CairoSurface>(format, std::clamp(scale, 1, kMaxExportScale), band_bytes);
}

}  // namespace plotwise
