#include "engine/system_functions.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstring>
#include <string>
#include <vector>

#include "display/formatted_file.h"
#include "engine/enumeration_domain.h"
#include "engine/interpreter.h"
#include "frontend/function_header.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "values/shaped_result.h"
#include "primitives/single_scalars.h"
#include "vocabulary/vocabulary.h"
#include "types/temporal.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

namespace code = vocabulary::code;
using values::makeResult;

constexpr int kFixCode = vocabulary::systemCodeOf("[]FX");
constexpr int kCanonicalCode = vocabulary::systemCodeOf("[]CR");
constexpr int kAccountCode = vocabulary::systemCodeOf("[]AI");
constexpr int kFileFormatCode = vocabulary::systemCodeOf("[]FM");
constexpr int kNameClassCode = vocabulary::systemCodeOf("[]NC");
// []NC's answers: the classes of other APLs that Wox names have.
constexpr std::int32_t kUnusedName = 0;
constexpr std::int32_t kVariableClass = 2;
constexpr std::int32_t kFunctionClass = 3;
// []AI answers only its one described question.
constexpr std::int32_t kElapsedQuestion = 2;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// A character matrix of the lines, padded with blanks; no lines gives a
// matrix of no rows.
Rc charMatrix(values::Workspace& ws, int result, const std::vector<std::string_view>& lines) {
    std::size_t width = 0;
    for (std::string_view l : lines) width = std::max(width, l.size());
    if (lines.size() * width > static_cast<std::size_t>(values::kMaxElements)) return kWorkspaceFull;
    std::int32_t dims[2] = {static_cast<std::int32_t>(lines.size()), static_cast<std::int32_t>(width)};
    char* out;
    WOX_TRY(makeResult(ws, result, kChar, dims, 2, &out));
    if (!out) return kOk;
    for (std::string_view l : lines) {
        std::memcpy(out, l.data(), l.size());
        std::memset(out + l.size(), ' ', width - l.size());
        out += width;
    }
    return kOk;
}

// The name a []CR or []NC argument spells: a character vector or scalar, or one symbol.
Rc nameOf(const Interpreter& in, const ValueDescriptor& d, std::string& name) {
    if (d.type == kChar) {
        if (d.rank > 1) return kRankError;
        const char* c = values::elementsOf(in.ws, d);
        name.assign(c, static_cast<std::size_t>(d.count));
        return kOk;
    }
    if (d.type == kSymbol) {
        if (d.count != 1 || d.rank > 1) return kRankError;
        std::int32_t s;
        std::memcpy(&s, values::elementsOf(in.ws, d), sizeof s);
        name = in.symbols.name(s);
        return kOk;
    }
    return kTypeError;
}

Rc canonical(Interpreter& in, int result, ValueRef right) {
    ValueDescriptor d = in.ws.at(right);
    std::vector<std::string_view> lines;
    // '' is an empty Integer vector: any empty argument names nothing.
    if (d.count == 0 && d.rank == 1) return charMatrix(in.ws, result, lines);
    std::string name;
    WOX_TRY(nameOf(in, d, name));
    std::string_view n = trimmed(name);
    const frontend::DefinedFunction* df =
        n.empty() ? nullptr : frontend::definedFunction(in.functions, frontend::findFunction(in.front, n));
    if (df)
        for (const frontend::TaggedLine& l : df->text.source) lines.push_back(l.text);
    return charMatrix(in.ws, result, lines);
}

// Each row of a character matrix (or a character vector) is one line,
// header first; the result is the name of the function defined.
Rc fix(Interpreter& in, int result, ValueRef right) {
    ValueDescriptor d = in.ws.at(right);
    if (d.count == 0 && d.rank >= 1 && d.rank <= 2) return kFunctionWithoutLines;
    if (d.type != kChar) return kTypeError;
    if (d.rank > 2) return kRankError;
    std::int32_t rows = d.rank == 2 ? d.shape0 : 1;
    std::int32_t width = d.rank == 2 ? d.shape1 : d.count;
    const char* c = values::elementsOf(in.ws, d);
    std::vector<std::string> lines;
    for (std::int32_t r = 0; r < rows; ++r) {
        std::string_view l(c + static_cast<std::size_t>(r) * static_cast<std::size_t>(width),
                           static_cast<std::size_t>(width));
        while (!l.empty() && l.back() == ' ') l.remove_suffix(1);
        lines.emplace_back(l);
    }
    if (lines.empty()) return kFunctionWithoutLines;
    frontend::FunctionHeader header;
    WOX_TRY(frontend::parseHeader(lines.front(), header));
    // The lines of a running or suspended function stay as they are.
    int existing = frontend::findFunction(in.front, header.name);
    for (const CallFrame& f : in.frames)
        if (existing >= 0 && f.function == existing) return kDefinitionError;
    int slot = 0;
    WOX_TRY(frontend::defineFunction(in.frontEnd(), lines, &slot));
    char* out;
    std::int32_t n = static_cast<std::int32_t>(header.name.size());
    WOX_TRY(makeResult(in.ws, result, kChar, &n, 1, &out));
    std::memcpy(out, header.name.data(), header.name.size());
    return kOk;
}

