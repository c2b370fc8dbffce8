// Fuzz target for whole lines: any bytes go through the session, so the
// translator, defined functions, the evaluator, the primitives, the display
// and the system commands all run on them.
// A line either works or ends in a numbered error report; never a crash or a
// read outside a block. What the commands write stays inside the sandbox.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "session_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wox::fuzz::SessionFixture& f = wox::fuzz::sessionFixture();
    f.nextInput();
    std::string_view all(reinterpret_cast<const char*>(data), size);
    // Several lines per input, so that one line's variables meet the next.
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        f.submit(all.substr(0, nl));
        if (nl == std::string_view::npos) break;
        all.remove_prefix(nl + 1);
    }
    return 0;
}
