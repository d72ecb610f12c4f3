// The program: command line, set-up of the plug-in and the host side, evaluation, output.
#include "app/program.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <set>

#include "app/container_file.h"
#include "app/container_report.h"
#include "app/diagnostics.h"
#include "app/evaluator.h"
#include "app/file_io.h"
#include "app/font_path.h"
#include "app/parser.h"
#include "app/picture_file.h"
#include "app/plugin_module.h"
#include "app/record_tables.h"
#include "app/resolver.h"
#include "app/text_util.h"

namespace plotwise::app {

namespace {

// The options of eval and run: the command line is read from this table and --help prints it,
// one line per row.
struct Option {
    std::string_view shortName;
    std::string_view longName;
    std::string_view value;            // what the option takes, as --help names it
    std::string CommandLine::*single;  // the option's value, or null for a repeatable one
    std::string_view meaning;
    std::string_view example;
};
constexpr Option kOptions[] = {
    {"-o", "--output", "FILE", &CommandLine::output,
     "write the picture of a container result: .gif as it is, .png converted, .svg and .pdf drawn as vectors",
     "-o chart.png"},
    {"", "--scale", "N", &CommandLine::scale,
     "with -o FILE.png: the chart drawn as vectors, N (1 to 8) pixels per picture pixel", "-o chart.png --scale 2"},
    {"", "--container", "FILE", &CommandLine::container,
     "write a container result, all its streams, as a container file", "--container chart.pwcf"},
    {"", "--table", "NAME=FILE.csv", nullptr,
     "load a CSV file (first row: field names; comma, semicolon or tab) as table NAME; repeatable",
     "--table Orders=orders.csv"},
    {"", "--var", "NAME=VALUE", nullptr, "bind $NAME to the text VALUE, or with @FILE to a container file; repeatable",
     "--var title=Sales --var chart=@chart.pwcf"},
    {"", "--locale", "NAME", &CommandLine::locale,
     "how texts read as dates and times: default (month/day/year) or de (day.month.year)", "--locale de"},
    {"", "--plugin", "FILE", &CommandLine::plugin,
     "the plug-in to load (default: Plotwise.fmx next to this program or in ../lib/plotwise)",
     "--plugin /opt/plotwise/Plotwise.fmx"},
};

// The topics of `plotwise help TOPIC`.
constexpr std::string_view kFunctionsTopic = "functions";

std::pair<std::string, std::string> splitVariable(const std::string& argument) {
    const std::size_t eq = argument.find('=');
    if (eq == std::string::npos || eq == 0)
        throw UsageError("--var expects NAME=VALUE or NAME=@FILE, got \"" + argument + "\"");
    const std::string name = argument.substr(0, eq);
    if (name == "$" || name == "$$") throw UsageError("--var expects NAME=VALUE, got \"" + argument + "\"");
    return {name, argument.substr(eq + 1)};
}

std::string typeName(int32_t type) {
    switch (type) {
    case kFMX_Number: return "number";
    case kFMX_Date: return "date";
    case kFMX_Time: return "time";
    case kFMX_TimeStamp: return "timestamp";
    case kFMX_Container: return "container";
    default: return "text";
    }
}

class Run {
public:
    Run(const CommandLine& line, std::ostream& out, std::ostream& err) : line_(line), out_(out), err_(err) {}

