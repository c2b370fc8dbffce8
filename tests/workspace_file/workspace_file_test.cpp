// Workspace files: a saved workspace loads as the same workspace and saves
// again byte for byte; every truncation, every table beyond its limit and
// random damage is refused or loads as a sound workspace; an older version
// numbers its functions from 0; a save never loses the file it replaces.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/line_session.h"
#include "engine/workspace_clear.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "workspace_file/archive.h"
#include "workspace_file/file_damage.h"
#include "engine/function_call.h"
#include "workspace_file/file_format.h"
#include "workspace_file/stored_records.h"
#include "workspace_file/workspace_reader.h"
#include "workspace_file/workspace_writer.h"

namespace wox::workspace_file {
namespace {

namespace fs = std::filesystem;
using frontend::NameEntry;
using testing::LineSession;

Capacities smallHeap() {
    Capacities c;
    c.heapBytes = 8 << 20;
    return c;
}

std::string saved(const Interpreter& in, std::string_view path = "/ws/test.wox") {
    OutputArchive out;
    EXPECT_EQ(writeWorkspace(in, out, path).code, 0);
    return out.memory();
}

LoadResult load(Interpreter& in, const std::string& bytes) {
    return readWorkspace(in, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

// A workspace with a value of every kind and functions, one with control
// words whose invented names must survive. Without `moments` it holds no
// temporal value, so that it can stand for a file of an older layout; its
// last symbol is always `zz`.
void fill(LineSession& s, bool moments = true) {
    ASSERT_EQ(engine::clearWorkspace(s.in).code, 0);
    for (const char* line : {"b<-1 0 1", "i<-_7 0 2147483647", "f<-2.5 _3.25", "c<-'hello'", "x<-1j2 3j_4",
                             "y<-`abc`de", "t<-2013.06.26T09:05:03.007 2000.02.29T23:59:59.999", "u<-12:00", "m<-2 3#!6", "r<-2 2 3#!12", "n<-(1 2;'ab';(3.5;`x);2 2#!4)",
                             "e<-!0", "averyverylongname<-5", "dom<-`p`q", "en<-`dom:`q`p`q", "[]IO<-0", "b<-b,b", "y<-y,`zz"})
        s.run(line);
    if (!moments) s.run("t<-u<-0");
    s.define({"z<-tot x;v", "z<-0", "for (v: x) z<-z+v"});
    s.define({"z<-sq x", "z<-x*x"});
    frontend::releaseLineTables(s.in.front, s.in.ws);
    frontend::releaseLocalNames(s.in.front, s.in.scope);
}

bool isClear(const Interpreter& in) {
    return in.front.lastGlobal == kBuiltinNames - 1 && in.functions.lastSlot == kFirstUserFunction - 1 &&
           in.ws.lastGlobalSlot == kFirstGlobalSlot - 1 && in.symbols.last() == 0;
}

// The offset of the first word after the text header.
std::size_t bodyStart(const std::string& file) { return file.find("\r\n\r\n") + 4; }

std::int32_t wordAt(const std::string& f, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, f.data() + at, 4);
    return v;
}
void setWord(std::string& f, std::size_t at, std::int32_t v) {
    std::memcpy(f.data() + at, &v, 4);
    reseal(f);
}

// The file in the layout of versions 3 and 4, where an empty table of
// temporal records followed the symbols (the last of them `zz`).
std::string withRecordTable(std::string f, std::int32_t version) {
    const std::string last("\3\0\0\0zz\0", 7);
    const std::size_t at = f.rfind(last);
    EXPECT_NE(at, std::string::npos);
    if (at == std::string::npos) return f;
    f.insert(at + last.size(), std::string(4, '\0'));
    setWord(f, bodyStart(f), version);
    return f;
}

// Offsets of the counters before the function records.
struct Offsets {
    std::size_t version, lstnx, lstgx, globals, lstfx;
};
Offsets offsets(const std::string& f) {
    Offsets o{};
    o.version = bodyStart(f);
    o.lstnx = o.version + 12;
    o.lstgx = o.lstnx + 4 + static_cast<std::size_t>(wordAt(f, o.lstnx) + 1) * kNameEntryBytes;
    o.globals = o.lstgx + 4;
    o.lstfx = o.globals + static_cast<std::size_t>(wordAt(f, o.lstgx) + 1) * kNameEntryBytes;
    return o;
}

TEST(WorkspaceFile, LoadsTheSameWorkspaceAndSavesItAgainByteForByte) {
    LineSession a;
    fill(a);
    std::string first = saved(a.in);
    EXPECT_EQ(first.substr(0, 52), std::string(52, '*'));
    EXPECT_EQ(first[5], '*');

    LineSession b(smallHeap());  // another heap size: every offset moves
    LoadResult r = load(b.in, first);
    ASSERT_TRUE(r.loaded) << r.message;
    LineSession c;
    ASSERT_TRUE(load(c.in, saved(b.in)).loaded);
    EXPECT_TRUE(saved(c.in) == first);  // through a heap of another size and back
    EXPECT_EQ(b.run("b"), "1 0 1 1 0 1");
    EXPECT_EQ(b.run("c"), "hello");
    EXPECT_EQ(b.run("x"), "1j2 3j_4");
    EXPECT_EQ(b.run("t"), "2013.06.26T09:05:03.007 2000.02.29T23:59:59.999");
    EXPECT_EQ(b.run("u+1"), "12:01");
    EXPECT_EQ(b.run("n~(1 2;'ab';(3.5;`x);2 2#1 2 3 4)"), "1");
    EXPECT_EQ(b.run("r~2 2 3#1+!12"), "1");
    EXPECT_EQ(b.run("averyverylongname+[]IO"), "5");
    EXPECT_EQ(b.run("tot 1 2 3"), "6");
    EXPECT_EQ(b.run("sq 4"), "16");
    EXPECT_EQ(b.run("en"), "`dom:`q `p `q");

    // Values and blocks that moved in a compaction still load.
    c.run("m<-m,m");
    c.run("e<-'new'");
    c.in.ws.compact();
    LineSession d;
    ASSERT_TRUE(load(d.in, saved(c.in)).loaded);
    EXPECT_EQ(d.run("m~2 6#1 2 3 1 2 3 4 5 6 4 5 6"), "1");
    EXPECT_EQ(d.run("e"), "new");
}

TEST(WorkspaceFile, AClearWorkspaceLoadsClear) {
    LineSession a;
    ASSERT_EQ(engine::clearWorkspace(a.in).code, 0);
    std::string file = saved(a.in);
    EXPECT_EQ(wordAt(file, offsets(file).lstfx), kFirstUserFunction - 1);
    LineSession b;
    ASSERT_TRUE(load(b.in, file).loaded);
    EXPECT_TRUE(isClear(b.in));
    EXPECT_EQ(b.run("#[]AV"), "256");
}

TEST(WorkspaceFile, EveryTruncationIsRefusedAndLeavesAClearWorkspace) {
    LineSession a;
    fill(a);
    std::string file = saved(a.in);
    LineSession b(smallHeap());
    const std::size_t body = file.size() - kTrailerBytes;
    for (std::size_t n = 0; n < file.size(); ++n) {
        LoadResult r = load(b.in, file.substr(0, n));
        if (n == body) {
            // Files of this version are always sealed: the body alone has
            // lost its checksum.
            ASSERT_EQ(r.message, kDamagedFile);
            ASSERT_TRUE(isClear(b.in));
            continue;
        }
        ASSERT_FALSE(r.loaded) << n;
        ASSERT_TRUE(r.message == kNotAWoxFile || r.message == kLoadError || r.message == kDamagedFile) << n;
        ASSERT_TRUE(isClear(b.in)) << n;
    }
    EXPECT_TRUE(load(b.in, file).loaded);
}

TEST(WorkspaceFile, CountersBeyondTheirLimitsAreRefused) {
    LineSession a;
    fill(a);
    const std::string file = saved(a.in);
    Offsets o = offsets(file);
    LineSession b;
    std::string f = file;
    setWord(f, o.lstgx, kMaxGlobalNames);
    EXPECT_EQ(load(b.in, f).message, kLoadError);
    EXPECT_TRUE(isClear(b.in));
    f = file;
    setWord(f, o.lstgx, kMaxGlobalNames - 1);
    EXPECT_EQ(load(b.in, f).message, kLoadError);
    f = file;
    setWord(f, o.lstfx, kMaxFunctions);
    EXPECT_EQ(load(b.in, f).message, kLoadError);

    // The symbol `abc is stored as its length + 1, the text and a zero.
    f = file;
    std::string record("\x04\0\0\0abc\0", 8);
    std::size_t at = f.find(record);
    ASSERT_NE(at, std::string::npos);
    setWord(f, at, 129);
    EXPECT_EQ(load(b.in, f).message, kLoadError);
    setWord(f, at, 128);  // allowed as a length, but the text no longer ends there
    EXPECT_FALSE(load(b.in, f).loaded);
}

TEST(WorkspaceFile, UnknownFormatsAndVersionsAreNamed) {
    LineSession b;
    ASSERT_EQ(engine::clearWorkspace(b.in).code, 0);
    EXPECT_EQ(load(b.in, "hello, world").message, kNotAWoxFile);
    EXPECT_EQ(load(b.in, std::string("MyWoX\0\7\0\0\0\0\0\0\0", 14)).message, kUnknownVersion);
    std::string file = saved(b.in);
    setWord(file, bodyStart(file), kWrittenVersion + 1);
    EXPECT_EQ(load(b.in, file).message, kUnknownVersion);
    // Header lines may say anything as long as they start with "**".
    file = saved(b.in);
    file.replace(file.find("** Wox"), 6, "** any");
    reseal(file);
    EXPECT_TRUE(load(b.in, file).loaded);
}

TEST(WorkspaceFile, VersionThreeNumbersFunctionsFromZero) {
    LineSession a;
    fill(a, false);
    std::string f = withRecordTable(saved(a.in), kNumberedFromZeroVersion);
    Offsets o = offsets(f);
    for (int i = 0; i <= wordAt(f, o.lstgx); ++i) {
        std::size_t e = o.globals + static_cast<std::size_t>(i) * kNameEntryBytes;
        if (f[e + 9] == 'F' && wordAt(f, e + 12) >= kFirstUserFunction) setWord(f, e + 12, wordAt(f, e + 12) - 100);
    }
    setWord(f, o.lstfx, wordAt(f, o.lstfx) - 100);
    LineSession b;
    LoadResult r = load(b.in, f);
    ASSERT_TRUE(r.loaded) << r.message;
    EXPECT_EQ(frontend::findFunction(b.in.front, "tot"), kFirstUserFunction);
    EXPECT_EQ(frontend::findFunction(b.in.front, "sq"), kFirstUserFunction + 1);
    EXPECT_EQ(b.run("sq tot 1 2"), "9");
    // The same file as version 4 names functions 0 and 1, which it cannot hold.
    setWord(f, o.version, kRecordTableVersion);
    EXPECT_EQ(load(b.in, f).message, kLoadError);
}

// A file saved before temporal elements held their own values: its record
// indices load as the moments they named, which then compute and save in
// today's layout.
TEST(WorkspaceFile, VersionFourDatesLoadAsTheirMoments) {
    std::ifstream in(WOX_SOURCE_DIR "/tests/workspace_file/data/dates_version4.wox", std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(wordAt(file, bodyStart(file)), kRecordTableVersion);
    LineSession b;
    LoadResult r = load(b.in, file);
    ASSERT_TRUE(r.loaded) << r.message;
    const std::vector<std::pair<std::string, std::string>> shown{
        {"d", "2000.01.01 2013.06.26 2100.12.31"},
        {"ds", "2024.02.29"},
        {"one", "2050.05.05"},
        {"t", "12:00:01.500 23:59:59.999"},
        {"mo", "2000.01m 2099.12m"},
        {"mi", "00:00 23:59"},
        {"se", "12:34:56"},
        {"dt", "2013.06.26T09:05:03.007 2000.02.29T23:59:59.999"},
        {"dts", "2099.12.31T23:59:59.999"},
        {"tab", "day        v\r\n------------\r\n2001.01.01 1\r\n2001.01.02 2\r\n2001.01.03 3"},
        {"kt", "day       | v\r\n----------|--\r\n2001.01.01| 1\r\n2001.01.02| 2"},
        {"nest", "<2005.05.05\r\n<ab\r\n<12:00 13:00"},
        {"grow", "2000.01.02 2013.06.27"},
        {"m", "2010.10.10 2011.11.11\r\n2012.12.12 2013.01.13"},
        {"d+1", "2000.01.02 2013.06.27 2101.01.01"},
        {"dt-1", "2013.06.26T09:05:03.006 2000.02.29T23:59:59.998"},
        {"mo+1", "2000.02m 2100.01m"},
        {"tab.day - 2001.01.01", "0 1 2"},
    };
    for (const auto& [line, text] : shown) EXPECT_EQ(b.run(line), text) << line;
    const std::string again = saved(b.in);
    EXPECT_EQ(wordAt(again, bodyStart(again)), kWrittenVersion);
    LineSession c;
    ASSERT_TRUE(load(c.in, again).loaded);
    for (const auto& [line, text] : shown) EXPECT_EQ(c.run(line), text) << line;
}

// A version-2 file of a workspace with one variable: no local area, no
// stacks, and too few reserved names to hold []AV, which it gets anew.
TEST(WorkspaceFile, VersionTwoLoads) {
    OutputArchive out;
    out.bytes(kOldMagic.data(), kOldMagic.size());
    out.word(kOldestVersion);
    out.word(kFormatStamp);
    out.word(4096);  // heap size
    out.word(-1);    // local names
    NameEntry e{};
    std::memcpy(e.head, "ab", 3);
    e.kind = frontend::kVariableName;
    e.slot = kFirstGlobalSlot;
    e.tail = -1;
    out.word(1);  // global names 0 ([]IO) and 1
    NameEntry io{};
    out.bytes(&io, sizeof io);
    out.bytes(&e, sizeof e);
    out.word(-1);  // functions, numbered from 0
    for (int table = 0; table < 4; ++table) out.word(-1);  // nodes, entries, branches, overflow
    out.word(0);   // gList
    out.word(0);
    out.word(-1);  // call trace
    out.word(-1);  // tail store
    out.word(-1);  // symbols
    out.word(0);   // temporal records
    out.word(0);   // heap bytes
    ValueDescriptor one{};
    one.type = kInteger;
    one.count = 1;
    setInlineInt(one, 1);
    out.bytes(&one, sizeof one);  // []IO
    out.word(1);                  // reserved names: []IO alone
    out.word(kFirstGlobalSlot);
    setInlineInt(one, 7);
    out.bytes(&one, sizeof one);
    out.word(kPresetConstants - 1);
    LineSession b;
    std::string file = out.memory();
    LoadResult r = load(b.in, file);
    ASSERT_TRUE(r.loaded) << r.message;
    EXPECT_EQ(b.run("ab"), "7");
    EXPECT_EQ(b.run("#[]AV"), "256");
    // A refused file leaves the workspace that was loaded before.
    EXPECT_EQ(load(b.in, file.substr(0, file.size() - 1)).message, kOldLoadError);
    EXPECT_EQ(b.run("ab"), "7");
}

// A nested item whose count was damaged to 1 reads as a single number: it
// keeps no block, so copies of it save and load again.
TEST(WorkspaceFile, ADamagedItemThatBecameASingleNumberOwnsNoBlock) {
    LineSession a;
    ASSERT_EQ(engine::clearWorkspace(a.in).code, 0);
    a.run("n<-(1 2;3)");
    const ValueDescriptor& n = a.in.ws.vars[kFirstGlobalSlot];
    ASSERT_EQ(n.type, kGeneral);
    reinterpret_cast<ValueDescriptor*>(a.in.ws.base() + n.data)->count = 1;
    LineSession b;
    ASSERT_TRUE(load(b.in, saved(a.in)).loaded);
    EXPECT_EQ(b.run("n"), "<2\r\n<3");
    b.run("z<-n,n");
    b.in.ws.compact();
    LineSession c;
    ASSERT_TRUE(load(c.in, saved(b.in)).loaded);
    EXPECT_EQ(c.run("#z"), "4");
}

// An enumeration keeps naming its domain's variable after a load, so a
// domain changed afterwards is seen; a header naming an unknown symbol or a
// constant, or a negative position, is refused.
TEST(WorkspaceFile, EnumerationsLoadWithTheirDomainsAndDamagedOnesAreRefused) {
    LineSession a;
    ASSERT_EQ(engine::clearWorkspace(a.in).code, 0);
    a.run("d<-`a`b`c");
    a.run("e<-`d:`c`a");
    const std::string file = saved(a.in);
    LineSession b(smallHeap());
    ASSERT_TRUE(load(b.in, file).loaded);
    EXPECT_EQ(b.run("e"), "`d:`c `a");
    b.run("d<-`x`y`z");
    EXPECT_EQ(b.run("e"), "`d:`z `x");
    EXPECT_EQ(b.run("e[2]<-`y"), "");
    EXPECT_EQ(b.run("value e"), "`z `y");

    const int e = kFirstGlobalSlot + 1;
    ASSERT_EQ(a.in.ws.vars[e].type, kEnumeration);
    auto* words = reinterpret_cast<std::int32_t*>(a.in.ws.base() + a.in.ws.vars[e].data);
    const std::int32_t good[3] = {words[0], words[1], words[2]};
    for (auto [at, bad] : {std::pair{0, a.in.symbols.last() + 1}, std::pair{1, 5}, std::pair{2, -1}}) {
        words[at] = bad;
        LineSession c;
        EXPECT_FALSE(load(c.in, saved(a.in)).loaded) << "word " << at;
        EXPECT_TRUE(isClear(c.in));
        words[at] = good[at];
    }
    LineSession c;
    EXPECT_TRUE(load(c.in, saved(a.in)).loaded);
}

// Damaged bytes anywhere: the checksum refuses every file, before the
// workspace is touched.
TEST(WorkspaceFile, DamagedFilesAreRefusedByTheirChecksum) {
    LineSession a;
    fill(a);
    const std::string file = saved(a.in);
    std::mt19937 random(7);
    LineSession b(smallHeap());
    b.run("keep<-42");
    for (int round = 0; round < 400; ++round) {
        std::string f = file;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < flips; ++k) f[random() % f.size()] = static_cast<char>(random());
        if (f == file) continue;
        LoadResult r = load(b.in, f);
        ASSERT_FALSE(r.loaded) << round;
        ASSERT_EQ(r.message, kDamagedFile) << round;
        ASSERT_EQ(b.run("keep"), "42") << round;
    }
}

// A damaged trailer mark with a damaged body is still a damaged file, not
// an earlier program's file that fails to read.
TEST(WorkspaceFile, ADamagedTrailerMarkIsADamagedFile) {
    LineSession a;
    fill(a);
    std::string f = saved(a.in);
    f[f.size() - kTrailerBytes + 2] ^= 0x20;
    f[bodyStart(f) + 40] ^= 0x5a;
    LineSession b;
    LoadResult r = load(b.in, f);
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.message, kDamagedFile);
}

// Damaged bytes behind a checksum that agrees with them: each file is
// refused or loads as a workspace whose every value displays and whose
// functions run.
TEST(WorkspaceFile, DamagedFilesAreRefusedOrLoadSound) {
    LineSession a;
    fill(a);
    const std::string file = saved(a.in);
    const std::size_t body = bodyStart(file);
    std::mt19937 random(7);
    LineSession b(smallHeap());
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        std::string f = file;
        int flips = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < flips; ++k) f[body + random() % (f.size() - kTrailerBytes - body)] = static_cast<char>(random());
        reseal(f);
        const std::string before = saved(b.in);
        LoadResult r = load(b.in, f);
        if (!r.loaded) {
            // A refused file leaves the workspace as it was.
            ASSERT_TRUE(saved(b.in) == before) << round;
            continue;
        }
        ++loaded;
        for (const char* line : {"b", "i", "f", "c", "x", "y", "m", "r", "n", "e", "averyverylongname", "tot 1 2 3",
                                 "sq 3", "[]IO", "z<-n,n", "m<-m,r", "en", "value en", "en[1]<-`p", "en=`q"})
            (void)b.run(line);
        b.in.ws.compact();
        ASSERT_TRUE(load(b.in, saved(b.in)).loaded);
    }
    EXPECT_GT(loaded, 0);
}

