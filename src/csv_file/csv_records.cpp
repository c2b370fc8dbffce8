#include "csv_file/csv_records.h"

#include <algorithm>
#include <cstring>

#include "values/messages.h"

namespace wox::csv_file {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::int64_t lineOf(std::string_view text, std::size_t at) {
    return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
}

}  // namespace

std::size_t invalidUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, s + i, 8);
            if ((w & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra;
        std::uint32_t lowest;
        if (c >= 0xC2 && c <= 0xDF) extra = 1, lowest = 0x80;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2, lowest = 0x800;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3, lowest = 0x10000;
        else return i;
        if (i + extra >= n) return i;
        std::uint32_t cp = c & (0x3F >> extra);
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond U+10FFFF.
        if (cp < lowest || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return i;
        i += extra + 1;
    }
    return std::string_view::npos;
}

bool splitRecords(std::string bytes, char separator, Records& out, Fault& fault) {
    out = Records{};
    if (bytes.size() > kMaxText) {
        fault = Fault{kWorkspaceFull, 0, 0};
        return false;
    }
    if (std::size_t bad = invalidUtf8(bytes); bad != std::string_view::npos) {
        fault = Fault{kCsvNotText, lineOf(bytes, bad), 0};
        return false;
    }
    std::size_t p = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    out.text = std::move(bytes);
    char* t = out.text.data();
    const std::size_t n = out.text.size();
    std::int64_t line = 1;
    std::int32_t fieldsInRecord = 0;
    bool first = true;
    while (p < n) {
        const std::int64_t recordLine = line;
        fieldsInRecord = 0;
        // One record: fields until a line end or the end of the text.
        for (;;) {
            std::size_t start = p, end = p;
            if (p < n && t[p] == '"') {
                const std::int64_t quoteLine = line;
                std::size_t w = p;
                ++p;
                for (;;) {
                    const char* q = static_cast<const char*>(std::memchr(t + p, '"', n - p));
                    if (!q) {
                        fault = Fault{kCsvQuote, quoteLine, fieldsInRecord + 1};
                        return false;
                    }
                    const std::size_t at = static_cast<std::size_t>(q - t);
                    line += std::count(t + p, t + at, '\n');
                    std::memmove(t + w, t + p, at - p);
                    w += at - p;
                    p = at + 1;
                    if (p < n && t[p] == '"') {
                        t[w++] = '"';
                        ++p;
                        continue;
                    }
                    break;
                }
                if (p < n && t[p] != separator && t[p] != '\n' && t[p] != '\r') {
                    fault = Fault{kCsvQuote, line, fieldsInRecord + 1};
                    return false;
                }
                end = w;
            } else {
                while (p < n && t[p] != separator && t[p] != '\n' && t[p] != '\r') ++p;
                end = p;
            }
            out.fields.push_back(Field{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)});
            ++fieldsInRecord;
            if (p < n && t[p] == separator) {
                ++p;
                continue;
            }
            break;
        }
        // The line end: "\n", "\r\n" or a lone "\r".
        if (p < n && t[p] == '\r') ++p;
        if (p < n && t[p] == '\n') ++p;
        ++line;
        if (first) {
            out.width = fieldsInRecord;
            first = false;
        } else if (fieldsInRecord != out.width) {
            fault = Fault{kCsvRagged, recordLine, 0};
            return false;
        }
        out.lines.push_back(recordLine);
    }
    if (first) {
        fault = Fault{kCsvEmpty, 1, 0};
        return false;
    }
    return true;
}

}  // namespace wox::csv_file
