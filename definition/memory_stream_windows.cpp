// The memory stream on Windows, which has no open_memstream: a temporary file of this stream's
// own in the user's temporary folder (GetTempPath), created for this process alone, kept in
// memory by the system where it can (a temporary file) and deleted by the system when it is
// closed. At the close its bytes are read back into a buffer.
#include "definition/memory_stream.h"

#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace plotwise {

FILE* openMemoryStream(char** bytes, std::size_t* size) {
    *bytes = nullptr;
    *size = 0;
    char folder[MAX_PATH + 1];
    char path[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > sizeof folder || GetTempFileNameA(folder, "pw", 0, path) == 0) return nullptr;
    const HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(path);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(descriptor, "w+b");
    if (stream == nullptr) _close(descriptor);
    return stream;
}

bool closeMemoryStream(FILE* stream, char** bytes, std::size_t* size) {
    bool ok = ferror(stream) == 0 && fflush(stream) == 0 && fseek(stream, 0, SEEK_END) == 0;
    const long end = ok ? ftell(stream) : -1;
    ok = ok && end >= 0 && fseek(stream, 0, SEEK_SET) == 0;
    if (ok) {
        *size = static_cast<std::size_t>(end);
        *bytes = static_cast<char*>(std::malloc(*size > 0 ? *size : 1));
        ok = *bytes != nullptr && fread(*bytes, 1, *size, stream) == *size;
    }
    ok = fclose(stream) == 0 && ok;
    if (!ok) *size = 0;
    return ok;
}

}  // namespace plotwise
