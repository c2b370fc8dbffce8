#pragma once
// One session for the fuzz targets that drive whole lines: small tables so
// that every limit is reachable, the sandbox as its workspace folder, and a
// watchdog that presses Ctrl-C on any input that runs longer than a moment
// ({f: ->1} then f loops for ever), as a user would.
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/workspace_clear.h"
#include "sandbox.h"
#include "session/session.h"
#include "session/transcript.h"
#include "values/messages.h"

namespace wox::fuzz {

inline Capacities smallSessionTables() {
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

struct SessionFixture {
    Interpreter in{smallSessionTables()};
    session::TextTranscript transcript{64};
    session::Session session{in, transcript};
    std::atomic<unsigned> input{0};

    SessionFixture() {
        session.setWorkspaceFolder(sandbox());
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

    // Call at the start of every input, so the watchdog knows it is new.
    void nextInput() { input.fetch_add(1); }

    // Runs one line; a full table clears the workspace, as a user would, and
    // fuzzing goes on.
    void submit(std::string_view line) {
        session.submit(line);
        int e = in.errorWord;
        if (e == kWorkspaceFull || e == kGListFull || e == kTableFull || e == kStackFull)
            (void)engine::clearWorkspace(in);
    }
};

inline SessionFixture& sessionFixture() {
    static SessionFixture f;
    return f;
}

}  // namespace wox::fuzz