    int evaluate() {
        if (!line_.output.empty() && !pictureFormatOf(line_.output))
            throw UsageError("-o writes .gif, .png, .svg or .pdf pictures, not \"" + line_.output + "\"");
        if (!line_.scale.empty() && (line_.output.empty() || *pictureFormatOf(line_.output) != PictureFormat::Png))
            throw UsageError("--scale applies to -o FILE.png");
        if (!line_.scale.empty() && exportScale() == 0)
            throw UsageError("--scale takes a whole number from 1 to 8, not \"" + line_.scale + "\"");

        const std::string sourceName = line_.command == CommandLine::Command::Eval ? "<expression>"
                                       : line_.argument == "-"                     ? "<stdin>"
                                                                                   : line_.argument;
        const std::string source =
            line_.command == CommandLine::Command::Eval ? line_.argument : scriptText(readWholeFile(line_.argument));

        // The locale first: tables read their numbers in it. Without --locale a run reads in the
        // default locale, whatever an earlier run in this process chose.
        if (fmhost_set_locale(line_.locale.empty() ? "default" : line_.locale.c_str()) != 0)
            throw UsageError("unknown locale \"" + line_.locale + "\" (for example: default, de)");
        RecordTables tables;
        for (const std::string& t : line_.tables) tables.add(loadTableArgument(t));

        NodePtr root;
        try {
            root = parseExpression(source);
        } catch (const SyntaxError& e) {
            err_ << formatSyntaxError(sourceName, source, e);
            return kExitUsage;
        }

        setFontSearchPath(programFolder());
        PlugInModule plugin;
        plugin.start(plugInPath());

        try {
            resolve(*root);
        } catch (const SyntaxError& e) {
            err_ << formatSyntaxError(sourceName, source, e);
            return kExitUsage;
        }

        Variables variables;
        for (const auto& [name, value] : line_.variables) {
            const std::string var = name.starts_with('$') ? name : "$" + name;
            if (value.starts_with("@")) variables.set(var, Value::container(readContainerFile(value.substr(1))));
            else variables.set(var, Value::text(value));
        }

        std::unique_ptr<FMX_ExprEnv, void (*)(FMX_ExprEnv*)> env(fmhost_env_create(), fmhost_env_delete);
        EvaluationContext context{&tables, &variables, env.get()};
        std::set<std::string> reported;
        EvaluationHook hook(context, [&](std::string_view request, const std::string& error, int32_t code) {
            // Reading past the last record is how the plug-in finds the end of a field.
            if (code == kErrorRecordMissing || !reported.insert(error).second) return;
            err_ << "plotwise: note: the plug-in evaluated \"" << request << "\": " << error << "\n";
        });

        std::optional<Value> result;
        try {
            result = Evaluator(context).evaluate(*root);
        } catch (const EvaluationError& e) {
            err_ << formatEvaluationError(e) << "\n";
            return kExitEvaluation;
        }
        if (!line_.output.empty() && result->isContainer() && exportFormat() != nullptr &&
            findStream(result->streams(), "CHHD") != nullptr) {
            // The chart drawn as vectors: the plug-in's export of the result, as a script would ask for it.
            variables.set("$plotwise_chart", *result);
            const std::string request = std::string("Plotz_Export ( $plotwise_chart ; \"") + exportFormat() + "\" ; " +
                                        std::to_string(exportScale()) + " )";
            try {
                const Value exported = evaluateSource(request, context);
                const int status = deliverExport(*result, exported);
                plugin.shutdown();
                return status;
            } catch (const EvaluationError& e) {
                err_ << formatEvaluationError(e) << "\n";
                return kExitEvaluation;
            }
        }
        const int status = deliver(*result);
        plugin.shutdown();
        return status;
    }

private:
    const CommandLine& line_;
    std::ostream& out_;
    std::ostream& err_;

    std::string plugInPath() const { return !line_.plugin.empty() ? line_.plugin : defaultPlugInPath(programFolder()); }

    // The export format -o asks for: "svg", "pdf", "png" with --scale; null for the GIF itself.
    const char* exportFormat() const {
        switch (*pictureFormatOf(line_.output)) {
        case PictureFormat::Svg: return "svg";
        case PictureFormat::Pdf: return "pdf";
        case PictureFormat::Png: return line_.scale.empty() ? nullptr : "png";
        default: return nullptr;
        }
    }
    // The --scale value (1 when not given), 0 when it is no whole number from 1 to 8.
    int exportScale() const {
        if (line_.scale.empty()) return 1;
        if (line_.scale.size() != 1 || line_.scale[0] < '1' || line_.scale[0] > '8') return 0;
        return line_.scale[0] - '0';
    }

