// The description of a container: stream list; chart header; fonts and axes; series with
// their first points; picture.
#include "app/container_report.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "app/picture_file.h"
#include "common/c_number.h"
#include "definition/chart_definition.h"

namespace plotwise::app {

namespace {

constexpr std::size_t kOldSeriesOffset = 261316;  // series records inside an earlier-layout "CHHD"
constexpr uint32_t kNoColor = 0x01000000;
constexpr std::size_t kPointsShown = 12;

constexpr std::array<std::string_view, kTextTypes> kTextTypeNames{
    "charttitle", "yaxistitle", "yaxistitle2", "xaxistitle", "yaxistexts", "xaxistexts", "pielabels"};
constexpr std::array<std::string_view, 3> kAxisNames{"X", "Y", "Y2"};
constexpr std::array<std::string_view, 6> kAxisTypeNames{"auto", "number", "text", "date", "time", "timestamp"};
constexpr std::array<std::string_view, 4> kOrientationNames{"auto", "horizontal", "vertical", "sharp"};

uint32_t swap32(uint32_t v) {
    return ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24);
}
void swapInPlace(uint32_t& v) { v = swap32(v); }
void swapInPlace(int32_t& v) { v = static_cast<int32_t>(swap32(static_cast<uint32_t>(v))); }
void swapInPlace(float& f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    v = swap32(v);
    std::memcpy(&f, &v, 4);
}

std::string hex(uint32_t v, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, v);
    return buffer;
}

std::string colour(uint32_t c) {
    if (c == kDefaultColor) return "default";
    if (c == kNoColor) return "none";
    if (c > 0xFFFFFF) return "0x" + hex(c, 8) + " (not a colour)";
    return "#" + hex(c, 6);
}

std::string number(double v) {
    char buffer[32];
    const c_number::CNumbers cNumbers;  // 1.5, whatever the process's locale
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

// A fixed-size text field up to its zero (or its end, when damage left none), with line
// breaks shown as the pilcrow.
std::string fieldText(const char* field, std::size_t size) {
    const std::size_t n = strnlen(field, size);
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = field[i];
        if (c == '\r' || c == '\n') out += "\xC2\xB6";
        else if (static_cast<unsigned char>(c) < 0x20) out += '?';
        else out += c;
    }
    return out;
}

std::string quoted(const char* field, std::size_t size) { return "\"" + fieldText(field, size) + "\""; }

std::string tagText(const char (&tag)[4]) {
    std::string out;
    for (char c : tag) {
        if (c == '\0') break;
        out += (c >= 0x20 && c < 0x7F) ? std::string(1, c) : "\\x" + hex(static_cast<unsigned char>(c), 2);
    }
    return out.empty() ? "(none)" : out;
}

// Entries of a label stream in order; entries are zero-terminated.
std::vector<std::string> labelEntries(const ContainerStream* stream, std::size_t wanted) {
    std::vector<std::string> labels;
    if (!stream) return labels;
    const auto& b = stream->bytes;
    std::size_t at = 0;
    while (labels.size() < wanted && at < b.size()) {
        std::size_t end = at;
        while (end < b.size() && b[end] != 0) ++end;
        std::string label(reinterpret_cast<const char*>(b.data() + at), end - at);
        while (!label.empty() && label.back() == ' ') label.pop_back();  // labels end with a blank
        labels.push_back(fieldText(label.c_str(), label.size()));
        at = end + 1;
    }
    return labels;
}

class Description {
public:
    Description(const std::vector<ContainerStream>& streams, std::ostream& out) : streams_(streams), out_(out) {}

    void run() {
        for (const ContainerStream& s : streams_) {
            out_ << printableType(s) << ' ' << s.bytes.size() << '\n';
        }
        if (streams_.empty()) out_ << "(the container is empty)\n";
        const ContainerStream* chhd = findStream(streams_, "CHHD");
        if (chhd) chart(*chhd);
        picture();
    }

private:
    const std::vector<ContainerStream>& streams_;
    std::ostream& out_;
    ChartBlock block_{};
    bool reversed_ = false;

    static std::string printableType(const ContainerStream& s) {
        std::string out;
        for (char c : s.type) out += (c >= 0x20 && c < 0x7F) ? c : '?';
        return out;
    }

    void row(std::string_view label, const std::string& value) {
        out_ << "  " << label;
        for (std::size_t i = label.size(); i < 16; ++i) out_ << ' ';
        out_ << value << '\n';
    }

