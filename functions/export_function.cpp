// Plotz_Export ( container ; format {; scale} ): the chart of a definition as a vector picture,
// "png" (anti-aliased, scale 1 to 8 output pixels per picture pixel, 2 when not given), "svg" or
// "pdf", returned alone in a container of one stream. The definition is not changed. Bad
// arguments return the definition with the Export error and its error picture, as the other
// functions return theirs.
#include <cmath>
#include <span>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "definition/picture_streams.h"
#include "driver/export_chart.h"
#include "engine/text/font_files.h"
#include "functions/editing.h"
#include "functions/script_arguments.h"

namespace plotwise {
namespace {

// Longest format keyword read from the arguments.
constexpr std::size_t kFormatArgumentBytes = 16;

// The scale argument: a whole number from 1 to kMaxExportScale; none for anything else.
std::optional<int> exportScale(const host::Args& args) {
    if (args.size() < 3) return kDefaultExportScale;
    const double scale = args.number(2);
    if (!(scale >= 1 && scale <= kMaxExportScale) || scale != std::floor(scale)) return std::nullopt;
    return static_cast<int>(scale);
}

int16_t exportDefinition(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 2 || !args.isContainer(0)) {
        recordArgumentError(call.working.definition(), snapshot, kErrorExport, false);
        return finishEdit(call, &snapshot, result);
    }
    loadDefinition(call.working, args.container(0), snapshot);
    const std::optional<ExportFormat> format = exportFormat(args.text(1, kFormatArgumentBytes));
    const std::optional<int> scale = exportScale(args);
    if (!format || !scale) {
        recordArgumentError(call.working.definition(), snapshot, kErrorExport, true);
        return finishEdit(call, &snapshot, result);
    }

    // A PNG Cairo cannot make gives the size error picture rather than an empty container.
    // The engines draw at the low 16 bits of the stored size; sizes they refuse stay as they are.
    const auto width = static_cast<int16_t>(static_cast<uint16_t>(snapshot.width));
    const auto height = static_cast<int16_t>(static_cast<uint16_t>(snapshot.height));
    if (format->format == VectorFormat::Png && snapshot.errorCode == 0 && width >= 1 && height >= 1 &&
        !png_size_fits(width, height, *scale)) {
        recordError(call.working.definition(), snapshot, kErrorExportSize);
        return finishEdit(call, &snapshot, result);
    }
    refresh_font_search();  // as a drawing does (finishEdit)
    const std::string bytes = exportChart(call.working.definition(), format->format, *scale, call.locale);
    host::BinaryData container;
    if (!bytes.empty()) {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        const int16_t error = attachStream(container.get(), format->stream, std::span(data, bytes.size()));
        if (error != 0) {
            host::setNumber(result, error);
            return 0;
        }
    }
    host::setContainer(result, container.get());
    return 0;
}

}  // namespace

int16_t Plotz_Export(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return exportDefinition(call, host::Args(args), result);
    });
}

}  // namespace plotwise
