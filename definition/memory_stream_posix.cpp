// The memory stream on POSIX systems: open_memstream, which grows its buffer as it is written
// and gives it over at the close.
#include "definition/memory_stream.h"

namespace plotwise {

FILE* openMemoryStream(char** bytes, std::size_t* size) { return open_memstream(bytes, size); }

bool closeMemoryStream(FILE* stream, char**, std::size_t*) {
    const bool failed = ferror(stream) != 0;
    return fclose(stream) == 0 && !failed;
}

}  // namespace plotwise
