#pragma once
// Grade up <y and grade down >y, and roll ?.y and deal x?.y: positions
// counted from the index origin in force, which dispatch hands over.
#include <cstdint>

#include "values/context.h"

namespace wox::primitives {

// grade.cpp: `code` is vocabulary::code::kGradeUp or vocabulary::code::kGradeDown.
Rc grade(values::Context& cx, int code, int result, ValueRef right, ValueRef io);

// random.cpp: the generator's state is the interpreter's, `link` the []RL
// in force.
struct RandomSource {
    std::int32_t* state;
    ValueRef link;
};
Rc roll(values::Context& cx, int result, ValueRef right, ValueRef io, RandomSource rs);
Rc deal(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io, RandomSource rs);

// One step of the generator and a draw of 0..n-1 from the new state.
std::int32_t nextRandomState(std::int32_t state);
std::int32_t drawBelow(std::int32_t state, std::int32_t n);

}  // namespace wox::primitives
