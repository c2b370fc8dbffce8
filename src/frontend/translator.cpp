#include "frontend/translator.h"

#include <array>
#include <vector>

#include "frontend/front_end.h"
#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "frontend/number_reader.h"
#include "frontend/scan_state.h"
#include "frontend/string_reader.h"
#include "vocabulary/char_class.h"
#include "vocabulary/primitive_table.h"
#include "values/messages.h"

namespace wox::frontend {

namespace {

namespace voc = vocabulary;
using voc::CharClass;
using voc::charClass;
using voc::isLineChar;

// Deeper nesting than this is refused, so that the evaluator's recursion
// over groups, lists and brackets stays bounded.
constexpr std::size_t kMaxNesting = 1000;
constexpr std::size_t kMaxLine = std::size_t{1} << 30;

// What a name stands for.
struct Resolved {
    enum Kind { Variable, Function, Label, SystemFn } kind = Variable;
    int slot = 0;    // variable slot, function slot, line number or code
    int local = -1;  // local-name entry of a function-body name
    int valence = 1;
};

class Translator {
public:
    Translator(const FrontEnd& fe, std::string_view text, FunctionRecord* fn)
        : fe_(fe), ft_(fe.tables), ws_(fe.cx.ws), st_(*fe.tables.scan), text_(text), n_(text.size()), fn_(fn) {}

    Rc run(TranslatedLine* out);
    std::size_t errorPos() const { return errPos_; }

private:
    Rc fail(int code, std::size_t at) {
        errPos_ = at;
        return code;
    }
    ScanFrame& frame() { return st_.frames.back(); }
    ParseNode& node(int i) { return ft_.nodes[static_cast<std::size_t>(i)]; }
    std::size_t skipBlanks(std::size_t i) const {
        while (i < n_ && text_[i] == ' ') ++i;
        return i;
    }
    bool arrowAt(std::size_t i) const { return i + 1 < n_ && text_[i] == '<' && text_[i + 1] == '-'; }
    bool commentAt(std::size_t i) const { return i + 1 < n_ && text_[i] == '/' && text_[i + 1] == '/'; }
    bool restIsEmpty(std::size_t i) const {
        i = skipBlanks(i);
        return i >= n_ || commentAt(i);
    }

    Rc branchLine();
    Rc scan();

    void pushFrame(char type, int open) {
        st_.frames.push_back(ScanFrame{type, open, -1, -1, -1, -1, static_cast<int>(st_.items.size()), 0, 0, false,
                                       static_cast<int>(st_.columnNames.size()), 0, false, false});
    }
    Rc finishExpression(ScanFrame& f, int* head);

    Rc makeNode(char kind, std::size_t pos, int* index);
    Rc constNode(int slot, std::size_t pos);
    Rc callNode(char kind, int monadic, int dyadic, std::size_t pos, int* index);
    Rc addValue(int entry, int exit, std::size_t pos);
    Rc addFunction(int index);
    Rc addAssign(int index);

    Rc nameItem();
    Rc systemNameItem();
    Rc resolveName(std::string_view name, std::size_t at, Resolved* r);
    Rc resolveSystemName(std::string_view name, std::size_t at, Resolved* r);
    Rc newFreeName(std::string_view name, std::size_t at, Resolved* r);
    Rc placeName(const Resolved& r, std::size_t at, std::size_t end);

    Rc numberItem();
    Rc stringItem();
    Rc symbolItem();
    Rc primitiveItem();
    Rc outerProduct(std::size_t at);
    Rc eachItem(std::size_t at, std::size_t next);
    Rc memberItem(std::size_t at, std::size_t next);
    Rc axis(int token, bool leftValue, std::size_t at, std::size_t* next, int* code);
    int indexOrigin() const;

    Rc openParen();
    Rc openBracket();
    Rc outputName(std::size_t at, int slot);
    Rc separator();
    Rc closeParen();
    Rc closeBracket();
    Rc emptyList(std::size_t pos);
    bool startsTable(std::size_t at) const;
    Rc openTable(std::size_t at);
    Rc columnName();
    Rc finishColumn(int head, std::size_t at);
    Rc closeKeys();
    Rc closeTable();
    Rc listWords(int base, int count, std::size_t pos, int* start);