    void chart(const ContainerStream& chhd) {
        out_ << "\nchart definition\n";
        const std::size_t size = chhd.bytes.size();
        if (size < sizeof(ChartHeader)) {
            out_ << "  the chart header is cut short: " << size << " of " << sizeof(ChartHeader) << " bytes\n";
            return;
        }
        const bool earlier = size > sizeof(ChartBlock);
        std::memcpy(&block_, chhd.bytes.data(), std::min(size, sizeof(ChartBlock)));
        if (earlier) {
            // The earlier layout keeps its fonts elsewhere and has no axis records.
            constexpr std::size_t kOldFontOffset = 1087716;
            constexpr std::size_t kFontBytes = offsetof(ChartBlock, axis) - offsetof(ChartBlock, fontSize);
            std::memset(reinterpret_cast<char*>(&block_) + sizeof(ChartHeader), 0,
                        sizeof(ChartBlock) - sizeof(ChartHeader));
            if (size >= kOldFontOffset + kFontBytes)
                std::memcpy(&block_.fontSize, chhd.bytes.data() + kOldFontOffset, kFontBytes);
        }
        ChartHeader& h = block_.header;
        if (h.seriesCount > static_cast<uint32_t>(kMaxSeries)) {
            reverseBlock();
            reversed_ = true;
        }
        row("format tag", tagText(h.formatTag) + (earlier ? " (earlier layout)" : ""));
        if (reversed_) row("byte order", "reversed (written on a machine of the other byte order)");
        // The sides as Plotz_Draw was given them: a width of -400 is -400.
        row("picture size", std::to_string(static_cast<int32_t>(h.width)) + " x " +
                                std::to_string(static_cast<int32_t>(h.height)));
        row("background", colour(h.backgroundColor));
        row("text colour", colour(h.textColor));
        row("style", fieldText(h.style, sizeof h.style));
        const std::string substyle = fieldText(h.substyle, sizeof h.substyle);
        row("substyle", substyle.empty() ? "(none)" : substyle);
        row("chart title", quoted(h.chartTitle, sizeof h.chartTitle));
        row("x axis title", quoted(h.xAxisTitle, sizeof h.xAxisTitle));
        row("y axis title", quoted(h.yAxisTitle, sizeof h.yAxisTitle));
        std::string series = std::to_string(h.seriesCount);
        if (h.seriesCount > static_cast<uint32_t>(kMaxSeries)) series += " (damaged: at most 100)";
        row("series", series);
        std::string values = std::to_string(h.valueCount) + " per series";
        if (h.valueCount > static_cast<uint32_t>(kMaxValues)) values += " (more than 1000 are not kept)";
        row("values", values);
        if (h.errorCode == 0) {
            row("error", "none");
        } else {
            const std::string_view message = chartErrorMessage(h.errorCode);
            row("error", std::to_string(h.errorCode) + " " +
                             (message.empty() ? std::string("(unknown error code)") : std::string(message)));
        }
        row("pie colours", h.customPieColors ? "custom" : "default");

        if (earlier || size >= offsetof(ChartBlock, axis)) fonts();
        else out_ << "  (the chart block is cut short at " << size << " bytes: no fonts or axes)\n";
        if (!earlier && size >= offsetof(ChartBlock, pieColor)) axes();
        seriesList(chhd, earlier);
    }

    void reverseBlock() {
        ChartHeader& h = block_.header;
        for (uint32_t* f : {&h.width, &h.height, &h.backgroundColor, &h.textColor, &h.seriesCount, &h.valueCount,
                            &h.errorCode})
            swapInPlace(*f);
        for (int i = 0; i < kTextTypes; ++i) {
            swapInPlace(block_.fontSize[i]);
            swapInPlace(block_.fontColor[i]);
        }
        for (AxisOptions& a : block_.axis) {
            for (float* f : {&a.min, &a.max, &a.gridStep, &a.markStep, &a.labelStep}) swapInPlace(*f);
            swapInPlace(a.type);
            swapInPlace(a.labelsOrientation);
        }
    }

    void fonts() {
        out_ << "\nfonts\n";
        for (int t = 0; t < kTextTypes; ++t) {
            std::string line = fieldText(block_.fontName[t], kTextFieldSize);
            if (line.empty()) line = "(none)";
            line += ", size " + (block_.fontSize[t] == 0 ? std::string("auto") : std::to_string(block_.fontSize[t]));
            line += ", colour " + colour(block_.fontColor[t]);
            row(kTextTypeNames[static_cast<std::size_t>(t)], line);
        }
    }

