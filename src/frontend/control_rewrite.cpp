#include "frontend/control_rewrite.h"

#include <string_view>

#include "frontend/number_reader.h"
#include "frontend/source_text.h"
#include "values/messages.h"

namespace wox::frontend {
namespace {

using namespace text;

// Deeper nesting than this is refused rather than risk the native stack.
constexpr int kMaxNesting = 200;

// Appended rather than `"L" + std::to_string(n)`: for that form GCC 12's
// optimizer sees a memcpy that may overlap and warns (-Wrestrict), wrongly.
std::string label(int n) {
    std::string name = "L";
    name += std::to_string(n);
    return name;
}

// A recursive-descent reader over the statement list. The statements are one
// stream: a block may open in one statement and close in a later one, and a
// statement may go on after a block closes. Every reader returns false on a
// malformed construct, after recording where.
class Rewriter {
public:
    Rewriter(std::span<const TaggedLine> in, int nameNumber, ControlRewrite& out)
        : in_(in), nameNumber_(nameNumber), out_(out) {}

    bool run() { return statements(false); }
    int failedTag() const { return tag_; }

private:
    // ---- Cursor ------------------------------------------------------------

    std::string_view line() const { return in_[line_].text; }
    bool atLineEnd() const { return pos_ >= line().size(); }
    char peek() const { return line()[pos_]; }
    void skipBlanks() {
        while (!atLineEnd() && isBlank(peek())) ++pos_;
    }
    // Moves to the next non-blank character, crossing statement boundaries;
    // false at the end of the body.
    bool next() {
        while (line_ < in_.size()) {
            skipBlanks();
            if (!atLineEnd()) return true;
            ++line_;
            pos_ = 0;
        }
        return false;
    }
    // Generated lines take the tag of the statement last read from.
    void touch() { tag_ = in_[line_].tag; }

    void emit(std::string text) { out_.lines.push_back({std::move(text), tag_}); }
    int newLabel() { return nextLabel_++; }

    // ---- Statements --------------------------------------------------------

    // statements -> {statement}, up to the closing "}" of a block or the end.
    bool statements(bool inBlock) {
        for (;;) {
            if (!next()) return !inBlock;
            touch();
            if (peek() == '}') {
                ++pos_;
                return inBlock;
            }
            if (!statement()) return false;
        }
    }

    bool statement() {
        if (++depth_ > kMaxNesting) return false;
        bool ok = statementBody();
        --depth_;
        return ok;
    }

    bool statementBody() {
        touch();
        if (peek() == '{') {
            ++pos_;
            return statements(true);
        }
        if (isLetter(peek())) {
            std::size_t end = nameEnd(line(), pos_);
            std::string_view word = line().substr(pos_, end - pos_);
            if (isControlWord(word)) return control(word, end);
            if (labelOfControl(word, end)) return statement();
        }
        return plain();
    }

    // "name:" in front of a control statement or block becomes a label line of
    // its own, so that a user's branch can reach the construct.
    bool labelOfControl(std::string_view word, std::size_t end) {
        std::string_view s = line();
        std::size_t p = end;
        while (p < s.size() && isBlank(s[p])) ++p;
        if (p >= s.size() || s[p] != ':') return false;
        ++p;
        while (p < s.size() && isBlank(s[p])) ++p;
        if (p >= s.size()) return false;
        bool control = s[p] == '{' || (isLetter(s[p]) && isControlWord(s.substr(p, nameEnd(s, p) - p)));
        if (!control) return false;
        emit(std::string(word) + ":");
        pos_ = p;
        return true;
    }

    // A statement without control words, up to the end of its statement, a
    // "}" that closes the enclosing block, or an "else" that ends an if body.
    bool plain() {
        std::string_view s = line();
        std::size_t i = pos_;
        int parens = 0;
        while (i < s.size()) {
            char c = s[i];
            if (c == '\'') {
                i = skipQuoted(s, i);
                continue;
            }
            if (c == '(' || c == '[') {
                ++parens;
            } else if (c == ')' || c == ']') {
                if (parens > 0) --parens;
            } else if (c == '{') {
                return false;
            } else if (c == '}') {
                if (parens > 0) return false;
                break;
            } else if (parens == 0 && wordAt(s, i, "else")) {
                break;
            }
            ++i;
        }
        emit(std::string(trimBlanks(s.substr(pos_, i - pos_))));
        pos_ = i;
        return true;
    }

    // The text inside the parentheses that open at the cursor, trimmed; the
    // cursor moves past the closing one. Quotes are skipped, nesting counted.
    bool group(std::string& inner, int* column = nullptr) {
        std::string_view s = line();
        int depth = 0;
        for (std::size_t i = pos_; i < s.size();) {
            char c = s[i];
            if (c == '\'') {
                i = skipQuoted(s, i);
                continue;
            }
            if (c == '{' || c == '}') return false;
            if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                std::string_view trimmed = trimBlanks(s.substr(pos_ + 1, i - pos_ - 1));
                inner = trimmed;
                if (column) *column = static_cast<int>(trimmed.data() - s.data());
                pos_ = i + 1;
                return !inner.empty();
            }
            ++i;
        }
        return false;
    }

