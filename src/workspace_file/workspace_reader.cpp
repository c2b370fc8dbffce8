#include "workspace_file/workspace_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/do_statement.h"
#include "engine/workspace_clear.h"
#include "frontend/builtin_names.h"
#include "types/temporal.h"
#include "frontend/function_store.h"
#include "frontend/function_text.h"
#include "frontend/name_table.h"
#include "vocabulary/char_class.h"
#include "workspace_file/archive.h"
#include "workspace_file/content_check.h"
#include "workspace_file/file_format.h"
#include "workspace_file/loaded_values.h"
#include "workspace_file/stored_records.h"
#include "workspace_file/suspended_calls.h"

namespace wox::workspace_file {

namespace {

using frontend::NameEntry;
using frontend::TaggedLine;

struct StoredFunction {
    std::string name;
    std::vector<TaggedLine> lists[3];
};

class BodyReader {
public:
    BodyReader(Interpreter& in, InputArchive& a, std::int32_t version)
        : in_(in),
          a_(a),
          oldest_(version == kOldestVersion),
          fromZero_(version <= kNumberedFromZeroVersion),
          recordTable_(version <= kRecordTableVersion) {}

    bool read();

private:
    // A counter that must lie in [low, limit); false otherwise.
    bool counter(std::int32_t* v, std::int32_t low, std::int32_t limit) {
        return a_.word(v) && *v >= low && *v < limit;
    }
    bool skipEntries(std::int32_t last, int bytes) {
        return a_.skip(static_cast<std::size_t>(last + 1) * static_cast<std::size_t>(bytes));
    }
    bool readLines(std::int32_t count, std::vector<TaggedLine>& out);
    bool rebuildFunction(int slot, StoredFunction& f);
    bool checkNames(std::int32_t lastFunction);
    bool checkValues(std::int32_t heapTop, std::int64_t shift, std::int32_t reserved, std::int32_t lastGlobal);

