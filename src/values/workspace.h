#pragma once
// Workspace memory: the constant and variable tables, gList, and the value
// heap with its owned blocks (from the top down) and its stack of temporaries
// (from offset 0 up).
//
// Every owned block ends in a trailer that names its owner, so compaction can
// slide live blocks together and rewrite the owners' data words. Owners are a
// variable slot, a constant slot, or the heap offset of an item descriptor
// inside a nested value's block. Blocks are padded to 8 bytes and the 12-byte
// trailer to 16, so elements of every type stay aligned.
#include <cstdint>
#include <string>
#include <vector>

#include "values/capacities.h"
#include "values/heap_region.h"
#include "values/rc.h"
#include "values/session_link.h"
#include "values/value.h"

namespace wox::values {

inline constexpr std::uint32_t kOwnerTagMask = 3u << 30;
inline constexpr std::uint32_t kOwnerItem = 0u << 30;      // heap offset of a descriptor
inline constexpr std::uint32_t kOwnerVar = 1u << 30;       // variable slot
inline constexpr std::uint32_t kOwnerConst = 2u << 30;     // constant slot
inline constexpr std::uint32_t kOwnerDetached = 3u << 30;  // replaced, awaiting release

struct Trailer {
    std::uint32_t owner;
    std::uint32_t size;       // padded bytes of the block, without the trailer
    std::uint8_t inUse;
    std::uint8_t holdsDescriptors;
    std::uint8_t pad[6];
};
static_assert(sizeof(Trailer) == 16);
inline constexpr std::uint32_t kTrailerBytes = sizeof(Trailer);

inline constexpr std::uint64_t padded(std::uint64_t n) { return (n + 7) & ~std::uint64_t{7}; }

class Workspace {
public:
    explicit Workspace(const Capacities& caps = {});
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const Capacities caps;
    HeapRegion region;
    std::vector<ValueDescriptor> vars;
    std::vector<ValueDescriptor> consts;
    std::vector<std::int32_t> gList;

    int lastGlobalSlot = kFirstGlobalSlot - 1;  // highest global variable slot in use
    int lowestLocalSlot = kLocalRegionEnd;    // lowest local slot in use
    int lastConstant = kPresetConstants - 1;  // highest constant slot in use
    int gListFill = 0;                    // gList fill index
    std::uint32_t heapTop = 0;
    std::uint32_t stackTop = 0;
    bool freshBlock = false;    // take a new block even when the old one fits
    std::uint32_t curAlloc = 0; // offset of the block most recently handed out
    std::uint64_t compactions = 0;  // runs for the life of the process
    std::uint64_t pagesGivenBack = 0;  // bytes of heap pages returned to the system

    // The one way up to the session (values/session_link.h). The Context
    // installs it here, where the allocation diagnostics go and the local
    // slots of enumeration domains are asked about.
    SessionLink& link() const { return *link_; }
    void install(SessionLink& link) { link_ = &link; }

    ValueDescriptor& var(int slot) { return vars[slot]; }
    ValueDescriptor& cst(int slot) { return consts[slot]; }
    ValueDescriptor& at(ValueRef r) { return r >= 0 ? consts[r] : vars[-r]; }
    const ValueDescriptor& at(ValueRef r) const { return r >= 0 ? consts[r] : vars[-r]; }
    char* base() const { return region.base(); }

    // Address of a value's first element (inline, in a block, or none).
    template <class T>
    T* elems(ValueDescriptor& d) const {
        if (isInline(d)) return reinterpret_cast<T*>(&d.shape0);
        if (d.count > 0) return reinterpret_cast<T*>(base() + d.data);
        return nullptr;
    }
    template <class T>
    const T* elems(const ValueDescriptor& d) const {
        if (isInline(d)) return reinterpret_cast<const T*>(&d.shape0);
        if (d.count > 0) return reinterpret_cast<const T*>(base() + d.data);
        return nullptr;
    }

    bool isOwnedBlock(const ValueDescriptor& d) const {
        return d.blockSize > 0 && d.data >= heapTop && d.data < region.size();
    }
    bool isTempSlot(int slot) const {
        return (slot >= kFirstTemp && slot <= kLastFirstSeriesTemp) || slot >= kSecondSeriesTemp;
    }