// Two session lines left calls suspended: outer called inner, which failed,
// then inner failed on its own; their names shadow the global x.
void suspend(LineSession& s, bool moments = true) {
    fill(s, moments);
    s.define({"z<-outer x;alonglocalname", "alonglocalname<-x", "z<-1+inner x"});
    s.define({"z<-inner x;t", "t<-x", "z<-x+'a'"});
    s.run("x<-'global'");
    s.run("outer 5");
    s.run("inner 7");
    frontend::releaseLineTables(s.in.front, s.in.ws);
}

// Offsets of the call-trace counter and the dfxstack counter.
struct StackOffsets {
    std::size_t sidx, dfxstack;
};
StackOffsets stackOffsets(const std::string& f, const Interpreter& in) {
    Offsets o = offsets(f);
    std::size_t at = o.lstfx + 4 + static_cast<std::size_t>(wordAt(f, o.lstfx) - (kFirstUserFunction - 1)) * kFunctionRecordBytes;
    for (int bytes : {kParseNodeBytes, kFunctionEntryBytes, kBranchEntryBytes, 4})
        at += 4 + static_cast<std::size_t>(wordAt(f, at) + 1) * static_cast<std::size_t>(bytes);
    at += 4 + static_cast<std::size_t>(wordAt(f, at)) * 4 + 4;  // the gList and its spare word
    std::size_t traceWords = errorTraceWords(in).size();
    std::size_t end = f.size() - kTrailerBytes - 4 - 4 * traceWords;
    return {at, end - 8 * static_cast<std::size_t>(in.scope.top + 1) - 4};
}

