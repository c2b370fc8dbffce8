// The symbol table: indices in order of first use, index 0 the empty name,
// a balanced tree under sorted input, and its limits.
#include <gtest/gtest.h>

#include <string>

#include "types/symbol_table.h"

namespace wox::types {
namespace {

std::int32_t in(SymbolTable& t, std::string_view s) {
    std::int32_t i = -1;
    EXPECT_TRUE(t.intern(s, &i).ok()) << s;
    return i;
}

TEST(SymbolTable, IndicesInOrderOfFirstUse) {
    SymbolTable t;
    EXPECT_EQ(t.last(), 0);
    EXPECT_EQ(t.find(""), 0);
    EXPECT_EQ(in(t, "m"), 1);
    EXPECT_EQ(in(t, "a"), 2);  // sorts first, still the next index
    EXPECT_EQ(in(t, "z"), 3);
    EXPECT_EQ(in(t, "m"), 1);
    EXPECT_EQ(in(t, ""), 0);
    EXPECT_EQ(t.name(2), "a");
    EXPECT_EQ(t.name(99), "");
    // Bytes compare unsigned: a high byte sorts after every ASCII name.
    EXPECT_EQ(in(t, "\xe9t\xe9"), 4);
    EXPECT_EQ(in(t, "ab"), 5);
    EXPECT_EQ(t.find("\xe9t\xe9"), 4);
    t.reset();
    EXPECT_EQ(t.last(), 0);
    EXPECT_EQ(in(t, "z"), 1);
}

TEST(SymbolTable, StaysBalancedAndFindsEveryName) {
    SymbolTable t;
    for (int i = 0; i < 10000; ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "s%05d", i);
        ASSERT_EQ(in(t, buf), i + 1);
    }
    EXPECT_LE(t.height(), 20);  // 1.44 log2(10001) bounds an AVL tree
    for (int i = 9999; i >= 0; i -= 7) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "s%05d", i);
        EXPECT_EQ(t.find(buf), i + 1);
        EXPECT_EQ(t.name(i + 1), buf);
    }
}

TEST(SymbolTable, Limits) {
    SymbolTable t(4);
    std::int32_t i = 0;
    EXPECT_EQ(t.intern(std::string(128, 'x'), &i).code, 16);
    ASSERT_TRUE(t.intern(std::string(127, 'x'), &i).ok());
    ASSERT_TRUE(t.intern("b", &i).ok());
    ASSERT_TRUE(t.intern("c", &i).ok());
    EXPECT_EQ(i, 3);
    EXPECT_EQ(t.intern("d", &i).code, 84);
    EXPECT_TRUE(t.intern("b", &i).ok());  // known names are still found
    EXPECT_EQ(i, 2);
}

}  // namespace
}  // namespace wox::types
