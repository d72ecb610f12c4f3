#include "functions/script_arguments.h"

#include "definition/codec.h"

namespace plotwise {

std::string loweredArgument(const host::Args& args, uint32_t index) {
    host::Text text(args.text(index, kTextArgumentBytes));
    text.lowercase();
    return host::textBytes(text.get(), kTextArgumentBytes);
}

void recordArgumentError(const ChartDefinition& definition, ChartHeader& snapshot, uint32_t code, bool loaded) {
    if (loaded) recordError(definition, snapshot, code);
    else if (snapshot.errorCode == 0) snapshot.errorCode = code;
}

}  // namespace plotwise
