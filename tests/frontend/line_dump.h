#pragma once
// Renders a translated line as text, so that tests can state the whole
// structure in one string. Nodes are written in evaluation order:
//   constants as their value (3, 2.5, 1 2 3, 'ab', `a, ()), variables V<slot>,
//   primitive applications P<code>, defined ones D<slot>, each as P752~f,
//   a left operand in parentheses after the function, assignments Z<slot>,
//   groups G{...}, lists L{a;b}, indexes X[i;j], multiple assignment M(...).
#include <cstdio>
#include <string>

#include "engine/interpreter.h"
#include "frontend/front_tables.h"

namespace wox::frontend::testing {

inline std::string constantText(Interpreter& in, int slot) {
    const ValueDescriptor& d = in.ws.consts[slot];
    std::string s;
    char buf[64];
    if (d.type == kGeneral && d.count == 0) return "()";
    if (d.count == 0) return d.type == kInteger ? "!0" : "?empty";
    for (int i = 0; i < d.count; ++i) {
        if (i && d.type != kChar) s += ' ';
        switch (d.type) {
            case kBoolean:
            case kInteger:
                std::snprintf(buf, sizeof buf, "%d", in.ws.elems<std::int32_t>(d)[i]);
                s += buf;
                break;
            case kFloat:
                std::snprintf(buf, sizeof buf, "%g", in.ws.elems<double>(d)[i]);
                s += buf;
                break;
            case kComplex:
                std::snprintf(buf, sizeof buf, "%gj%g", in.ws.elems<double>(d)[2 * i], in.ws.elems<double>(d)[2 * i + 1]);
                s += buf;
                break;
            case kSymbol:
                s += '`';
                s += in.symbols.name(in.ws.elems<std::int32_t>(d)[i]);
                break;
            case kChar:
                if (i == 0) s += '\'';
                s += in.ws.elems<char>(d)[i];
                if (i == d.count - 1) s += '\'';
                break;
            default: s += "?"; break;
        }
    }
    return s;
}

std::string chainText(Interpreter& in, int first);

inline std::string listText(Interpreter& in, const ParseNode& n, const char* open, const char* close) {
    std::string s = open;
    for (int i = 0; i < n.count; ++i) {
        if (i) s += ';';
        int h = in.front.lists[n.list + i];
        if (h >= 0) s += chainText(in, h);
    }
    return s + close;
}

inline std::string nodeText(Interpreter& in, int k) {
    const ParseNode& n = in.front.nodes[k];
    switch (n.kind) {
        case kConstNode: return constantText(in, n.operand);
        case kVarNode: return "V" + std::to_string(n.operand);
        case kAssignNode: {
            std::string s = "Z" + std::to_string(n.operand);
            if (n.list >= 0) s += listText(in, n, "[", "]");
            return s;
        }
        case kGroupNode: return "G{" + chainText(in, n.list) + "}";
        case kListNode: return listText(in, n, "L{", "}");
        case kIndexNode: return listText(in, n, "X[", "]");
        case kMultiAssignNode: return listText(in, n, "M(", ")");
        case kCallNode: {
            const FunctionEntry& e = in.front.entries[n.operand];
            std::string s = e.kind == kDefinedFn ? "D" : "P";
            s += std::to_string(e.left >= 0 ? e.dyadic : e.monadic);
            if (n.list >= 0) {
                const FunctionEntry& f = in.front.entries[n.list];
                s += f.kind == kDefinedFn ? "~D" : "~P";
                s += std::to_string(e.left >= 0 ? f.dyadic : f.monadic);
            }
            if (e.left >= 0) s += "(" + chainText(in, e.left) + ")";
            return s;
        }
        default: return "?";
    }
}

inline std::string chainText(Interpreter& in, int first) {
    std::string s;
    for (int k = first; k >= 0; k = in.front.nodes[k].next) {
        if (!s.empty()) s += ' ';
        s += nodeText(in, k);
    }
    return s;
}

}  // namespace wox::frontend::testing