    // Writes the one stream of an export, and the result's container when --container asks for it.
    int deliverExport(const Value& result, const Value& exported) {
        if (!line_.container.empty()) writeContainerFile(line_.container, result.streams());
        static constexpr std::pair<const char*, const char*> kStreams[] = {{"svg", "SVG "}, {"pdf", "PDF "}, {"png", "PNGf"}};
        const char* type = nullptr;
        for (const auto& [format, stream] : kStreams)
            if (std::string_view(format) == exportFormat()) type = stream;
        const std::vector<ContainerStream> streams = exported.streams();
        const ContainerStream* picture = findStream(streams, type);
        if (!picture || picture->bytes.empty()) {
            err_ << "plotwise: the plug-in made no \"" << type << "\" picture of the result: "
                 << missingExportReason(result.streams(), exportFormat(), exportScale()) << "; nothing was written to "
                 << line_.output << "\n";
            return kExitEvaluation;
        }
        writeWholeFile(line_.output,
                       std::string_view(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size()));
        return kExitSuccess;
    }

    int deliver(const Value& result) {
        const bool wantsFiles = !line_.output.empty() || !line_.container.empty();
        if (!result.isContainer()) {
            printValue(result);
            if (!wantsFiles) return kExitSuccess;
            err_ << "plotwise: the result is a " << typeName(result.type())
                 << ", not a container: nothing was written to " << (line_.output.empty() ? line_.container : line_.output)
                 << "\n";
            return kExitEvaluation;
        }
        const std::vector<ContainerStream> streams = result.streams();
        if (!wantsFiles) {
            for (const ContainerStream& s : streams) out_ << s.typeName() << ' ' << s.bytes.size() << '\n';
            return kExitSuccess;
        }
        if (!line_.container.empty()) writeContainerFile(line_.container, streams);
        if (!line_.output.empty()) {
            const ContainerStream* gif = findStream(streams, "GIFf");
            if (!gif) return deliverExported(streams);
            if (gif->bytes.empty()) {
                err_ << "plotwise: the result holds no picture: " << missingPictureReason(streams)
                     << "; nothing was written to " << line_.output << "\n";
                return kExitEvaluation;
            }
            if (*pictureFormatOf(line_.output) == PictureFormat::Gif) {
                writeWholeFile(line_.output, std::string_view(reinterpret_cast<const char*>(gif->bytes.data()),
                                                              gif->bytes.size()));
            } else {
                std::string png;
                try {
                    png = gifToPng(gif->bytes);
                } catch (const std::runtime_error& e) {
                    err_ << "plotwise: " << e.what() << ": nothing was written to " << line_.output << "\n";
                    return kExitEvaluation;
                }
                writeWholeFile(line_.output, png);
            }
        }
        return kExitSuccess;
    }

    // A result that is an export (Plotz_Export's container: one PNG, SVG or PDF stream) is
    // written as that file, when -o names a file of its format.
    int deliverExported(const std::vector<ContainerStream>& streams) {
        static constexpr struct {
            const char* stream;
            PictureFormat format;
            const char* extension;
        } kExports[] = {{"PNGf", PictureFormat::Png, ".png"}, {"SVG ", PictureFormat::Svg, ".svg"},
                        {"PDF ", PictureFormat::Pdf, ".pdf"}};
        for (const auto& e : kExports) {
            const ContainerStream* picture = findStream(streams, e.stream);
            if (picture == nullptr || picture->bytes.empty()) continue;
            if (*pictureFormatOf(line_.output) != e.format || !line_.scale.empty()) {
                err_ << "plotwise: the result is an export of the chart as " << e.extension + 1 << " (stream \""
                     << e.stream << "\"): write it to a " << e.extension << " file without --scale; nothing was "
                     << "written to " << line_.output << "\n";
                return kExitEvaluation;
            }
            writeWholeFile(line_.output,
                           std::string_view(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size()));
            return kExitSuccess;
        }
        err_ << "plotwise: the result holds no picture: " << missingPictureReason(streams) << "; nothing was written to "
             << line_.output << "\n";
        return kExitEvaluation;
    }

