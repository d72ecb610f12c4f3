// The evaluator. Its recursion follows the tree, whose depth the parser bounds; operator
// chains are walked in loops.
#include "app/evaluator.h"

#include <cmath>
#include <limits>
#include <optional>

#include "app/builtins.h"
#include "app/fm_objects.h"
#include "app/parser.h"
#include "app/resolver.h"
#include "app/text_util.h"

namespace plotwise::app {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// The plug-in may ask for evaluations while one of its functions runs; a request never
// calls the plug-in again, but a bound keeps a faulty plug-in from recursing without end.
constexpr int kMaxHookDepth = 8;

PlugInCallWatcher gWatcher = nullptr;  // see watchPlugInCalls

std::string callFailure(const std::string& name, int32_t code) {
    std::string message = name + " failed";
    const std::string meaning = hostErrorMeaning(code);
    if (!meaning.empty()) message += " (" + meaning + ")";
    return message;
}

bool isDateTimeType(int32_t t) { return t == kFMX_Date || t == kFMX_Time || t == kFMX_TimeStamp; }

// Date + days, time + seconds, timestamp + seconds, and the differences of two of a kind;
// no value when the operands are of no such pair.
std::optional<Value> dateTimeArithmetic(char op, const Value& a, const Value& b, SourcePosition at) {
    const int32_t ta = a.type();
    const int32_t tb = b.type();
    const auto shifted = [&](const Value& moment, int32_t type, double amount, int sign) {
        const double whole = std::trunc(amount);
        if (!(std::fabs(whole) < 1e12)) throw EvaluationError(kErrorCalculation, "the date or time is out of range", at);
        const int64_t unit = type == kFMX_Date ? kSecondsPerDay : 1;
        return Value::dateTime(moment.asSeconds(type) + sign * static_cast<int64_t>(whole) * unit, type);
    };
    if (isDateTimeType(ta) && !isDateTimeType(tb)) return shifted(a, ta, b.asNumber(), op == '+' ? 1 : -1);
    if (op == '+' && isDateTimeType(tb) && !isDateTimeType(ta)) return shifted(b, tb, a.asNumber(), 1);
    if (op == '-' && isDateTimeType(ta) && ta == tb) {
        const int64_t unit = ta == kFMX_Date ? kSecondsPerDay : 1;
        return Value::number(static_cast<double>((a.asSeconds(ta) - b.asSeconds(tb)) / unit));
    }
    return std::nullopt;
}

[[gnu::noinline]] Value arithmetic(char op, const Value& a, const Value& b, SourcePosition at) {
    if ((op == '+' || op == '-') && (a.isDateTime() || b.isDateTime())) {
        if (std::optional<Value> moment = dateTimeArithmetic(op, a, b, at)) return *moment;
    }
    const double x = a.asNumber();
    const double y = b.asNumber();
    double r = 0;
    switch (op) {
    case '+': r = x + y; break;
    case '-': r = x - y; break;
    case '*': r = x * y; break;
    case '/':
        if (y == 0) throw EvaluationError(kErrorCalculation, "division by zero", at);
        r = x / y;
        break;
    }
    if (!std::isfinite(r)) throw EvaluationError(kErrorCalculation, "the result is too large for a number", at);
    return Value::number(r);
}

}  // namespace

void Variables::set(std::string_view name, Value value) { values_.insert_or_assign(lowerAscii(name), std::move(value)); }

const Value* Variables::find(std::string_view name) const {
    const auto it = values_.find(lowerAscii(name));
    return it == values_.end() ? nullptr : &it->second;
}

Value Evaluator::evaluate(const Node& root) {
    locals_.clear();
    return node(root);
}

Value Evaluator::node(const Node& n) {
    switch (n.kind) {
    case NodeKind::Number: return Value::numberFromText(n.text);
    case NodeKind::Text: return Value::text(n.text);
    case NodeKind::Variable: {
        const Value* v = context_.variables ? context_.variables->find(n.text) : nullptr;
        return v ? *v : Value::text("");
    }
    case NodeKind::Name: return local(n);
    case NodeKind::Field: return field(n, nullptr, n.position);
    case NodeKind::Negate: {
        const Value operand = node(*n.operands.front());
        return Value::number(-operand.asNumber());
    }
    case NodeKind::Chain: return chain(n);
    case NodeKind::Call: return call(n);
    case NodeKind::Let: return let(n);
    }
    throw EvaluationError(kErrorCalculation, "unknown kind of expression", n.position);
}

Value Evaluator::local(const Node& n) const {
    if (n.binding.kind == Binding::Kind::Local) {
        const std::string lower = lowerAscii(n.text);
        for (auto it = locals_.rbegin(); it != locals_.rend(); ++it)
            if (it->first == lower) return it->second;
    }
    throw EvaluationError(kErrorFieldMissing, "unknown field " + n.text + " (a field is written Table::Field)",
                          n.position);
}

Value Evaluator::field(const Node& n, const Value* recordNumber, SourcePosition at) const {
    const RecordTable* table = context_.tables ? context_.tables->find(n.text) : nullptr;
    if (!table) {
        std::string message = "unknown table " + n.text;
        if (!context_.tables || context_.tables->all().empty()) message += " (no table was given with --table)";
        throw EvaluationError(kErrorFieldMissing, message, n.position);
    }
    const int index = table->fieldIndex(n.field);
    if (index < 0) throw EvaluationError(kErrorFieldMissing, "the table " + table->name() + " has no field " + n.field, n.position);

    double number = 1;
    if (recordNumber) number = std::trunc(recordNumber->asNumber());
    const std::size_t count = table->recordCount();
    if (!(number >= 1 && number <= static_cast<double>(count))) {
        std::string shown = std::isfinite(number) ? Value::number(number).asText() : std::string("?");
        std::string message = "record " + shown + " is not in the table " + table->name();
        message += count == 0 ? std::string(" (it has no records)") : " (records 1 to " + std::to_string(count) + ")";
        throw EvaluationError(kErrorRecordMissing, message, at);
    }
    return table->value(static_cast<std::size_t>(number), index);
}

