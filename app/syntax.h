// The syntax tree of a calculation expression. Chains of operators of one precedence level
// are kept as one node with a list of operands, so that a long sum or concatenation makes a
// flat node and not a deep tree: the tree is only as deep as the expression's nesting, which
// the parser limits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/diagnostics.h"
#include "stand_in/fmhost.h"

namespace plotwise::app {

enum class NodeKind {
    Number,    // 12.5 (text: as written)
    Text,      // "abc" (text: the value)
    Name,      // a bare word: a Let name, a function without arguments, or a field (text)
    Variable,  // $name or $$name (text)
    Field,     // Table::Field (text: table, field: field)
    Negate,    // - operand
    Chain,     // operand op operand op ... (operators: '&', '+', '-', '*', '/')
    Call,      // Name ( arguments ) (text: the name as written)
    Let,       // Let ( [ name = value ; ... ] ; body ): operands are the values, then the body
};

// What a call or a bare name stands for, decided once the plug-in's functions are known.
struct Binding {
    enum class Kind {
        Unresolved,
        Local,     // a name bound by an enclosing Let
        Field,     // a bare word that is no Let name and no function: a field (error 102)
        Builtin,   // one of the program's own functions
        PlugIn,    // a function registered by the plug-in
    };
    Kind kind = Kind::Unresolved;
    int builtin = -1;                       // index into the built-in table
    FMX_ExternCallPtr function = nullptr;   // the plug-in's function
    int16_t functionId = 0;
};

struct Node;
using NodePtr = std::unique_ptr<Node>;

struct Node {
    NodeKind kind = NodeKind::Number;
    SourcePosition position;
    std::string text;
    std::string field;
    std::vector<NodePtr> operands;
    std::vector<char> operators;       // Chain: the operator before operands[i + 1]
    std::vector<std::string> names;    // Let: the bound names, as written
    Binding binding;                   // Name and Call
};

}  // namespace plotwise::app
