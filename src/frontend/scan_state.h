#pragma once
// Working state of the line translator, kept in the front-end tables so that
// its buffers are reused from line to line.
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/number_reader.h"

namespace wox::frontend {

// One nesting level: the whole line, a parenthesised group or list, or the
// index list of a bracket.
struct ScanFrame {
    char type;            // 'T' the line, '(' or '['; a table literal: 'K' its key
                          // columns in brackets, 'N' the columns after them
    int open;             // position of the opening bracket
    int head;             // first node of the chain built so far: the latest item's first node
    int segEntry;         // the latest value item: its first and last node in evaluation order
    int segExit;
    int lastCall;         // the latest item when it is a function application, else -1
    int itemBase;         // where this level's finished items start in ScanState::items
    int itemCount;        // items finished by ";"
    int pieces;           // items of the expression in progress
    bool leftValue;       // a value stands to the left
    // Table literals only.
    int nameBase;         // where this literal's column names start in ScanState::columnNames
    int keyColumns;       // columns written in the key brackets
    bool namedColumns;    // some column is written name:value
    bool bareNames;       // some column is a bare variable name
};

struct ScanState {
    std::vector<ScanFrame> frames;
    std::vector<std::int32_t> items;
    NumberList numbers;
    std::string chars;
    std::vector<std::int32_t> symbols;
    std::vector<std::int32_t> columnNames;  // symbol indices of table literal columns
};

}  // namespace wox::frontend
