// GIF writer. In file order: the rows as gd reads them (clipping, interlacing), the code
// stream (bit packing into 254-byte sub-blocks), the LZW compressor, the file.
//
// Byte identity with gd decides every choice here. gd's compressor keeps its string table in
// an open-addressed hash table whose probing treats the slot of the string "pixel 0 after code
// 0" (key 0) as free, so that string can be overwritten and later added again under a new
// code; an ideal string table would give other, equally valid, codes. Every other string,
// once added, is found by gd until the table is cleared, so the writer answers look-ups from
// a directly indexed table and keeps only the occupancy of gd's hash table, probed as gd
// probes it when a string is added, to see when key 0 is overwritten. What makes the writer
// fast: rows are read directly, a look-up is one load, and a run of one colour goes in one
// step along the chain of strings that grow by that colour.
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

// The string table, indexed directly: the code of prefix + pixel at (prefix << pixel bits) |
// pixel, 0 for none (no string gets code 0). Kept per thread and left empty after every use,
// so that only the entries a picture sets are ever written, and cleared again, instead of
// the whole table per picture. Up to 4096 << 8 entries, 2 MB, for 256-colour pictures.
class DirectTable {
public:
    explicit DirectTable(std::size_t size) : entries_(table()) {
        if (entries_.size() < size) entries_.resize(size, 0);
    }
    uint16_t* data() { return entries_.data(); }

private:
    static std::vector<uint16_t>& table() {
        thread_local std::vector<uint16_t> entries;
        return entries;
    }
    std::vector<uint16_t>& entries_;
};

// gd's LZW compressor, with the string table in two forms: the direct table above, which
// answers every look-up, and the occupancy of gd's hash table, which only decides where gd
// would put each new string. That place matters in one case: a new string whose probing ends
// on the slot of the string "pixel 0 after code 0" (key 0) replaces it, and the next time
// that string is met it is added again under a new code.
//
// A run of one colour goes in one step: the strings that grow by that colour (S, S + c,
// S + c + c, ...) are kept as chains of their codes, each string in the chain of its last
// pixel, so a run of n pixels from the string at depth d ends at depth d + n when the chain
// is that long, or at its end, where the next pixel writes a code.
class Compressor {
public:
    Compressor(CodeStream& stream, int initial_bits)
        : stream_(stream),
          initial_bits_(initial_bits),
          pixel_bits_(initial_bits - 1),
          clear_code_(1 << pixel_bits_),
          end_code_(clear_code_ + 1),
          table_(static_cast<std::size_t>(kCodeLimit) << pixel_bits_),
          child_(table_.data()),
          slots_(kHashSize),
          key_(kCodeLimit),
          last_(kCodeLimit),
          chain_(kCodeLimit),
          depth_(kCodeLimit),
          chain_begin_(kCodeLimit),
          chain_length_(kCodeLimit),
          chain_capacity_(kCodeLimit),
          pool_(kPoolSize) {
        start_block();
        clear_flag_ = false;
        code_bits_ = initial_bits_;
        max_code_ = (1 << code_bits_) - 1;
    }

    // The direct table goes back to empty for the next picture on this thread, whatever
    // ended this one.
    ~Compressor() { forget_strings(); }

    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Palette indices at or past the clear code have no string of their own; gd writes them
    // as codes anyway, a broken file the caller leaves to gd.
    bool codable(int pixel) const { return pixel < clear_code_; }

    void begin(int first_pixel) {
        prefix_ = first_pixel;
        output(clear_code_);
    }

    // Extends the current string by the pixels of a row, run by run.
    bool add(const unsigned char* pixels, int count) {
        int x = 0;
        while (x < count) {
            const int pixel = pixels[x];
            if (!codable(pixel)) return false;
            const int end = run_end(pixels, x, count);
            add_run(pixel, end - x);
            x = end;
        }
        return true;
    }

