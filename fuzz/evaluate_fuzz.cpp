// Fuzz target for whole lines: any bytes go through the session, so the
// translator, defined functions, the evaluator, the primitives and the
// display all run on them.
// A line either works or ends in a numbered error report; never a crash or a
// read outside a block. Small tables make every limit reachable; a full
// table clears the workspace, as a user would, and fuzzing goes on.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/workspace_clear.h"
#include "session/session.h"
#include "session/transcript.h"

namespace {

using namespace wox;

Capacities smallTables() {
    Capacities c;
    c.heapBytes = 16 << 20;
    c.constants = 256;
    c.globalNames = 128;
    c.localNames = 128;
    c.parseNodes = 2048;
    c.functionEntries = 1024;
    c.branches = 64;
    c.gList = 4096;
    c.tailStore = 256;
    return c;
}

// Lines may loop for ever ({f: ->1} then f): a watchdog presses Ctrl-C on
// any input that runs longer than a moment, as a user would.
struct Fixture {
    Interpreter in{smallTables()};
    session::TextTranscript transcript{64};
    session::Session session{in, transcript};
    std::atomic<unsigned> input{0};
    Fixture() {
        session.start();
        std::thread([this] {
            unsigned seen = input.load();
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                unsigned now = input.load();
                if (now == seen) in.interruptRequested.store(true);
                seen = now;
            }
        }).detach();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& f = fixture();
    Interpreter& in = f.in;
    f.input.fetch_add(1);
    std::string_view all(reinterpret_cast<const char*>(data), size);
    // Several lines per input, so that one line's variables meet the next.
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        std::string_view line = all.substr(0, nl);
        f.session.submit(line);
        if (in.errorWord == 6 || in.errorWord == 9 || in.errorWord == 84 || in.errorWord == 5)
            (void)engine::clearWorkspace(in);
        if (nl == std::string_view::npos) break;
        all.remove_prefix(nl + 1);
    }
    return 0;
}
