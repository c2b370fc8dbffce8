#include "script_file/script_writer.h"

#include <algorithm>

#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "script_file/rebuild_statement.h"
#include "script_file/tagged_value.h"

namespace wox::script_file {

std::string scriptText(const Interpreter& in, const std::vector<std::string>& only) {
    std::string s;
    const frontend::FrontTables& ft = in.front;
    for (int g = kBuiltinNames; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        std::string name = frontend::fullName(ft, e);
        if (!only.empty() && std::find(only.begin(), only.end(), name) == only.end()) continue;
        if (e.kind == frontend::kFunctionName) {
            const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, e.slot);
            if (!df || df->text.source.empty()) continue;
            s += kFunctionMark;
            for (const auto& line : df->text.source) s += line.text + '\n';
            s += std::string(kFunctionMark) + "\n\n";
        } else if (e.kind == frontend::kVariableName) {
            const ValueDescriptor& d = in.ws.vars[static_cast<std::size_t>(e.slot)];
            if (d.unset()) continue;
            if (std::string statement = rebuildStatement(in, name, d); !statement.empty()) {
                s += '\n' + statement + '\n';
                continue;
            }
            s += '\n';
            s += kVariableMark + name + ' ' + taggedValueText(in, d) + kVariableMark + '\n';
        }
    }
    return s;
}

}  // namespace wox::script_file
