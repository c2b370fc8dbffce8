#include "numeric/sorting.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "values/interrupt_poll.h"
#include "values/messages.h"
#include "values/value.h"

namespace wox::numeric {

namespace {

using Poll = values::InterruptPoll;

// Signed bytes: codes 128 to 255 come before 0 to 127.
inline unsigned charRank(char c) { return static_cast<unsigned>(static_cast<signed char>(c) + 128); }

// A float as an unsigned key in the same order; every NaN (the null) is 0,
// below every number, and the two zeros are one key since neither is less.
inline std::uint64_t floatKey(double v) {
    if (std::isnan(v)) return 0;
    if (v == 0) v = 0.0;
    std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    return (bits & kSign) ? ~bits : bits | kSign;
}

// Counting sort of keys 0..buckets-1: scanning the positions in order keeps
// equal keys in their order of position, whichever way the keys run.
template <class KeyOf>
Rc countingSort(std::int64_t n, std::uint32_t* counts, std::size_t buckets, std::int32_t* out, int origin,
                Poll& poll, KeyOf keyOf) {
    std::fill(counts, counts + buckets, 0u);
    if (!poll.forEach(n, [&](std::int64_t i) { ++counts[keyOf(i)]; })) return kInterrupted;
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < buckets; ++k) {
        std::uint32_t c = counts[k];
        counts[k] = sum;
        sum += c;
    }
    const bool done = poll.forEach(n, [&](std::int64_t i) {
        out[counts[keyOf(i)]++] = origin + static_cast<std::int32_t>(i);
    });
    return done ? kOk : kInterrupted;
}

// Byte digits: 256 buckets keep the scattered writes within the cache and
// the TLB, which pays for a fourth pass over wider digits.
constexpr int kRadixBits = 8;
constexpr std::size_t kRadix = std::size_t{1} << kRadixBits;
// Small ranges are counted in one pass; a table of this many counters
// stays in the second-level cache.
constexpr std::uint64_t kCountingRange = std::uint64_t{1} << 16;

// Keys 0..range (keyOf(i) already turned for the direction): counted in one
// pass when the range is small, else sorted by stable byte passes.
template <class KeyOf>
Rc gradeNarrow(std::int64_t n, std::uint32_t range, KeyOf keyOf, std::int32_t* out, int origin, Scratch scratch,
               Poll& poll) {
    if (range < kCountingRange && range <= static_cast<std::uint64_t>(n) * 4) {
        std::size_t buckets = static_cast<std::size_t>(range) + 1;
        ScratchBuffer counts(scratch, buckets * sizeof(std::uint32_t));
        if (counts.failed()) return kWorkspaceFull;
        return countingSort(n, counts.as<std::uint32_t>(), buckets, out, origin, poll, keyOf);
    }

    // LSD radix sort of (key, position) pairs packed in 64 bits; the passes
    // look only at the key's bits, and each pass is stable. The first pass
    // reads the argument itself and the last writes only the positions.
    const int bits = std::bit_width(range);
    const int passes = (bits + kRadixBits - 1) / kRadixBits;
    std::size_t count = static_cast<std::size_t>(n);
    ScratchBuffer pairs(scratch, passes > 1 ? 2 * count * sizeof(std::uint64_t) : 0);
    ScratchBuffer hist(scratch, static_cast<std::size_t>(passes) * kRadix * sizeof(std::uint32_t));
    if (pairs.failed() || hist.failed()) return kWorkspaceFull;
    std::uint64_t* a = pairs.as<std::uint64_t>();
    std::uint64_t* b = passes > 1 ? a + count : nullptr;
    std::uint32_t* h = hist.as<std::uint32_t>();
    std::fill(h, h + static_cast<std::size_t>(passes) * kRadix, 0u);
    bool done = poll.forEach(n, [&](std::int64_t i) {
        std::uint32_t k = keyOf(i);
        for (int p = 0; p < passes; ++p) ++h[static_cast<std::size_t>(p) * kRadix + ((k >> (p * kRadixBits)) & (kRadix - 1))];
    });
    if (!done) return kInterrupted;
    for (int p = 0; p < passes; ++p) {
        std::uint32_t* hp = h + static_cast<std::size_t>(p) * kRadix;
        std::uint32_t sum = 0;
        for (std::size_t d = 0; d < kRadix; ++d) {
            std::uint32_t c = hp[d];
            hp[d] = sum;
            sum += c;
        }
    }
    const bool single = passes == 1;
    done = poll.forEach(n, [&](std::int64_t i) {
        std::uint32_t k = keyOf(i);
        std::uint32_t slot = h[k & (kRadix - 1)]++;
        if (single)
            out[slot] = origin + static_cast<std::int32_t>(i);
        else
            a[slot] = (std::uint64_t{k} << 32) | static_cast<std::uint64_t>(i);
    });
    for (int p = 1; p < passes && done; ++p) {
        std::uint32_t* hp = h + static_cast<std::size_t>(p) * kRadix;
        const int shift = 32 + p * kRadixBits;
        if (p == passes - 1) {
            done = poll.forEach(n, [&](std::int64_t i) {
                std::uint64_t x = a[i];
                out[hp[(x >> shift) & (kRadix - 1)]++] = origin + static_cast<std::int32_t>(x & 0xffffffffu);
            });
        } else {
            done = poll.forEach(n, [&](std::int64_t i) {
                std::uint64_t x = a[i];
                b[hp[(x >> shift) & (kRadix - 1)]++] = x;
            });
            std::swap(a, b);
        }
    }
    return done ? kOk : kInterrupted;
}

Rc gradeIntegers(const std::int32_t* v, std::int32_t* out, int origin, std::int64_t n, Direction dir,
                 Scratch scratch, Poll& poll) {
    std::int32_t lo = v[0], hi = v[0];
    for (std::int64_t i = 1; i < n; ++i) {
        lo = std::min(lo, v[i]);
        hi = std::max(hi, v[i]);
    }
    const std::uint32_t range = static_cast<std::uint32_t>(static_cast<std::int64_t>(hi) - lo);
    const bool down = dir == Direction::Down;
    // Keys counted from the smallest (largest, going down), so a stable
    // ascending sort of keys is the grade in either direction.
    return gradeNarrow(n, range, [=](std::int64_t i) {
        std::uint32_t k = static_cast<std::uint32_t>(static_cast<std::int64_t>(v[i]) - lo);
        return down ? range - k : k;
    }, out, origin, scratch, poll);
}

Rc gradeChars(const char* v, std::int32_t* out, int origin, std::int64_t n, Direction dir, Poll& poll) {
    std::array<std::uint32_t, 256> counts;
    const bool down = dir == Direction::Down;
    return countingSort(n, counts.data(), counts.size(), out, origin, poll, [=](std::int64_t i) {
        unsigned k = charRank(v[i]);
        return down ? 255 - k : k;
    });
}

// 64-bit keys (keyOf(i) already turned for the direction), sorted as
// (key, position) records by stable byte passes.
template <class KeyOf>
Rc gradeWide(std::int64_t n, KeyOf keyOf, std::int32_t* out, int origin, Scratch scratch, Poll& poll) {
    struct Record {
        std::uint64_t key;
        std::uint64_t position;
    };
    constexpr int kBytes = 8;
    constexpr std::size_t kDigits = 256;
    std::size_t count = static_cast<std::size_t>(n);
    ScratchBuffer records(scratch, 2 * count * sizeof(Record));
    ScratchBuffer hist(scratch, kBytes * kDigits * sizeof(std::uint32_t));
    if (records.failed() || hist.failed()) return kWorkspaceFull;
    Record* a = records.as<Record>();
    Record* b = a + count;
    std::uint32_t* h = hist.as<std::uint32_t>();
    std::fill(h, h + kBytes * kDigits, 0u);
    bool done = poll.forEach(n, [&](std::int64_t i) {
        const std::uint64_t k = keyOf(i);
        a[i] = Record{k, static_cast<std::uint64_t>(i)};
        for (int p = 0; p < kBytes; ++p) ++h[p * kDigits + ((k >> (8 * p)) & 0xff)];
    });
    if (!done) return kInterrupted;
    // Keys are distinct with their positions, and each byte pass is stable,
    // so this is the order of a stable comparison sort. A byte that
    // every key shares needs no pass.
    for (int p = 0; p < kBytes; ++p) {
        std::uint32_t* hp = h + p * kDigits;
        if (hp[(a[0].key >> (8 * p)) & 0xff] == count) continue;
        std::uint32_t sum = 0;
        for (std::size_t d = 0; d < kDigits; ++d) {
            std::uint32_t c = hp[d];
            hp[d] = sum;
            sum += c;
        }
        if (!poll.forEach(n, [&](std::int64_t i) { b[hp[(a[i].key >> (8 * p)) & 0xff]++] = a[i]; }))
            return kInterrupted;
        std::swap(a, b);
    }
    for (std::size_t i = 0; i < count; ++i) out[i] = origin + static_cast<std::int32_t>(a[i].position);
    return kOk;
}

Rc gradeFloats(const double* v, std::int32_t* out, int origin, std::int64_t n, Direction dir, Scratch scratch,
               Poll& poll) {
    const std::uint64_t flip = dir == Direction::Down ? ~std::uint64_t{0} : 0;
    return gradeWide(n, [=](std::int64_t i) { return floatKey(v[i]) ^ flip; }, out, origin, scratch, poll);
}

// Signed 64-bit words. Low bits that every word shares (a temporal kind)
// carry no order, so when the rest spans less than 2^32 the words grade as
// narrow keys, as integers do; otherwise as wide ones.
Rc gradeWords(const std::int64_t* v, std::int32_t* out, int origin, std::int64_t n, Direction dir, Scratch scratch,
              Poll& poll) {
    std::int64_t lo = v[0], hi = v[0];
    std::uint64_t differ = 0;
    for (std::int64_t i = 1; i < n; ++i) {
        lo = std::min(lo, v[i]);
        hi = std::max(hi, v[i]);
        differ |= static_cast<std::uint64_t>(v[i] ^ v[0]);
    }
    const bool down = dir == Direction::Down;
    const int shift = differ == 0 ? 0 : std::countr_zero(differ);
    const std::uint64_t span = (static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo)) >> shift;
    if (span <= std::numeric_limits<std::uint32_t>::max()) {
        const auto range = static_cast<std::uint32_t>(span);
        return gradeNarrow(n, range, [=](std::int64_t i) {
            const auto k = static_cast<std::uint32_t>((static_cast<std::uint64_t>(v[i]) - static_cast<std::uint64_t>(lo)) >> shift);
            return down ? range - k : k;
        }, out, origin, scratch, poll);
    }
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    const std::uint64_t flip = down ? ~std::uint64_t{0} : 0;
    return gradeWide(n, [=](std::int64_t i) { return (static_cast<std::uint64_t>(v[i]) ^ kSign) ^ flip; }, out, origin,
                     scratch, poll);
}

