// Fuzz target for reading CSV text. The first byte chooses the separator;
// the rest is the file. Text that splits must write back (each field quoted
// where it must be) into text that splits into the very same fields; every
// field of every column converts as its inferred type, and numbers and
// temporal values that read write back into texts that read as the same
// value.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "csv_file/csv_fields.h"
#include "csv_file/csv_records.h"
#include "sandbox.h"

namespace {

using namespace wox::csv_file;

constexpr char kSeparators[] = {',', ';', '\t', '|'};

// Written back as the command CSV writes: a record of one empty field is "".
std::string writtenBack(const Records& r, char separator) {
    std::string out;
    for (std::int64_t i = 0; i < r.count(); ++i) {
        const std::size_t start = out.size();
        for (std::int32_t c = 0; c < r.width; ++c) {
            if (c > 0) out += separator;
            appendField(out, r.field(i, c), separator);
        }
        if (out.size() == start) out += "\"\"";
        out += '\n';
    }
    return out;
}

void checkValues(const Records& r) {
    for (std::int32_t c = 0; c < r.width; ++c) {
        std::int32_t kind = 0;
        const ColumnKind k = inferKind(r, c, 1, &kind);
        for (std::int64_t i = 1; i < r.count(); ++i) {
            std::string_view f = r.field(i, c);
            if (f.empty()) continue;
            std::string back;
            if (k == ColumnKind::Integer) {
                std::int32_t v = 0, again = 0;
                if (!readInteger(f, &v)) std::abort();
                appendInteger(back, v);
                if (!readInteger(back, &again) || again != v) std::abort();
            } else if (k == ColumnKind::Float) {
                double v = 0, again = 0;
                if (!readFloat(f, &v)) std::abort();
                appendFloat(back, v);
                if (std::isnan(v)) continue;
                if (!readFloat(back, &again) || std::bit_cast<std::uint64_t>(again) != std::bit_cast<std::uint64_t>(v))
                    std::abort();
            } else if (k == ColumnKind::Temporal) {
                wox::types::TemporalWord w = 0, again = 0;
                if (!readTemporal(f, &w) || wox::types::temporalKind(w) != kind) std::abort();
                appendTemporal(back, w);
                if (!readTemporal(back, &again) || again != w) std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = kSeparators[data[0] % 4];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    Records r;
    Fault fault;
    if (!splitRecords(text, separator, r, fault)) {
        if (fault.message == 0 || fault.line < 0) std::abort();
        return 0;
    }
    for (const Field& f : r.fields)
        if (static_cast<std::uint64_t>(f.at) + f.size > r.text.size()) std::abort();
    Records again;
    if (!splitRecords(writtenBack(r, separator), separator, again, fault)) std::abort();
    if (again.width != r.width || again.count() != r.count()) std::abort();
    for (std::int64_t i = 0; i < r.count(); ++i)
        for (std::int32_t c = 0; c < r.width; ++c)
            if (again.field(i, c) != r.field(i, c)) std::abort();
    checkValues(r);
    return 0;
}
