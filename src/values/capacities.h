#pragma once
// Every fixed capacity of the workspace. An interpreter is built from one of
// these; tests build interpreters with smaller figures so that each limit is
// cheap to reach. The variable-table layout (system slots, the second series
// of temporaries) is part of the language and does not shrink. The comments
// name the workspace report's counter of each table.
#include <cstdint>

namespace wox {

struct Capacities {
    std::uint32_t heapBytes = 629'145'600;  // 600 MiB value heap
    int constants = 4'096;                  // lstcx
    int globalNames = 2'048;                // lstgx
    int localNames = 10'240;                // lstnx
    int parseNodes = 65'536;                // lstndx
    int functionEntries = 32'768;           // lstfndx
    int functions = 512;                    // lstfx
    int branches = 2'048;                   // lstbrx
    int gList = 163'840;                    // nxtglx
    int shadowStack = 1'024;                // dfxstack
    int tailStore = 10'240;                 // lsttnam
    int callTrace = 256;                    // ET.sidx
    int overflow = 256;
    // Working memory of the search and set functions (hash and presence
    // tables), taken outside the heap; beyond it a search is "workspace full".
    std::uint64_t workTableBytes = ~std::uint64_t{0};
};

// The variable table and its fixed regions.
inline constexpr int kVariableSlots = 16'384;
inline constexpr int kIoSlot = 1;
inline constexpr int kOutSlot = 2;        // []
inline constexpr int kOutOpenSlot = 3;    // [)
inline constexpr int kFirstTemp = 4;
inline constexpr int kLastFirstSeriesTemp = 17;
inline constexpr int kFirstGlobalSlot = 18;
inline constexpr int kLocalRegionEnd = 15'364;  // initial lowestLocalSlot
inline constexpr int kSystemSlotOF = 15'364;
inline constexpr int kSystemSlotAV = 15'365;
inline constexpr int kSystemSlotLX = 15'366;
inline constexpr int kSystemSlotRL = 15'367;
inline constexpr int kSecondSeriesTemp = 15'384;
inline constexpr int kLastTemp = 16'383;

// Literals 0 to 20 are preset and survive clearing.
inline constexpr int kPresetConstants = 21;
inline constexpr int kFirstUserFunction = 100;
inline constexpr int kBuiltinNames = 13;

// Longest line the session accepts.
inline constexpr int kLineBuffer = 10'240;

}  // namespace wox
