// GIF writer. In file order: the rows as gd reads them (clipping, interlacing), the code
// stream (bit packing into 254-byte sub-blocks), the LZW compressor, the file.
//
// Byte identity with gd decides every choice here. gd's compressor keeps its string table in
// an open-addressed hash table whose probing treats the slot of the string "pixel 0 after code
// 0" (key 0) as free, so that string can be overwritten and later added again under a new
// code; an ideal string table would give other, equally valid, codes. The same table, probed
// the same way, is kept here. What makes this writer faster: rows are read directly, and a
// string found in the table stays there until the table is cleared, so the code of a string
// followed by a pixel, or by four pixels, is remembered per string and taken without probing
// (the look-ups of a row wait on each other, so a run of background goes four pixels a step).
#include "engine/picture/gif_writer.h"

#include <algorithm>
#include <cstring>

namespace plotwise {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kCodeLimit = 1 << kMaxCodeBits;  // codes 0..4095; a full table clears
constexpr int kHashSize = 5003;                // prime; at most about 80 % of it in use
constexpr int kHashShift = 4;                  // first slot: (pixel << 4) ^ prefix code
constexpr std::size_t kSubBlockBytes = 254;    // gd fills data sub-blocks to 254 bytes
constexpr uint16_t kNoCode = 0xFFFF;
constexpr uint32_t kNothingRecent = 0xFFFF0000; // a pixel field no pixel has

// ---- Rows -------------------------------------------------------------------------------------

// The rows of a picture in the order they are written. gd reads each pixel through its bounds
// check, which honours the clipping rectangle: pixels outside it are written as colour 0, and
// so are rows past the bottom, which gd's interlaced order reaches on pictures under 5 rows.
class RowReader {
public:
    explicit RowReader(const gdImage& image)
        : image_(image),
          x_first_(std::max(image.cx1, 0)),
          x_last_(std::min(image.cx2, image.sx - 1)),
          y_first_(std::max(image.cy1, 0)),
          y_last_(std::min(image.cy2, image.sy - 1)),
          scratch_(static_cast<std::size_t>(image.sx), 0) {}

    const unsigned char* row(int y) {
        if (y < y_first_ || y > y_last_ || x_first_ > x_last_) return zeros();
        const unsigned char* pixels = image_.pixels[y];
        if (x_first_ == 0 && x_last_ == image_.sx - 1) return pixels;
        std::fill(scratch_.begin(), scratch_.end(), 0);
        std::memcpy(scratch_.data() + x_first_, pixels + x_first_, static_cast<std::size_t>(x_last_ - x_first_ + 1));
        return scratch_.data();
    }

private:
    const unsigned char* zeros() {
        std::fill(scratch_.begin(), scratch_.end(), 0);
        return scratch_.data();
    }

    const gdImage& image_;
    int x_first_, x_last_, y_first_, y_last_;
    std::vector<unsigned char> scratch_;
};

// gd's row order: top to bottom, or interlaced in four passes (every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1). A pass starts without checking its first row
// against the height; the count of rows written ends the last pass.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int current() const { return y_; }
    void advance() {
        if (!interlaced_) {
            ++y_;
            return;
        }
        static constexpr int kStep[4] = {8, 8, 4, 2};
        static constexpr int kNextStart[3] = {4, 2, 1};
        y_ += kStep[pass_];
        if (pass_ < 3 && y_ >= height_) {
            y_ = kNextStart[pass_];
            ++pass_;
        }
    }

private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int y_ = 0;
};

// ---- Code stream ------------------------------------------------------------------------------

// Variable-width codes packed from the low bit up, in data sub-blocks, each led by its length.
class CodeStream {
public:
    explicit CodeStream(std::vector<uint8_t>& out) : out_(out) {}

    void put(int code, int bits) {
        accumulator_ |= static_cast<uint32_t>(code) << pending_;
        pending_ += bits;
        while (pending_ >= 8) {
            byte(static_cast<uint8_t>(accumulator_));
            accumulator_ >>= 8;
            pending_ -= 8;
        }
    }

