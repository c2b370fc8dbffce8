#include "session/transcript.h"

#include <algorithm>

namespace wox::session {

void TextTranscript::append(std::string_view text) {
    // The line holding the selection start is the first one whose breaks can
    // change; lines above it keep their starts.
    auto k = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), selStart_) -
                                      starts_.begin() - 1);
    text_.replace(selStart_, selEnd_ - selStart_, text);
    starts_.resize(k + 1);
    rescanFrom(selStart_);
    selStart_ += text.size();
    selEnd_ = selStart_;
    forgetOldLines();
}

void TextTranscript::rescanFrom(std::size_t offset) {
    for (std::size_t i = text_.find('\n', offset); i != std::string::npos; i = text_.find('\n', i + 1))
        starts_.push_back(i + 1);
}

void TextTranscript::forgetOldLines() {
    if (keep_ == std::numeric_limits<std::size_t>::max() || text_.size() / 2 <= keep_) return;
    // Keep the line holding the selection and everything after it.
    std::size_t limit = std::min(text_.size() - keep_, selStart_);
    auto j = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), limit) -
                                      starts_.begin() - 1);
    if (j == 0) return;
    std::size_t cut = starts_[j];
    text_.erase(0, cut);
    starts_.erase(starts_.begin(), starts_.begin() + static_cast<std::ptrdiff_t>(j));
    for (std::size_t& s : starts_) s -= cut;
    selStart_ -= cut;
    selEnd_ -= cut;
    dropped_ += cut;
    // Line numbers are ints. A stream that has run for a billion lines
    // starts numbering again at its oldest held line; nothing that forgets
    // lines ever addresses one it no longer holds.
    if (droppedLines_ > kRenumberAt - static_cast<int>(j)) droppedLines_ = 0;
    else droppedLines_ += static_cast<int>(j);
}

void TextTranscript::countForgottenLines(int lines) { droppedLines_ = lines; }

void TextTranscript::caretToEnd() { selStart_ = selEnd_ = text_.size(); }

int TextTranscript::localLine(int n) const {
    int local = n - droppedLines_;
    if (n < 0 || local < 0 || local >= static_cast<int>(starts_.size())) return -1;
    return local;
}

std::pair<std::size_t, std::size_t> TextTranscript::lineSpan(int local) const {
    auto i = static_cast<std::size_t>(local);
    std::size_t begin = starts_[i];
    if (i + 1 == starts_.size()) return {begin, text_.size()};
    std::size_t end = starts_[i + 1] - 1;  // the '\n'
    if (end > begin && text_[end - 1] == '\r') --end;
    return {begin, end};
}

void TextTranscript::selectInputLine() {
    auto [b, e] = lineSpan(static_cast<int>(starts_.size()) - 1);
    selStart_ = b;
    selEnd_ = e;
}

void TextTranscript::selectLine(int n) {
    int local = localLine(n);
    if (local < 0) {
        // A line that is not held has nothing to select: stay out of the way
        // of the lines that are.
        caretToEnd();
        return;
    }
    auto [b, e] = lineSpan(local);
    selStart_ = b;
    selEnd_ = e;
}

int TextTranscript::lineCount() const { return droppedLines_ + static_cast<int>(starts_.size()); }

std::string TextTranscript::readLine(int n) const {
    int local = localLine(n);
    if (local < 0) return {};
    auto [b, e] = lineSpan(local);
    return text_.substr(b, e - b);
}

std::size_t TextTranscript::lineLength(int n) const {
    int local = localLine(n);
    if (local < 0) return 0;
    auto [b, e] = lineSpan(local);
    return e - b;
}

std::size_t TextTranscript::lineStart(int n) const {
    if (n < droppedLines_) return dropped_;
    int local = localLine(n);
    if (local < 0) return dropped_ + text_.size();
    return dropped_ + starts_[static_cast<std::size_t>(local)];
}

std::string TextTranscript::wholeText() const { return text_; }

void TextTranscript::select(std::size_t start, std::size_t end) {
    auto clamp = [this](std::size_t at) {
        at = at < dropped_ ? 0 : at - dropped_;
        return std::min(at, text_.size());
    };
    selStart_ = clamp(std::min(start, end));
    selEnd_ = clamp(std::max(start, end));
}

int TextTranscript::caretLine() const {
    auto k = std::upper_bound(starts_.begin(), starts_.end(), selEnd_) - starts_.begin() - 1;
    return droppedLines_ + static_cast<int>(k);
}

}  // namespace wox::session