    void printValue(const Value& value) { out_ << returnsToLineEnds(value.asText()) << '\n'; }
};

int inspect(const CommandLine& line, std::ostream& out) {
    describeContainer(readContainerFile(line.argument), out);
    return kExitSuccess;
}

// "3 or more arguments", "exactly 1 argument", "no arguments".
std::string argumentCounts(const FunctionInfo& f) {
    const auto arguments = [](int n) { return std::to_string(n) + (n == 1 ? " argument" : " arguments"); };
    if (f.maxArgs == 0) return "no arguments";
    if (f.maxArgs < 0) return std::to_string(f.minArgs) + " or more arguments";
    if (f.minArgs == f.maxArgs) return arguments(f.minArgs);
    return std::to_string(f.minArgs) + " to " + arguments(f.maxArgs);
}

// plotwise help functions: what the plug-in registered, as a host learns it at start-up.
int functionsHelp(const CommandLine& line, std::ostream& out) {
    PlugInModule plugin;
    plugin.start(!line.plugin.empty() ? line.plugin : defaultPlugInPath(programFolder()));
    const std::vector<FunctionInfo> functions = plugInFunctions();
    out << "functions of " << plugin.nameAndVersion() << ", with the prototypes it registers:\n";
    std::size_t widest = 0;
    for (const FunctionInfo& f : functions) widest = std::max(widest, argumentCounts(f).size());
    for (const FunctionInfo& f : functions) {
        const std::string counts = argumentCounts(f);
        out << "  " << counts << std::string(widest - counts.size() + 3, ' ') << f.prototype;
        fmhost_registration reg{};
        if (fmhost_find_registration_id(f.binding.functionId, &reg) == 0 && reg.name[0] == '\0')
            out << "   (registered without a name)";
        out << '\n';
    }
    plugin.shutdown();
    return kExitSuccess;
}

int version(const CommandLine& line, std::ostream& out) {
    PlugInModule plugin;
    plugin.start(!line.plugin.empty() ? line.plugin : defaultPlugInPath(programFolder()));
    out << plugin.nameAndVersion() << '\n';
    plugin.shutdown();
    return kExitSuccess;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool positionalGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (line.command == CommandLine::Command::None) {
            if (arg == "--help" || arg == "-h" || arg == "help") line.command = CommandLine::Command::Help;
            else if (arg == "--version" || arg == "version") line.command = CommandLine::Command::Version;
            else if (arg == "eval") line.command = CommandLine::Command::Eval;
            else if (arg == "run") line.command = CommandLine::Command::Run;
            else if (arg == "inspect") line.command = CommandLine::Command::Inspect;
            else if (arg == "--plugin" && i + 1 < args.size()) line.plugin = args[++i];
            else if (arg.starts_with("--plugin=")) line.plugin = arg.substr(9);
            else throw UsageError("unknown command \"" + arg + "\"");
            continue;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool optionLike = !optionsEnded && (arg.starts_with("--") || arg == "-o" || arg.starts_with("-o="));
        if (optionLike) {
            std::string name = arg;
            std::optional<std::string> value;
            if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            if (name == "--help") {
                line.command = CommandLine::Command::Help;
                return line;
            }
            const Option* option = nullptr;
            for (const Option& o : kOptions)
                if (name == o.longName || (!o.shortName.empty() && name == o.shortName)) option = &o;
            if (!option) throw UsageError("unknown option " + name);
            if (!value) {
                if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
                value = args[++i];
            }
            const bool onlyPlugIn =
                line.command == CommandLine::Command::Version || line.command == CommandLine::Command::Help;
            if (line.command == CommandLine::Command::Inspect || (onlyPlugIn && option->longName != "--plugin"))
                throw UsageError(std::string(option->longName) + " does not apply to this command");
            if (option->longName == "--table") line.tables.push_back(*value);
            else if (option->longName == "--var") line.variables.push_back(splitVariable(*value));
            else line.*(option->single) = *value;
            continue;
        }
        if (line.command == CommandLine::Command::Help && !positionalGiven) {
            if (arg != kFunctionsTopic)
                throw UsageError("no help on \"" + arg + "\": 'plotwise help' explains the program, "
                                 "'plotwise help functions' lists the plug-in's functions");
            line.argument = arg;
            positionalGiven = true;
            continue;
        }
        if (line.command == CommandLine::Command::Help || line.command == CommandLine::Command::Version)
            throw UsageError("unexpected argument \"" + arg + "\"");
        if (positionalGiven) throw UsageError("unexpected argument \"" + arg + "\" (quote the expression as one argument)");
        line.argument = arg;
        positionalGiven = true;
    }
    switch (line.command) {
    case CommandLine::Command::None: throw UsageError("no command given");
    case CommandLine::Command::Eval:
        if (!positionalGiven) throw UsageError("eval needs an expression");
        break;
    case CommandLine::Command::Run:
        if (!positionalGiven) throw UsageError("run needs a script file (\"-\" reads standard input)");
        break;
    case CommandLine::Command::Inspect:
        if (!positionalGiven) throw UsageError("inspect needs a container file");
        break;
    default: break;
    }
    return line;
}

std::string scriptText(std::string text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    if (text.starts_with("#!")) {
        const std::size_t end = text.find_first_of("\r\n");
        text.erase(0, end == std::string::npos ? text.size() : end);
    }
    return text;
}

std::string helpText() {
    std::string text = R"(plotwise - run FileMaker calculations that use the Plotwise chart plug-in

usage:
  plotwise eval EXPR [options]    evaluate one calculation expression
  plotwise run FILE [options]     evaluate the expression held in FILE ("-" reads standard input)
  plotwise inspect FILE           list the streams of a container file and decode its chart
  plotwise help functions         list the plug-in's functions and their arguments
  plotwise --help | --version

options of eval and run:
)";
    std::size_t widest = 0;
    const auto synopsis = [](const Option& o) {
        std::string names = o.shortName.empty() ? "    " : std::string(o.shortName) + ", ";
        return names + std::string(o.longName) + " " + std::string(o.value);
    };
    for (const Option& o : kOptions) widest = std::max(widest, synopsis(o).size());
    for (const Option& o : kOptions) {
        const std::string first = synopsis(o);
        text += "  " + first + std::string(widest - first.size() + 2, ' ') + std::string(o.meaning) +
                "  (e.g. " + std::string(o.example) + ")\n";
    }
    text += R"(
the calculation language:
  12   -3.5   1e3   "text with \" and \\"   "line¶break"   ¶
  a & b (join texts)   + -   * /   -x   ( ... )          (& binds loosest)
  Name ( arg ; arg ; ... )            names without regard to case
  Let ( [ a = 1 ; b = a + 1 ] ; b )   Let ( a = 1 ; a )   $variables
  Table::Field   GetNthRecord ( Table::Field ; n )   List ( ... )   Char ( code )
  GetAsText ( x )   GetAsNumber ( x )   Date ( m ; d ; y )   Time ( h ; m ; s )
  Timestamp ( date ; time )   ContainerAnalysis ( c ; "analysis" )   ExtractPicture ( c )
  the plug-in's functions: Plotz_New, Plotz_Data, Plotz_Style, Plotz_Draw, ... (plotwise help functions)
  // line comments and /* block comments */

output: a text prints with each carriage return as a line end, a number in plain form, a
container (without -o or --container) as one line per stream: TYPE SIZE.

output files: -o and --container follow a symbolic link to the file it leads to, and write
through a pipe or a device (/dev/stdout) rather than replace it.

exit status: 0 success, 1 evaluation error ("error N: message"), 2 usage or syntax error.

example:
  plotwise eval 'Plotz_Draw ( Plotz_Style ( Plotz_Data ( Plotz_New ; "Jan;Feb;Mar" ;
                 "10;20;30" ; 16711680 ; "Sales" ) ; "vbar" ) ; 640 ; 480 )' -o sales.png
)";
    return text;
}

int runProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const CommandLine line = parseCommandLine(args);
        switch (line.command) {
        case CommandLine::Command::Help:
            if (line.argument == kFunctionsTopic) return functionsHelp(line, out);
            out << helpText();
            return kExitSuccess;
        case CommandLine::Command::Version: return version(line, out);
        case CommandLine::Command::Inspect: return inspect(line, out);
        default: return Run(line, out, err).evaluate();
        }
    } catch (const UsageError& e) {
        err << "plotwise: " << e.what() << "\n";
        if (args.empty() || std::string_view(e.what()).starts_with("unknown") ||
            std::string_view(e.what()).starts_with("no command"))
            err << "Try 'plotwise --help'.\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        err << "plotwise: out of memory\n";
        return kExitEvaluation;
    } catch (const std::exception& e) {
        err << "plotwise: " << e.what() << "\n";
        return kExitEvaluation;
    }
}

}  // namespace plotwise::app
