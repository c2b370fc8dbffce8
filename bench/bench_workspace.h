#pragma once
// What the benchmark programs share: values built straight into a workspace
// (no translation in the timed part), and the timing loops that run a Wox
// routine or a plain C++ loop beside it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "values/shape.h"

namespace wox::bench {

// An owned array of the given dimensions and type in variable slot `slot`;
// returns its elements (valid until the next allocation).
inline char* ownedArray(Interpreter& in, int slot, std::int32_t type, const std::vector<std::int32_t>& dims) {
    std::int64_t n = 1;
    for (std::int32_t k : dims) n *= k;
    if (in.ws.allocOwned(slot, type, n).failed()) std::abort();
    ValueDescriptor& d = in.ws.var(slot);
    d.type = type;
    d.count = static_cast<std::int32_t>(n);
    if (values::setDimensions(in.ws, d, dims.data(), static_cast<int>(dims.size())).failed()) std::abort();
    if (dims.size() == 1) d.shape0 = dims[0];
    return in.ws.elems<char>(d);
}

inline char* ownedVector(Interpreter& in, int slot, std::int32_t type, std::int32_t n) {
    return ownedArray(in, slot, type, {n});
}

// An Integer scalar, held inside its descriptor.
inline void integerScalar(Interpreter& in, int slot, std::int32_t v) {
    ValueDescriptor& d = in.ws.var(slot);
    d = ValueDescriptor{};
    d.type = kInteger;
    d.count = 1;
    setInlineInt(d, v);
}

template <class T>
T* elements(Interpreter& in, int slot) {
    return in.ws.elems<T>(in.ws.var(slot));
}

// Times a routine; each run starts from an empty stack of temporaries.
// `items` (0 for none) is reported per second.
template <class Call>
void runWox(benchmark::State& state, Interpreter& in, std::int64_t items, Call call) {
    for (auto _ : state) {
        in.ws.stackTop = 0;
        if (Rc rc = call(in); rc.failed()) state.SkipWithError(("call failed: " + std::to_string(rc.code)).c_str());
        benchmark::ClobberMemory();
    }
    if (items > 0) state.SetItemsProcessed(state.iterations() * items);
}

// Times a plain loop that does the same work.
template <class Loop>
void runPlain(benchmark::State& state, std::int64_t items, Loop loop) {
    for (auto _ : state) {
        loop();
        benchmark::ClobberMemory();
    }
    if (items > 0) state.SetItemsProcessed(state.iterations() * items);
}

}  // namespace wox::bench
