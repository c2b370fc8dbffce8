#pragma once
// Grading: the permutation that orders the elements of a vector, or the rows
// of a matrix compared lexicographically, ascending or descending. Every
// grade is stable in both directions: equal keys keep their order of
// position. Integers, characters, floats (as ordered 64-bit keys) and
// Temporal words (as signed 64-bit integers, which is their chronological
// order within one kind) are sorted by counting and radix passes, rows by
// comparison; the null orders below every number, characters compare as
// signed bytes. With an interrupt
// flag, a grade asks it every few thousand steps and ends with "interrupt"
// (clearing it) once it is set.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "numeric/scratch.h"
#include "values/rc.h"

namespace wox::numeric {

enum class Direction : std::uint8_t { Up, Down };

// Working memory comes from the scratch; a refusal is "workspace full".

// Fills out[0..n) with origin + position of the elements of `data` (type
// Boolean, Integer, Float, Char or Temporal) in sorted order. out must not overlap data.
Rc gradeVector(const void* data, std::int32_t type, std::int32_t* out, int origin, std::int64_t n, Direction dir,
               Scratch scratch = systemScratch(), std::atomic<bool>* interrupt = nullptr);

// The same for `rows` rows of `rowLength` elements each.
Rc gradeRows(const void* data, std::int32_t type, std::int32_t* out, int origin, std::int64_t rows,
             std::int64_t rowLength, Direction dir, Scratch scratch = systemScratch(),
             std::atomic<bool>* interrupt = nullptr);

}  // namespace wox::numeric
