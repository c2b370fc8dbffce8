#include "workspace_file/stored_records.h"

#include <limits>

namespace wox::workspace_file {

frontend::FunctionRecord storedRecord(const frontend::FunctionStore& fs, int slot) {
    const frontend::DefinedFunction* df = frontend::definedFunction(fs, slot);
    if (!df) return frontend::FunctionRecord{};
    return frontend::untranslatedRecord(*df, slot, fs.records[static_cast<std::size_t>(slot)].nameEntry);
}

void writeDescriptorRecord(OutputArchive& out, const ValueDescriptor& d) {
    if (d.unset()) {
        ValueDescriptor unset{};
        unset.rank = -1;
        out.bytes(&unset, sizeof unset);
        return;
    }
    out.bytes(&d, sizeof d);
    if (d.data != 0) out.word(static_cast<std::int32_t>(d.data));
}

bool readDescriptorRecord(InputArchive& in, std::int64_t shift, std::uint32_t heapSize, ValueDescriptor* d) {
    if (!in.bytes(d, sizeof *d)) return false;
    if (d->data == 0) return true;
    std::int32_t offset = 0;
    if (!in.word(&offset)) return false;
    std::int64_t at = static_cast<std::int64_t>(static_cast<std::uint32_t>(offset)) + shift;
    if (at <= 0 || at >= heapSize) {
        // Only a value with a block needs its data word; any other keeps none.
        if (d->blockSize != 0) return false;
        at = 0;
    }
    d->data = static_cast<std::uint32_t>(at);
    return true;
}

std::vector<std::int32_t> errorTraceWords(const Interpreter& in) {
    const engine::ErrorTrace& t = in.errors.trace;
    std::vector<std::int32_t> w;
    if (!t.recorded || t.function < 0) return w;
    w.push_back(t.function);
    w.push_back(t.lastLine);
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    w.push_back(static_cast<std::int32_t>(t.executed < kMax ? t.executed : kMax));
    w.insert(w.end(), t.lines.begin(), t.lines.end());
    return w;
}

}  // namespace wox::workspace_file
