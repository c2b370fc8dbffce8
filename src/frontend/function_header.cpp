#include "frontend/function_header.h"

#include <algorithm>

#include "frontend/source_text.h"
#include "values/messages.h"

namespace wox::frontend {
namespace {

using namespace text;

// One part of the header: a name or a parenthesised list of names.
struct Part {
    std::vector<std::string> names;
    bool isList = false;
};

class HeaderParser {
public:
    explicit HeaderParser(std::string_view t) : t_(t) {}

    Rc parse(FunctionHeader& h) {
        skipBlanks();
        Part first;
        WOX_TRY(part(first));
        skipBlanks();
        if (!first.isList && t_.substr(pos_, 2) == "<-") {
            h.result = first.names.front();
            pos_ += 2;
            skipBlanks();
            first = Part{};
            WOX_TRY(part(first));
            skipBlanks();
        }
        std::vector<Part> parts{std::move(first)};
        while (!atEnd() && peek() != ';') {
            if (parts.size() == 3 || !startsPart()) return kDefinitionError;
            parts.emplace_back();
            WOX_TRY(part(parts.back()));
            skipBlanks();
        }
        const Part* left = parts.size() == 3 ? &parts[0] : nullptr;
        const Part& fname = parts.size() == 3 ? parts[1] : parts[0];
        const Part* right = parts.size() >= 2 ? &parts.back() : nullptr;
        if (fname.isList) return kDefinitionError;
        h.name = fname.names.front();
        if (left) {
            h.left = left->names;
            h.leftIsList = left->isList;
        }
        if (right) {
            h.right = right->names;
            h.rightIsList = right->isList;
        }
        h.valence = static_cast<int>(parts.size()) - 1;

        while (!atEnd()) {
            if (peek() != ';') return kDefinitionError;
            ++pos_;
            skipBlanks();
            std::string local;
            WOX_TRY(name(local, true));
            h.locals.push_back(std::move(local));
            skipBlanks();
        }
        return checkNames(h);
    }

private:
    bool atEnd() const { return pos_ >= t_.size(); }
    char peek() const { return t_[pos_]; }
    void skipBlanks() {
        while (!atEnd() && isBlank(peek())) ++pos_;
    }
    bool startsPart() const { return isLetter(peek()) || peek() == '('; }

    Rc part(Part& p) {
        if (atEnd() || peek() != '(') {
            p.names.emplace_back();
            return name(p.names.back(), false);
        }
        p.isList = true;
        ++pos_;
        for (;;) {
            skipBlanks();
            p.names.emplace_back();
            WOX_TRY(name(p.names.back(), false));
            skipBlanks();
            if (atEnd()) return kDefinitionError;
            char c = t_[pos_++];
            if (c == ')') return kOk;
            if (c != ';') return kDefinitionError;
        }
    }

    // A name is needed here; a local may also be a system name like []IO.
    Rc name(std::string& out, bool systemAllowed) {
        std::size_t start = pos_;
        if (systemAllowed && t_.substr(pos_, 2) == "[]") {
            std::size_t end = pos_ + 2;
            while (end < t_.size() && isLetter(t_[end])) ++end;
            if (end == pos_ + 2) return kNameMustStartWithLetter;
            pos_ = end;
            out.assign(t_.substr(start, end - start));
            return kOk;
        }
        if (atEnd() || !isLetter(peek())) return kNameMustStartWithLetter;
        pos_ = nameEnd(t_, pos_);
        out.assign(t_.substr(start, pos_ - start));
        // A trailing "_" is the negative sign of the scanner, never part of a name.
        if (out.back() == '_') return kDefinitionError;
        return kOk;
    }

    // Every name of a header binds one thing: a repeated name or a control
    // word would make calls ambiguous or the body unreadable.
    static Rc checkNames(const FunctionHeader& h) {
        std::vector<std::string_view> all;
        if (!h.result.empty()) all.push_back(h.result);
        all.insert(all.end(), h.left.begin(), h.left.end());
        all.push_back(h.name);
        all.insert(all.end(), h.right.begin(), h.right.end());
        all.insert(all.end(), h.locals.begin(), h.locals.end());
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (isReservedWord(all[i])) return kDefinitionError;
            if (std::find(all.begin(), all.begin() + i, all[i]) != all.begin() + i)
                return kDefinitionError;
        }
        return kOk;
    }

    std::string_view t_;
    std::size_t pos_ = 0;
};

}  // namespace

Rc parseHeader(std::string_view text, FunctionHeader& out) {
    out = FunctionHeader{};
    FunctionHeader h;
    WOX_TRY(HeaderParser(text).parse(h));
    out = std::move(h);
    return kOk;
}

}  // namespace wox::frontend
