// The resolver: one walk over the tree with the Let names in scope.
#include "app/resolver.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/builtins.h"
#include "app/text_util.h"

namespace plotwise::app {

namespace {

// Functions the plug-in registers without a name, by the names scripts call them.
struct UnnamedFunction {
    std::string_view name;
    int16_t functionId;
    std::string_view prototype;
};
constexpr std::array<UnnamedFunction, 2> kUnnamedFunctions{{
    {"ContainerAnalysis", 11, "ContainerAnalysis ( container ; \"analysis\" )"},
    {"ExtractPicture", 12, "ExtractPicture ( container )"},
}};

FunctionInfo fromRegistration(const fmhost_registration& reg, std::string_view name, std::string_view prototype) {
    FunctionInfo info;
    info.name = std::string(name);
    info.minArgs = reg.minArgs;
    info.maxArgs = reg.maxArgs;
    info.prototype = std::string(prototype);
    info.binding.kind = Binding::Kind::PlugIn;
    info.binding.function = reg.function;
    info.binding.functionId = reg.functionId;
    return info;
}

std::string plural(int n, std::string_view word) {
    return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

// "Plotz_Data needs at least 3 arguments, got 2" and the prototype, or "" when the count fits.
std::string argumentCountProblem(const FunctionInfo& f, int given) {
    std::string problem;
    if (f.maxArgs == 0 && given > 0) {
        problem = f.name + " takes no arguments, got " + std::to_string(given);
    } else if (f.minArgs == f.maxArgs && given != f.minArgs) {
        problem = f.name + " takes exactly " + plural(f.minArgs, "argument") + ", got " + std::to_string(given);
    } else if (given < f.minArgs) {
        problem = f.name + " needs at least " + plural(f.minArgs, "argument") + ", got " + std::to_string(given);
    } else if (f.maxArgs >= 0 && given > f.maxArgs) {
        problem = f.name + " takes at most " + plural(f.maxArgs, "argument") + ", got " + std::to_string(given);
    }
    if (!problem.empty() && !f.prototype.empty()) problem += " (" + f.prototype + ")";
    return problem;
}

std::string suggestion(std::string_view unknown) {
    std::string best;
    int bestDistance = std::max<int>(2, static_cast<int>(unknown.size()) / 3) + 1;
    for (const std::string& name : knownFunctionNames()) {
        const int d = editDistance(unknown, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = name;
        }
    }
    return best.empty() ? std::string() : " (did you mean " + best + "?)";
}

class Resolver {
public:
    void node(Node& n) {
        switch (n.kind) {
        case NodeKind::Name: return name(n);
        case NodeKind::Call: return call(n);
        case NodeKind::Let: return let(n);
        default:
            for (NodePtr& operand : n.operands) node(*operand);
        }
    }

private:
    std::vector<std::string> scope_;  // Let names in scope, lower case, innermost last

    bool inScope(std::string_view name) const {
        const std::string lower = lowerAscii(name);
        return std::find(scope_.rbegin(), scope_.rend(), lower) != scope_.rend();
    }

    [[gnu::noinline]] void name(Node& n) {
        if (inScope(n.text)) {
            n.binding.kind = Binding::Kind::Local;
            return;
        }
        if (std::optional<FunctionInfo> f = findFunction(n.text)) {
            // A function without arguments is written without parentheses (Plotz_New).
            if (f->minArgs > 0)
                throw SyntaxError(n.position, f->name + " is a function: call it with its arguments" +
                                                  (f->prototype.empty() ? "" : ", " + f->prototype));
            n.kind = NodeKind::Call;
            n.binding = f->binding;
            return;
        }
        n.binding.kind = Binding::Kind::Field;
    }

    void call(Node& n) {
        bindCall(n);
        for (NodePtr& operand : n.operands) node(*operand);
    }

    // Out of line: the lookup's records take no room in the recursive frames.
    [[gnu::noinline]] static void bindCall(Node& n) {
        const std::optional<FunctionInfo> f = findFunction(n.text);
        if (!f) throw SyntaxError(n.position, "unknown function " + n.text + suggestion(n.text));
        const std::string problem = argumentCountProblem(*f, static_cast<int>(n.operands.size()));
        if (!problem.empty()) throw SyntaxError(n.position, problem);
        n.binding = f->binding;
        if (f->binding.kind == Binding::Kind::Builtin && f->binding.builtin == getNthRecordBuiltin()) {
            const Node& first = *n.operands.front();
            if (first.kind != NodeKind::Field && first.kind != NodeKind::Name)
                throw SyntaxError(first.position, "GetNthRecord reads a field: its first argument must be "
                                                  "Table::Field");
        }
    }

    void let(Node& n) {
        std::size_t pushed = 0;
        for (std::size_t i = 0; i < n.names.size(); ++i) {
            node(*n.operands[i]);
            if (!n.names[i].starts_with('$')) {
                scope_.push_back(lowerAscii(n.names[i]));
                ++pushed;
            }
        }
        node(*n.operands.back());
        scope_.resize(scope_.size() - pushed);
    }
};

}  // namespace

std::optional<FunctionInfo> findFunction(std::string_view name) {
    const int builtin = findBuiltin(name);
    if (builtin >= 0) {
        const BuiltinFunction& b = builtinFunctions()[static_cast<std::size_t>(builtin)];
        FunctionInfo info;
        info.name = std::string(b.name);
        info.minArgs = b.minArgs;
        info.maxArgs = b.maxArgs;
        info.prototype = std::string(b.prototype);
        info.binding.kind = Binding::Kind::Builtin;
        info.binding.builtin = builtin;
        return info;
    }
    if (name.empty()) return std::nullopt;
    // Registered names are plain words; anything else never reaches the host's lookup.
    const std::string zeroTerminated(name);
    fmhost_registration reg{};
    if (fmhost_find_registration(zeroTerminated.c_str(), &reg) == 0 && reg.function && reg.name[0] != '\0') {
        reg.name[sizeof reg.name - 1] = '\0';
        reg.prototype[sizeof reg.prototype - 1] = '\0';
        return fromRegistration(reg, reg.name, reg.prototype);
    }
    for (const UnnamedFunction& unnamed : kUnnamedFunctions) {
        if (!equalsIgnoringCase(unnamed.name, name)) continue;
        if (fmhost_find_registration_id(unnamed.functionId, &reg) == 0 && reg.function)
            return fromRegistration(reg, unnamed.name, unnamed.prototype);
    }
    return std::nullopt;
}

std::vector<std::string> knownFunctionNames() {
    std::vector<std::string> names;
    for (const BuiltinFunction& b : builtinFunctions()) names.emplace_back(b.name);
    names.emplace_back("Let");
    const int32_t count = fmhost_registration_count();
    for (int32_t i = 0; i < count; ++i) {
        fmhost_registration reg{};
        if (fmhost_registration_at(i, &reg) != 0) continue;
        reg.name[sizeof reg.name - 1] = '\0';
        if (reg.name[0] != '\0') {
            names.emplace_back(reg.name);
            continue;
        }
        for (const UnnamedFunction& unnamed : kUnnamedFunctions)
            if (unnamed.functionId == reg.functionId) names.emplace_back(unnamed.name);
    }
    return names;
}

std::vector<FunctionInfo> plugInFunctions() {
    std::vector<FunctionInfo> functions;
    const int32_t count = fmhost_registration_count();
    for (int32_t i = 0; i < count; ++i) {
        fmhost_registration reg{};
        if (fmhost_registration_at(i, &reg) != 0) continue;
        reg.name[sizeof reg.name - 1] = '\0';
        reg.prototype[sizeof reg.prototype - 1] = '\0';
        if (reg.name[0] != '\0') {
            functions.push_back(fromRegistration(reg, reg.name, reg.prototype));
            continue;
        }
        for (const UnnamedFunction& unnamed : kUnnamedFunctions)
            if (unnamed.functionId == reg.functionId)
                functions.push_back(fromRegistration(reg, unnamed.name, unnamed.prototype));
    }
    return functions;
}

void resolve(Node& root) { Resolver().node(root); }

}  // namespace plotwise::app