// Leaving every call gives back every level, binding and local slot.
void leaveAll(Interpreter& in) {
    while (!in.frames.empty()) engine::leaveSuspended(in);
    EXPECT_EQ(in.errors.depth, -1);
    EXPECT_EQ(in.scope.top, -1);
    EXPECT_EQ(in.ws.lowestLocalSlot, kLocalRegionEnd);
}

TEST(WorkspaceFile, SuspendedCallsLoadAndSaveAgainByteForByte) {
    LineSession a;
    suspend(a);
    ASSERT_EQ(a.in.frames.size(), 3u);
    const std::string first = saved(a.in);
    LineSession b(smallHeap());
    LoadResult r = load(b.in, first);
    ASSERT_TRUE(r.loaded) << r.message;
    LineSession c;
    ASSERT_TRUE(load(c.in, saved(b.in)).loaded);
    EXPECT_TRUE(saved(c.in) == first);

    // The levels: session, outer, inner, session, inner.
    ASSERT_EQ(b.in.errors.depth, 4);
    EXPECT_EQ(b.in.errors.callTrace[0].function, engine::kSessionLevel);
    EXPECT_EQ(b.in.errors.callTrace[3].function, engine::kSessionLevel);
    EXPECT_EQ(b.in.errors.callTrace[2].line, 2);
    ASSERT_EQ(b.in.frames.size(), 3u);
    EXPECT_EQ(b.in.ws.lowestLocalSlot, a.in.ws.lowestLocalSlot);
    EXPECT_EQ(b.run("x,t"), "7 7");
    EXPECT_EQ(b.run("inner 1"), "domain error\r\ninner[2]  z<-x+'a'\r\n              ^");
    EXPECT_EQ(b.in.frames.size(), 4u);
    engine::leaveSuspended(b.in);
    engine::leaveSuspended(b.in);
    EXPECT_EQ(b.run("x,t"), "5 5");
    engine::leaveSuspended(b.in);
    EXPECT_EQ(b.run("x,alonglocalname"), "5 5");
    engine::leaveSuspended(b.in);
    EXPECT_EQ(b.run("x"), "global");
    leaveAll(b.in);
}

