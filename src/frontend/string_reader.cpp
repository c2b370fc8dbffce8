#include "frontend/string_reader.h"

#include <cstring>

#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "vocabulary/char_class.h"
#include "values/messages.h"

namespace wox::frontend {

namespace {
using vocabulary::isTextChar;
constexpr int kUnclosedString = kNameMustStartWithLetter;  // what an unclosed string reports
constexpr int kEmptyVectorSlot = 2;  // preset: the empty Integer vector
}  // namespace

Rc readString(values::Workspace& ws, std::string_view text, std::size_t pos, std::string& s, int* slot,
              std::size_t* end, std::size_t* errPos) {
    const std::size_t n = text.size();
    s.clear();
    std::size_t i = pos + 1;
    for (;;) {
        if (i >= n) {
            *errPos = pos;
            return kUnclosedString;
        }
        char c = text[i];
        if (c == '\'') {
            if (i + 1 < n && text[i + 1] == '\'') {
                s += '\'';
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        if (!isTextChar(c)) {
            *errPos = i;
            return kSyntaxError;
        }
        s += c;
        ++i;
    }
    *end = i;
    if (s.empty()) {
        *slot = kEmptyVectorSlot;
        return kOk;
    }
    int k = 0;
    if (Rc rc = takeConstant(ws, &k); rc.failed()) {
        *errPos = pos;
        return rc;
    }
    if (s.size() == 1) {
        ValueDescriptor& d = ws.consts[k];
        d.type = kChar;
        d.count = 1;
        setInlineChar(d, s[0]);
    } else {
        if (Rc rc = ws.allocConst(k, kChar, static_cast<std::int64_t>(s.size())); rc.failed()) {
            *errPos = pos;
            return rc;
        }
        ValueDescriptor& d = ws.consts[k];
        d.type = kChar;
        d.rank = 1;
        d.count = static_cast<std::int32_t>(s.size());
        d.shape0 = d.count;
        std::memcpy(ws.base() + d.data, s.data(), s.size());
    }
    *slot = k;
    return kOk;
}

namespace {
Rc symbolValue(values::Workspace& ws, const std::vector<std::int32_t>& syms, int* slot) {
    int k = 0;
    WOX_TRY(takeConstant(ws, &k));
    if (syms.size() == 1) {
        ValueDescriptor& d = ws.consts[k];
        d.type = kSymbol;
        d.count = 1;
        setInlineInt(d, syms[0]);
    } else {
        WOX_TRY(ws.allocConst(k, kSymbol, static_cast<std::int64_t>(syms.size())));
        ValueDescriptor& d = ws.consts[k];
        d.type = kSymbol;
        d.rank = 1;
        d.count = static_cast<std::int32_t>(syms.size());
        d.shape0 = d.count;
        std::memcpy(ws.base() + d.data, syms.data(), 4 * syms.size());
    }
    *slot = k;
    return kOk;
}
}  // namespace

Rc readSymbols(values::Workspace& ws, types::SymbolTable& symbols, std::string_view text, std::size_t pos, std::vector<std::int32_t>& syms,
               int* slot, std::size_t* end, std::size_t* errPos) {
    const std::size_t n = text.size();
    syms.clear();
    std::size_t i = pos;
    for (;;) {
        std::size_t start = ++i;  // past the backquote
        // A symbol names a name, or a primitive glyph run such as `+/ or
        // `<= (the query library keeps comparisons and aggregates so);
        // whichever run is longer is the symbol, so `_./ is one glyph run.
        std::size_t name = i, glyphs = i;
        while (name < n && isNameChar(text[name])) ++name;
        while (glyphs < n && text[glyphs] != '\'' && vocabulary::isPrimitiveChar(text[glyphs])) ++glyphs;
        i = glyphs > name ? glyphs : name;
        std::int32_t index = 0;
        if (Rc rc = symbols.intern(text.substr(start, i - start), &index); rc.failed()) {
            *errPos = start - 1;
            return rc;
        }
        syms.push_back(index);
        std::size_t j = i;
        while (j < n && text[j] == ' ') ++j;
        if (j >= n || text[j] != '`') break;
        i = j;
    }
    *end = i;
    if (Rc rc = symbolValue(ws, syms, slot); rc.failed()) {
        *errPos = pos;
        return rc;
    }
    return kOk;
}

Rc symbolVectorConstant(values::Workspace& ws, const std::vector<std::int32_t>& syms, int* slot) {
    WOX_TRY(symbolValue(ws, syms, slot));
    ws.consts[*slot].rank = 1;
    return kOk;
}

Rc symbolConstant(values::Workspace& ws, types::SymbolTable& symbols, std::string_view name, int* slot) {
    std::int32_t index = 0;
    WOX_TRY(symbols.intern(name, &index));
    int k = 0;
    WOX_TRY(takeConstant(ws, &k));
    ValueDescriptor& d = ws.consts[k];
    d.type = kSymbol;
    d.count = 1;
    setInlineInt(d, index);
    *slot = k;
    return kOk;
}

}  // namespace wox::frontend
