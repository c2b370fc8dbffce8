#pragma once
// The result of every engine routine: 0 for success or a message number.
// Routines return it and the interpreter mirrors it in its error word; no
// exception ever crosses the engine.

namespace wox {

struct [[nodiscard]] Rc {
    int code = 0;
    constexpr Rc() = default;
    constexpr Rc(int c) : code(c) {}  // NOLINT: error numbers convert freely
    constexpr bool ok() const { return code == 0; }
    constexpr bool failed() const { return code != 0; }
};

inline constexpr Rc kOk{};

}  // namespace wox

// Returns from the enclosing routine when the expression failed.
#define WOX_TRY(expr)                                   \
    do {                                                \
        ::wox::Rc wox_try_rc_ = (expr);                 \
        if (wox_try_rc_.failed()) return wox_try_rc_;   \
    } while (0)