    // body -> block | statement, on this line or the next.
    bool body() {
        if (!next() || peek() == '}') return false;
        return statement();
    }

    bool control(std::string_view word, std::size_t end) {
        const int wordColumn = static_cast<int>(pos_);
        pos_ = end;
        if (word == "else") return false;  // no if before it
        if (word == "break" || word == "continue") return jump(word == "break");
        skipBlanks();
        std::string inner;
        int innerColumn = 0;
        if (atLineEnd() || peek() != '(' || !group(inner, &innerColumn)) return false;
        if (word == "if") return ifStatement(inner);
        if (word == "while") return whileStatement(inner);
        if (word == "for") return forStatement(inner, innerColumn, wordColumn);
        return caseStatement(inner);
    }

    bool jump(bool isBreak) {
        skipBlanks();
        if (!atLineEnd() && peek() != '}' && !wordAt(line(), pos_, "else")) return false;
        if (loopExits_.empty()) return false;
        int exit = loopExits_.back();
        emit("->" + label(isBreak ? exit : exit - 1));
        return true;
    }

    bool ifStatement(const std::string& cond) {
        int a = newLabel();
        emit("->(~" + cond + ")/" + label(a));
        if (!body()) return false;
        if (!next() || !wordAt(line(), pos_, "else")) {
            emit(label(a) + ":");
            return true;
        }
        touch();
        pos_ += 4;
        int b = newLabel();
        emit("->" + label(b));
        emit(label(a) + ":");
        if (!body()) return false;
        emit(label(b) + ":");
        return true;
    }

    // Runs `body` as the body of a loop whose exit label is `exit`.
    bool loopBody(int exit) {
        loopExits_.push_back(exit);
        bool ok = body();
        loopExits_.pop_back();
        return ok;
    }

    bool closeLoop(int top, int exit) {
        if (!loopBody(exit)) return false;
        emit("->" + label(top));
        emit(label(exit) + ":");
        return true;
    }

    bool whileStatement(const std::string& cond) {
        int t = newLabel(), e = newLabel();
        ++nameNumber_;
        emit(label(t) + ":->(~" + cond + ")/" + label(e));
        return closeLoop(t, e);
    }

    // ---- for ---------------------------------------------------------------

    // A piece of the statement copied into generated lines; column -1 for
    // text the user did not write (the step 1 of a loop without one).
    struct Fragment {
        std::string_view text;
        int column = -1;
    };

    // One line the rewriting of a for statement writes: literal text and
    // fragments of the statement, with where each fragment came from.
    struct Generated {
        Generated(int statement, const Fragment& standsFor) {
            origin.statement = statement;
            origin.column = standsFor.column;
        }
        Generated& operator<<(std::string_view literal) {
            text += literal;
            return *this;
        }
        Generated& operator<<(const Fragment& f) {
            if (f.column >= 0)
                origin.pieces.push_back({static_cast<int>(text.size()), f.column, static_cast<int>(f.text.size())});
            text += f.text;
            return *this;
        }
        std::string text;
        LineOrigin origin;
    };

    void emit(Generated& g) {
        out_.lines.push_back({std::move(g.text), tag_});
        // Lines written by other constructs have no origin.
        out_.origins.resize(out_.lines.size() - 1);
        out_.origins.push_back(std::move(g.origin));
    }

    // A scalar is a list of one item: it is ravelled, which nothing else
    // is, so that a table or a dictionary is still walked as it was.
    void listLoop(int at, const Fragment& v, const Fragment& list, const std::string& num, int t, int e) {
        std::string items = "idx_v" + num, length = "idx_l" + num, index = "idx_i" + num;
        out_.generatedNames.insert(out_.generatedNames.end(), {items, length, index});
        int listed = newLabel();
        emit(Generated(at, list) << items << "<-" << list);
        emit(Generated(at, list) << "->(0<##" << items << ")/" << label(listed));
        emit(Generated(at, list) << items << "<-," << items);
        emit(Generated(at, list) << label(listed) << ":" << length << "<-#" << items);
        emit(Generated(at, list) << index << "<-_1");
        emit(Generated(at, list) << label(t) << ":->(" << length << "<=" << index << "<-" << index << "+1)/"
                                 << label(e));
        emit(Generated(at, v) << v << "<-" << items << "[" << index << "+[]IO]");
    }