    Interpreter& in_;
    InputArchive& a_;
    bool oldest_;    // version 2: narrower entries, no local area, stacks or error trace
    bool fromZero_;  // versions 2 and 3: functions numbered from 0
    bool recordTable_;  // versions up to 4: temporal elements index a table of records
    std::vector<types::TemporalWord> recordWords_;  // that table, as the words its records become
};

bool BodyReader::readLines(std::int32_t count, std::vector<TaggedLine>& out) {
    // Every entry takes at least five bytes: no count can ask for more
    // memory than the file could fill.
    if (count < 0 || static_cast<std::size_t>(count) > a_.remaining() / 5) return false;
    out.resize(static_cast<std::size_t>(count));
    for (TaggedLine& l : out)
        if (!a_.word(&l.tag) || !a_.string(&l.text)) return false;
    return true;
}

bool BodyReader::rebuildFunction(int slot, StoredFunction& f) {
    if (f.name.empty()) return f.lists[0].empty() && f.lists[1].empty() && f.lists[2].empty();
    std::vector<std::string> texts;
    for (const TaggedLine& l : f.lists[0]) texts.push_back(l.text);
    frontend::DefinedFunction df;
    if (frontend::makeFunctionText(texts, df.text, df.header).failed() || df.text.name != f.name) return false;
    df.text.source = std::move(f.lists[0]);
    df.text.statements = frontend::makeStatements(df.text.source);
    // The names the control rewriting invented are numbered from one of a
    // few starting numbers; the stored lines tell which.
    frontend::ControlRewrite chosen;
    bool found = false;
    for (int n = 1; n <= frontend::kNameNumberSpread && !found; ++n) {
        frontend::FunctionText t = df.text;
        frontend::ControlRewrite rewrite;
        if (frontend::makeExecutable(t, n, rewrite).failed()) return false;
        if (n == 1 || t.executable == f.lists[2]) {
            df.text.executable = std::move(t.executable);
            df.text.origins = std::move(t.origins);
            chosen = std::move(rewrite);
            found = df.text.executable == f.lists[2];
        }
    }
    df.generated = frontend::generatedLocals(df.header, chosen);
    frontend::FunctionStore& fs = in_.functions;
    if (fs.definitions.size() <= static_cast<std::size_t>(slot)) fs.definitions.resize(static_cast<std::size_t>(slot) + 1);
    fs.records[static_cast<std::size_t>(slot)] = frontend::untranslatedRecord(df, slot, -1);
    fs.definitions[static_cast<std::size_t>(slot)] = std::move(df);
    return true;
}

// User names start with a letter and go on with letters, digits and "_";
// anything else could hide a built-in name.
bool nameText(const char* p, std::size_t n, bool first) {
    if (n == 0) return !first;
    if (first && !vocabulary::isLetter(p[0])) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!vocabulary::isNameChar(p[i])) return false;
    return true;
}

bool BodyReader::checkNames(std::int32_t lastFunction) {
    frontend::FrontTables& ft = in_.front;
    values::Workspace& ws = in_.ws;
    std::vector<char> varUsed(static_cast<std::size_t>(kLocalRegionEnd), 0);
    for (int i = kBuiltinNames; i <= ft.lastGlobal; ++i) {
        NameEntry& e = ft.globals[static_cast<std::size_t>(i)];
        const void* end = std::memchr(e.head, 0, sizeof e.head);
        if (!end) return false;
        std::size_t headLength = static_cast<std::size_t>(static_cast<const char*>(end) - e.head);
        if (!nameText(e.head, headLength, true)) return false;
        if (e.tail != -1) {
            if (headLength != frontend::kNameHead || e.tail < 0 || e.tail > ft.lastTail) return false;
            const char* t = ft.tails.data() + e.tail;
            const void* tailEnd = std::memchr(t, 0, static_cast<std::size_t>(ft.lastTail - e.tail + 1));
            if (!tailEnd || !nameText(t, static_cast<std::size_t>(static_cast<const char*>(tailEnd) - t), false))
                return false;
        }
        if (e.kind == frontend::kVariableName) {
            if (e.slot < kFirstGlobalSlot || e.slot > ws.lastGlobalSlot || varUsed[static_cast<std::size_t>(e.slot)])
                return false;
            varUsed[static_cast<std::size_t>(e.slot)] = 1;
        } else if (e.kind == frontend::kFunctionName) {
            if (e.slot < kFirstUserFunction || e.slot > lastFunction) return false;
            const frontend::DefinedFunction* df = frontend::definedFunction(in_.functions, e.slot);
            frontend::FunctionRecord& r = in_.functions.records[static_cast<std::size_t>(e.slot)];
            if (!df || r.nameEntry != -1 || frontend::fullName(ft, e) != df->text.name) return false;
            r.nameEntry = i;
        } else {
            return false;
        }
    }
    for (int s = kFirstUserFunction; s <= lastFunction; ++s)
        if (frontend::definedFunction(in_.functions, s) && in_.functions.records[static_cast<std::size_t>(s)].nameEntry < 0)
            return false;
    return true;
}

bool BodyReader::checkValues(std::int32_t heapTop, std::int64_t shift, std::int32_t reserved,
                             std::int32_t lastGlobal) {
    values::Workspace& ws = in_.ws;
    const std::int32_t lastSymbol = in_.symbols.last();
    LoadedValues lv;
    lv.recordWords = recordTable_ ? &recordWords_ : nullptr;
    if (!lv.walkBlocks(ws, static_cast<std::uint32_t>(heapTop), shift)) return false;

    const ValueDescriptor& io = ws.vars[kIoSlot];
    if ((io.type != kInteger && io.type != kBoolean) || io.rank < 0 || io.rank > 1 || io.count != 1 ||
        io.blockSize != 0 || (io.shape0 != 0 && io.shape0 != 1))
        return false;
    for (int s = kSystemSlotOF; s <= kSystemSlotOF + reserved - 2; ++s)
        if (!lv.check(ws, ws.vars[static_cast<std::size_t>(s)], values::kOwnerVar | static_cast<std::uint32_t>(s), true,
                      lastSymbol))
            return false;
    const ValueDescriptor& av = ws.vars[kSystemSlotAV];
    const ValueDescriptor& lx = ws.vars[kSystemSlotLX];
    if (reserved > kSystemSlotAV - kSystemSlotOF + 1 && (av.type != kChar || av.rank != 1 || av.count != 256))
        return false;
    if (reserved > kSystemSlotLX - kSystemSlotOF + 1 && !lx.unset() && (lx.type != kChar || lx.rank > 1)) return false;
    for (int s = kFirstGlobalSlot; s <= lastGlobal; ++s)
        if (!lv.check(ws, ws.vars[static_cast<std::size_t>(s)], values::kOwnerVar | static_cast<std::uint32_t>(s), true,
                      lastSymbol))
            return false;
    for (int s = ws.lowestLocalSlot; s < kLocalRegionEnd; ++s)
        if (!lv.check(ws, ws.vars[static_cast<std::size_t>(s)], values::kOwnerVar | static_cast<std::uint32_t>(s), true,
                      lastSymbol))
            return false;
    lv.freeUnclaimed(ws);
    ws.adoptOwnedRegion(static_cast<std::uint32_t>(heapTop));
    return true;
}

bool BodyReader::read() {
    values::Workspace& ws = in_.ws;
    frontend::FrontTables& ft = in_.front;
    frontend::FunctionStore& fs = in_.functions;
    const Capacities& caps = ws.caps;
    const std::int32_t heapSize = static_cast<std::int32_t>(ws.region.size());
    std::int32_t v = 0;

    std::int32_t fileHeap = 0;
    if (!a_.word(&fileHeap) || fileHeap <= 0) return false;
    const std::int64_t shift = std::int64_t{heapSize} - fileHeap;

    // Local names: those bound by suspended calls are kept; the rest belong
    // to translated bodies, which are translated afresh.
    std::int32_t lastLocal = 0;
    if (!counter(&lastLocal, -1, std::min(kMaxLocalNames, caps.localNames))) return false;
    if (!a_.bytes(ft.locals.data(), static_cast<std::size_t>(lastLocal + 1) * kNameEntryBytes)) return false;

    std::int32_t lastGlobal = 0;
    if (!counter(&lastGlobal, -1, std::min(kMaxGlobalNames, caps.globalNames))) return false;
    if (!a_.bytes(ft.globals.data(), static_cast<std::size_t>(lastGlobal + 1) * kNameEntryBytes)) return false;
    if (fromZero_) {
        for (int i = 0; i <= lastGlobal; ++i) {
            NameEntry& e = ft.globals[static_cast<std::size_t>(i)];
            if (e.kind == frontend::kFunctionName && e.slot >= 0) e.slot += kFirstUserFunction;
        }
    }

    std::int32_t lastFunction = 0;
    if (fromZero_) {
        if (!counter(&lastFunction, -1, kMaxFunctionsFromZero)) return false;
        if (!skipEntries(lastFunction, kFunctionRecordBytes)) return false;
        lastFunction += kFirstUserFunction;
    } else {
        if (!counter(&lastFunction, kFirstUserFunction - 1, kMaxFunctions)) return false;
        if (!skipEntries(lastFunction - kFirstUserFunction, kFunctionRecordBytes)) return false;
    }
    if (lastFunction >= static_cast<std::int32_t>(fs.records.size())) return false;

    // What translated lines were made of is given back before every line.
    if (!counter(&v, -1, std::min(kMaxParseNodes, caps.parseNodes)) || !skipEntries(v, kParseNodeBytes)) return false;
    if (!counter(&v, -1, std::min(kMaxFunctionEntries, caps.functionEntries)) || !skipEntries(v, kFunctionEntryBytes))
        return false;
    if (!counter(&v, -1, std::min(kMaxBranches, caps.branches)) || !skipEntries(v, kBranchEntryBytes)) return false;
    if (!counter(&v, -1, kMaxOverflow) || !skipEntries(v, 4)) return false;

    std::int32_t gListFill = 0;
    if (!counter(&gListFill, 0, std::min(kMaxGList, caps.gList))) return false;
    if (!a_.bytes(ws.gList.data(), static_cast<std::size_t>(gListFill) * 4) || !a_.skip(4)) return false;
    ws.gListFill = gListFill;

    // The call-trace stack. Version 2's narrower levels and stores no
    // bindings: its suspended calls are read past.
    std::int32_t lastLevel = 0;
    if (!counter(&lastLevel, -1, std::min(kMaxCallTrace, caps.callTrace))) return false;
    std::vector<engine::CallTraceEntry> levels;
    if (oldest_) {
        if (!skipEntries(lastLevel, 4)) return false;
    } else {
        levels.resize(static_cast<std::size_t>(lastLevel + 1));
        if (!a_.bytes(levels.data(), levels.size() * kPairBytes)) return false;
        if (fromZero_)
            for (engine::CallTraceEntry& e : levels)
                if (e.function >= 0) e.function += kFirstUserFunction;
    }

    std::int32_t lastTail = 0;
    if (!counter(&lastTail, -1, std::min(kMaxTail, caps.tailStore))) return false;
    if (oldest_) {
        // One character to a word.
        for (int i = 0; i <= lastTail; ++i) {
            std::int32_t c = 0;
            if (!a_.word(&c)) return false;
            ft.tails[static_cast<std::size_t>(i)] = static_cast<char>(c);
        }
    } else if (!a_.bytes(ft.tails.data(), static_cast<std::size_t>(lastTail + 1))) {
        return false;
    }
    ft.lastTail = lastTail;

    std::int32_t lastSymbol = 0;
    if (!counter(&lastSymbol, -1, std::min(kMaxSymbolIndex + 1, in_.symbols.capacity()))) return false;
    // Version 2 kept no symbol texts: its symbols cannot be rebuilt, and
    // values holding them are refused below.
    if (oldest_ && !skipEntries(lastSymbol, 4)) return false;
    std::string name;
    for (std::int32_t i = 0; !oldest_ && i <= lastSymbol; ++i) {
        std::int32_t stored = 0;
        if (!counter(&stored, 1, kMaxStoredSymbolLength + 1)) return false;
        name.resize(static_cast<std::size_t>(stored));
        if (!a_.bytes(name.data(), name.size()) || name.back() != '\0') return false;
        name.pop_back();
        std::int32_t index = 0;
        if (in_.symbols.intern(name, &index).failed() || index != i) return false;
    }

    if (recordTable_) {
        std::int32_t temporal = 0;
        if (!counter(&temporal, 0, kMaxTemporalRecords + 1)) return false;
        recordWords_.resize(static_cast<std::size_t>(temporal));
        static_assert(sizeof(types::TemporalFields) == kTemporalRecordBytes);
        for (types::TemporalWord& w : recordWords_) {
            types::TemporalFields r;
            if (!a_.bytes(&r, sizeof r) || types::composeTemporal(r, &w) != types::kTemporalOk) return false;
        }
    }

    std::int32_t used = 0;
    if (!counter(&used, 0, heapSize + 1) || used % 8 != 0) return false;
    const std::int32_t heapTop = heapSize - used;
    if (!a_.bytes(ws.base() + heapTop, static_cast<std::size_t>(used))) return false;

    if (!a_.bytes(&ws.vars[kIoSlot], sizeof(ValueDescriptor))) return false;
    std::int32_t reserved = 0;
    if (!counter(&reserved, 1, kBuiltinNames + 1) || kBuiltinNames > kMaxReservedNames) return false;
    for (int s = kSystemSlotOF; s <= kSystemSlotOF + reserved - 2; ++s)
        if (!readDescriptorRecord(a_, shift, ws.region.size(), &ws.vars[static_cast<std::size_t>(s)])) return false;

    std::int32_t lastVar = 0;
    if (!counter(&lastVar, kFirstGlobalSlot - 1, std::min(kMaxVariables, kLocalRegionEnd))) return false;
    for (int s = kFirstGlobalSlot; s <= lastVar; ++s)
        if (!readDescriptorRecord(a_, shift, ws.region.size(), &ws.vars[static_cast<std::size_t>(s)])) return false;
    ws.lastGlobalSlot = lastVar;

    ValueDescriptor dropped;
    std::int32_t lastConstant = 0;
    if (!counter(&lastConstant, -1, std::min(kMaxConstants, caps.constants))) return false;
    for (int s = kPresetConstants; s <= lastConstant; ++s)
        if (!readDescriptorRecord(a_, shift, ws.region.size(), &dropped)) return false;
    std::int32_t localArea = 0;
    if (!oldest_ && !counter(&localArea, 0, kLocalRegionEnd - lastVar)) return false;
    ws.lowestLocalSlot = kLocalRegionEnd - localArea;
    for (int s = ws.lowestLocalSlot; s < kLocalRegionEnd; ++s)
        if (!readDescriptorRecord(a_, shift, ws.region.size(), &ws.vars[static_cast<std::size_t>(s)])) return false;

    for (int s = kFirstUserFunction; s <= lastFunction; ++s) {
        StoredFunction f;
        std::int32_t attribute = 0, counts[3] = {0, 0, 0};
        if (!a_.string(&f.name) || !a_.word(&attribute)) return false;
        for (std::int32_t& c : counts)
            if (!a_.word(&c)) return false;
        for (int k = 0; k < 3; ++k)
            if (!readLines(counts[k], f.lists[k])) return false;
        if (!rebuildFunction(s, f)) return false;
    }
    fs.lastSlot = lastFunction;

    std::vector<frontend::ScopeBinding> bindings;
    if (!oldest_) {
        std::int32_t top = 0;
        if (!counter(&top, -1, std::min(kMaxShadowStack, static_cast<std::int32_t>(in_.scope.bindings.size()))))
            return false;
        bindings.resize(static_cast<std::size_t>(top + 1));
        if (!a_.bytes(bindings.data(), bindings.size() * kPairBytes)) return false;
    }

    std::int32_t traceWords = 0;
    if (!oldest_ && !a_.word(&traceWords)) return false;
    std::vector<std::int32_t> trace;
    if (traceWords > 0) {
        if (static_cast<std::size_t>(traceWords) > a_.remaining() / 4) return false;
        trace.resize(static_cast<std::size_t>(traceWords));
        if (!a_.bytes(trace.data(), trace.size() * 4)) return false;
    }

    // Reserved names: a file made when fewer names were reserved has its
    // own names moved up past ours.
    if (reserved < kBuiltinNames && lastGlobal >= reserved) {
        const int by = kBuiltinNames - reserved;
        if (lastGlobal + by >= caps.globalNames) return false;
        for (int i = lastGlobal; i >= reserved; --i) ft.globals[static_cast<std::size_t>(i + by)] = ft.globals[static_cast<std::size_t>(i)];
        lastGlobal += by;
    }
    frontend::enterBuiltinNames(ft, fs);
    ft.lastGlobal = std::max(lastGlobal, kBuiltinNames - 1);
    if (!checkNames(lastFunction)) return false;
    if (!checkValues(heapTop, shift, reserved, lastVar)) return false;
    if (!restoreSuspendedCalls(in_, levels, bindings, lastLocal)) return false;
    if (reserved <= kSystemSlotAV - kSystemSlotOF + 1) {
        // []AV was not stored: it gets its value as in a clear workspace.
        ValueDescriptor io = ws.vars[kIoSlot];
        ValueDescriptor of = ws.vars[kSystemSlotOF];
        ws.vars[kSystemSlotOF] = ValueDescriptor{};
        ws.vars[kSystemSlotOF].rank = -1;
        if (frontend::enterSystemValues(ws).failed()) return false;
        ws.vars[kIoSlot] = io;
        ws.vars[kSystemSlotOF] = of;
    }

    // The error trace, when it names a function of this workspace.
    if (trace.size() >= 3 && trace.size() <= static_cast<std::size_t>(kMaxErrorTraceWords)) {
        std::int32_t fn = trace[0];
        if (fromZero_ && fn >= 0) fn += kFirstUserFunction;
        const frontend::DefinedFunction* df = frontend::definedFunction(fs, fn);
        if (df && trace[2] >= 0) {
            engine::ErrorTrace& t = in_.errors.trace;
            t.recorded = true;
            t.function = fn;
            t.lastLine = trace[1];
            t.executed = static_cast<std::uint64_t>(trace[2]);
            t.lines.assign(trace.begin() + 3, trace.end());
            t.name = df->text.name;
        }
    }
    return true;
}

// Clears `in` and reads the body into it; a body refused anywhere leaves
// `in` clear.
LoadResult readBodyInto(Interpreter& in, InputArchive a, std::int32_t version) {
    (void)engine::clearWorkspace(in);
    frontend::enterInlineSystemValues(in.ws);
    BodyReader body(in, a, version);
    if (!body.read()) {
        (void)engine::clearWorkspace(in);
        return {false, version == kOldestVersion ? kOldLoadError : kLoadError};
    }
    // The program that writes this version ends the body at the file's end
    // or at its trailer; bytes left over are a trailer whose mark was damaged.
    if (version == kWrittenVersion && a.remaining() != 0) {
        (void)engine::clearWorkspace(in);
        return {false, kDamagedFile};
    }
    return {true, {}};
}

// The body is read into a scratch interpreter of the same capacities first,
// so a file refused anywhere leaves the workspace as it was; only then is
// `in` cleared and the body read into it, which, the reading being
// determined by the bytes and the capacities alone, succeeds alike. The
// scratch heap is given back before `in` reads: at most the old workspace
// and the new one are held at once.
LoadResult readBody(Interpreter& in, const InputArchive& body, std::int32_t version) {
    {
        Interpreter scratch(in.ws.caps);
        if (!scratch.ws.region.ok()) return {false, kNoRoomToCheck};
        if (LoadResult r = readBodyInto(scratch, body, version); !r.loaded) return r;
    }
    return readBodyInto(in, body, version);
}

}  // namespace