Value Evaluator::chain(const Node& n) {
    if (n.operators.front() == '&') {
        std::string text;
        for (const NodePtr& operand : n.operands) text += node(*operand).asText();
        return Value::text(text);
    }
    Value result = node(*n.operands.front());
    for (std::size_t i = 0; i < n.operators.size(); ++i) {
        const Node& right = *n.operands[i + 1];
        result = arithmetic(n.operators[i], result, node(right), right.position);
    }
    return result;
}

Value Evaluator::call(const Node& n) {
    const bool builtin = n.binding.kind == Binding::Kind::Builtin;
    if (builtin && n.binding.builtin == getNthRecordBuiltin()) {
        const Node& target = *n.operands[0];
        const Value number = node(*n.operands[1]);
        if (target.kind == NodeKind::Field) return field(target, &number, n.operands[1]->position);
        return local(target);  // a Let name is the same in every record
    }
    std::vector<Value> args;
    args.reserve(n.operands.size());
    for (const NodePtr& operand : n.operands) args.push_back(node(*operand));
    if (builtin) return builtinFunctions()[static_cast<std::size_t>(n.binding.builtin)].apply(args);
    return callPlugIn(n, args);
}

void watchPlugInCalls(PlugInCallWatcher watcher) { gWatcher = watcher; }

// Out of line, so that the host objects of a call take no room in the evaluator's
// recursive frames.
Value Evaluator::callPlugIn(const Node& n, const std::vector<Value>& args) const {
    if (n.binding.kind != Binding::Kind::PlugIn || !n.binding.function)
        throw EvaluationError(kErrorCalculation, "the function " + n.text + " is not bound", n.position);
    HostDataVect vector = constructHost<HostDataVect>(FM_DataVect_Constructor1, "FM_DataVect_Constructor1");
    FMX_Error err{1, 0};
    for (const Value& arg : args) {
        FM_DataVect_PushBack(vector.get(), arg.data(), &err);
        checkHost(err, "FM_DataVect_PushBack");
    }
    HostData result = constructHost<HostData>(FM_Data_Constructor1, "FM_Data_Constructor1");
    PlugInCall call{n.binding.functionId, n.binding.function, context_.environment, vector.get(), nullptr, 0};
    if (gWatcher) gWatcher(call, false);
    const int16_t code = n.binding.function(n.binding.functionId, context_.environment, vector.get(), result.get());
    if (gWatcher) {
        call.result = result.get();
        call.code = code;
        gWatcher(call, true);
    }
    if (code != 0) throw EvaluationError(code, callFailure(n.text, code), n.position);
    return Value::adopt(result.release());
}

Value Evaluator::let(const Node& n) {
    const std::size_t mark = locals_.size();
    for (std::size_t i = 0; i < n.names.size(); ++i) {
        Value value = node(*n.operands[i]);
        if (n.names[i].starts_with('$')) {
            if (context_.variables) context_.variables->set(n.names[i], std::move(value));
        } else {
            locals_.emplace_back(lowerAscii(n.names[i]), std::move(value));
        }
    }
    Value result = node(*n.operands.back());
    locals_.resize(mark);
    return result;
}

Value evaluateSource(std::string_view source, const EvaluationContext& context) {
    NodePtr root = parseExpression(source);
    resolve(*root);
    return Evaluator(context).evaluate(*root);
}

EvaluationHook::EvaluationHook(EvaluationContext context, FailureReporter onFailure)
    : context_(context), onFailure_(std::move(onFailure)) {
    fmhost_set_evaluate_hook(&EvaluationHook::answer, this);
}

EvaluationHook::~EvaluationHook() { fmhost_set_evaluate_hook(nullptr, nullptr); }

int16_t EvaluationHook::answer(void* self, const char* expression, FMX_Data* result) {
    auto* hook = static_cast<EvaluationHook*>(self);
    if (!hook || !expression || !result || hook->depth_ >= kMaxHookDepth) return kErrorCalculation;
    ++hook->depth_;
    int16_t code = 0;
    std::string error;
    try {
        evaluateSource(expression, hook->context_).copyInto(result);
    } catch (const EvaluationError& e) {
        code = (e.code() > 0 && e.code() <= std::numeric_limits<int16_t>::max()) ? static_cast<int16_t>(e.code())
                                                                                 : kErrorCalculation;
        error = "error " + std::to_string(e.code()) + ": " + e.what();
    } catch (const SyntaxError& e) {
        code = kErrorCalculation;
        error = "syntax error at " + describe(e.position()) + ": " + e.what();
    } catch (const std::exception& e) {
        code = kErrorCalculation;
        error = e.what();
    } catch (...) {
        code = kErrorCalculation;
        error = "unknown failure";
    }
    --hook->depth_;
    if (code != 0 && hook->onFailure_) {
        try {
            hook->onFailure_(expression, error, code);
        } catch (...) {
        }
    }
    return code;
}

}  // namespace plotwise::app