    // Owned block for a variable ("dectp"). Reuses the slot's block when it is
    // large enough and freshBlock is clear; otherwise the old block waits for
    // releasePending(), so it stays readable while the new value is built.
    Rc allocOwned(int slot, std::int32_t type, std::int64_t n);
    // Owned block for a constant slot; no diagnostic on failure.
    Rc allocConst(int slot, std::int32_t type, std::int64_t n);
    // Temporary block on the stack ("inctp"). zero=false is for callers that
    // write every element themselves.
    Rc allocTemp(int slot, std::int32_t type, std::int64_t n, bool zero = true);
    // Gives dst the rank, shape and count of src and a block of the given type.
    Rc shapeLike(int dst, std::int32_t type, int src);

    // Makes sure owned blocks totalling `bytes` (trailers included) can be
    // taken without compacting again; compacts if needed.
    Rc reserve(std::uint64_t bytes);
    // Takes an owned block after reserve(); never fails.
    std::uint32_t takeOwned(std::uint32_t owner, std::uint32_t size, bool holdsDescriptors);

    // Marks a value's owned block free, and those of its items.
    void freeValueBlocks(const ValueDescriptor& d);
    // Releases a local or temporary slot. Inline: a call's locals are
    // released on every return, and most hold no block.
    void releaseVar(int slot) {
        if (slot < lowestLocalSlot) return;
        ValueDescriptor& d = vars[slot];
        if (isOwnedBlock(d)) freeValueBlocks(d);
        d = ValueDescriptor{};
    }
    // Moves the slot's value into dst (owned by dstOwner); the slot becomes unset.
    void moveValue(ValueDescriptor& dst, std::uint32_t dstOwner, int slot);
    // Detaches the value's owned block; it is freed by releasePending().
    void retireBlock(ValueDescriptor& d);
    // Frees the block that the last allocation replaced.
    void releasePending();
    bool hasPending() const { return pending_; }

    // Slides every block in use to the top of the heap.
    void compact();
    // Dimension runs of values that are gone stay in gList until they are
    // gathered: the runs that descriptors still name are packed together and
    // the fill comes down. Call only between lines, when no routine holds a
    // descriptor of its own. Temporary slots up to lastLiveTemp may be in
    // use by callers: the runs they name stay where they are (a temporary
    // cannot tell whether it is still in use); those above it are out of use.
    // False when gathering would not fit, and then nothing changed.
    bool gatherDimRuns(int lastLiveTemp);
    bool dimRunsGatherDue() const { return gListFill >= gatherAt_; }
    // Appends a dimension run for dims[1..] and a -1; returns its index or -1 (gList full).
    int appendDimRun(const std::int32_t* dims, int rank);
    // Appends a copy of the run at `from` of a rank-`rank` value; returns its
    // index or -1 (gList full). Runs are never shared between descriptors.
    int copyDimRun(int from, int rank);

    // Empties the heap, the stack, the variables and the constants above the
    // preset ones.
    void clear();

    // Takes the owned blocks that were written into [top, end of heap) from
    // a workspace file, and already checked, as the heap: the stack is
    // empty, and the free blocks among them count as garbage.
    void adoptOwnedRegion(std::uint32_t top);

    std::uint32_t freeBytes() const { return heapTop - stackTop; }
    // Bytes of owned blocks (trailers included) freed since the last
    // compaction, and the rest of the owned region.
    std::uint32_t garbageBytes() const { return garbage_; }
    std::uint32_t liveBytes() const {
        std::uint32_t owned = region.size() - heapTop;
        return owned > garbage_ ? owned - garbage_ : 0;
    }
    // Garbage beyond the live bytes by this margin makes the next
    // reservation compact, however much free space is left.
    std::uint32_t garbageMargin() const { return margin_; }
    Trailer* trailerOf(const ValueDescriptor& d) const {
        return reinterpret_cast<Trailer*>(base() + d.data + padded(d.blockSize));
    }

private:
    Rc ownedBlock(ValueDescriptor& d, std::uint32_t owner, std::int32_t type, std::int64_t n,
                  const char* diag, int slot);
    void setOwner(std::uint32_t owner, std::uint32_t newStart);
    void presetConstants();
    void noteFreed(const Trailer& t) { garbage_ += t.size + kTrailerBytes; }
    bool garbageDue() const { return garbage_ > liveBytes() + margin_; }
    void givePagesBack();
    void scheduleGather(int fill);

    SessionLink* link_ = &noSession();
    bool pending_ = false;
    std::uint32_t pendingTrailer_ = 0;  // offset of the replaced block's trailer
    std::uint32_t garbage_ = 0;
    std::uint32_t margin_ = 0;
    std::uint32_t touchedLow_ = 0;  // lowest heap top since pages were last given back
    int gatherAt_ = caps.gList / 4;  // gList fill at which runs are next gathered
};

}  // namespace wox::values
