#include "workspace_file/workspace_writer.h"

#include <cstring>

#include "frontend/function_store.h"
#include "values/file_replacement.h"
#include "values/messages.h"
#include "workspace_file/file_format.h"
#include "workspace_file/stored_records.h"

namespace wox::workspace_file {

namespace {

template <class T>
void block(OutputArchive& out, const std::vector<T>& table, int first, int last) {
    if (last < first) return;
    out.bytes(table.data() + first, sizeof(T) * static_cast<std::size_t>(last - first + 1));
}

void descriptors(OutputArchive& out, const std::vector<ValueDescriptor>& table, int first, int last) {
    for (int s = first; s <= last; ++s) writeDescriptorRecord(out, table[static_cast<std::size_t>(s)]);
}

void lines(OutputArchive& out, const std::vector<frontend::TaggedLine>& list) {
    for (const frontend::TaggedLine& l : list) {
        out.word(l.tag);
        out.string(l.text);
    }
}

}  // namespace

Rc writeWorkspace(const Interpreter& in, OutputArchive& out, std::string_view path) {
    const values::Workspace& ws = in.ws;
    const frontend::FrontTables& ft = in.front;
    const frontend::FunctionStore& fs = in.functions;
    // The gList counter must stay below its capacity in the file.
    if (ws.gListFill >= kMaxGList || ws.gListFill >= static_cast<int>(ws.gList.size())) return kGListFull;

    out.text(kHeaderRule);
    out.text("\r\n");
    out.text(kHeaderProduct);
    out.text("\r\n");
    out.text(kHeaderFormat);
    out.text("\r\n");
    out.text(kHeaderFileName);
    out.text(path);
    out.text("\r\n");
    out.text(kHeaderRule);
    out.text("\r\n\r\n");

    out.word(kWrittenVersion);
    out.word(kFormatStamp);
    out.word(static_cast<std::int32_t>(ws.region.size()));

    out.word(ft.lastLocal);
    block(out, ft.locals, 0, ft.lastLocal);
    out.word(ft.lastGlobal);
    block(out, ft.globals, 0, ft.lastGlobal);
    out.word(fs.lastSlot);
    for (int s = kFirstUserFunction; s <= fs.lastSlot; ++s) {
        frontend::FunctionRecord r = storedRecord(fs, s);
        out.bytes(&r, sizeof r);
    }
    out.word(ft.lastNode);
    block(out, ft.nodes, 0, ft.lastNode);
    out.word(ft.lastEntry);
    block(out, ft.entries, 0, ft.lastEntry);
    out.word(ft.lastBranch);
    block(out, ft.branches, 0, ft.lastBranch);
    // The overflow counter counts nothing here; its one word is zero.
    out.word(0);
    out.word(0);
    out.word(ws.gListFill);
    block(out, ws.gList, 0, ws.gListFill - 1);
    out.word(0);  // the spare word after the last run

    out.word(in.errors.depth);
    for (int d = 0; d <= in.errors.depth; ++d) {
        const engine::CallTraceEntry& e = in.errors.callTrace[static_cast<std::size_t>(d)];
        out.word(e.function);
        out.word(e.line);
    }
    out.word(ft.lastTail);
    block(out, ft.tails, 0, ft.lastTail);

    const std::int32_t lastSymbol = in.symbols.last();
    out.word(lastSymbol);
    for (std::int32_t i = 0; i <= lastSymbol; ++i) {
        std::string_view name = in.symbols.name(i);
        out.word(static_cast<std::int32_t>(name.size()) + 1);
        out.text(name);
        out.bytes("", 1);
    }
    const std::uint32_t used = ws.region.size() - ws.heapTop;
    out.word(static_cast<std::int32_t>(used));
    out.bytes(ws.base() + ws.heapTop, used);

    out.bytes(&ws.vars[kIoSlot], sizeof(ValueDescriptor));
    out.word(kBuiltinNames);
    descriptors(out, ws.vars, kSystemSlotOF, kSystemSlotOF + kBuiltinNames - 2);
    out.word(ws.lastGlobalSlot);
    descriptors(out, ws.vars, kFirstGlobalSlot, ws.lastGlobalSlot);
    out.word(ws.lastConstant);
    descriptors(out, ws.consts, kPresetConstants, ws.lastConstant);
    out.word(kLocalRegionEnd - ws.lowestLocalSlot);
    descriptors(out, ws.vars, ws.lowestLocalSlot, kLocalRegionEnd - 1);

    for (int s = kFirstUserFunction; s <= fs.lastSlot; ++s) {
        const frontend::DefinedFunction* df = frontend::definedFunction(fs, s);
        if (!df) {
            out.string("");
            for (int w = 0; w < 4; ++w) out.word(0);
            continue;
        }
        out.string(df->text.name);
        out.word(0);  // attribute word
        out.word(static_cast<std::int32_t>(df->text.source.size()));
        out.word(static_cast<std::int32_t>(df->text.statements.size()));
        out.word(static_cast<std::int32_t>(df->text.executable.size()));
        lines(out, df->text.source);
        lines(out, df->text.statements);
        lines(out, df->text.executable);
    }

    out.word(in.scope.top);
    block(out, in.scope.bindings, 0, in.scope.top);

    std::vector<std::int32_t> trace = errorTraceWords(in);
    out.word(trace.empty() ? -1 : static_cast<std::int32_t>(trace.size()));
    for (std::int32_t w : trace) out.word(w);

    const auto trailer = trailerFor(out.check());
    out.bytes(trailer.data(), trailer.size());
    return kOk;
}

bool saveWorkspaceFile(const Interpreter& in, const std::string& path, std::string* problem) {
    values::FileReplacement file;
    if (!file.open(path, ".wox-save-", problem)) return false;
    OutputArchive out(file.fd());
    Rc rc = writeWorkspace(in, out, path);
    if (rc.failed()) {
        *problem = std::string(messageText(rc.code));
        return false;
    }
    if (!out.flush()) {
        *problem = "cannot save " + path + ": " + std::strerror(out.error());
        return false;
    }
    return file.commit(problem);
}

}  // namespace wox::workspace_file