// Rows are sorted as positions: the rows never move. A merge sort (runs of
// 32 by insertion, then merges into a second block of positions and back)
// counts its comparisons, weighted by the row length, so that it can ask
// whether the user has asked to stop. Positions break ties, so this is the
// order any comparison sort gives.
template <class T, class Less>
Rc sortRows(const T* v, std::int32_t* out, int origin, std::int64_t rows, std::int64_t len, Direction dir,
            Scratch scratch, Poll& poll, Less less) {
    const bool down = dir == Direction::Down;
    auto before = [=](std::int32_t a, std::int32_t b) {
        const T* x = v + a * len;
        const T* y = v + b * len;
        for (std::int64_t k = 0; k < len; ++k) {
            if (less(x[k], y[k])) return !down;
            if (less(y[k], x[k])) return down;
        }
        return a < b;
    };
    constexpr std::int64_t kRun = 32;
    for (std::int64_t i = 0; i < rows; ++i) out[i] = static_cast<std::int32_t>(i);
    for (std::int64_t lo = 0; lo < rows; lo += kRun) {
        const std::int64_t hi = std::min(lo + kRun, rows);
        if (poll.stop((hi - lo) * (hi - lo) * len)) return kInterrupted;
        for (std::int64_t i = lo + 1; i < hi; ++i) {
            const std::int32_t p = out[i];
            std::int64_t j = i;
            for (; j > lo && before(p, out[j - 1]); --j) out[j] = out[j - 1];
            out[j] = p;
        }
    }
    ScratchBuffer spare(scratch, rows > kRun ? static_cast<std::size_t>(rows) * sizeof(std::int32_t) : 0);
    if (spare.failed()) return kWorkspaceFull;
    std::int32_t* from = out;
    std::int32_t* to = spare.as<std::int32_t>();
    for (std::int64_t width = kRun; width < rows; width *= 2) {
        for (std::int64_t lo = 0; lo < rows; lo += 2 * width) {
            const std::int64_t mid = std::min(lo + width, rows), hi = std::min(lo + 2 * width, rows);
            std::int64_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                if (poll.stop(len)) return kInterrupted;
                to[k++] = before(from[j], from[i]) ? from[j++] : from[i++];
            }
            std::copy(from + i, from + mid, to + k);
            std::copy(from + j, from + hi, to + k + (mid - i));
        }
        std::swap(from, to);
    }
    if (from != out) std::copy(from, from + rows, out);
    for (std::int64_t i = 0; i < rows; ++i) out[i] += origin;
    return kOk;
}

}  // namespace

