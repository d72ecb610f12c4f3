// A FILE* whose bytes end up in memory: the engines write their pictures to a FILE*, and the
// picture goes into the container without passing through a file anyone else can see.
// One implementation per platform (memory_stream_posix.cpp, memory_stream_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdio>

namespace plotwise {

// A stream open for writing whose bytes go to *bytes and *size when it is closed; both must
// stay in place until then. Null when no stream can be had.
FILE* openMemoryStream(char** bytes, std::size_t* size);

// Closes a stream of openMemoryStream. *bytes is then a buffer from malloc (the caller frees
// it, also on failure) and *size its length. False when a write or the close failed.
bool closeMemoryStream(FILE* stream, char** bytes, std::size_t* size);

}  // namespace plotwise
