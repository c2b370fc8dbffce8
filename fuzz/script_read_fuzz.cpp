// Fuzz target for reading script files: the input is written as a script
// in the sandbox's workspace folder and read through the session, once by
// FLOAD with its full path and once by FCOPY with its name, so malformed
// blocks, unclosed braced definitions and bad value texts all reach the
// reader, and what they define meets the next read. Reading either works or
// ends in a numbered report; never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "session_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wox::fuzz::SessionFixture& f = wox::fuzz::sessionFixture();
    f.nextInput();
    static const std::string path = wox::fuzz::sandbox() + "fuzz.vsf";
    {
        // A plain write: flushing to the disk every time would cost more than reading.
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file.flush()) std::abort();
    }
    f.submit(")FLOAD '" + path + "'");
    f.submit(")FCOPY fuzz");
    return 0;
}
