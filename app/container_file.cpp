#include "app/container_file.h"

#include <limits>

#include "app/diagnostics.h"
#include "app/file_io.h"

namespace plotwise::app {

namespace {

void putU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t getU32(std::string_view bytes, std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// The type code as printable text for messages.
std::string shownType(std::string_view type) {
    std::string out;
    for (char c : type) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

}  // namespace

std::string encodeContainerFile(const std::vector<ContainerStream>& streams) {
    if (streams.size() > std::numeric_limits<uint32_t>::max())
        throw ContainerFileError("too many streams for a container file");
    std::string out(kContainerFileMagic);
    putU32(out, kContainerFileVersion);
    putU32(out, static_cast<uint32_t>(streams.size()));
    for (const ContainerStream& stream : streams) {
        if (stream.bytes.size() > std::numeric_limits<uint32_t>::max())
            throw ContainerFileError("the stream " + stream.typeName() + " is too large for a container file");
        out.append(stream.type.data(), 4);
        putU32(out, static_cast<uint32_t>(stream.bytes.size()));
        out.append(reinterpret_cast<const char*>(stream.bytes.data()), stream.bytes.size());
    }
    return out;
}

std::vector<ContainerStream> decodeContainerFile(std::string_view bytes) {
    if (bytes.size() < kContainerFileMagic.size() || bytes.substr(0, 4) != kContainerFileMagic)
        throw ContainerFileError("not a container file (it does not start with \"PWCF\")");
    if (bytes.size() < kContainerFileHeaderSize)
        throw ContainerFileError("the file is cut short: it ends inside its 12-byte header");
    const uint32_t version = getU32(bytes, 4);
    if (version != kContainerFileVersion)
        throw ContainerFileError("container file version " + std::to_string(version) + " is not known (1 is)");
    const uint32_t count = getU32(bytes, 8);
    std::size_t at = kContainerFileHeaderSize;
    // Every stream takes at least its 8-byte header: a count beyond that is damage, caught
    // before anything is allocated for it.
    const std::size_t room = (bytes.size() - at) / kStreamHeaderSize;
    if (count > room)
        throw ContainerFileError("the file claims " + std::to_string(count) + " streams but has room for at most " +
                                 std::to_string(room));
    std::vector<ContainerStream> streams;
    streams.reserve(count);
    for (uint32_t s = 0; s < count; ++s) {
        const std::string where = "stream " + std::to_string(s + 1) + " of " + std::to_string(count);
        if (bytes.size() - at < kStreamHeaderSize)
            throw ContainerFileError("the file is cut short: " + where + " has no complete header");
        ContainerStream stream;
        for (int i = 0; i < 4; ++i) stream.type[static_cast<std::size_t>(i)] = bytes[at + static_cast<std::size_t>(i)];
        const uint32_t length = getU32(bytes, at + 4);
        at += kStreamHeaderSize;
        if (length > bytes.size() - at)
            throw ContainerFileError("the file is cut short: " + where + " (" +
                                     shownType(std::string_view(stream.type.data(), 4)) + ") claims " +
                                     std::to_string(length) + " bytes, " + std::to_string(bytes.size() - at) +
                                     " remain");
        stream.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        streams.push_back(std::move(stream));
    }
    if (at != bytes.size())
        throw ContainerFileError(std::to_string(bytes.size() - at) + " bytes follow the last stream");
    return streams;
}

std::vector<ContainerStream> readContainerFile(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    try {
        return decodeContainerFile(bytes);
    } catch (const ContainerFileError& e) {
        throw UsageError(path + ": " + e.what());
    }
}

void writeContainerFile(const std::string& path, const std::vector<ContainerStream>& streams) {
    std::string bytes;
    try {
        bytes = encodeContainerFile(streams);
    } catch (const ContainerFileError& e) {
        throw UsageError(path + ": " + e.what());
    }
    writeWholeFile(path, bytes);
}

}  // namespace plotwise::app
