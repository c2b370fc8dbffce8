#include <gtest/gtest.h>

#include "engine/interpreter.h"

namespace wox {
namespace {

TEST(Workspace, ClearWorkspaceStartsEmpty) {
    Interpreter in;
    EXPECT_EQ(in.ws.heapTop, 629145600u);
    EXPECT_EQ(in.ws.stackTop, 0u);
    EXPECT_EQ(in.ws.lstvxend, 15364);
}

}  // namespace
}  // namespace wox