TEST(WorkspaceFile, DamagedStacksAreRefusedOrLoadConsistently) {
    LineSession a;
    suspend(a);
    const std::string file = saved(a.in);
    const Offsets o = offsets(file);
    const StackOffsets st = stackOffsets(file, a.in);
    ASSERT_EQ(wordAt(file, st.sidx), 4);
    ASSERT_EQ(wordAt(file, st.dfxstack), a.in.scope.top);

    LineSession b(smallHeap());
    auto refused = [&](std::size_t at, std::int32_t v) {
        std::string f = file;
        setWord(f, at, v);
        LoadResult r = load(b.in, f);
        return !r.loaded && isClear(b.in) && b.in.frames.empty() && b.in.errors.depth == -1;
    };
    EXPECT_TRUE(refused(st.sidx, -1)) << "bindings without calls";
    EXPECT_TRUE(refused(st.sidx, 3)) << "a session level on top";
    EXPECT_TRUE(refused(st.sidx + 4, kFirstUserFunction)) << "a call below every session level";
    EXPECT_TRUE(refused(st.sidx + 16, 99)) << "a line the function does not have";
    EXPECT_TRUE(refused(st.dfxstack, -1)) << "calls without bindings";
    EXPECT_TRUE(refused(st.dfxstack, a.in.scope.top - 1)) << "a local slot no call owns";
    EXPECT_TRUE(refused(st.dfxstack + 4, 3)) << "a call without its boundary";

    // Random damage to the stacks and local names: refused, or calls that
    // can be left to the last.
    const std::size_t regions[][2] = {{o.lstnx, o.lstgx},
                                      {st.sidx, st.sidx + 4 + 5 * 8},
                                      {st.dfxstack, st.dfxstack + 4 + 8 * static_cast<std::size_t>(a.in.scope.top + 1)}};
    std::mt19937 random(11);
    int loaded = 0;
    for (int round = 0; round < 600; ++round) {
        std::string f = file;
        const auto& region = regions[random() % 3];
        std::size_t at = region[0] + random() % (region[1] - region[0]);
        if (random() % 2) {
            f[at] = static_cast<char>(random());
            reseal(f);
        }
        else if (at + 4 <= region[1]) setWord(f, at & ~std::size_t{3}, static_cast<std::int32_t>(random() % 40) - 2);
        const std::string before = saved(b.in);
        LoadResult r = load(b.in, f);
        if (!r.loaded) {
            ASSERT_TRUE(saved(b.in) == before) << round;
            continue;
        }
        ++loaded;
        for (const char* line : {"x", "t", "alonglocalname", "inner 1", "outer 2", "t<-x<-3"}) (void)b.run(line);
        ASSERT_TRUE(load(b.in, saved(b.in)).loaded);
        leaveAll(b.in);
    }
    EXPECT_GT(loaded, 0);
}