    // Writes the last, partial byte and closes the last sub-block.
    void finish() {
        if (pending_ > 0) byte(static_cast<uint8_t>(accumulator_));
        accumulator_ = 0;
        pending_ = 0;
        if (block_ != kNone) out_[block_] = static_cast<uint8_t>(out_.size() - block_ - 1);
        block_ = kNone;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void byte(uint8_t value) {
        if (block_ == kNone || out_.size() - block_ - 1 == kSubBlockBytes) {
            if (block_ != kNone) out_[block_] = static_cast<uint8_t>(kSubBlockBytes);
            block_ = out_.size();
            out_.push_back(0);
        }
        out_.push_back(value);
    }

    std::vector<uint8_t>& out_;
    std::size_t block_ = kNone;  // index of the open sub-block's length byte
    uint32_t accumulator_ = 0;
    int pending_ = 0;            // bits in the accumulator
};

// ---- Compressor -------------------------------------------------------------------------------

class Compressor {
public:
    Compressor(CodeStream& stream, int initial_bits)
        : stream_(stream),
          initial_bits_(initial_bits),
          clear_code_(1 << (initial_bits - 1)),
          end_code_(clear_code_ + 1),
          keys_(kHashSize),
          codes_(kHashSize),
          recent_(kCodeLimit),
          fours_(kCodeLimit) {
        start_block();
        clear_flag_ = false;
        code_bits_ = initial_bits_;
        max_code_ = (1 << code_bits_) - 1;
    }

    void begin(int first_pixel) {
        prefix_ = first_pixel;
        output(clear_code_);
    }

    // Extends the current string by each pixel of a row, writing a code where the table does
    // not hold the longer string. Out of line, so that its loop keeps the string's code in a
    // register: each pixel's look-up waits for the previous one.
    [[gnu::noinline]] void add(const unsigned char* pixels, int count) {
        const uint32_t* const recent = recent_.data();
        uint64_t* const fours = fours_.data();
        int prefix = prefix_;
        // The codes before the latest single steps, all of which went on (the last `streak`).
        int before[4] = {0, 0, 0, 0};
        int streak = 0;
        int x = 0;
        while (x < count) {
            uint32_t next_four = 0;
            if (x + 4 <= count) {
                std::memcpy(&next_four, pixels + x, sizeof next_four);
                const uint64_t known = fours[prefix];
                if (static_cast<uint32_t>(known >> 32) == next_four && static_cast<uint16_t>(known) != kNoCode) {
                    prefix = static_cast<uint16_t>(known);
                    x += 4;
                    streak = 0;
                    continue;
                }
            }
            const int pixel = pixels[x];
            const int from = prefix;
            ++x;
            const uint32_t seen = recent[prefix];
            if (static_cast<int>(seen >> 16) == pixel) {
                prefix = static_cast<int>(seen & 0xFFFF);
            } else if (!extend(prefix, pixel)) {
                streak = 0;
                continue;
            }
            before[x & 3] = from;
            if (++streak >= 4) {
                // Four steps that went on: the string four pixels back goes to this one at once
                // from now on, unless its first step was key 0.
                const int start = before[(x + 1) & 3];
                uint32_t four;
                std::memcpy(&four, pixels + x - 4, sizeof four);
                if (start != 0 || pixels[x - 4] != 0)
                    fours[start] = static_cast<uint64_t>(four) << 32 | static_cast<uint64_t>(prefix);
            }
        }
        prefix_ = prefix;
    }

    void end() {
        output(prefix_);
        output(end_code_);
        stream_.finish();
    }

private:
    // One step of the string table: the code of prefix + pixel when the table holds it (the
    // string goes on), else writes the prefix's code, adds the longer string (or clears a full
    // table) and starts again from the pixel. Out of line, to keep add()'s loop small.
    [[gnu::noinline]] bool extend(int& prefix, int pixel) {
        int32_t* const keys = keys_.data();
        uint16_t* const codes = codes_.data();
        const int32_t key = (pixel << kMaxCodeBits) + prefix;
        int slot = (pixel << kHashShift) ^ prefix;
        if (keys[slot] != key && keys[slot] >= 0) {
            // Secondary probing; a slot holding key 0 ends it as a free slot would.
            const int step = slot == 0 ? 1 : kHashSize - slot;
            do {
                slot -= step;
                if (slot < 0) slot += kHashSize;
            } while (keys[slot] != key && keys[slot] > 0);
        }
        if (keys[slot] == key) {
            remember(prefix, pixel, codes[slot]);
            prefix = codes[slot];
            return true;
        }
        output(prefix);
        if (next_code_ < kCodeLimit) {
            codes[slot] = static_cast<uint16_t>(next_code_);
            keys[slot] = key;
            remember(prefix, pixel, next_code_);
            ++next_code_;
        } else {
            start_block();
            clear_flag_ = true;
            output(clear_code_);
        }
        prefix = pixel;
        return false;
    }

