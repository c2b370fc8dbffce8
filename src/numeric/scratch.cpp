#include "numeric/scratch.h"

#include <cstdlib>

namespace wox::numeric {

Scratch systemScratch() {
    return Scratch{[](void*, std::size_t bytes) { return std::malloc(bytes); }, [](void*, void* p) { std::free(p); }};
}

}  // namespace wox::numeric
