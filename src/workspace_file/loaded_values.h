#pragma once
// Checks the values of a loaded workspace against the heap it brought: every
// block a descriptor names must be a block of the heap's trailer chain, of
// the right size, owned by that descriptor and used by no other; shapes,
// dimension runs, truth values and symbol indices must be sound, and items
// of nested values likewise, however deep. Blocks in use that no value
// claims are freed, so the heap stays consistent.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "types/temporal.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::workspace_file {

class LoadedValues {
public:
    // Walks the trailer chain of [top, end of heap). False when the chain
    // does not end exactly at `top`. A heap that was written from a heap of
    // another size moves by `shift`: the offsets inside it (owner words of
    // items, data words of item descriptors) move with it.
    bool walkBlocks(values::Workspace& ws, std::uint32_t top, std::int64_t shift);

    // Checks a value that `owner` (a tagged owner word) holds. An unset
    // value is accepted where `unsetAllowed`. False when anything is wrong.
    bool check(values::Workspace& ws, ValueDescriptor& d, std::uint32_t owner, bool unsetAllowed,
               std::int32_t lastSymbol);

    // The record table of a file from before temporal elements held their
    // own values, as words: such elements are indices into it and become
    // its words. Null for a file whose elements are words.
    const std::vector<types::TemporalWord>* recordWords = nullptr;

    // Frees every block in use that no checked value claimed.
    void freeUnclaimed(values::Workspace& ws);

private:
    struct Block {
        std::uint32_t start;
        std::uint32_t size;
        bool claimed;
    };
    Block* find(std::uint32_t start);
    void relocate(values::Workspace& ws, std::int64_t shift);
    bool checkOne(values::Workspace& ws, ValueDescriptor& d, std::uint32_t owner, std::int32_t lastSymbol);
    bool checkPair(values::Workspace& ws, const ValueDescriptor& d);
    bool checkColumns(values::Workspace& ws, const ValueDescriptor& list);
    bool checkTemporals(ValueDescriptor& d, char* elements);

    std::vector<Block> blocks_;  // in use, by ascending start
    std::vector<std::uint32_t> items_;  // heap offsets of item descriptors still to check
    std::unordered_set<std::uint32_t> columnLists_;  // heap offsets of tables' column lists
};

}  // namespace wox::workspace_file
