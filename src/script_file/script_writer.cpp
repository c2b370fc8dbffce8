#include "script_file/script_writer.h"

#include <algorithm>

#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "script_file/rebuild_statement.h"
#include "script_file/tagged_value.h"
#include "values/keyed_value.h"

namespace wox::script_file {
namespace {

// A statement and the variables of the script it needs assigned first.
struct Waiting {
    std::string name;
    std::string statement;
    std::vector<std::string> needs;
};

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Whether d lies within the nesting a script reads back: items of general
// arrays, parts of dictionaries and columns of tables each one level deeper.
bool withinDepth(const Interpreter& in, const ValueDescriptor& d, int depth) {
    if (depth > kMaxDepth) return false;
    const values::Workspace& ws = in.ws;
    if (isTable(d)) {
        const ValueDescriptor* columns = tableColumns(ws, d);
        for (std::int32_t c = 0; c < tableWidth(ws, d); ++c)
            if (!withinDepth(in, columns[c], depth + 1)) return false;
        return true;
    }
    if (isDictionary(d)) {
        const ValueDescriptor* parts = partsOf(ws, d);
        return withinDepth(in, parts[0], depth + 1) && withinDepth(in, parts[1], depth + 1);
    }
    if (d.type != kGeneral) return true;
    const ValueDescriptor* items = ws.elems<ValueDescriptor>(d);
    for (std::int32_t i = 0; i < d.count; ++i)
        if (!withinDepth(in, items[i], depth + 1)) return false;
    return true;
}

}  // namespace

bool scriptText(const Interpreter& in, const std::vector<std::string>& only, std::string* text,
                std::string* problem) {
    std::string s;
    const frontend::FrontTables& ft = in.front;
    std::vector<std::string> variables;  // those the script assigns
    for (int g = kBuiltinNames; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        std::string name = frontend::fullName(ft, e);
        if (!only.empty() && !contains(only, name)) continue;
        if (e.kind == frontend::kVariableName && !in.ws.vars[static_cast<std::size_t>(e.slot)].unset())
            variables.push_back(name);
    }

    std::vector<std::string> written;
    std::vector<Waiting> waiting;
    auto ready = [&](const Waiting& w) {
        return std::all_of(w.needs.begin(), w.needs.end(),
                           [&](const std::string& n) { return !contains(variables, n) || contains(written, n); });
    };
    auto release = [&](bool force) {
        // Each statement written may let others that wait for it go.
        for (bool moved = true; moved;) {
            moved = false;
            for (auto it = waiting.begin(); it != waiting.end(); ++it) {
                if (!force && !ready(*it)) continue;
                s += '\n' + it->statement + '\n';
                written.push_back(it->name);
                waiting.erase(it);
                moved = true;
                break;
            }
        }
    };

    for (int g = kBuiltinNames; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        std::string name = frontend::fullName(ft, e);
        if (!only.empty() && !contains(only, name)) continue;
        if (e.kind == frontend::kFunctionName) {
            const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, e.slot);
            if (!df || df->text.source.empty()) continue;
            s += kFunctionMark;
            for (const auto& line : df->text.source) s += line.text + '\n';
            s += std::string(kFunctionMark) + "\n\n";
        } else if (e.kind == frontend::kVariableName) {
            const ValueDescriptor& d = in.ws.vars[static_cast<std::size_t>(e.slot)];
            if (d.unset()) continue;
            if (!withinDepth(in, d, 0)) {
                *problem = name + ": it is nested more than " + std::to_string(kMaxDepth) +
                           " levels deep, deeper than a script reads back";
                return false;
            }
            std::string statement;
            if (!rebuildStatement(in, name, d, &statement, problem)) return false;
            if (!statement.empty()) {
                std::vector<std::string> needs = domainNames(in, d);
                std::erase(needs, name);
                for (const std::string& n : needs) {
                    // A domain left out of a script of chosen names would
                    // make the statement fail wherever the script is read.
                    if (!only.empty() && !contains(variables, n)) {
                        *problem = name + ": its domain " + n + " is not among the names written";
                        return false;
                    }
                }
                waiting.push_back({name, statement, needs});
                release(false);
                continue;
            }
            s += '\n';
            s += kVariableMark + name + ' ' + taggedValueText(in, d) + kVariableMark + '\n';
            written.push_back(name);
            release(false);
        }
    }
    // Domains that lean on each other in a ring keep the order of the names.
    release(true);
    *text = std::move(s);
    return true;
}

}  // namespace wox::script_file
