// Container files: a container's streams on disk.
//   OFFSET SIZE  FIELD
//        0    4  "PWCF"
//        4    4  version, little-endian (1)
//        8    4  stream count, little-endian
//       12       per stream, in the container's order:
//                  4  type code (four characters)
//                  4  length, little-endian
//                  n  the bytes
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

constexpr std::string_view kContainerFileMagic = "PWCF";
constexpr uint32_t kContainerFileVersion = 1;
constexpr std::size_t kContainerFileHeaderSize = 12;
constexpr std::size_t kStreamHeaderSize = 8;

// What is wrong with the bytes of a damaged or foreign file.
class ContainerFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string encodeContainerFile(const std::vector<ContainerStream>& streams);
// Throws ContainerFileError; never reads past the bytes it is given.
std::vector<ContainerStream> decodeContainerFile(std::string_view bytes);

// Reads and decodes a file; throws UsageError naming the file and the fault.
std::vector<ContainerStream> readContainerFile(const std::string& path);
void writeContainerFile(const std::string& path, const std::vector<ContainerStream>& streams);

}  // namespace plotwise::app