// A file that does not load leaves the workspace exactly as it was, its
// suspended calls included: truncated, with a counter beyond its limit, with
// a damaged checksum, or with more heap than this workspace has, which
// only a read with this workspace's own capacities refuses.
TEST(WorkspaceFile, ARefusedFileLeavesTheWorkspaceAsItWas) {
    LineSession a;
    fill(a);
    const std::string file = saved(a.in);
    a.run("big<-1500000#1.5");  // 12 MB: more than the small heap holds
    const std::string tooBig = saved(a.in);

    LineSession b(smallHeap());
    suspend(b);
    const std::string before = saved(b.in);
    auto unchanged = [&](const std::string& f) {
        LoadResult r = load(b.in, f);
        return !r.loaded && saved(b.in) == before;
    };
    for (std::size_t n : {std::size_t{10}, bodyStart(file) + 8, file.size() / 2, file.size() - kTrailerBytes - 1})
        EXPECT_TRUE(unchanged(file.substr(0, n))) << n;
    std::string f = file;
    setWord(f, offsets(f).lstfx, kMaxFunctions);
    EXPECT_TRUE(unchanged(f)) << "too many functions";
    f = file;
    f[bodyStart(f) + 20] ^= 1;
    EXPECT_TRUE(unchanged(f)) << "damaged";
    EXPECT_TRUE(unchanged(tooBig)) << "a heap beyond this one";

    EXPECT_EQ(b.run("x,t"), "7 7");
    leaveAll(b.in);
    EXPECT_EQ(b.run("x"), "global");
    // A sound file then replaces the workspace in full.
    ASSERT_TRUE(load(b.in, file).loaded);
    EXPECT_TRUE(b.in.frames.empty());
    EXPECT_EQ(b.run("sq tot 1 2"), "9");
    EXPECT_EQ(b.run("c"), "hello");
}