    void end() {
        output(prefix_);
        output(end_code_);
        stream_.finish();
    }

private:
    static constexpr uint8_t kFree = 0;     // gd's -1
    static constexpr uint8_t kKeyZero = 1;  // the string "pixel 0 after code 0"
    static constexpr uint8_t kTaken = 2;    // any other string
    static constexpr int kRootCapacity = 8; // first room of a chain of single pixels
    static constexpr int kChainCapacity = 2;// first room of any other chain
    // Chains double when full and leave their old room behind, so a chain of n codes has
    // taken at most its first room or 4n; all chains hold at most 4096 + 256 codes.
    static constexpr std::size_t kPoolSize = kRootCapacity * 256 + 4 * (kCodeLimit + 256);

    // The end of the run of pixels[x]'s colour, eight pixels a step.
    static int run_end(const unsigned char* pixels, int x, int count) {
        const uint64_t pattern = 0x0101010101010101ULL * pixels[x];
        ++x;
        while (x + 8 <= count) {
            uint64_t word;
            std::memcpy(&word, pixels + x, sizeof word);
            if (const uint64_t differ = word ^ pattern) return x + (__builtin_ctzll(differ) >> 3);
            x += 8;
        }
        while (x < count && pixels[x] == pixels[x - 1]) ++x;
        return x;
    }

    void add_run(int pixel, int count) {
        int prefix = prefix_;
        while (count > 0) {
            if (last_[prefix] == pixel) {
                const int first = chain_[prefix];
                const int length = chain_length_[first];
                const int ahead = length - depth_[prefix];
                const uint16_t* members = pool_.data() + chain_begin_[first];
                if (ahead >= count) {
                    prefix = members[depth_[prefix] - 1 + count];
                    break;
                }
                prefix = members[length - 1];
                count -= ahead;
            } else if (const int next = child_[static_cast<uint32_t>(prefix) << pixel_bits_ | static_cast<uint32_t>(pixel)]) {
                prefix = next;
                --count;
                continue;
            }
            miss(prefix, pixel);
            prefix = pixel;
            --count;
        }
        prefix_ = prefix;
    }

    // The table does not hold prefix + pixel: writes the prefix's code and adds the longer
    // string, or clears a full table. Out of line, to keep the run loop small.
    [[gnu::noinline]] void miss(int prefix, int pixel) {
        output(prefix);
        if (next_code_ < kCodeLimit) {
            add_string(prefix, pixel);
        } else {
            forget_strings();
            start_block();
            clear_flag_ = true;
            output(clear_code_);
        }
    }

    void add_string(int prefix, int pixel) {
        const int code = next_code_++;
        // Where gd puts the string: its first slot if free, else the first slot of its
        // secondary probing that is free or holds key 0.
        int slot = (pixel << kHashShift) ^ prefix;
        if (slots_[slot] != kFree) {
            const int step = slot == 0 ? 1 : kHashSize - slot;
            do {
                slot -= step;
                if (slot < 0) slot += kHashSize;
            } while (slots_[slot] == kTaken);
        }
        const bool replaces_key_zero = slots_[slot] == kKeyZero;
        slots_[slot] = prefix == 0 && pixel == 0 ? kKeyZero : kTaken;

        const uint32_t key = static_cast<uint32_t>(prefix) << pixel_bits_ | static_cast<uint32_t>(pixel);
        child_[key] = static_cast<uint16_t>(code);
        key_[code] = key;
        last_[code] = static_cast<uint8_t>(pixel);
        if (last_[prefix] == pixel) {
            // The prefix ends its chain (the table lacked the next string): extend it.
            const int first = chain_[prefix];
            append(first, code);
            chain_[code] = static_cast<uint16_t>(first);
            depth_[code] = chain_length_[first];
        } else {
            open_chain(code, kChainCapacity);
        }
        if (replaces_key_zero) {
            // Code 0 goes on by pixel 0 no more; its chain ends at code 0 until the string is
            // added again. (The strings past it can no longer be reached.)
            child_[0] = 0;
            chain_length_[0] = 1;
        }
    }

