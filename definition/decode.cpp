// Decoding a container into the working definition.
//
// Order: the chart block ("CHHD": current layout, earlier layout, either byte order), then the
// label streams ("LABS", "LABY"), then the series records ("SERS"). Every count read from a
// stream is checked against the table it indexes, and nothing is read past a stream's end.
// The cost follows what the container holds, never the capacity of the tables.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "boundary/host_calls.h"
#include "definition/codec.h"
#include "definition/container_streams.h"

namespace plotwise {

namespace {

constexpr uint32_t kBlockSize = sizeof(ChartBlock);      // 7624
constexpr uint32_t kRecordSize = sizeof(SeriesRecord);   // 8264

// The earlier layout of "CHHD": one stream with the header, the pie colours, the X labels of
// one series, all series records and the font table.
//   OFFSET   SIZE    FIELD
//        0   1316    header
//     1316   4000    pieColor
//     5316 256000    X labels of series 0, 1000 x 256 bytes
//   261316 826400    series records
//  1087716   2104    fontSize, fontColor, fontName
//  1089820           end
namespace earlier {
constexpr uint32_t kPieColors = 1316;
constexpr uint32_t kLabels = 5316;
constexpr uint32_t kLabelSize = 256;
constexpr uint32_t kSeries = 261316;
constexpr uint32_t kFonts = 1087716;
constexpr uint32_t kFontTableSize = offsetof(ChartBlock, axis) - offsetof(ChartBlock, fontSize);
constexpr uint32_t kSize = 1089820;
}  // namespace earlier
static_assert(earlier::kPieColors == sizeof(ChartHeader));
static_assert(earlier::kLabels == earlier::kPieColors + sizeof(ChartBlock::pieColor));
static_assert(earlier::kSeries == earlier::kLabels + kMaxValues * earlier::kLabelSize);
static_assert(earlier::kFonts == earlier::kSeries + sizeof(ChartDefinition::series));
static_assert(earlier::kFontTableSize == 2104);
static_assert(earlier::kSize == earlier::kFonts + earlier::kFontTableSize);
static_assert(earlier::kSize <= kLabelStagingSize, "the earlier layout is converted in the staging buffer");

// A run of consecutive 32-bit numeric fields of the chart block.
struct WordRun {
    uint32_t offset;
    uint32_t count;
};

constexpr uint32_t axisField(int axis, std::size_t field) {
    return static_cast<uint32_t>(offsetof(ChartBlock, axis) + axis * sizeof(AxisOptions) + field);
}

// The numeric fields of the chart block, which a writer of the other byte order stored reversed.
constexpr WordRun kBlockWords[] = {
    {offsetof(ChartHeader, width), 4},             // width, height, backgroundColor, textColor
    {offsetof(ChartHeader, seriesCount), 3},       // seriesCount, valueCount, errorCode
    {offsetof(ChartBlock, fontSize), 2 * kTextTypes},  // fontSize, fontColor
    {axisField(0, offsetof(AxisOptions, min)), 6},     // min .. type
    {axisField(0, offsetof(AxisOptions, labelsOrientation)), 1},
    {axisField(1, offsetof(AxisOptions, min)), 6},
    {axisField(1, offsetof(AxisOptions, labelsOrientation)), 1},
    {axisField(2, offsetof(AxisOptions, min)), 6},
    {axisField(2, offsetof(AxisOptions, labelsOrientation)), 1},
    {offsetof(ChartBlock, pieColor), kMaxPieColors},
};
static_assert(offsetof(ChartHeader, textColor) == offsetof(ChartHeader, width) + 12);
static_assert(offsetof(ChartHeader, errorCode) == offsetof(ChartHeader, seriesCount) + 8);
static_assert(offsetof(ChartBlock, fontColor) == offsetof(ChartBlock, fontSize) + 4 * kTextTypes);
static_assert(offsetof(AxisOptions, type) == offsetof(AxisOptions, min) + 20);

// The numeric fields of a series record: unreadable and color, then the X and Y values.
constexpr WordRun kRecordWords[] = {
    {offsetof(SeriesRecord, unreadable), 2},
    {offsetof(SeriesRecord, x), 2 * kMaxValues},
};
static_assert(offsetof(SeriesRecord, color) == 4);
static_assert(offsetof(SeriesRecord, y) == offsetof(SeriesRecord, x) + 4 * kMaxValues);

uint32_t reversed(uint32_t word) {
    return __builtin_bswap32(word);
}

// Reverses the bytes of each field of `runs` that lies wholly within the first `limit` bytes.
template <std::size_t N>
void reverseWords(void* record, const WordRun (&runs)[N], uint32_t limit) {
    auto* bytes = static_cast<uint8_t*>(record);
    for (const WordRun& run : runs) {
        for (uint32_t i = 0; i < run.count; ++i) {
            const uint32_t offset = run.offset + 4 * i;
            if (offset + 4 > limit) {
                return;  // runs are in ascending order
            }
            uint32_t word;
            std::memcpy(&word, bytes + offset, 4);
            word = reversed(word);
            std::memcpy(bytes + offset, &word, 4);
        }
    }
}

// Reads a current-layout block over the start of the working block; returns the number of
// bytes that came from the stream. Bytes after them keep their previous values, and bytes of
// a longer stream past the block are not part of this layout.
uint32_t readCurrentBlock(const FMX_BinaryData* container, int32_t index, uint32_t size, ChartBlock& block) {
    const uint32_t amount = std::min(size, kBlockSize);
    if (amount == 0) {
        return 0;
    }
    alignas(ChartBlock) uint8_t stored[kBlockSize];
    if (!host::readStream(container, index, 0, amount, stored)) {
        return 0;
    }
    std::memcpy(&block, stored, amount);
    return amount;
}

// Converts an earlier-layout block into the working definition: header, fonts and pie colours
// into the block, X labels of series 0 (and blank Y labels), all series records. The axes are
// left for the caller, which sets them to their defaults once the byte order is settled.
bool readEarlierLayout(const FMX_BinaryData* container, int32_t index, WorkingSet& working) {
    ChartDefinition& definition = working.definition();
    uint8_t* stored = working.labelStaging();
    if (!host::readStream(container, index, 0, earlier::kSize, stored)) {
        return false;
    }
    ChartBlock& block = definition.block;
    std::memcpy(&block.header, stored, sizeof block.header);
    std::memcpy(block.fontSize, stored + earlier::kFonts, earlier::kFontTableSize);
    std::memcpy(block.pieColor, stored + earlier::kPieColors, sizeof block.pieColor);
    for (int v = 0; v < kMaxValues; ++v) {
        const char* label = reinterpret_cast<const char*>(stored + earlier::kLabels + v * earlier::kLabelSize);
        copyText(definition.xLabel[0][v], std::string_view(label, strnlen(label, earlier::kLabelSize)));
        copyText(definition.yLabel[0][v], " ");
    }
    std::memcpy(definition.series, stored + earlier::kSeries, sizeof definition.series);
    working.markTablesUsed(kMaxSeries, kMaxValues);
    for (SeriesRecord& record : definition.series) {
        record.name[kTextFieldSize - 1] = '\0';
    }
    return true;
}

// A block whose seriesCount cannot index the series table was written in the other byte
// order: convert the fields that came from the stream (`supplied` bytes) and, for the earlier
// layout, the series records in use. Returns true when the block was converted.
bool settleByteOrder(ChartDefinition& definition, uint32_t supplied, bool earlierLayout) {
    ChartHeader& header = definition.header();
    bool converted = false;
    if (header.seriesCount > static_cast<uint32_t>(kMaxSeries) &&
        reversed(header.seriesCount) <= static_cast<uint32_t>(kMaxSeries)) {
        reverseWords(&definition.block, kBlockWords, supplied);
        if (earlierLayout) {
            for (int s = 0; s < seriesInUse(header); ++s) {
                reverseWords(&definition.series[s], kRecordWords, kRecordSize);
            }
        }
        converted = true;
    }
    // A count that neither byte order makes fit is damage: the whole table is in use then.
    header.seriesCount = static_cast<uint32_t>(seriesInUse(header));
    return converted;
}

// Reads the zero-terminated entries of a label stream, chunk by chunk through the staging
// buffer. The end of the stream ends an entry that has no terminating zero.
class LabelReader {
public:
    LabelReader(const FMX_BinaryData* container, int32_t index, uint32_t size, uint8_t* staging)
        : container_(container), index_(index), size_(size), buffer_(staging) {}

