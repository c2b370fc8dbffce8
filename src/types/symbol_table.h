#pragma once
// The symbol table: interned names, each given a 32-bit index in the order
// in which it was first seen. Symbol elements of values are these indices.
//
// Names are kept in a height-balanced search tree ordered by unsigned byte
// comparison; tree links are node numbers, and a node's number is its symbol
// index, so the name of index i is found in one step. After every reset the
// empty name is index 0.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "values/rc.h"
#include "values/symbol_names.h"

namespace wox::types {

// Longest symbol name; a name record holds at most 127 characters.
inline constexpr int kMaxSymbolLength = 127;
// Indices 0 to 10,005 can be given out.
inline constexpr int kSymbolCapacity = 10'006;

class SymbolTable final : public values::SymbolNames {
public:
    explicit SymbolTable(int capacity = kSymbolCapacity);

    // Index of the name, entering it when new. Fails with 84 when the table
    // is full and with 16 for a name longer than kMaxSymbolLength.
    Rc intern(std::string_view name, std::int32_t* index);
    // Index of the name, or -1 when it was never interned.
    std::int32_t find(std::string_view name) const;
    // The name of index i; empty for an index never given out.
    std::string_view name(std::int32_t i) const override;

    // Forgets every name, then enters the empty name as index 0.
    void reset();

    // Index of the last symbol given out (-1 for none).
    std::int32_t last() const { return static_cast<std::int32_t>(nodes_.size()) - 1; }
    int capacity() const { return capacity_; }

    // Largest height of the tree; lets tests see that it stays balanced.
    int height() const;

private:
    struct Node {
        std::int32_t left = -1;
        std::int32_t right = -1;
        std::int32_t text = 0;    // offset of the name in text_
        std::int32_t length = 0;
        std::int8_t balance = 0;  // height(right) - height(left)
    };

    int compare(std::string_view a, std::int32_t node) const;
    // Inserts below node n and returns the subtree's new root; sets *grew
    // when the subtree got taller.
    std::int32_t insert(std::int32_t n, std::string_view name, std::int32_t* index, bool* grew);
    int heightOf(std::int32_t node) const;

    int capacity_;
    std::int32_t root_ = -1;
    std::vector<Node> nodes_;
    std::string text_;
};

}  // namespace wox::types
