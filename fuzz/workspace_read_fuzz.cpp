// Fuzz target for reading workspace files. An input is either a whole file
// (first byte even) or a list of changes to a valid saved workspace (first
// byte odd: then each group of five bytes puts one byte at a 32-bit
// position), so that damage reaches every part of the body at once. A file
// must be refused or load as a workspace whose values display, whose
// functions run, that compacts, that saves and loads again, and whose
// suspended calls (the valid file has three, from two session lines) can
// all be left, giving back every level, binding and local slot.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "sandbox.h"
#include "engine/execute_line.h"
#include "engine/function_call.h"
#include "engine/interpreter.h"
#include "engine/workspace_clear.h"
#include "frontend/function_store.h"
#include "workspace_file/archive.h"
#include "workspace_file/workspace_reader.h"
#include "workspace_file/workspace_writer.h"

namespace {

using namespace wox;

Capacities smallHeap() {
    Capacities c;
    c.heapBytes = 4 << 20;
    return c;
}

constexpr const char* kLines[] = {
    "b<-1 0 1", "i<-_7 0 2147483647", "f<-2.5 _3.25", "c<-'hello'", "x<-1j2 3j_4", "y<-`abc`de",
    "m<-2 3#!6", "r<-2 2 3#!12", "n<-(1 2;'ab';(3.5;`x);2 2#!4)", "e<-!0", "averyverylongname<-5",
};
constexpr const char* kSuspending[] = {"outer 5", "inner 7"};
constexpr const char* kUses[] = {"b", "i", "f", "c", "x", "y", "m", "r", "n", "e", "averyverylongname",
                                 "tot 1 2 3", "sq 3", "[]IO", "z<-n,n", "m<-m,r", "[]AV[65]",
                                 "t", "alonglocalname", "inner 1", "t<-x<-3"};

std::string save(const Interpreter& in) {
    workspace_file::OutputArchive out;
    if (workspace_file::writeWorkspace(in, out, "/fuzz.wox").failed()) std::abort();
    return out.memory();
}

workspace_file::LoadResult load(Interpreter& in, std::string_view bytes) {
    return workspace_file::readWorkspace(
        in, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

struct Fixture {
    Interpreter in{smallHeap()};
    std::string valid;
    Fixture() {
        (void)engine::clearWorkspace(in);
        for (const char* line : kLines) (void)engine::executeLine(in, line);
        int slot = 0;
        (void)frontend::defineFunction(in.frontEnd(), {"z<-tot x;v", "z<-0", "for (v: x) z<-z+v"}, &slot);
        (void)frontend::defineFunction(in.frontEnd(), {"z<-sq x", "z<-x*x"}, &slot);
        (void)frontend::defineFunction(in.frontEnd(), {"z<-outer x;alonglocalname", "alonglocalname<-x", "z<-1+inner x"},
                                       &slot);
        (void)frontend::defineFunction(in.frontEnd(), {"z<-inner x;t", "t<-x", "z<-x+'a'"}, &slot);
        for (const char* line : kSuspending) (void)engine::executeLine(in, line);
        if (in.frames.size() != 3) std::abort();
        frontend::releaseLineTables(in.front, in.ws);
        frontend::releaseLocalNames(in.front, in.scope);
        valid = save(in);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& f = fixture();
    std::string file;
    if (size > 0 && (data[0] & 1)) {
        file = f.valid;
        for (std::size_t at = 1; at + 5 <= size; at += 5) {
            std::uint32_t pos;
            std::memcpy(&pos, data + at, 4);
            file[pos % file.size()] = static_cast<char>(data[at + 4]);
        }
    } else {
        file.assign(reinterpret_cast<const char*>(data), size);
    }
    Interpreter& in = f.in;
    if (!load(in, file).loaded) return 0;
    for (const char* line : kUses) (void)engine::executeLine(in, line);
    in.ws.compact();
    std::string again = save(in);
    if (!load(in, again).loaded) std::abort();  // what was loaded and used must save soundly
    while (!in.frames.empty()) engine::leaveSuspended(in);
    if (in.errors.depth != -1 || in.scope.top != -1 || in.ws.lowestLocalSlot != kLocalRegionEnd) std::abort();
    return 0;
}
