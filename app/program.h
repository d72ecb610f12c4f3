// The plotwise program: its command line and what each command does.
//   plotwise eval EXPR [options]   evaluate one calculation expression
//   plotwise run FILE [options]    evaluate the expression held in FILE ("-": standard input)
//   plotwise inspect FILE          describe a container file
//   plotwise --help | --version
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plotwise::app {

struct CommandLine {
    enum class Command { None, Eval, Run, Inspect, Help, Version };
    Command command = Command::None;
    std::string argument;  // the expression, the script file or the container file
    std::string output;    // -o
    std::string container; // --container
    std::string scale;     // --scale: a PNG drawn as vectors at this scale
    std::vector<std::string> tables;                           // NAME=FILE.csv, in order
    std::vector<std::pair<std::string, std::string>> variables; // NAME, VALUE or @FILE
    std::string locale;
    std::string plugin;
};

// Reads the arguments after the program name; throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string helpText();

// Runs the program; returns the exit status. Output goes to `out`, messages to `err`.
int runProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A script file's text ready for the parser: a byte-order mark is dropped and a first line
// starting with "#!" is blanked (its line break stays, so positions keep their lines).
std::string scriptText(std::string text);

}  // namespace plotwise::app
