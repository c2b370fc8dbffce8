#pragma once
// Working memory for the numeric library from the free heap above the stack,
// whose pages earlier lines have touched. Nothing may allocate on the heap
// while the memory is in use, so the space stays free. When the space is
// short, either the system allocator serves (a sort, whose memory the heap
// need not hold) or nothing does (a routine whose memory must fit the heap
// fails with "workspace full").
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "numeric/scratch.h"
#include "values/workspace.h"

namespace wox::primitives {

class HeapScratch {
public:
    enum class Beyond : std::uint8_t { System, Nothing };

    HeapScratch(values::Workspace& ws, Beyond beyond) : beyond_(beyond) {
        std::uint32_t from = (ws.stackTop + 7u) & ~7u;
        std::uint32_t to = from > ws.heapTop ? from : ws.heapTop;
        begin_ = next_ = ws.base() + from;
        end_ = ws.base() + to;
    }
    HeapScratch(const HeapScratch&) = delete;
    HeapScratch& operator=(const HeapScratch&) = delete;

    numeric::Scratch scratch() { return numeric::Scratch{take, give, this}; }

private:
    static void* take(void* context, std::size_t bytes) {
        auto* s = static_cast<HeapScratch*>(context);
        bytes = (bytes + 7) & ~std::size_t{7};
        if (static_cast<std::size_t>(s->end_ - s->next_) < bytes)
            return s->beyond_ == Beyond::System ? std::malloc(bytes) : nullptr;
        void* p = s->next_;
        s->next_ += bytes;
        return p;
    }
    static void give(void* context, void* p) {
        auto* s = static_cast<HeapScratch*>(context);
        auto* c = static_cast<char*>(p);
        if (c < s->begin_ || c >= s->end_) std::free(p);
    }

    Beyond beyond_;
    char* begin_;
    char* next_;
    char* end_;
};

}  // namespace wox::primitives
