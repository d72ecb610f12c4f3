// Binding of names once the plug-in has registered its functions: each call to a built-in
// or registered function, each bare word to a Let name, a function without arguments or a
// field. Unknown functions and wrong argument counts are found here, before anything runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/syntax.h"

namespace plotwise::app {

// A function that a call can name.
struct FunctionInfo {
    std::string name;       // as registered
    int minArgs = 0;
    int maxArgs = 0;        // -1: no upper limit
    std::string prototype;  // for messages; may be empty
    Binding binding;
};

// Built-ins first, then the plug-in's registered names, then the names of the two functions
// registered without one: ContainerAnalysis (id 11) and ExtractPicture (id 12).
std::optional<FunctionInfo> findFunction(std::string_view name);

// Every name a call can use, for suggestions and --help.
std::vector<std::string> knownFunctionNames();

// The plug-in's functions in the order it registered them, with the prototypes it registered
// (the two registered without a name get the names and prototypes scripts call them by).
std::vector<FunctionInfo> plugInFunctions();

// Binds every call and bare word in the tree; throws SyntaxError.
void resolve(Node& root);

}  // namespace plotwise::app