    // A literal step fixes the direction here: up while v <= end, down while
    // v >= end. Any other step (and a zero one) is kept when the loop starts,
    // and idx_dN picks the exit test of its direction: (counts down, counts
    // up), made from half of one more than the step's sign, which "~"
    // refuses (a domain error) for a zero step. Each test reads end once
    // (into idx_eN) and compares it with v, so dates count as numbers do.
    void rangeLoop(int at, const Fragment& v, const Fragment& start, const Fragment& end, const Fragment& step,
                   const std::string& num, int t, int e) {
        int sign = literalSign(step.text);
        std::string kept = "idx_s" + num, pick = "idx_d" + num, bound = "idx_e" + num;
        Fragment by = sign == 0 ? Fragment{kept} : step;
        if (sign == 0) {
            out_.generatedNames.insert(out_.generatedNames.end(), {kept, pick, bound});
            emit(Generated(at, step) << kept << "<-" << step);
            emit(Generated(at, step) << pick << "<-1 0=~(1+*" << kept << ")%2");
        }
        emit(Generated(at, start) << v << "<-(" << start << ")-" << by);
        Generated test(at, end);
        test << label(t) << ":->(";
        if (sign == 0) test << pick << "/(" << v << "<" << bound << "),(" << bound << "<-" << end << ")<" << v;
        else test << "(" << end << ")" << (sign > 0 ? "<" : ">") << v;
        test << "<-" << v << "+" << by << ")/" << label(e);
        emit(test);
    }

    // 1 or -1 for a step written as one non-zero real number, else 0.
    static int literalSign(std::string_view step) {
        if (!startsNumber(step, 0)) return 0;
        NumberList numbers;
        std::size_t end = 0, errPos = 0;
        if (scanNumbers(step, 0, false, numbers, &end, &errPos).failed()) return 0;
        if (end != step.size() || numbers.complex || numbers.re.size() != 1) return 0;
        double x = numbers.re.front();
        return x > 0 ? 1 : x < 0 ? -1 : 0;  // a null is neither
    }

    // `inner` is the text in the parentheses, which starts at column
    // `innerColumn` of the statement; `word` is the column of "for".
    bool forStatement(std::string_view inner, int innerColumn, int word) {
        auto fragment = [&](std::string_view piece) {
            return Fragment{piece, innerColumn + static_cast<int>(piece.data() - inner.data())};
        };
        // The statement that holds the for, as an index of list 2.
        const int at = static_cast<int>(line_) + 1;
        std::size_t colon = inner.find(':');
        if (colon == std::string_view::npos) return false;
        Fragment v = fragment(trimBlanks(inner.substr(0, colon)));
        if (!isValidName(v.text) || isReservedWord(v.text)) return false;
        std::vector<std::string_view> parts = splitAtSemicolons(inner.substr(colon + 1), true);
        if (parts.size() > 3) return false;
        for (std::string_view p : parts)
            if (p.empty()) return false;
        int t = newLabel(), e = newLabel();
        std::string num = std::to_string(nameNumber_++);
        if (parts.size() == 1) {
            listLoop(at, v, fragment(parts[0]), num, t, e);
        } else {
            Fragment step = parts.size() == 3 ? fragment(parts[2]) : Fragment{"1"};
            rangeLoop(at, v, fragment(parts[0]), fragment(parts[1]), step, num, t, e);
        }
        Fragment whole{"", word};
        if (!loopBody(e)) return false;
        emit(Generated(at, whole) << "->" << label(t));
        emit(Generated(at, whole) << label(e) << ":");
        return true;
    }

    // case (sel) { (values) body ... [else body] }
    bool caseStatement(const std::string& selector) {
        std::string cs = "CS" + std::to_string(nameNumber_++);
        out_.generatedNames.push_back(cs);
        emit(cs + "<-" + selector);
        int end = newLabel();
        if (!next() || peek() != '{') return false;
        ++pos_;
        int pending = -1;  // the label the next alternative's test carries
        bool sawElse = false;
        for (;;) {
            if (!next()) return false;
            touch();
            if (peek() == '}') {
                ++pos_;
                break;
            }
            if (sawElse) return false;  // nothing may follow the else alternative
            std::string prefix = pending >= 0 ? label(pending) + ":" : "";
            if (wordAt(line(), pos_, "else")) {
                pos_ += 4;
                sawElse = true;
                if (pending >= 0) emit(prefix);
                pending = -1;
                if (!body()) return false;
                continue;
            }
            std::string values;
            if (peek() != '(' || !group(values)) return false;
            int following = newLabel();
            emit(prefix + "->(~" + cs + "?(" + values + "))/" + label(following));
            if (!body()) return false;
            emit("->" + label(end));
            pending = following;
        }
        if (pending >= 0) {
            // The last alternative's jump to the end would land on the next line.
            out_.lines.pop_back();
            emit(label(pending) + ":");
        }
        emit(label(end) + ":");
        return true;
    }

    std::span<const TaggedLine> in_;
    std::size_t line_ = 0;
    std::size_t pos_ = 0;
    int tag_ = -1;
    int depth_ = 0;
    int nextLabel_ = 1;
    int nameNumber_;
    std::vector<int> loopExits_;
    ControlRewrite& out_;
};

}  // namespace

int firstNameNumber(const RandomSource& random) {
    return static_cast<int>(random() % kNameNumberSpread) + 1;
}

Rc rewriteControl(std::span<const TaggedLine> body, int firstNameNumber, ControlRewrite& out) {
    out = ControlRewrite{};
    Rewriter r(body, firstNameNumber, out);
    if (r.run()) {
        out.origins.resize(out.lines.size());
        return kOk;
    }
    int tag = r.failedTag();
    out = ControlRewrite{};
    out.errorTag = tag;
    return kDefinitionError;
}

}  // namespace wox::frontend
