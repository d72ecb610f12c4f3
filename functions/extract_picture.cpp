// ExtractPicture (function 12): a container holding only the picture of a drawn chart.
#include <algorithm>
#include <memory>
#include <new>

#include "boundary/boundary.h"
#include "boundary/call_locale.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "definition/container_streams.h"

namespace plotwise {

namespace {

constexpr double kNotAContainer = -50;
constexpr double kNoPicture = 5;
constexpr uint32_t kSizeBytes = 4;

}  // namespace

int16_t ExtractPicture(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallLocale>(args, [&](CallLocale&) -> int16_t {
        const host::Args arguments(args);
        if (arguments.size() < 1 || !arguments.isContainer(0)) {
            host::setNumber(result, kNotAContainer);
            return 0;
        }
        const FMX_BinaryData* container = arguments.container(0);

        const int32_t pictureIndex = host::streamIndex(container, kPictureStream);
        if (pictureIndex < 0) {
            host::setNumber(result, kNoPicture);
            return 0;
        }
        const uint32_t pictureSize = host::streamSize(container, pictureIndex);
        std::unique_ptr<uint8_t[]> picture(new (std::nothrow) uint8_t[std::max<uint32_t>(pictureSize, 1)]);
        if (!picture || (pictureSize > 0 && !host::readStream(container, pictureIndex, 0, pictureSize, picture.get()))) {
            host::setNumber(result, kNoPicture);
            return 0;
        }

        // The size is four bytes; a missing or short "SIZE" reads as zeros where it ends.
        uint8_t size[kSizeBytes] = {};
        const int32_t sizeIndex = host::streamIndex(container, kSizeStream);
        if (sizeIndex >= 0) {
            const uint32_t amount = std::min(host::streamSize(container, sizeIndex), kSizeBytes);
            if (amount > 0 && !host::readStream(container, sizeIndex, 0, amount, size)) {
                std::fill(std::begin(size), std::end(size), uint8_t{0});
            }
        }

        host::BinaryData extracted;
        int16_t error = stageStream(extracted.get(), kPictureStream, picture.get(), pictureSize);
        if (error == 0) {
            error = stageStream(extracted.get(), kSizeStream, size, kSizeBytes);
        }
        if (error == 0) {
            host::setContainer(result, extracted.get());
        } else {
            host::setNumber(result, error);
        }
        return 0;
    });
}

}  // namespace plotwise