    // A string found or added stays in its slot until the table is cleared, so its code can
    // be taken without probing: one string per prefix, the latest. Key 0 is left out, as the
    // one string that can leave the table.
    void remember(int prefix, int pixel, int code) {
        if (prefix != 0 || pixel != 0) recent_[prefix] = static_cast<uint32_t>(pixel) << 16 | static_cast<uint32_t>(code);
    }

    void start_block() {
        std::fill(keys_.begin(), keys_.end(), -1);
        std::fill(recent_.begin(), recent_.end(), kNothingRecent);
        std::fill(fours_.begin(), fours_.end(), kNoCode);
        next_code_ = clear_code_ + 2;
    }

    // Writes a code at the current width, then widens the codes once the next new code would
    // not fit (or returns to the first width after a clear code).
    void output(int code) {
        stream_.put(code, code_bits_);
        if (next_code_ > max_code_ || clear_flag_) {
            if (clear_flag_) {
                code_bits_ = initial_bits_;
                max_code_ = (1 << code_bits_) - 1;
                clear_flag_ = false;
            } else {
                ++code_bits_;
                max_code_ = code_bits_ == kMaxCodeBits ? kCodeLimit : (1 << code_bits_) - 1;
            }
        }
    }

    CodeStream& stream_;
    const int initial_bits_;
    const int clear_code_;
    const int end_code_;
    std::vector<int32_t> keys_;   // (pixel << 12) + prefix code; -1 for a free slot
    std::vector<uint16_t> codes_; // the code of the string in the same slot
    std::vector<uint32_t> recent_;// per prefix code: (pixel << 16) | code of a string in the table
    std::vector<uint64_t> fours_; // per prefix code: (four pixels << 32) | code of the string they make
    int next_code_ = 0;
    int code_bits_ = 0;
    int max_code_ = 0;
    bool clear_flag_ = false;
    int prefix_ = 0;              // code of the string matched so far
};

// ---- File -------------------------------------------------------------------------------------

// Bits per palette index: the smallest power of two holding `colors`, at least 1.
int palette_bits(int colors) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < colors) ++bits;
    return bits;
}

void put_word(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

bool encode_gif(const gdImage& image, std::vector<uint8_t>& out) {
    if (image.trueColor || image.sx < 1 || image.sy < 1) return false;
    const int bits = palette_bits(image.colorsTotal);
    const bool transparent = image.transparent >= 0;

    // Header and logical screen: a global palette of 2^bits entries, background 0.
    const char* signature = transparent ? "GIF89a" : "GIF87a";
    out.insert(out.end(), signature, signature + 6);
    put_word(out, image.sx);
    put_word(out, image.sy);
    out.push_back(static_cast<uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < (1 << bits); ++i) {
        out.push_back(static_cast<uint8_t>(image.red[i]));
        out.push_back(static_cast<uint8_t>(image.green[i]));
        out.push_back(static_cast<uint8_t>(image.blue[i]));
    }
    if (transparent) {
        const uint8_t extension[] = {'!', 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(image.transparent), 0};
        out.insert(out.end(), extension, extension + sizeof extension);
    }

    // The image: at (0, 0), the picture's size, no local palette.
    out.push_back(',');
    put_word(out, 0);
    put_word(out, 0);
    put_word(out, image.sx);
    put_word(out, image.sy);
    out.push_back(image.interlace ? 0x40 : 0x00);
    const int minimum_code_size = std::max(bits, 2);
    out.push_back(static_cast<uint8_t>(minimum_code_size));

    CodeStream stream(out);
    Compressor compressor(stream, minimum_code_size + 1);
    RowReader reader(image);
    RowOrder order(image.sy, image.interlace != 0);
    for (int row = 0; row < image.sy; ++row, order.advance()) {
        const unsigned char* pixels = reader.row(order.current());
        if (row == 0) {
            compressor.begin(pixels[0]);
            compressor.add(pixels + 1, image.sx - 1);
        } else {
            compressor.add(pixels, image.sx);
        }
    }
    compressor.end();

    out.push_back(0);
    out.push_back(';');
    return true;
}

}  // namespace plotwise
