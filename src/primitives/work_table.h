#pragma once
// Working memory of the search and set functions: hash and presence tables
// taken from the general-purpose allocator, never from the value heap, and
// given back when the routine returns. A table that cannot be had is
// "workspace full", never an exit of the process.
#include <cstdint>
#include <cstring>
#include <new>

#include "values/capacities.h"
#include "values/messages.h"
#include "values/rc.h"

namespace wox::primitives {

template <class T>
class WorkTable {
public:
    WorkTable() = default;
    WorkTable(const WorkTable&) = delete;
    WorkTable& operator=(const WorkTable&) = delete;
    ~WorkTable() { ::operator delete(data_, std::nothrow); }

    // n elements, uninitialised; fails with 6 beyond the capacity's limit
    // or when the allocator refuses.
    Rc allocate(const Capacities& caps, std::uint64_t n) {
        std::uint64_t limit = caps.workTableBytes / sizeof(T);
        if (n > limit || n > (~std::uint64_t{0} >> 1) / sizeof(T)) return kWorkspaceFull;
        void* p = ::operator new(static_cast<std::size_t>(n * sizeof(T) + (n == 0)), std::nothrow);
        if (!p) return kWorkspaceFull;
        ::operator delete(data_, std::nothrow);
        data_ = static_cast<T*>(p);
        size_ = n;
        return kOk;
    }
    Rc allocateFilled(const Capacities& caps, std::uint64_t n, T fill) {
        WOX_TRY(allocate(caps, n));
        for (std::uint64_t i = 0; i < n; ++i) data_[i] = fill;
        return kOk;
    }

    T* data() { return data_; }
    T& operator[](std::uint64_t i) { return data_[i]; }
    std::uint64_t size() const { return size_; }

private:
    T* data_ = nullptr;
    std::uint64_t size_ = 0;
};

}  // namespace wox::primitives
