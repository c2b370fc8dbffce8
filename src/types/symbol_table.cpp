#include "types/symbol_table.h"

#include <algorithm>
#include <cstring>

#include "values/messages.h"

namespace wox::types {

SymbolTable::SymbolTable(int capacity) : capacity_(capacity < 1 ? 1 : capacity) { reset(); }

void SymbolTable::reset() {
    nodes_.clear();
    text_.clear();
    root_ = -1;
    std::int32_t empty = 0;
    (void)intern({}, &empty);
}

int SymbolTable::compare(std::string_view a, std::int32_t node) const {
    const Node& n = nodes_[node];
    std::string_view b(text_.data() + n.text, static_cast<std::size_t>(n.length));
    std::size_t k = std::min(a.size(), b.size());
    int c = k ? std::memcmp(a.data(), b.data(), k) : 0;  // memcmp compares unsigned bytes
    if (c != 0) return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::int32_t SymbolTable::find(std::string_view name) const {
    std::int32_t n = root_;
    while (n >= 0) {
        int c = compare(name, n);
        if (c == 0) return n;
        n = c < 0 ? nodes_[n].left : nodes_[n].right;
    }
    return -1;
}

std::string_view SymbolTable::name(std::int32_t i) const {
    if (i < 0 || i >= static_cast<std::int32_t>(nodes_.size())) return {};
    const Node& n = nodes_[i];
    return {text_.data() + n.text, static_cast<std::size_t>(n.length)};
}

Rc SymbolTable::intern(std::string_view name, std::int32_t* index) {
    if (name.size() > static_cast<std::size_t>(kMaxSymbolLength)) return kSyntaxError;
    std::int32_t found = find(name);
    if (found >= 0) {
        *index = found;
        return kOk;
    }
    if (static_cast<int>(nodes_.size()) >= capacity_) return kTableFull;
    bool grew = false;
    root_ = insert(root_, name, index, &grew);
    return kOk;
}

std::int32_t SymbolTable::insert(std::int32_t n, std::string_view name, std::int32_t* index, bool* grew) {
    if (n < 0) {
        Node fresh;
        fresh.text = static_cast<std::int32_t>(text_.size());
        fresh.length = static_cast<std::int32_t>(name.size());
        text_.append(name);
        nodes_.push_back(fresh);
        *index = static_cast<std::int32_t>(nodes_.size()) - 1;
        *grew = true;
        return *index;
    }
    int c = compare(name, n);
    if (c == 0) {  // not reached: intern() looks the name up first
        *index = n;
        *grew = false;
        return n;
    }
    if (c < 0) {
        std::int32_t l = insert(nodes_[n].left, name, index, grew);
        nodes_[n].left = l;
        if (!*grew) return n;
        Node& p = nodes_[n];
        if (p.balance > 0) {
            p.balance = 0;
            *grew = false;
            return n;
        }
        if (p.balance == 0) {
            p.balance = -1;
            return n;
        }
        *grew = false;
        Node& a = nodes_[l];
        if (a.balance < 0) {  // left-left: one rotation
            p.left = a.right;
            a.right = n;
            p.balance = 0;
            a.balance = 0;
            return l;
        }
        std::int32_t m = a.right;  // left-right: two rotations
        Node& b = nodes_[m];
        a.right = b.left;
        p.left = b.right;
        b.left = l;
        b.right = n;
        p.balance = b.balance < 0 ? 1 : 0;
        a.balance = b.balance > 0 ? -1 : 0;
        b.balance = 0;
        return m;
    }
    std::int32_t r = insert(nodes_[n].right, name, index, grew);
    nodes_[n].right = r;
    if (!*grew) return n;
    Node& p = nodes_[n];
    if (p.balance < 0) {
        p.balance = 0;
        *grew = false;
        return n;
    }
    if (p.balance == 0) {
        p.balance = 1;
        return n;
    }
    *grew = false;
    Node& a = nodes_[r];
    if (a.balance > 0) {  // right-right
        p.right = a.left;
        a.left = n;
        p.balance = 0;
        a.balance = 0;
        return r;
    }
    std::int32_t m = a.left;  // right-left
    Node& b = nodes_[m];
    a.left = b.right;
    p.right = b.left;
    b.right = r;
    b.left = n;
    p.balance = b.balance > 0 ? -1 : 0;
    a.balance = b.balance < 0 ? 1 : 0;
    b.balance = 0;
    return m;
}

int SymbolTable::heightOf(std::int32_t node) const {
    if (node < 0) return 0;
    return 1 + std::max(heightOf(nodes_[node].left), heightOf(nodes_[node].right));
}

int SymbolTable::height() const { return heightOf(root_); }

}  // namespace wox::types