Rc gradeVector(const void* data, std::int32_t type, std::int32_t* out, int origin, std::int64_t n, Direction dir,
               Scratch scratch, std::atomic<bool>* interrupt) {
    if (n <= 0) return kOk;
    if (n == 1) {
        out[0] = origin;
        return kOk;
    }
    Poll poll(interrupt);
    switch (type) {
        case kBoolean:
        case kInteger: return gradeIntegers(static_cast<const std::int32_t*>(data), out, origin, n, dir, scratch, poll);
        case kChar: return gradeChars(static_cast<const char*>(data), out, origin, n, dir, poll);
        case kFloat: return gradeFloats(static_cast<const double*>(data), out, origin, n, dir, scratch, poll);
        case kTemporal: return gradeWords(static_cast<const std::int64_t*>(data), out, origin, n, dir, scratch, poll);
        default: return kDomainError;
    }
}

Rc gradeRows(const void* data, std::int32_t type, std::int32_t* out, int origin, std::int64_t rows,
             std::int64_t rowLength, Direction dir, Scratch scratch, std::atomic<bool>* interrupt) {
    if (rowLength == 1) return gradeVector(data, type, out, origin, rows, dir, scratch, interrupt);
    if (rows <= 0) return kOk;
    if (rowLength <= 0) {
        for (std::int64_t i = 0; i < rows; ++i) out[i] = origin + static_cast<std::int32_t>(i);
        return kOk;
    }
    Poll poll(interrupt);
    switch (type) {
        case kBoolean:
        case kInteger:
            return sortRows(static_cast<const std::int32_t*>(data), out, origin, rows, rowLength, dir, scratch, poll,
                            [](std::int32_t a, std::int32_t b) { return a < b; });
        case kChar:
            return sortRows(static_cast<const char*>(data), out, origin, rows, rowLength, dir, scratch, poll,
                            [](char a, char b) { return static_cast<signed char>(a) < static_cast<signed char>(b); });
        case kFloat:
            return sortRows(static_cast<const double*>(data), out, origin, rows, rowLength, dir, scratch, poll,
                            [](double a, double b) { return floatKey(a) < floatKey(b); });
        case kTemporal:
            return sortRows(static_cast<const std::int64_t*>(data), out, origin, rows, rowLength, dir, scratch, poll,
                            [](std::int64_t a, std::int64_t b) { return a < b; });
        default: return kDomainError;
    }
}

}  // namespace wox::numeric
