#include "workspace_file/suspended_calls.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "frontend/front_tables.h"
#include "frontend/function_store.h"

namespace wox::workspace_file {

namespace {

using engine::CallTraceEntry;
using engine::kSessionLevel;
using frontend::NameEntry;
using frontend::ScopeBinding;

// A local name is terminated in its entry and, when long, in the tail store.
bool soundLocalName(const frontend::FrontTables& ft, const NameEntry& e) {
    if (!std::memchr(e.head, 0, sizeof e.head)) return false;
    if (e.kind != frontend::kVariableName && e.kind != frontend::kLabelName) return false;
    if (e.tail == -1) return true;
    if (e.tail < 0 || e.tail > ft.lastTail) return false;
    return std::memchr(ft.tails.data() + e.tail, 0, static_cast<std::size_t>(ft.lastTail - e.tail + 1)) != nullptr;
}

// A slot a call's name may be bound to: a system value, a global variable,
// or a local variable of this or an enclosing call.
bool boundSlot(const values::Workspace& ws, int slot) {
    return (slot >= kIoSlot && slot < kFirstTemp) ||
           (slot >= kSystemSlotOF && slot <= kSystemSlotOF + kBuiltinNames - 2) ||
           (slot >= kFirstGlobalSlot && slot <= ws.lastGlobalSlot) || (slot >= ws.lowestLocalSlot && slot < kLocalRegionEnd);
}

// The calls' shape: a session level first, a call on top, no session
// level without calls above it, every call a defined function at one of
// its lines.
bool soundTrace(const Interpreter& in, const std::vector<CallTraceEntry>& trace) {
    for (std::size_t d = 0; d < trace.size(); ++d) {
        const CallTraceEntry& e = trace[d];
        if (e.function == kSessionLevel) {
            if (d + 1 == trace.size() || trace[d + 1].function == kSessionLevel) return false;
            continue;
        }
        if (d == 0) return false;
        const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, e.function);
        if (!df || e.line < 0 || static_cast<std::size_t>(e.line) >= df->text.executable.size()) return false;
    }
    return true;
}

}  // namespace

bool restoreSuspendedCalls(Interpreter& in, const std::vector<CallTraceEntry>& trace,
                           const std::vector<ScopeBinding>& bindings, int lastLocal) {
    frontend::FrontTables& ft = in.front;
    values::Workspace& ws = in.ws;
    if (trace.empty()) return bindings.empty() && ws.lowestLocalSlot == kLocalRegionEnd;
    if (!soundTrace(in, trace) || trace.size() > in.errors.callTrace.size() || bindings.size() > in.scope.bindings.size())
        return false;
    for (int e = 0; e <= lastLocal; ++e)
        if (!soundLocalName(ft, ft.locals[static_cast<std::size_t>(e)])) return false;

    // One boundary mark on dfxstack for each call, in the order of the trace.
    std::vector<engine::CallFrame> frames;
    std::vector<std::int32_t> shadowed(bindings.size(), 0);
    std::vector<int> innermost(static_cast<std::size_t>(lastLocal + 1), -1);  // binding of each name
    std::size_t p = 0;
    int below = kLocalRegionEnd;  // the enclosing call's first local slot
    for (std::size_t d = 0; d < trace.size(); ++d) {
        if (trace[d].function == kSessionLevel) continue;
        if (p >= bindings.size() || bindings[p].name != -1 || bindings[p].slot != -1) return false;
        engine::CallFrame f;
        f.function = trace[d].function;
        f.boundary = static_cast<int>(p);
        f.depth = static_cast<int>(d);
        // Free names come first, bound where the enclosing calls or the
        // globals had them; then the header names, to fresh slots going down.
        for (++p; p < bindings.size() && bindings[p].name != -1; ++p) {
            const ScopeBinding& b = bindings[p];
            if (b.name < 0 || b.name > lastLocal || !boundSlot(ws, b.slot)) return false;
            if (ft.locals[static_cast<std::size_t>(b.name)].kind != frontend::kVariableName) return false;
            if (b.slot >= ws.lowestLocalSlot && b.slot < below) {
                if (b.slot != below - 1 - f.locals) return false;
                ++f.locals;
            } else if (f.locals > 0) {
                return false;
            }
            int& last = innermost[static_cast<std::size_t>(b.name)];
            if (last >= 0) shadowed[p] = bindings[static_cast<std::size_t>(last)].slot;
            last = static_cast<int>(p);
        }
        f.firstLocal = below - f.locals;
        below = f.firstLocal;
        frames.push_back(f);
    }
    // Every binding and every local slot belongs to a call.
    if (p != bindings.size() || below != ws.lowestLocalSlot) return false;
    // A bound name holds the slot of its innermost binding, as it did when saved.
    for (int e = 0; e <= lastLocal; ++e) {
        int b = innermost[static_cast<std::size_t>(e)];
        if (b >= 0 && ft.locals[static_cast<std::size_t>(e)].slot != bindings[static_cast<std::size_t>(b)].slot)
            return false;
    }

    ft.lastLocal = lastLocal;
    std::copy(bindings.begin(), bindings.end(), in.scope.bindings.begin());
    in.scope.top = static_cast<int>(bindings.size()) - 1;
    std::copy(shadowed.begin(), shadowed.end(), in.shadowedSlots.begin());
    std::copy(trace.begin(), trace.end(), in.errors.callTrace.begin());
    in.errors.depth = static_cast<int>(trace.size()) - 1;
    in.frames = std::move(frames);
    return true;
}

}  // namespace wox::workspace_file
