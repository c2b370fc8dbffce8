#pragma once
// The names behind symbol indices, as the layers below the symbol table's
// owner read them (display, comparison by name).
#include <cstdint>
#include <string_view>

namespace wox::values {

class SymbolNames {
public:
    // The name of index i; empty for an index never given out.
    virtual std::string_view name(std::int32_t i) const = 0;

protected:
    ~SymbolNames() = default;
};

}  // namespace wox::values