    // The next entry, cut to fit a label; an entry past the end of the stream is empty.
    void next(Label& label) {
        char bytes[kLabelSize];  // one byte more than a label keeps, to cut at a character
        std::size_t kept = 0;
        while (position_ < end_ || fill()) {
            const uint8_t* start = buffer_ + position_;
            const std::size_t available = end_ - position_;
            // Entries are short: they are copied until their zero byte in one pass. Once the
            // label is full the rest of the entry is skipped.
            const std::size_t copyable = std::min(available, sizeof bytes - kept);
            std::size_t length = 0;
            while (length < copyable && start[length] != 0) {
                bytes[kept + length] = static_cast<char>(start[length]);
                ++length;
            }
            kept += length;
            if (length == copyable && length < available) {
                const void* zero = std::memchr(start + length, 0, available - length);
                length = zero ? static_cast<std::size_t>(static_cast<const uint8_t*>(zero) - start) : available;
            }
            position_ += static_cast<uint32_t>(length);
            if (length < available) {
                ++position_;  // past the entry's zero byte
                break;
            }
        }
        copyText(label, std::string_view(bytes, kept));
    }

private:
    static constexpr uint32_t kChunk = 64 * 1024;

    bool fill() {
        if (read_ >= size_) {
            return false;
        }
        const uint32_t amount = std::min(kChunk, size_ - read_);
        if (!host::readStream(container_, index_, read_, amount, buffer_)) {
            read_ = size_;
            return false;
        }
        read_ += amount;
        position_ = 0;
        end_ = amount;
        return true;
    }