TEST(WorkspaceFile, VersionThreeSuspendedCallsNumberFunctionsFromZero) {
    LineSession a;
    suspend(a, false);
    std::string f = withRecordTable(saved(a.in), kNumberedFromZeroVersion);
    const Offsets o = offsets(f);
    const StackOffsets st = stackOffsets(f, a.in);
    for (int i = 0; i <= wordAt(f, o.lstgx); ++i) {
        std::size_t e = o.globals + static_cast<std::size_t>(i) * kNameEntryBytes;
        if (f[e + 9] == 'F' && wordAt(f, e + 12) >= kFirstUserFunction) setWord(f, e + 12, wordAt(f, e + 12) - 100);
    }
    setWord(f, o.lstfx, wordAt(f, o.lstfx) - 100);
    for (int d = 0; d <= wordAt(f, st.sidx); ++d) {
        std::size_t e = st.sidx + 4 + static_cast<std::size_t>(d) * 8;
        if (wordAt(f, e) >= 0) setWord(f, e, wordAt(f, e) - 100);
    }
    LineSession b;
    LoadResult r = load(b.in, f);
    ASSERT_TRUE(r.loaded) << r.message;
    ASSERT_EQ(b.in.frames.size(), 3u);
    EXPECT_EQ(b.in.frames.back().function, frontend::findFunction(b.in.front, "inner"));
    EXPECT_EQ(b.in.frames.front().function, frontend::findFunction(b.in.front, "outer"));
    EXPECT_EQ(b.run("x,t"), "7 7");
    leaveAll(b.in);
}

class SaveFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wox-save-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

TEST_F(SaveFiles, AFailedSaveKeepsTheOldFile) {
    LineSession a;
    fill(a);
    const std::string path = (dir_ / "keep.wox").string();
    std::string problem;
    ASSERT_TRUE(saveWorkspaceFile(a.in, path, &problem)) << problem;
    const std::string old = read(path);
    EXPECT_EQ(old, saved(a.in, path));

    EXPECT_FALSE(saveWorkspaceFile(a.in, (dir_ / "missing" / "x.wox").string(), &problem));
    EXPECT_FALSE(problem.empty());

    a.run("big<-100000#1.5");
    // A full disk: no file may grow beyond a few kilobytes.
    struct rlimit was {};
    getrlimit(RLIMIT_FSIZE, &was);
    struct rlimit small = was;
    small.rlim_cur = 4096;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool savedWhileFull = saveWorkspaceFile(a.in, path, &problem);
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(savedWhileFull);
    EXPECT_EQ(read(path), old);

    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(saveWorkspaceFile(a.in, path, &problem));
    EXPECT_EQ(read(path), old);
    // Nothing is left behind.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

// A process killed at any moment of a save leaves the old or the new
// workspace, never a broken one.
TEST_F(SaveFiles, AKilledSaveLeavesTheOldOrTheNewWorkspace) {
    const std::string path = (dir_ / "crash.wox").string();
    LineSession a, b;
    fill(a);
    fill(b);
    a.run("big<-200000#1.25");
    b.run("big<-400000#2.5");
    std::string problem;
    ASSERT_TRUE(saveWorkspaceFile(a.in, path, &problem)) << problem;
    const std::string fileA = read(path), fileB = saved(b.in, path);
    std::mt19937 random(11);
    int sawB = 0;
    for (int round = 0; round < 200; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string ignored;
            for (;;) {
                (void)saveWorkspaceFile(b.in, path, &ignored);
                (void)saveWorkspaceFile(a.in, path, &ignored);
            }
        }
        usleep(static_cast<useconds_t>(random() % 20000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        std::string now = read(path);
        ASSERT_TRUE(now == fileA || now == fileB) << "round " << round << ": " << now.size() << " bytes";
        sawB += now == fileB;
        LineSession c(smallHeap());
        ASSERT_TRUE(load(c.in, now).loaded);
        // The next save in the folder takes away what the killed one left.
        ASSERT_TRUE(saveWorkspaceFile(c.in, (dir_ / "other.wox").string(), &problem)) << problem;
        for (const auto& e : fs::directory_iterator(dir_))
            ASSERT_FALSE(e.path().filename().string().starts_with(".wox-")) << e.path();
    }
    EXPECT_GT(sawB, 0);
}

}  // namespace
}  // namespace wox::workspace_file
