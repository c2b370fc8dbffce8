#pragma once
// A tiny runner for rewritten function lines, for tests only: integer
// vectors, right-to-left evaluation without precedence, labels and branches,
// and just the primitives the control-structure templates and the tests use
// (+ - * < <= > >= = ~ # , ? / and indexing). It lets tests check what the
// rewritten lines do, not only what they say.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/tagged_line.h"

namespace wox::frontend::testing {

using Vec = std::vector<long>;

class LineMachine {
public:
    std::map<std::string, Vec> vars;
    long io = 1;

    // Runs lines 1.. of `lines` (entry 0 is the header); false when the step
    // limit is reached, which means the lines loop for ever.
    bool run(const std::vector<TaggedLine>& lines, int stepLimit = 100000) {
        labels_.clear();
        std::vector<std::string> bodies(lines.size());
        for (std::size_t n = 1; n < lines.size(); ++n) {
            std::string s = lines[n].text;
            std::size_t colon = s.find(':');
            if (colon != std::string::npos && std::isalpha(static_cast<unsigned char>(s[0])) &&
                s.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == colon) {
                labels_[s.substr(0, colon)] = static_cast<long>(n);
                s = s.substr(colon + 1);
            }
            bodies[n] = s;
        }
        std::size_t line = 1;
        for (int steps = 0; line >= 1 && line < lines.size(); ++steps) {
            if (steps == stepLimit) return false;
            const std::string& s = bodies[line];
            if (s.rfind("->", 0) == 0) {
                Vec target = evaluate(s.substr(2));
                if (target.empty()) {
                    ++line;
                } else {
                    line = static_cast<std::size_t>(target[0]);
                }
            } else {
                if (s.find_first_not_of(' ') != std::string::npos) evaluate(s);
                ++line;
            }
        }
        return true;
    }

    Vec evaluate(const std::string& text) {
        tokens_ = tokenize(text);
        at_ = 0;
        Vec v = expr();
        if (at_ != tokens_.size()) throw std::runtime_error("unread: " + text);
        return v;
    }

private:
    static std::vector<std::string> tokenize(const std::string& s) {
        std::vector<std::string> t;
        for (std::size_t i = 0; i < s.size();) {
            char c = s[i];
            if (c == ' ') {
                ++i;
            } else if (std::isalpha(static_cast<unsigned char>(c))) {
                std::size_t j = i;
                while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) ++j;
                t.push_back(s.substr(i, j - i));
                i = j;
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       (c == '_' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
                std::size_t j = i + 1;
                while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
                t.push_back("#" + s.substr(i, j - i));  // number token
                i = j;
            } else if (s.compare(i, 4, "[]IO") == 0) {
                t.push_back("[]IO");
                i += 4;
            } else if (s.compare(i, 2, "<-") == 0 || s.compare(i, 2, "<=") == 0 || s.compare(i, 2, ">=") == 0) {
                t.push_back(s.substr(i, 2));
                i += 2;
            } else {
                t.push_back(std::string(1, c));
                ++i;
            }
        }
        return t;
    }

    bool more() const { return at_ < tokens_.size(); }
    const std::string& peek() const { return tokens_[at_]; }
    static bool isName(const std::string& t) { return std::isalpha(static_cast<unsigned char>(t[0])); }
    static bool isNumber(const std::string& t) { return t.size() > 1 && t[0] == '#'; }

    Vec expr() {
        if (more() && isName(peek()) && at_ + 1 < tokens_.size() && tokens_[at_ + 1] == "<-") {
            std::string name = tokens_[at_];
            at_ += 2;
            return vars[name] = expr();
        }
        if (more() && peek() == "[]IO" && at_ + 1 < tokens_.size() && tokens_[at_ + 1] == "<-") {
            at_ += 2;
            Vec v = expr();
            io = v.at(0);
            return v;
        }
        if (more() && (peek() == "~" || peek() == "#" || peek() == "," || peek() == "-")) {
            std::string f = tokens_[at_++];
            return monadic(f, expr());
        }
        Vec left = operand();
        if (!more() || peek() == ")" || peek() == "]") return left;
        std::string f = tokens_[at_++];
        return dyadic(f, left, expr());
    }

    Vec operand() {
        if (!more()) throw std::runtime_error("operand expected");
        std::string t = tokens_[at_++];
        Vec v;
        if (t == "(") {
            v = expr();
            expect(")");
        } else if (t == "[]IO") {
            v = {io};
        } else if (isNumber(t)) {
            v.push_back(number(t));
            while (more() && isNumber(peek())) v.push_back(number(tokens_[at_++]));
        } else if (isName(t)) {
            auto label = labels_.find(t);
            if (label != labels_.end()) {
                v = {label->second};
            } else {
                auto var = vars.find(t);
                if (var == vars.end()) throw std::runtime_error("value error: " + t);
                v = var->second;
            }
        } else {
            throw std::runtime_error("operand expected: " + t);
        }
        while (more() && peek() == "[") {
            ++at_;
            Vec index = expr();
            expect("]");
            Vec picked;
            for (long i : index) picked.push_back(v.at(static_cast<std::size_t>(i - io)));
            v = picked;
        }
        return v;
    }

    void expect(const char* t) {
        if (!more() || peek() != t) throw std::runtime_error(std::string("expected ") + t);
        ++at_;
    }
    static long number(const std::string& t) {
        return t[1] == '_' ? -std::atol(t.c_str() + 2) : std::atol(t.c_str() + 1);
    }

    static Vec monadic(const std::string& f, const Vec& r) {
        Vec z;
        if (f == "#") return {static_cast<long>(r.size())};
        if (f == ",") return r;
        for (long x : r) z.push_back(f == "~" ? !x : -x);
        return z;
    }

    static Vec dyadic(const std::string& f, const Vec& l, const Vec& r) {
        if (f == ",") {
            Vec z = l;
            z.insert(z.end(), r.begin(), r.end());
            return z;
        }
        if (f == "?") {
            Vec z;
            for (long x : l) z.push_back(std::find(r.begin(), r.end(), x) != r.end());
            return z;
        }
        if (f == "/") {
            Vec z;
            std::size_t n = std::max(l.size(), r.size());
            for (std::size_t i = 0; i < n; ++i) {
                long keep = l.at(l.size() == 1 ? 0 : i), x = r.at(r.size() == 1 ? 0 : i);
                for (long k = 0; k < keep; ++k) z.push_back(x);
            }
            return z;
        }
        if (l.size() != r.size() && l.size() != 1 && r.size() != 1) throw std::runtime_error("length error");
        Vec z;
        std::size_t n = std::max(l.size(), r.size());
        for (std::size_t i = 0; i < n; ++i) {
            long a = l[l.size() == 1 ? 0 : i], b = r[r.size() == 1 ? 0 : i];
            if (f == "+") z.push_back(a + b);
            else if (f == "-") z.push_back(a - b);
            else if (f == "*") z.push_back(a * b);
            else if (f == "<") z.push_back(a < b);
            else if (f == "<=") z.push_back(a <= b);
            else if (f == ">") z.push_back(a > b);
            else if (f == ">=") z.push_back(a >= b);
            else if (f == "=") z.push_back(a == b);
            else throw std::runtime_error("unknown function " + f);
        }
        return z;
    }

    std::vector<std::string> tokens_;
    std::size_t at_ = 0;
    std::map<std::string, long> labels_;
};

}  // namespace wox::frontend::testing
