#pragma once
// Where an error happened: the call-trace stack of (function slot, line)
// pairs by call depth, the error trace recorded once by the innermost failing
// call, the caret position, and the line-timing switch.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wox::engine {

// The millisecond process clock of line timing and []AI.
inline std::int64_t processClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

inline constexpr std::int32_t kSessionLevel = -1;  // the function slot of a session line's entry

struct CallTraceEntry {
    std::int32_t function = kSessionLevel;  // function slot, or a session line
    std::int32_t line = 0;
};

// The last lines a call executed, oldest first when copied out. The count
// is 64-bit and unsigned: a loop may run for days, and the ring's index must
// never go negative.
struct LineRing {
    static constexpr int kSize = 100;  // lines kept for the error trace
    std::uint64_t executed = 0;        // lines run by the call so far

    LineRing() : lines_{} {}
    // For a call, which reads back only what it pushed: the ring is not
    // cleared first, as every call would pay for that.
    struct Unfilled {};
    explicit LineRing(Unfilled) {}
    // The buffer holds a power of two lines, more than kSize, so that a
    // line's place is a mask of the count rather than a division.
    void push(std::int32_t line) {
        lines_[static_cast<std::size_t>(executed & kMask)] = line;
        ++executed;
    }
    // The most recent `kSize` lines (fewer early on), oldest first.
    void copyRecent(std::vector<std::int32_t>& out) const {
        out.clear();
        std::uint64_t n = executed < kSize ? executed : kSize;
        for (std::uint64_t i = executed - n; i < executed; ++i) out.push_back(lines_[static_cast<std::size_t>(i & kMask)]);
    }

private:
    static constexpr std::uint64_t kMask = 127;
    static_assert(kMask + 1 >= kSize);
    std::array<std::int32_t, kMask + 1> lines_;
};

struct ErrorTrace {
    bool recorded = false;  // keeps enclosing calls from overwriting it
    std::int32_t function = -1;
    std::int32_t lastLine = 0;
    std::uint64_t executed = 0;
    std::vector<std::int32_t> lines;  // up to 100, oldest first
    std::string name;      // the failing function's name
    std::string lineText;  // and the text of its failing line
    int position = 0;      // caret column in that text

    void record(std::int32_t fn, std::int32_t last, const LineRing& ring) {
        if (recorded) return;
        recorded = true;
        function = fn;
        lastLine = last;
        executed = ring.executed;
        ring.copyRecent(lines);
    }
};

struct ErrorState {
    explicit ErrorState(int depth) : callTrace(static_cast<std::size_t>(depth)) {}
    // Indexed by depth. A session line that calls a function takes an
    // entry below its calls, so the state indicator can tell which session
    // line began which suspended calls.
    std::vector<CallTraceEntry> callTrace;
    int depth = -1;  // ET.sidx: the top entry in use, -1 when empty
    ErrorTrace trace;
    int position = 0;           // caret column of the failing node in its line
    int positionDepth = -1;     // call depth whose line holds that position
    bool lineTiming = false;
    std::int64_t lineStartMs = 0;
    // A call of this line found no room on the call-trace or the scope
    // stack: the state indicator is full ("stack full").
    bool stateIndicatorFull = false;

    void resetForLine() {
        trace = ErrorTrace{};
        position = 0;
        positionDepth = -1;
        stateIndicatorFull = false;
        if (depth + 1 < static_cast<int>(callTrace.size())) callTrace[depth + 1] = CallTraceEntry{};
    }
};

}  // namespace wox::engine
