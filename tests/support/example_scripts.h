// The example, gallery and real-data scripts of the source tree, each with the program
// arguments that run it: "run SCRIPT" and the options its "// options:" line names.
#pragma once

#include <string>
#include <vector>

namespace plotwise::support {

struct ScriptRun {
    std::string name;               // the script's file name
    std::vector<std::string> args;  // "run", its path, its options (file names made absolute)
};

// Every *.calc of examples/, examples/gallery/ and examples/real_data/ under `sourceDir`, in
// that order and by name within each folder.
std::vector<ScriptRun> exampleScripts(const std::string& sourceDir);

}  // namespace plotwise::support