LoadResult readWorkspace(Interpreter& in, std::span<const unsigned char> file) {
    std::span<const unsigned char> bytes;
    const TrailerState trailer = checkTrailer(file, &bytes);
    if (trailer == TrailerState::Damaged) return {false, kDamagedFile};
    InputArchive a(bytes);
    char first[6];
    if (!a.bytes(first, sizeof first)) return {false, kNotAWoxFile};
    std::int32_t version = 0, stamp = 0;
    if (std::string_view(first, 6) == kOldMagic) {
        if (!a.word(&version) || !a.word(&stamp)) return {false, kNotAWoxFile};
        if (version != kOldestVersion) return {false, kUnknownVersion};
        return readBody(in, a, version);
    }
    if (std::any_of(first, first + 6, [](char c) { return c != '*'; })) return {false, kNotAWoxFile};
    std::string_view line;
    if (!a.line(&line)) return {false, kNotAWoxFile};  // the rest of the first line
    for (;;) {
        if (!a.line(&line)) return {false, kNotAWoxFile};
        if (!line.starts_with("**")) break;
    }
    if (!a.word(&version) || !a.word(&stamp)) return {false, kNotAWoxFile};
    if (version < kNumberedFromZeroVersion || version > kWrittenVersion) return {false, kUnknownVersion};
    // Every file of this version was written with its checksum: one without
    // has lost its end, or the checksum's own mark was damaged.
    if (version >= kSealedVersion && trailer == TrailerState::Absent) return {false, kDamagedFile};
    return readBody(in, a, version);
}

LoadResult loadWorkspaceFile(Interpreter& in, const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return {};
    }
    std::size_t size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
        close(fd);
        return readWorkspace(in, {});
    }
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return {};
    madvise(map, size, MADV_SEQUENTIAL);
    LoadResult r = readWorkspace(in, std::span<const unsigned char>(static_cast<const unsigned char*>(map), size));
    munmap(map, size);
    // A workspace saved with the query library loaded holds its functions:
    // they are the library's, reserved as they were.
    if (r.loaded) in.queryLibraryLoaded = engine::holdsQueryLibrary(in);
    return r;
}

}  // namespace wox::workspace_file
