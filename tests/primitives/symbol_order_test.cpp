// Symbols order by their names, bytes compared as unsigned: grade of
// 100,000 random symbols agrees with a stable sort of their texts, up and
// down, and the ordering comparisons agree with grade.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/recording_link.h"
#include "engine/workspace_clear.h"
#include "frontend/name_table.h"

namespace wox {
namespace {

std::string run(Interpreter& in, const std::string& line) {
    std::string out;
    {
        testing::RecordingLink link(in, [&](std::string_view s) { out += s; });
        engine::executeLine(in, line);
    }
    return out;
}

ValueDescriptor& global(Interpreter& in, std::string_view name) {
    const int g = frontend::findGlobal(in.front, name);
    EXPECT_GE(g, 0);
    return in.ws.var(in.front.globals[static_cast<std::size_t>(g)].slot);
}

std::vector<std::int32_t> ints(Interpreter& in, std::string_view name) {
    const ValueDescriptor& d = global(in, name);
    EXPECT_EQ(d.type, kInteger);
    const std::int32_t* p = in.ws.elems<std::int32_t>(d);
    return std::vector<std::int32_t>(p, p + d.count);
}

TEST(SymbolOrder, GradeAgreesWithASortOfTheTexts) {
    Interpreter in;
    ASSERT_EQ(engine::clearWorkspace(in).code, 0);
    constexpr int kCount = 100'000;
    std::mt19937 random(2026);
    // Short names over few letters repeat often; high bytes must sort after
    // every ASCII byte, capitals before small letters.
    const std::string alphabet = "aAbZz09_\x80\xc3\xa9\xff";
    std::vector<std::string> texts(kCount);
    for (std::string& t : texts) {
        t.resize(random() % 4);
        for (char& c : t) c = alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(run(in, "s<-" + std::to_string(kCount) + "#`a"), "");
    std::vector<std::int32_t> index(kCount);
    for (int i = 0; i < kCount; ++i) ASSERT_TRUE(in.symbols.intern(texts[static_cast<std::size_t>(i)], &index[static_cast<std::size_t>(i)]).ok());
    ValueDescriptor& s = global(in, "s");
    std::copy(index.begin(), index.end(), in.ws.elems<std::int32_t>(s));

    std::vector<std::int32_t> up(kCount), down(kCount);
    std::iota(up.begin(), up.end(), 1);
    std::iota(down.begin(), down.end(), 1);
    auto text = [&](std::int32_t i) -> const std::string& { return texts[static_cast<std::size_t>(i - 1)]; };
    auto bytes = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    };
    std::stable_sort(up.begin(), up.end(), [&](std::int32_t a, std::int32_t b) { return bytes(text(a), text(b)); });
    std::stable_sort(down.begin(), down.end(), [&](std::int32_t a, std::int32_t b) { return bytes(text(b), text(a)); });
    ASSERT_EQ(run(in, "u<-<s"), "");
    ASSERT_EQ(run(in, "d<->s"), "");
    EXPECT_EQ(ints(in, "u"), up);
    EXPECT_EQ(ints(in, "d"), down);
    // Each neighbour in grade order is no greater than the next, by `<=`.
    ASSERT_EQ(run(in, "o<-s[u]"), "");
    EXPECT_EQ(run(in, "^/(_1!.o)<=1!.o"), "\r\n1");
    EXPECT_EQ(run(in, "^/(_1!.o)<1!.o"), "\r\n0");
}

}  // namespace
}  // namespace wox