    void axes() {
        out_ << "\naxes\n";
        constexpr std::array<std::string_view, 5> kStepNames{"min", "max", "gridStep", "markStep", "labelStep"};
        for (std::size_t i = 0; i < 3; ++i) {
            const AxisOptions& a = block_.axis[i];
            const float values[5] = {a.min, a.max, a.gridStep, a.markStep, a.labelStep};
            std::string line;
            const auto add = [&](std::string_view name, const std::string& value) {
                line += (line.empty() ? "" : ", ") + std::string(name) + " " + value;
            };
            for (std::size_t k = 0; k < 5; ++k)
                if (!a.isAuto[k]) add(kStepNames[k], number(values[k]));
            if (!a.isAuto[5] || a.type != 0)
                add("type", a.type >= 0 && a.type < 6 ? std::string(kAxisTypeNames[static_cast<std::size_t>(a.type)])
                                                       : std::to_string(a.type) + " (unknown)");
            if (!a.isAuto[6]) add("format", quoted(a.format, sizeof a.format));
            if (a.labelsOrientation != 0)
                add("labelsOrientation", a.labelsOrientation > 0 && a.labelsOrientation < 4
                                             ? std::string(kOrientationNames[static_cast<std::size_t>(a.labelsOrientation)])
                                             : std::to_string(a.labelsOrientation) + " (unknown)");
            row(kAxisNames[i], line.empty() ? "automatic" : line);
        }
    }

    void seriesList(const ContainerStream& chhd, bool earlier) {
        const ChartHeader& h = block_.header;
        const std::size_t count = std::min<std::size_t>(h.seriesCount, kMaxSeries);
        if (count == 0) return;
        const uint8_t* records = nullptr;
        std::size_t available = 0;
        if (earlier) {
            if (chhd.bytes.size() > kOldSeriesOffset) {
                records = chhd.bytes.data() + kOldSeriesOffset;
                available = (chhd.bytes.size() - kOldSeriesOffset) / sizeof(SeriesRecord);
            }
        } else if (const ContainerStream* sers = findStream(streams_, "SERS")) {
            records = sers->bytes.data();
            available = sers->bytes.size() / sizeof(SeriesRecord);
        }
        const std::size_t values = std::min<std::size_t>(h.valueCount, kMaxValues);
        const std::vector<std::string> xLabels = labelEntries(findStream(streams_, "LABS"), count * values);
        const std::vector<std::string> yLabels = labelEntries(findStream(streams_, "LABY"), count * values);

        out_ << "\nseries\n";
        if (available < count)
            out_ << "  (the series records hold " << available << " of the " << count << " series)\n";
        for (std::size_t s = 0; s < std::min(count, available); ++s) {
            SeriesRecord record;
            std::memcpy(&record, records + s * sizeof(SeriesRecord), sizeof(SeriesRecord));
            if (reversed_) swapInPlace(record.color);
            out_ << "  " << (s + 1) << "  " << colour(record.color) << "  "
                 << quoted(record.name, sizeof record.name) << "\n";
            const std::size_t shown = std::min(values, kPointsShown);
            for (std::size_t v = 0; v < shown; ++v) {
                float x = record.x[v];
                float y = record.y[v];
                if (reversed_) {
                    swapInPlace(x);
                    swapInPlace(y);
                }
                const std::size_t k = s * values + v;
                std::string line = "      ";
                std::string label = k < xLabels.size() ? xLabels[k] : std::string();
                line += label.empty() ? "-" : label;
                line += "  x " + number(x) + "  y " + number(y);
                if (k < yLabels.size() && !yLabels[k].empty()) line += "  \"" + yLabels[k] + "\"";
                out_ << line << '\n';
            }
            if (values > shown) out_ << "      ... " << (values - shown) << " more\n";
        }
    }

    void picture() {
        const ContainerStream* gif = findStream(streams_, "GIFf");
        const ContainerStream* size = findStream(streams_, "SIZE");
        if (!gif && !size) return;
        out_ << "\npicture\n";
        if (gif) {
            const std::optional<std::pair<int, int>> dims = gifSize(gif->bytes);
            row("GIFf", dims ? "GIF " + std::to_string(dims->first) + " x " + std::to_string(dims->second) + ", " +
                                   std::to_string(gif->bytes.size()) + " bytes"
                             : std::to_string(gif->bytes.size()) + " bytes, not a GIF picture");
        }
        if (size) {
            const auto& b = size->bytes;
            row("SIZE", b.size() >= 4 ? std::to_string((b[0] << 8) | b[1]) + " x " + std::to_string((b[2] << 8) | b[3])
                                      : std::to_string(b.size()) + " bytes (4 expected)");
        }
    }
};

}  // namespace

void describeContainer(const std::vector<ContainerStream>& streams, std::ostream& out) {
    Description(streams, out).run();
}

}  // namespace plotwise::app
