// Runs calculation scripts through the built plotwise program with the built plug-in, and reads
// back what they made: container files and pictures.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "definition/chart_definition.h"

namespace plotwise::scripts {

struct ProgramRun {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// A scratch folder, removed with its files when the object goes.
class Folder {
public:
    Folder();
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string path(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

// plotwise COMMAND --plugin PLUGIN ARGS..., run in `folder`.
ProgramRun plotwise(const Folder& folder, const std::string& command, const std::vector<std::string>& args);

// The streams of a container file written with --container.
using Streams = std::vector<std::pair<std::string, std::vector<uint8_t>>>;
Streams readContainerFile(const std::string& bytes);
const std::vector<uint8_t>* stream(const Streams& streams, const std::string& code);

// The chart block and the series records of a container file.
struct StoredChart {
    ChartBlock block{};
    std::vector<SeriesRecord> series;
    bool ok = false;
};
StoredChart storedChart(const Streams& streams);

// Width and height of a PNG file's picture; 0 x 0 when it is not one.
std::pair<int, int> pngSize(const std::string& bytes);

}  // namespace plotwise::scripts