    const FMX_BinaryData* container_;
    int32_t index_;
    uint32_t size_;
    uint8_t* buffer_;
    uint32_t read_ = 0;      // bytes of the stream read so far
    uint32_t position_ = 0;  // next byte in the buffer
    uint32_t end_ = 0;       // bytes in the buffer
};
static_assert(64 * 1024 <= kLabelStagingSize);

// Fills the labels in use from a label stream. Entries beyond the counts in use are not read;
// labels the stream does not reach become empty, so that no label of another chart remains.
void readLabels(const FMX_BinaryData* container, const char code[4], LabelTable& table, WorkingSet& working) {
    const int32_t index = host::streamIndex(container, code);
    if (index < 0) {
        return;
    }
    LabelReader reader(container, index, host::streamSize(container, index), working.labelStaging());
    const ChartHeader& header = working.definition().header();
    const int series = seriesInUse(header);
    const int values = valuesInUse(header);
    working.markTablesUsed(series, values);
    for (int s = 0; s < series; ++s) {
        for (int v = 0; v < values; ++v) {
            reader.next(table[s][v]);
        }
    }
}

// Copies the series records the stream holds, at most the 100 of the table, from record 0.
// A record the stream holds only in part keeps what it holds and is zero after it.
void readSeries(const FMX_BinaryData* container, WorkingSet& working, bool convert) {
    ChartDefinition& definition = working.definition();
    const int32_t index = host::streamIndex(container, kSeriesStream);
    if (index < 0) {
        return;
    }
    const uint32_t amount =
        std::min<uint32_t>(host::streamSize(container, index), static_cast<uint32_t>(sizeof definition.series));
    if (amount == 0) {
        return;
    }
    const uint32_t whole = amount / kRecordSize;
    const uint32_t part = amount % kRecordSize;
    if (part != 0) {
        std::memset(&definition.series[whole], 0, kRecordSize);
    }
    const uint32_t records = whole + (part != 0 ? 1 : 0);
    working.markTablesUsed(static_cast<int>(records), 0);
    if (!host::readStream(container, index, 0, amount, definition.series)) {
        return;
    }
    for (uint32_t r = 0; r < records; ++r) {
        SeriesRecord& record = definition.series[r];
        record.name[kTextFieldSize - 1] = '\0';
        if (convert) {
            // Records written next to a block of the other byte order share its byte order.
            reverseWords(&record, kRecordWords, r < whole ? kRecordSize : part);
        }
    }
}

}  // namespace

bool decodeDefinition(WorkingSet& working, const FMX_BinaryData* container) {
    ChartDefinition& definition = working.definition();
    const int32_t blockIndex = host::streamIndex(container, kHeaderStream);
    if (blockIndex < 0) {
        return false;
    }
    const uint32_t size = host::streamSize(container, blockIndex);
    // The earlier layout is recognised by its size; any bytes past it are not part of it. A
    // stream between the two sizes is a current block followed by bytes this layout does not
    // know: its block is read and the rest left alone.
    const bool earlierLayout = size >= earlier::kSize;
    uint32_t supplied = 0;
    if (earlierLayout) {
        supplied = readEarlierLayout(container, blockIndex, working) ? kBlockSize : 0;
    } else {
        supplied = readCurrentBlock(container, blockIndex, size, definition.block);
    }
    const bool otherByteOrder = settleByteOrder(definition, supplied, earlierLayout && supplied > 0);
    if (earlierLayout && supplied > 0) {
        for (AxisOptions& axis : definition.block.axis) {
            resetAxis(axis);  // the earlier layout has no axis records
        }
    }
    terminateBlockTexts(definition.block);

    readLabels(container, kXLabelStream, definition.xLabel, working);
    readLabels(container, kYLabelStream, definition.yLabel, working);
    readSeries(container, working, otherByteOrder);
    return true;
}

}  // namespace plotwise
