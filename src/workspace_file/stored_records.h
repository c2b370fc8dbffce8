#pragma once
// Records that the writer and the reader of workspace files build the same
// way, so that a loaded workspace saves again byte for byte.
#include <cstdint>
#include <vector>

#include "engine/interpreter.h"
#include "frontend/function_store.h"
#include "values/value.h"
#include "workspace_file/archive.h"

namespace wox::workspace_file {

// The stored form of function slot s: the record of its untranslated
// function (translation fills the rest again on the first call), or an
// empty record for a slot without a function.
frontend::FunctionRecord storedRecord(const frontend::FunctionStore& fs, int slot);

// A descriptor record: the 32-byte descriptor, then its data offset again
// when that is not zero. An unset value is stored as rank -1 and nothing else.
void writeDescriptorRecord(OutputArchive& out, const ValueDescriptor& d);
// Reads one; a data offset moves by `shift` (the difference of the heap
// sizes), and must land inside the heap.
bool readDescriptorRecord(InputArchive& in, std::int64_t shift, std::uint32_t heapSize, ValueDescriptor* d);

// The error trace as stored: function slot, last line, lines run and the
// recent lines; empty when nothing was recorded.
std::vector<std::int32_t> errorTraceWords(const Interpreter& in);

}  // namespace wox::workspace_file