// What a name stands for now, seen as a line run at this point sees it: a
// variable with a value (a local of an active call first), a function, or
// nothing. A name that is unset, unknown or no name at all is unused.
Rc nameClass(Interpreter& in, int result, ValueRef right) {
    const ValueDescriptor d = in.ws.at(right);
    std::int32_t answer = kUnusedName;
    if (d.count != 0 || d.rank != 1) {
        std::string name;
        WOX_TRY(nameOf(in, d, name));
        const std::string_view n = trimmed(name);
        const int slot = variableSlot(in, n);
        const int g = n.empty() ? -1 : frontend::findGlobal(in.front, n);
        if (slot >= 0 && !in.ws.var(slot).unset())
            answer = kVariableClass;
        else if (slot < 0 && g >= 0 && in.front.globals[static_cast<std::size_t>(g)].kind == frontend::kFunctionName)
            answer = kFunctionClass;
    }
    primitives::writeSingleInt(in.ws, result, kInteger, 0, answer);
    return kOk;
}

Rc elapsed(Interpreter& in, int result, ValueRef right) {
    const ValueDescriptor& d = in.ws.at(right);
    if (d.type != kBoolean && d.type != kInteger) return kTypeError;
    if (d.rank > 1) return kRankError;
    if (d.count != 1) return kLengthError;
    std::int32_t q;
    std::memcpy(&q, values::elementsOf(in.ws, d), sizeof q);
    // Elapsed time is the one question []AI answers.
    if (q != kElapsedQuestion) return kDomainError;
    std::int64_t ms = processClockMs() - in.errors.lineStartMs;
    std::int32_t one = 1;
    char* out;
    WOX_TRY(makeResult(in.ws, result, kInteger, &one, 1, &out));
    std::int32_t v = static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 0, INT32_MAX));
    std::memcpy(out, &v, sizeof v);
    return kOk;
}

// A date-time record of the local clock, as a one-element vector.
Rc timeStamp(Interpreter& in, int result) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    if (!localtime_r(&t, &local)) return kDateTimeValue;
    types::TemporalFields r;
    r.kind = types::kDateTimeKind;
    r.year = local.tm_year + 1900;
    r.month = local.tm_mon + 1;
    r.day = local.tm_mday;
    r.hour = local.tm_hour;
    r.minute = local.tm_min;
    // A leap second shows as the last second of its minute.
    r.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    r.millisecond = static_cast<std::int32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    types::TemporalWord w = 0;
    if (types::composeTemporal(r, &w) != types::kTemporalOk) return kDateRange;
    ValueDescriptor d;
    d.type = kTemporal;
    d.rank = 1;
    d.count = 1;
    setInlineWord(d, w);
    in.ws.var(result) = d;
    return kOk;
}

}  // namespace

Rc niladicSystemFunction(Interpreter& in, int code, int result, ValueRef) {
    if (code == vocabulary::code::kTimeStamp) return timeStamp(in, result);
    return kNotImplemented;
}

Rc systemFunction(Interpreter& in, int code, int result, ValueRef right) {
    if (in.ws.at(right).unset()) return kValueError;
    switch (code) {
        case kFixCode: return fix(in, result, right);
        case kCanonicalCode: return canonical(in, result, right);
        case kAccountCode: return elapsed(in, result, right);
        case kNameClassCode: return nameClass(in, result, right);
        default: return kSysVarNotImplemented;
    }
}

Rc dyadicSystemFunction(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    if (code != kFileFormatCode) return kSysVarNotImplemented;
    std::int32_t answer = 0;
    WOX_TRY(display::formatToFile(in, left, right, &answer));
    primitives::writeSingleInt(in.ws, result, kInteger, 0, answer);
    return kOk;
}

}  // namespace wox::engine