    const FrontEnd& fe_;
    FrontTables& ft_;
    values::Workspace& ws_;
    ScanState& st_;
    std::string_view text_;
    std::size_t n_;
    std::size_t p_ = 0;
    std::size_t errPos_ = 0;
    FunctionRecord* fn_;
    bool branchParen_ = false;
};

Rc Translator::run(TranslatedLine* out) {
    if (n_ > kMaxLine) return fail(kSyntaxError, 0);
    st_.frames.clear();
    st_.items.clear();
    st_.columnNames.clear();
    p_ = skipBlanks(0);
    if (p_ >= n_ || commentAt(p_)) return kOk;
    if (fn_ != nullptr) {
        std::size_t labelEnd = 0, after = 0;
        if (isLabel(text_, p_, &labelEnd, &after)) {
            out->labelStart = static_cast<int>(p_);
            out->labelEnd = static_cast<int>(labelEnd);
            p_ = skipBlanks(after);
        }
    }
    pushFrame('T', static_cast<int>(p_));
    if (p_ + 1 < n_ && text_[p_] == '-' && text_[p_ + 1] == '>') {
        out->branch = true;
        WOX_TRY(branchLine());
    } else {
        WOX_TRY(scan());
    }
    if (st_.frames.size() > 1) {
        int code = branchParen_ && st_.frames[1].type == '(' ? kBranchFormat : kUnpairedBrackets;
        return fail(code, static_cast<std::size_t>(st_.frames.back().open));
    }
    int head = -1;
    WOX_TRY(finishExpression(frame(), &head));
    out->first = head;
    int last = head;
    while (last >= 0 && node(last).next >= 0) last = node(last).next;
    out->last = last;
    return kOk;
}

// "->" then: 0 alone (leave the function), a string alone (a message exit),
// or an expression that starts with a name, a number or "(".
Rc Translator::branchLine() {
    std::size_t at = p_;
    std::size_t q = skipBlanks(p_ + 2);
    if (q >= n_ || commentAt(q)) return fail(kBranchRestrictions, at);
    char c = text_[q];
    if (c == '0' && !(q + 1 < n_ && (isNameChar(text_[q + 1]) || text_[q + 1] == '.'))) {
        if (!restIsEmpty(q + 1)) return fail(kBranchRestrictions, skipBlanks(q + 1));
        WOX_TRY(constNode(0, q));
        p_ = n_;
        return kOk;
    }
    if (c == '\'') {
        p_ = q;
        WOX_TRY(stringItem());
        if (!restIsEmpty(p_)) return fail(kBranchRestrictions, skipBlanks(p_));
        p_ = n_;
        return kOk;
    }
    if (isLetter(c) || isDigit(c) || c == '(' || (c == '_' && startsNumber(text_, q)) ||
        (c == '[' && q + 2 < n_ && text_[q + 1] == ']' && isLetter(text_[q + 2]))) {
        branchParen_ = c == '(';
        p_ = q;
        return scan();
    }
    return fail(kBranchRestrictions, q);
}

Rc Translator::scan() {
    for (;;) {
        p_ = skipBlanks(p_);
        if (p_ >= n_) return kOk;
        char c = text_[p_];
        if (!isLineChar(c)) return fail(kSyntaxError, p_);
        switch (charClass(c)) {
            case CharClass::Letter: WOX_TRY(nameItem()); break;
            case CharClass::Digit: WOX_TRY(numberItem()); break;
            case CharClass::Underscore:
                if (startsNumber(text_, p_)) {
                    WOX_TRY(numberItem());
                } else if (p_ + 1 < n_ && text_[p_ + 1] == '.') {
                    WOX_TRY(primitiveItem());
                } else {
                    return fail(kSyntaxError, p_);
                }
                break;
            case CharClass::Dot:
                if (startsNumber(text_, p_)) WOX_TRY(numberItem());
                else WOX_TRY(primitiveItem());
                break;
            case CharClass::Quote:
                if (c == '\'') WOX_TRY(stringItem());
                else WOX_TRY(symbolItem());
                break;
            case CharClass::Open:
                if (c == '(') WOX_TRY(openParen());
                else WOX_TRY(openBracket());
                break;
            case CharClass::Close:
                if (c == ')') WOX_TRY(closeParen());
                else WOX_TRY(closeBracket());
                break;
            case CharClass::Semicolon: WOX_TRY(separator()); break;
            case CharClass::Glyph:
                if (commentAt(p_)) return kOk;
                WOX_TRY(primitiveItem());
                break;
            case CharClass::Colon: WOX_TRY(primitiveItem()); break;
            case CharClass::Brace:
            case CharClass::Other: return fail(kSyntaxError, p_);
        }
    }
}

// An expression may be empty, but may not end with a function or an
// assignment that has nothing to its right.
Rc Translator::finishExpression(ScanFrame& f, int* head) {
    if (f.pieces > 0 && !f.leftValue) return fail(kSyntaxError, static_cast<std::size_t>(node(f.head).pos));
    *head = f.head;
    return kOk;
}

// ---- Nodes and the chain ----------------------------------------------------

Rc Translator::makeNode(char kind, std::size_t pos, int* index) {
    if (Rc rc = takeNode(ft_, kind, static_cast<int>(pos), index); rc.failed()) return fail(rc.code, pos);
    return kOk;
}

Rc Translator::constNode(int slot, std::size_t pos) {
    int k = 0;
    WOX_TRY(makeNode(kConstNode, pos, &k));
    node(k).operand = slot;
    return addValue(k, k, pos);
}

Rc Translator::callNode(char kind, int monadic, int dyadic, std::size_t pos, int* index) {
    int e = 0;
    if (Rc rc = takeEntry(ft_, kind, monadic, dyadic, &e); rc.failed()) return fail(rc.code, pos);
    WOX_TRY(makeNode(kCallNode, pos, index));
    node(*index).operand = e;
    return kOk;
}

// A value item (a segment from entry to exit in evaluation order) joins the
// chain as the new rightmost item.
Rc Translator::addValue(int entry, int exit, std::size_t pos) {
    ScanFrame& f = frame();
    if (f.leftValue) return fail(kMissingFunction, pos);
    node(exit).next = f.head;
    f.head = entry;
    f.segEntry = entry;
    f.segExit = exit;
    f.leftValue = true;
    f.lastCall = -1;
    ++f.pieces;
    return kOk;
}

// A function takes the value item on its left, if any, as its left operand.
Rc Translator::addFunction(int index) {
    ScanFrame& f = frame();
    ParseNode& n = node(index);
    FunctionEntry& e = ft_.entries[static_cast<std::size_t>(n.operand)];
    if (f.leftValue) {
        e.left = f.segEntry;
        n.next = node(f.segExit).next;
        node(f.segExit).next = -1;
    } else {
        e.left = -1;
        n.next = f.head;
    }
    f.head = index;
    f.leftValue = false;
    f.lastCall = index;
    f.segEntry = f.segExit = -1;
    ++f.pieces;
    return kOk;
}

Rc Translator::addAssign(int index) {
    ScanFrame& f = frame();
    if (f.leftValue) return fail(kMissingFunction, static_cast<std::size_t>(node(index).pos));
    node(index).next = f.head;
    f.head = index;
    f.leftValue = false;
    f.lastCall = -1;
    f.segEntry = f.segExit = -1;
    ++f.pieces;
    return kOk;
}

// ---- Names ------------------------------------------------------------------

Rc Translator::nameItem() {
    std::size_t at = p_;
    std::size_t end = nameEnd(text_, at);
    Resolved r;
    WOX_TRY(resolveName(text_.substr(at, end - at), at, &r));
    return placeName(r, at, end);
}

Rc Translator::systemNameItem() {
    std::size_t at = p_;
    std::size_t end = at + 2;
    while (end < n_ && isLetter(text_[end])) ++end;
    Resolved r;
    WOX_TRY(resolveSystemName(text_.substr(at, end - at), at, &r));
    return placeName(r, at, end);
}

// A session line sees the innermost active binding first, then the global
// table; a name found nowhere becomes a global variable at once. A function
// body sees its header names, its free names, global functions, its labels,
// and otherwise gets a new free name, bound by scope at each call.
Rc Translator::resolveName(std::string_view name, std::size_t at, Resolved* r) {
    if (fn_ == nullptr) {
        if (int s = findInScope(ft_, fe_.scope, name); s >= 0) {
            r->slot = fe_.scope.at(s).slot;
            return kOk;
        }
        if (int g = findGlobal(ft_, name); g >= 0) {
            const NameEntry& e = ft_.globals[static_cast<std::size_t>(g)];
            if (e.kind == kFunctionName) {
                r->kind = Resolved::Function;
                r->valence = fe_.functions.records[static_cast<std::size_t>(e.slot)].valence;
            }
            r->slot = e.slot;
            return kOk;
        }
        int g = 0;
        if (Rc rc = newGlobalVariable(ft_, ws_, name, &g); rc.failed()) return fail(rc.code, at);
        r->slot = ft_.globals[static_cast<std::size_t>(g)].slot;
        return kOk;
    }
    if (int h = findLocalIn(ft_, name, fn_->headerFirst, fn_->headerLast); h >= 0) {
        r->slot = ft_.locals[static_cast<std::size_t>(h)].slot;
        r->local = h;
        return kOk;
    }
    int free = findLocalIn(ft_, name, fn_->freeFirst, fn_->freeLast);
    if (free >= 0 && ft_.locals[static_cast<std::size_t>(free)].kind == kVariableName) {
        r->slot = ft_.locals[static_cast<std::size_t>(free)].slot;
        r->local = free;
        return kOk;
    }
    if (int g = findGlobal(ft_, name); g >= 0 && ft_.globals[static_cast<std::size_t>(g)].kind == kFunctionName) {
        r->kind = Resolved::Function;
        r->slot = ft_.globals[static_cast<std::size_t>(g)].slot;
        r->valence = fe_.functions.records[static_cast<std::size_t>(r->slot)].valence;
        return kOk;
    }
    if (free >= 0 && ft_.locals[static_cast<std::size_t>(free)].kind == kLabelName) {
        r->kind = Resolved::Label;
        r->slot = ft_.locals[static_cast<std::size_t>(free)].slot;
        return kOk;
    }
    return newFreeName(name, at, r);
}

// Free names of a function body are one run of local entries at the end of
// the local table, which the function translator opens before the body.
Rc Translator::newFreeName(std::string_view name, std::size_t at, Resolved* r) {
    bool empty = fn_->freeLast < fn_->freeFirst;
    if (!empty && fn_->freeLast != ft_.lastLocal) return fail(kDefinitionError, at);
    int e = 0;
    if (Rc rc = newLocalName(ft_, name, kVariableName, 0, &e); rc.failed()) return fail(rc.code, at);
    if (empty) fn_->freeFirst = e;
    fn_->freeLast = e;
    r->slot = 0;
    r->local = e;
    return kOk;
}

// "[]" names: a system variable (through the same scopes as other names, as
// a function may make []IO local), else a system function, else 46.
Rc Translator::resolveSystemName(std::string_view name, std::size_t at, Resolved* r) {
    if (fn_ == nullptr) {
        if (int s = findInScope(ft_, fe_.scope, name); s >= 0) {
            r->slot = fe_.scope.at(s).slot;
            return kOk;
        }
        if (int g = findGlobalIn(ft_, name, 0, kBuiltinNames - 1); g >= 0) {
            r->slot = ft_.globals[static_cast<std::size_t>(g)].slot;
            return kOk;
        }
    } else {
        if (int h = findLocalIn(ft_, name, fn_->headerFirst, fn_->headerLast); h >= 0) {
            r->slot = ft_.locals[static_cast<std::size_t>(h)].slot;
            r->local = h;
            return kOk;
        }
        if (int f = findLocalIn(ft_, name, fn_->freeFirst, fn_->freeLast); f >= 0) {
            r->slot = ft_.locals[static_cast<std::size_t>(f)].slot;
            r->local = f;
            return kOk;
        }
        if (findGlobalIn(ft_, name, 0, kBuiltinNames - 1) >= 0) return newFreeName(name, at, r);
    }
    if (const voc::SystemFunction* sf = voc::findSystemFunction(name)) {
        r->kind = Resolved::SystemFn;
        r->slot = sf->code;
        r->valence = sf->valence;
        return kOk;
    }
    return fail(kSysVarNotImplemented, at);
}

Rc Translator::placeName(const Resolved& r, std::size_t at, std::size_t end) {
    std::size_t arrow = skipBlanks(end);
    bool assign = arrowAt(arrow);
    int k = 0;
    switch (r.kind) {
        case Resolved::Variable:
            WOX_TRY(makeNode(assign ? kAssignNode : kVarNode, at, &k));
            node(k).operand = r.slot;
            node(k).local = r.local;
            if (assign) {
                p_ = arrow + 2;
                return addAssign(k);
            }
            p_ = end;
            return addValue(k, k, at);
        case Resolved::Label: {
            if (assign) return fail(kSyntaxError, at);
            int slot = 0;
            if (Rc rc = integerConstant(ws_, r.slot, &slot); rc.failed()) return fail(rc.code, at);
            p_ = end;
            return constNode(slot, at);
        }
        case Resolved::Function:
        case Resolved::SystemFn: {
            if (assign) return fail(kVarNameIsFunctionName, at);
            char kind = r.kind == Resolved::Function ? kDefinedFn : kPrimitiveFn;
            WOX_TRY(callNode(kind, r.slot, r.slot, at, &k));
            p_ = end;
            bool niladic = r.valence == 0 && (r.kind == Resolved::SystemFn || r.slot >= kFirstUserFunction);
            return niladic ? addValue(k, k, at) : addFunction(k);
        }
    }
    return fail(kSyntaxError, at);
}

// ---- Literals ---------------------------------------------------------------

Rc Translator::numberItem() {
    std::size_t at = p_;
    if (frame().leftValue) return fail(kMissingFunction, at);
    int slot = 0;
    std::size_t end = at;
    WOX_TRY(readNumber(ws_, text_, at, st_.numbers, &slot, &end, &errPos_));
    p_ = end;
    return constNode(slot, at);
}

Rc Translator::stringItem() {
    std::size_t at = p_;
    if (frame().leftValue) return fail(kMissingFunction, at);
    int slot = 0;
    std::size_t end = at;
    WOX_TRY(readString(ws_, text_, at, st_.chars, &slot, &end, &errPos_));
    p_ = end;
    return constNode(slot, at);
}

Rc Translator::symbolItem() {
    std::size_t at = p_;
    if (frame().leftValue) return fail(kMissingFunction, at);
    int slot = 0;
    std::size_t end = at;
    WOX_TRY(readSymbols(ws_, fe_.symbols, text_, at, st_.symbols, &slot, &end, &errPos_));
    p_ = end;
    return constNode(slot, at);
}

// ---- Primitives and operators ----------------------------------------------

Rc Translator::primitiveItem() {
    std::size_t at = p_;
    bool lv = frame().leftValue;
    if (arrowAt(at) || (at + 1 < n_ && text_[at] == '-' && text_[at + 1] == '>')) return fail(kSyntaxError, at);
    if (at + 1 < n_ && text_[at] == '.' && text_[at + 1] == ':') return outerProduct(at);
    voc::TokenMatch m = voc::matchToken(text_, at, lv);
    if (m.token < 0) return fail(kSyntaxError, at);
    int token = m.token;
    std::size_t q = at + static_cast<std::size_t>(m.length);
    if (token == voc::token::kEach) return eachItem(at, q);
    if (token == voc::token::kMember) return memberItem(at, q);
    int monadic = voc::monadicCode(token);
    int dyadic = voc::dyadicCode(token);
    if (monadic < voc::code::kFirstFunction && dyadic < voc::code::kFirstFunction)
        return fail(kSyntaxError, at);  // no function: <- -> [ ;
    bool folded = false;
    if (q < n_ && (text_[q] == '/' || text_[q] == '\\') && !commentAt(q)) {
        bool slash = text_[q] == '/';
        bool dot = q + 1 < n_ && text_[q + 1] == '.';
        int code = 0;
        if (Rc rc = voc::reduceScanCode(token, slash, dot, code); rc.failed()) return fail(rc.code, at);
        monadic = dyadic = code;
        q += dot ? 2 : 1;
        folded = true;
    } else if (q < n_ && text_[q] == '[' && voc::takesAxis(token)) {
        int code = 0;
        WOX_TRY(axis(token, lv, at, &q, &code));
        monadic = dyadic = code;
        folded = true;
    } else if (lv && q < n_ && text_[q] == ':' && voc::innerLeftOk(token)) {
        voc::TokenMatch g = voc::matchToken(text_, q + 1, true);
        if (g.token >= 0) {
            int code = voc::innerProductCode(token, g.token);
            if (code >= 0) {
                monadic = dyadic = code;
                q += 1 + static_cast<std::size_t>(g.length);
                folded = true;
            }
        }
    }
    if (!lv && !folded && (voc::needsLeftArgument(token) || monadic < 0)) {
        return fail(voc::needsLeftArgument(token) ? kLeftArgumentMissing : kSyntaxError, at);
    }
    int k = 0;
    WOX_TRY(callNode(kPrimitiveFn, monadic, dyadic, at, &k));
    p_ = q;
    return addFunction(k);
}

// x .:g y
Rc Translator::outerProduct(std::size_t at) {
    if (!frame().leftValue) return fail(kLeftArgumentMissing, at);
    voc::TokenMatch g = voc::matchToken(text_, at + 2, true);
    if (g.token < 0) return fail(kOuterProductNotDyadic, at);
    int code = 0;
    if (Rc rc = voc::outerProductCode(g.token, code); rc.failed()) return fail(rc.code, at);
    int k = 0;
    WOX_TRY(callNode(kPrimitiveFn, code, code, at, &k));
    p_ = at + 2 + static_cast<std::size_t>(g.length);
    return addFunction(k);
}

// f" : the node of f becomes the each, and f's entry its operand.
Rc Translator::eachItem(std::size_t at, std::size_t next) {
    ScanFrame& f = frame();
    if (f.lastCall < 0 || node(f.lastCall).list >= 0) return fail(kSyntaxError, at);
    ParseNode& n = node(f.lastCall);
    int operand = n.operand;
    int e = 0;
    if (Rc rc = takeEntry(ft_, kPrimitiveFn, voc::code::kEach, voc::code::kEach, &e); rc.failed())
        return fail(rc.code, at);
    FunctionEntry& fe = ft_.entries[static_cast<std::size_t>(operand)];
    ft_.entries[static_cast<std::size_t>(e)].left = fe.left;
    fe.left = -1;
    n.operand = e;
    n.list = operand;
    p_ = next;
    return kOk;
}

// x.name : member access, with the name as a symbol. It binds to x as an
// index does, so x.name*2 doubles the member. A foreign-key path
// x.name.other is one access with the two names as a Symbol pair, so that
// it reads from the left as it is written.
Rc Translator::memberItem(std::size_t at, std::size_t next) {
    std::size_t end = nameEnd(text_, next);
    int slot = 0;
    if (end + 1 < n_ && text_[end] == '.' && isLetter(text_[end + 1])) {
        const std::size_t second = end + 1;
        const std::size_t last = nameEnd(text_, second);
        std::vector<std::int32_t> names(2);
        if (Rc rc = fe_.symbols.intern(text_.substr(next, end - next), &names[0]); rc.failed()) return fail(rc.code, next);
        if (Rc rc = fe_.symbols.intern(text_.substr(second, last - second), &names[1]); rc.failed())
            return fail(rc.code, second);
        if (Rc rc = symbolVectorConstant(ws_, names, &slot); rc.failed()) return fail(rc.code, next);
        end = last;
    } else if (Rc rc = symbolConstant(ws_, fe_.symbols, text_.substr(next, end - next), &slot); rc.failed()) {
        return fail(rc.code, next);
    }
    // The name, then the access with the value item as its left operand,
    // take the item's place in the chain and become the value item.
    int name = 0, k = 0;
    WOX_TRY(makeNode(kConstNode, next, &name));
    node(name).operand = slot;
    WOX_TRY(callNode(kPrimitiveFn, voc::code::kMember, voc::code::kMember, at, &k));
    ScanFrame& f = frame();
    ft_.entries[static_cast<std::size_t>(node(k).operand)].left = f.segEntry;
    node(k).next = node(f.segExit).next;
    node(f.segExit).next = -1;
    node(name).next = k;
    f.head = f.segEntry = name;
    f.segExit = k;
    f.lastCall = -1;
    p_ = end;
    return kOk;
}

// f[k] for "/", "\", "," and "$": one number in brackets.
Rc Translator::axis(int token, bool leftValue, std::size_t at, std::size_t* next, int* code) {
    std::size_t open = *next;
    std::size_t r = open + 1;
    if (r >= n_) return fail(kRightBracketExpected, open);
    char c = text_[r];
    if (!(c == '-' || c == '_' || isDigit(c))) return fail(kAxisRestriction, r);
    std::size_t end = r;
    WOX_TRY(scanNumbers(text_, r, true, st_.numbers, &end, &errPos_));
    if (st_.numbers.re.size() != 1 || st_.numbers.complex) return fail(kAxisRestriction, r);
    end = skipBlanks(end);
    if (end >= n_ || text_[end] != ']') return fail(kRightBracketExpected, end);
    if (Rc rc = voc::axisCode(token, leftValue, st_.numbers.re[0], indexOrigin(), *code); rc.failed())
        return fail(rc.code, at);
    *next = end + 1;
    return kOk;
}

// The index origin in force: the innermost binding of []IO, else the global
// one; -1 when it is not a single 0 or 1.
int Translator::indexOrigin() const {
    int slot = kIoSlot;
    if (int s = findInScope(ft_, fe_.scope, "[]IO"); s >= 0) slot = fe_.scope.at(s).slot;
    if (slot <= 0 || slot >= kVariableSlots) return -1;
    const ValueDescriptor& d = ws_.vars[static_cast<std::size_t>(slot)];
    if ((d.type != kBoolean && d.type != kInteger) || d.count != 1 || d.rank < 0) return -1;
    const std::int32_t* e = ws_.elems<std::int32_t>(d);
    return e != nullptr && (*e == 0 || *e == 1) ? *e : -1;
}

// ---- Brackets ---------------------------------------------------------------

Rc Translator::openParen() {
    std::size_t at = p_;
    if (frame().leftValue) return fail(kParenMissingFunction, at);
    if (startsTable(at)) return openTable(at);
    if (at + 1 < n_ && text_[at + 1] == ')') {
        p_ = at + 2;
        return emptyList(at);
    }
    if (st_.frames.size() >= kMaxNesting) return fail(kStackFull, at);
    pushFrame('(', static_cast<int>(at));
    p_ = at + 1;
    return kOk;
}

// "[]" before a letter is a system name. Otherwise "[" after a value opens
// an index list, and "[]" and "[)" are the output names.
Rc Translator::openBracket() {
    std::size_t at = p_;
    if (at + 2 < n_ && text_[at + 1] == ']' && isLetter(text_[at + 2])) return systemNameItem();
    if (!frame().leftValue) {
        if (at + 1 < n_ && text_[at + 1] == ']') return outputName(at, kOutSlot);
        if (at + 1 < n_ && text_[at + 1] == ')') return outputName(at, kOutOpenSlot);
        return fail(kSyntaxError, at);
    }
    if (st_.frames.size() >= kMaxNesting) return fail(kStackFull, at);
    pushFrame('[', static_cast<int>(at));
    p_ = at + 1;
    return kOk;
}

Rc Translator::outputName(std::size_t at, int slot) {
    std::size_t arrow = skipBlanks(at + 2);
    if (!arrowAt(arrow)) return fail(kAssignExpected, at);
    int k = 0;
    WOX_TRY(makeNode(kAssignNode, at, &k));
    node(k).operand = slot;
    p_ = arrow + 2;
    return addAssign(k);
}

Rc Translator::separator() {
    std::size_t at = p_;
    ScanFrame& f = frame();
    if (f.type == 'T') return fail(kSyntaxError, at);
    int head = -1;
    WOX_TRY(finishExpression(f, &head));
    if (head < 0 && f.type != '[') return fail(kSyntaxError, at);
    if (f.type == 'K' || f.type == 'N') WOX_TRY(finishColumn(head, at));
    st_.items.push_back(head);
    ++f.itemCount;
    f.head = f.segEntry = f.segExit = f.lastCall = -1;
    f.pieces = 0;
    f.leftValue = false;
    p_ = at + 1;
    if (f.type == 'K' || f.type == 'N') return columnName();
    return kOk;
}

Rc Translator::listWords(int base, int count, std::size_t pos, int* start) {
    if (Rc rc = takeListWords(ft_, count, start); rc.failed()) return fail(rc.code, pos);
    for (int i = 0; i < count; ++i)
        ft_.lists[static_cast<std::size_t>(*start + i)] = st_.items[static_cast<std::size_t>(base + i)];
    return kOk;
}

Rc Translator::emptyList(std::size_t pos) {
    int slot = 0;
    if (Rc rc = takeConstant(ws_, &slot); rc.failed()) return fail(rc.code, pos);
    ValueDescriptor& d = ws_.consts[static_cast<std::size_t>(slot)];
    d.type = kGeneral;
    d.rank = 1;
    return constNode(slot, pos);
}

Rc Translator::closeParen() {
    std::size_t at = p_;
    if (frame().type == 'N') return closeTable();
    if (frame().type != '(') return fail(kUnpairedBrackets, at);
    int head = -1;
    WOX_TRY(finishExpression(frame(), &head));
    const ScanFrame f = frame();
    st_.frames.pop_back();
    const int count = f.itemCount + 1;
    const int base = f.itemBase;
    st_.items.push_back(head);
    const std::size_t open = static_cast<std::size_t>(f.open);
    std::size_t arrow = skipBlanks(at + 1);
    p_ = at + 1;
    if (head < 0) {
        if (count > 1) return fail(kSyntaxError, at);
        st_.items.resize(static_cast<std::size_t>(base));
        return emptyList(open);
    }
    if (arrowAt(arrow)) {
        // (a;b;c)<-v : every item must be a plain name.
        for (int i = 0; i < count; ++i) {
            ParseNode& x = node(st_.items[static_cast<std::size_t>(base + i)]);
            bool functionName = x.kind == kCallNode && x.next == -1 &&
                                ft_.entries[static_cast<std::size_t>(x.operand)].left == -1;
            if (functionName) return fail(kVarNameIsFunctionName, static_cast<std::size_t>(x.pos));
            if (x.kind != kVarNode || x.next != -1) return fail(kSyntaxError, static_cast<std::size_t>(x.pos));
        }
        for (int i = 0; i < count; ++i) node(st_.items[static_cast<std::size_t>(base + i)]).kind = kAssignNode;
        p_ = arrow + 2;
        int target = st_.items[static_cast<std::size_t>(base)];
        if (count > 1) {
            int start = 0;
            WOX_TRY(listWords(base, count, open, &start));
            WOX_TRY(makeNode(kMultiAssignNode, open, &target));
            node(target).list = start;
            node(target).count = count;
        }
        st_.items.resize(static_cast<std::size_t>(base));
        return addAssign(target);
    }
    if (count == 1) {
        st_.items.resize(static_cast<std::size_t>(base));
        // (x) is x: a single value item needs no group.
        if (f.pieces == 1 && f.leftValue && f.segEntry == head) return addValue(f.segEntry, f.segExit, open);
        int g = 0;
        WOX_TRY(makeNode(kGroupNode, open, &g));
        node(g).list = head;
        return addValue(g, g, open);
    }
    int start = 0;
    WOX_TRY(listWords(base, count, open, &start));
    st_.items.resize(static_cast<std::size_t>(base));
    int l = 0;
    WOX_TRY(makeNode(kListNode, open, &l));
    node(l).list = start;
    node(l).count = count;
    return addValue(l, l, open);
}

Rc Translator::closeBracket() {
    std::size_t at = p_;
    if (frame().type == 'K') return closeKeys();
    if (frame().type != '[') return fail(kUnpairedBrackets, at);
    int head = -1;
    WOX_TRY(finishExpression(frame(), &head));
    const ScanFrame f = frame();
    st_.frames.pop_back();
    const int count = f.itemCount + 1;
    st_.items.push_back(head);
    const std::size_t open = static_cast<std::size_t>(f.open);
    int start = 0;
    WOX_TRY(listWords(f.itemBase, count, open, &start));
    st_.items.resize(static_cast<std::size_t>(f.itemBase));
    int x = 0;
    WOX_TRY(makeNode(kIndexNode, open, &x));
    node(x).list = start;
    node(x).count = count;
    // The index follows the indexed value in evaluation order.
    ScanFrame& pf = frame();
    node(x).next = node(pf.segExit).next;
    node(pf.segExit).next = x;
    pf.segExit = x;
    std::size_t arrow = skipBlanks(at + 1);
    p_ = at + 1;
    if (!arrowAt(arrow)) return kOk;
    // name[i]<-v : the name becomes an assignment target with the index list.
    int v = pf.segEntry;
    ParseNode& z = node(v);
    if (z.kind != kVarNode || z.next != x) return fail(kSyntaxError, static_cast<std::size_t>(z.pos));
    z.kind = kAssignNode;
    z.list = start;
    z.count = count;
    z.next = node(x).next;
    pf.head = v;
    pf.leftValue = false;
    pf.lastCall = pf.segEntry = pf.segExit = -1;
    p_ = arrow + 2;
    return kOk;
}

// ---- Table literals ---------------------------------------------------------

// "(" directly followed by "[" starts a table literal when the brackets hold
// name:value items, or when "[]" is followed by a blank, or by a name and
// ":". Otherwise "[]" keeps its meaning: ([]IO+1), ([]<-1 2).
bool Translator::startsTable(std::size_t at) const {
    std::size_t q = at + 2;
    if (at + 1 >= n_ || text_[at + 1] != '[' || q >= n_) return false;
    if (text_[q] == ']') {
        ++q;
        if (q < n_ && text_[q] == ' ') return true;
    }
    if (q >= n_ || !isLetter(text_[q])) return false;
    std::size_t e = skipBlanks(nameEnd(text_, q));
    return e < n_ && text_[e] == ':';
}

Rc Translator::openTable(std::size_t at) {
    if (st_.frames.size() >= kMaxNesting) return fail(kStackFull, at);
    const bool keyed = text_[at + 2] != ']';
    pushFrame(keyed ? 'K' : 'N', static_cast<int>(at));
    p_ = keyed ? at + 2 : at + 3;
    return columnName();
}

// Each column starts with its name: "name:" before its value, or a bare
// variable name that is both. A literal is all of one kind, and key
// columns always have values.
Rc Translator::columnName() {
    ScanFrame& f = frame();
    std::size_t q = skipBlanks(p_);
    if (q >= n_ || !isLetter(text_[q])) return fail(kSyntaxError, q);
    std::size_t e = nameEnd(text_, q);
    std::int32_t symbol = 0;
    if (Rc rc = fe_.symbols.intern(text_.substr(q, e - q), &symbol); rc.failed()) return fail(rc.code, q);
    st_.columnNames.push_back(symbol);
    std::size_t r = skipBlanks(e);
    if (r < n_ && text_[r] == ':') {
        f.namedColumns = true;
        p_ = r + 1;
    } else {
        if (f.type == 'K') return fail(kSyntaxError, r);
        f.bareNames = true;
        p_ = q;
    }
    if (f.namedColumns && f.bareNames) return fail(kSyntaxError, q);
    return kOk;
}

// A column's value is done: it must have one, and a bare name must stand
// alone.
Rc Translator::finishColumn(int head, std::size_t at) {
    if (head < 0) return fail(kSyntaxError, at);
    const ScanFrame& f = frame();
    if (f.bareNames && (node(head).kind != kVarNode || node(head).next != -1))
        return fail(kSyntaxError, static_cast<std::size_t>(node(head).pos));
    return kOk;
}

Rc Translator::closeKeys() {
    std::size_t at = p_;
    ScanFrame& f = frame();
    int head = -1;
    WOX_TRY(finishExpression(f, &head));
    WOX_TRY(finishColumn(head, at));
    st_.items.push_back(head);
    ++f.itemCount;
    f.keyColumns = f.itemCount;
    f.type = 'N';
    f.head = f.segEntry = f.segExit = f.lastCall = -1;
    f.pieces = 0;
    f.leftValue = false;
    p_ = at + 1;
    return columnName();
}

// The literal becomes a group around a call of the table-literal code: the
// names on its left, and on its right a list of the key column count and
// the columns' values.
Rc Translator::closeTable() {
    std::size_t at = p_;
    int head = -1;
    WOX_TRY(finishExpression(frame(), &head));
    WOX_TRY(finishColumn(head, at));
    const ScanFrame f = frame();
    st_.frames.pop_back();
    const std::size_t open = static_cast<std::size_t>(f.open);
    const int count = f.itemCount + 1;
    st_.items.push_back(head);
    p_ = at + 1;
    int keySlot = 0;
    if (Rc rc = takeConstant(ws_, &keySlot); rc.failed()) return fail(rc.code, open);
    ValueDescriptor& kd = ws_.consts[static_cast<std::size_t>(keySlot)];
    kd.type = kInteger;
    kd.count = 1;
    setInlineInt(kd, f.keyColumns);
    int keyNode = 0;
    WOX_TRY(makeNode(kConstNode, open, &keyNode));
    node(keyNode).operand = keySlot;
    st_.items.insert(st_.items.begin() + f.itemBase, keyNode);
    int start = 0;
    WOX_TRY(listWords(f.itemBase, count + 1, open, &start));
    st_.items.resize(static_cast<std::size_t>(f.itemBase));
    const std::vector<std::int32_t> names(st_.columnNames.begin() + f.nameBase, st_.columnNames.end());
    st_.columnNames.resize(static_cast<std::size_t>(f.nameBase));
    int nameSlot = 0;
    if (Rc rc = symbolVectorConstant(ws_, names, &nameSlot); rc.failed()) return fail(rc.code, open);
    int nameNode = 0;
    WOX_TRY(makeNode(kConstNode, open, &nameNode));
    node(nameNode).operand = nameSlot;
    int list = 0;
    WOX_TRY(makeNode(kListNode, open, &list));
    node(list).list = start;
    node(list).count = count + 1;
    int call = 0;
    WOX_TRY(callNode(kPrimitiveFn, voc::code::kTableLiteral, voc::code::kTableLiteral, open, &call));
    ft_.entries[static_cast<std::size_t>(node(call).operand)].left = nameNode;
    node(list).next = call;
    int group = 0;
    WOX_TRY(makeNode(kGroupNode, open, &group));
    node(group).list = list;
    return addValue(group, group, open);
}

}  // namespace

bool isLabel(std::string_view text, std::size_t pos, std::size_t* nameEndPos, std::size_t* end) {
    if (pos >= text.size() || !isLetter(text[pos])) return false;
    std::size_t e = nameEnd(text, pos);
    std::size_t r = e;
    while (r < text.size() && text[r] == ' ') ++r;
    if (r >= text.size() || text[r] != ':') return false;
    *nameEndPos = e;
    *end = r + 1;
    return true;
}

Rc translateLine(const FrontEnd& fe, std::string_view text, int ownerFunction, int lineNumber, TranslatedLine* out) {
    *out = TranslatedLine{};
    FrontTables& ft = fe.tables;
    FunctionRecord* fn = nullptr;
    if (ownerFunction >= 0) {
        if (ownerFunction >= static_cast<int>(fe.functions.records.size())) return fe.cx.fail(kDomainError);
        fn = &fe.functions.records[static_cast<std::size_t>(ownerFunction)];
    }
    const LineMark mark = markLine(ft, fe.cx.ws);
    Translator t(fe, text, fn);
    Rc rc = t.run(out);
    if (rc.ok() && out->branch) {
        int b = 0;
        rc = takeBranch(ft, &b);
        if (rc.ok()) {
            BranchEntry& e = ft.branches[static_cast<std::size_t>(b)];
            e.owner = ownerFunction;
            e.line = lineNumber;
            e.node = out->first;
            e.falseTarget = kBranchLine;
            out->branchEntry = b;
        }
    }
    if (rc.failed()) {
        releaseToMark(ft, fe.cx.ws, mark);
        std::size_t pos = t.errorPos();
        out->first = out->last = -1;
        out->errorPos = static_cast<int>(pos < text.size() ? pos : text.size());
        return fe.cx.fail(rc.code);
    }
    return kOk;
}

}  // namespace wox::frontend
