// Dictionaries, tables and keyed tables in workspace files: they load as
// they were saved; a file whose table parts no longer agree is refused; and
// random damage is refused or loads as values that display.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/line_session.h"
#include "engine/workspace_clear.h"
#include "workspace_file/archive.h"
#include "workspace_file/file_damage.h"
#include "workspace_file/workspace_reader.h"
#include "workspace_file/workspace_writer.h"

namespace wox::workspace_file {
namespace {

using testing::LineSession;

std::string saved(const Interpreter& in) {
    OutputArchive out;
    EXPECT_EQ(writeWorkspace(in, out, "/ws/keyed.wox").code, 0);
    return out.memory();
}

LoadResult load(Interpreter& in, const std::string& bytes) {
    return readWorkspace(in, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

void fill(LineSession& s) {
    ASSERT_EQ(engine::clearWorkspace(s.in).code, 0);
    for (const char* line : {"d<-`a`bb:1 2", "t<-([]a:1 2;s:(2 3#'abcdef');n:('p';1 2))",
                             "kt<-([k:1 2;j:`u`v] v:3.5 4)", "nest<-(t;d;5)"})
        s.run(line);
}

// The descriptor of global variable k (in order of first assignment).
ValueDescriptor& global(Interpreter& in, int k) { return in.ws.vars[static_cast<std::size_t>(kFirstGlobalSlot + k)]; }

TEST(LoadedValues, TablesLoadAsTheyWereSaved) {
    LineSession a;
    fill(a);
    const std::string shown = a.run("kt") + a.run("t") + a.run("nest");
    LineSession b;
    ASSERT_TRUE(load(b.in, saved(a.in)).loaded);
    EXPECT_EQ(b.run("kt") + b.run("t") + b.run("nest"), shown);
    EXPECT_EQ(saved(b.in), saved(a.in));
}

TEST(LoadedValues, PartsThatDisagreeAreRefused) {
    LineSession a;
    fill(a);
    const std::string good = saved(a.in);
    auto parts = [&](int k) { return reinterpret_cast<ValueDescriptor*>(a.in.ws.base() + global(a.in, k).data); };
    auto columnList = [&](const ValueDescriptor& table) {
        return reinterpret_cast<ValueDescriptor*>(a.in.ws.base() + table.data) + 1;
    };
    struct Damage {
        const char* what;
        std::int32_t* word;
        std::int32_t value;
    };
    const Damage damages[] = {
        {"a table with more rows than its columns", &columnList(global(a.in, 1))->shape0, 3},
        {"a keyed table whose value table has other rows", &columnList(parts(2)[1])->shape0, 1},
        {"a dictionary of another kind", &global(a.in, 0).shape0, 3},
        {"dictionary parts of different lengths", &parts(0)[1].count, 1},
        {"column names that are not symbols", &parts(1)[0].type, kInteger},
    };
    for (const Damage& d : damages) {
        const std::int32_t kept = *d.word;
        *d.word = d.value;
        LineSession b;
        EXPECT_FALSE(load(b.in, saved(a.in)).loaded) << d.what;
        *d.word = kept;
    }
    LineSession b;
    EXPECT_TRUE(load(b.in, good).loaded);
}

TEST(LoadedValues, DamagedTablesAreRefusedOrLoadSound) {
    LineSession a;
    fill(a);
    const std::string file = saved(a.in);
    const std::size_t body = file.find("\r\n\r\n") + 4;
    std::mt19937 random(11);
    LineSession b;
    for (int round = 0; round < 300; ++round) {
        std::string f = file;
        const int flips = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < flips; ++k) f[body + random() % (f.size() - kTrailerBytes - body)] = static_cast<char>(random());
        reseal(f);
        if (!load(b.in, f).loaded) continue;
        for (const char* line : {"d", "t", "kt", "nest", "cols kt", "meta t", "&.t", "kt[1]", "t[1;]", "d+1"})
            (void)b.run(line);
        b.in.ws.compact();
        ASSERT_TRUE(load(b.in, saved(b.in)).loaded);
    }
}

// Compaction moves the blocks of tables' parts and columns; the values
// they make up must stay whole.
TEST(LoadedValues, TablesSurviveCompaction) {
    LineSession a;
    fill(a);
    const std::string shown = a.run("kt") + a.run("nest");
    const std::uint32_t before = global(a.in, 2).data;
    a.run("d<-0");  // the highest blocks become garbage
    a.run("kt2<-kt");
    a.in.ws.compact();
    EXPECT_NE(global(a.in, 2).data, before);
    EXPECT_EQ(a.run("kt") + a.run("nest"), shown);
    EXPECT_EQ(a.run("kt2"), a.run("kt"));
    EXPECT_EQ(a.run("kt[(2;`v)]"), "v| 4");
}

}  // namespace
}  // namespace wox::workspace_file
