#pragma once
// The routine families that primitive codes are dispatched to. A primitive's
// row in vocabulary.h names the family of each of its uses; the dispatcher
// keeps one handler per family and valence, indexed by this enum.
#include <cstddef>
#include <cstdint>

namespace wox::vocabulary {

// The first four carry no routine, only an error (the spreadsheet link's
// too while it is unavailable), the file families serve both valences; the order of the rest
// sorts the monadic-only families before Logical, the dyadic-only ones
// after it.
enum class Family : std::uint8_t {
    None,             // a use the written form does not have
    Structure,        // assignment, indexing, ";": the evaluator's own
    NotImplemented,   // "prim. func not yet implemented"
    Invalid,          // "domain error": an unused code of the dyadic-only range
    SpreadsheetLink,  // needs the spreadsheet link; "no excel driver" without it
    CsvFile,          // reads and writes CSV files, monadic and dyadic
    // monadic
    Execute,
    Grade,
    Roll,
    Shape,
    Ravel,
    Interval,
    Reverse,
    Transpose,
    Format,
    MatrixInverse,
    ScalarMonadic,
    Reduce,
    Scan,
    SystemFunction,
    NiladicSystemFunction,
    Enclose,
    Type,
    Unique,
    Count,
    First,
    Raze,
    Where,
    Group,
    PartitionLengths,
    Each,
    // monadic not and the dyadic and/or
    Logical,
    // dyadic
    Take,
    Drop,
    Compress,
    Expand,
    Membership,
    Decode,
    Encode,
    Comparison,
    Deal,
    Reshape,
    Catenate,
    IndexOf,
    Rotate,
    DyadicTranspose,
    FormatBySpecification,
    MatrixDivide,
    ScalarDyadic,
    Laminate,
    OuterProduct,
    DyadicSystemFunction,
    Partition,
    MakeDictionary,
    Member,
    Match,
    TableLiteral,
    InnerProduct,
};

inline constexpr std::size_t kFamilies = static_cast<std::size_t>(Family::InnerProduct) + 1;

// Whether a family may serve a monadic use, and a dyadic one.
constexpr bool monadicSide(Family f) { return f < Family::Take; }
constexpr bool dyadicSide(Family f) {
    return f < Family::Execute || f >= Family::Logical || f == Family::Each;
}

}  // namespace wox::vocabulary