    void open_chain(int code, int capacity) {
        chain_[code] = static_cast<uint16_t>(code);
        depth_[code] = 1;
        chain_begin_[code] = static_cast<uint32_t>(pool_used_);
        chain_length_[code] = 1;
        chain_capacity_[code] = static_cast<uint16_t>(capacity);
        pool_used_ += static_cast<std::size_t>(capacity);
        pool_[chain_begin_[code]] = static_cast<uint16_t>(code);
    }

    void append(int first, int code) {
        if (chain_length_[first] == chain_capacity_[first]) {
            const std::size_t moved = pool_used_;
            pool_used_ += 2 * static_cast<std::size_t>(chain_capacity_[first]);
            std::copy_n(pool_.begin() + chain_begin_[first], chain_length_[first], pool_.begin() + static_cast<std::ptrdiff_t>(moved));
            chain_begin_[first] = static_cast<uint32_t>(moved);
            chain_capacity_[first] = static_cast<uint16_t>(2 * chain_capacity_[first]);
        }
        pool_[chain_begin_[first] + chain_length_[first]] = static_cast<uint16_t>(code);
        ++chain_length_[first];
    }

    // Empties the direct table of the strings added since the last clear.
    void forget_strings() {
        for (int code = clear_code_ + 2; code < next_code_; ++code) child_[key_[code]] = 0;
        next_code_ = clear_code_ + 2;
    }

    // A new block: gd's empty hash table, and the single pixels as the only strings.
    void start_block() {
        std::fill(slots_.begin(), slots_.end(), kFree);
        pool_used_ = 0;
        for (int pixel = 0; pixel < clear_code_; ++pixel) {
            last_[pixel] = static_cast<uint8_t>(pixel);
            open_chain(pixel, kRootCapacity);
        }
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
    const int pixel_bits_;                 // bits of a pixel in a direct-table index
    const int clear_code_;
    const int end_code_;
    DirectTable table_;
    uint16_t* const child_;                // the direct table: code of prefix + pixel
    std::vector<uint8_t> slots_;           // gd's hash table: kFree, kKeyZero or kTaken
    std::vector<uint32_t> key_;            // per code: its direct-table index
    std::vector<uint8_t> last_;            // per code: the last pixel of its string
    std::vector<uint16_t> chain_;          // per code: the first code of its chain
    std::vector<uint16_t> depth_;          // per code: its place in that chain, from 1
    std::vector<uint32_t> chain_begin_;    // per first code: where its chain is in the pool
    std::vector<uint16_t> chain_length_;   // per first code: codes in the chain
    std::vector<uint16_t> chain_capacity_; // per first code: room in the pool
    std::vector<uint16_t> pool_;           // the chains' codes
    std::size_t pool_used_ = 0;
    int next_code_ = 0;
    int code_bits_ = 0;
    int max_code_ = 0;
    bool clear_flag_ = false;
    int prefix_ = 0;                       // code of the string matched so far
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
    const std::size_t start = out.size();
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
    {
        Compressor compressor(stream, minimum_code_size + 1);
        RowReader reader(image);
        RowOrder order(image.sy, image.interlace != 0);
        bool codable = true;
        for (int row = 0; row < image.sy && codable; ++row, order.advance()) {
            const unsigned char* pixels = reader.row(order.current());
            if (row == 0) {
                codable = compressor.codable(pixels[0]);
                if (codable) compressor.begin(pixels[0]);
                codable = codable && compressor.add(pixels + 1, image.sx - 1);
            } else {
                codable = compressor.add(pixels, image.sx);
            }
        }
        if (!codable) {
            out.resize(start);
            return false;
        }
        compressor.end();
    }

    out.push_back(0);
    out.push_back(';');
    return true;
}

}  // namespace plotwise
