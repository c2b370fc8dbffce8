#pragma once
// The names built into every workspace: five system variables and eight
// keyword functions, always global entries 0 to 12 (user names start at 13).
#include <array>
#include <cstdint>
#include <string_view>

#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "values/capacities.h"
#include "values/rc.h"
#include "values/workspace.h"

namespace wox::frontend {

// Function slots of the keyword functions.
enum KeywordFunction : std::int32_t {
    kKeyFunction = 0,
    kValueFunction = 1,
    kXkeyFunction = 2,
    kColsFunction = 3,
    kMetaFunction = 4,
    kKeysFunction = 5,
    kFkeysFunction = 6,
    kDoFunction = 7,
};

struct BuiltinName {
    std::string_view name;
    char kind;
    std::int32_t slot;     // variable slot, or keyword-function slot
    std::int32_t valence;  // keyword functions only
};

inline constexpr std::array<BuiltinName, kBuiltinNames> kBuiltins = {{
    {"[]IO", kVariableName, kIoSlot, 0},
    {"[]OF", kVariableName, kSystemSlotOF, 0},
    {"[]AV", kVariableName, kSystemSlotAV, 0},
    {"[]LX", kVariableName, kSystemSlotLX, 0},
    {"[]RL", kVariableName, kSystemSlotRL, 0},
    {"key", kFunctionName, kKeyFunction, 1},
    {"value", kFunctionName, kValueFunction, 1},
    {"xkey", kFunctionName, kXkeyFunction, 2},
    {"cols", kFunctionName, kColsFunction, 1},
    {"meta", kFunctionName, kMetaFunction, 1},
    {"keys", kFunctionName, kKeysFunction, 1},
    {"fkeys", kFunctionName, kFkeysFunction, 1},
    {"do", kFunctionName, kDoFunction, 2},
}};
static_assert(kBuiltins[0].slot == kIoSlot && kBuiltins[4].slot == kSystemSlotRL);

inline constexpr int kKeywordFunctions = 8;
static_assert(kBuiltins[kBuiltinNames - 1].slot == kKeywordFunctions - 1,
              "keyword functions take function slots 0 to 7");
inline constexpr std::int32_t kKeywordResult = -2;  // resultName of a keyword-function record

// The functions of the query library whose names are reserved once it is
// loaded: listings show the reserved-function line instead of their text,
// and the state indicator, FNS, VARS and TRACE pass over their calls.
inline constexpr std::array<std::string_view, 28> kReservedFunctionNames = {
    "do",     "proc_where", "proc_sel1", "proc_sel2", "proc_sel", "nxt",    "create", "select",
    "exec",   "eval",       "vcol",      "ch2sym",    "col_nam",  "isfk",   "de_enum", "split",
    "addwth", "q_where",    "q_out",     "q_word",    "q_nxt",    "q_cols", "q_col",  "q_rows",
    "q_agg",  "q_order",    "q_avg",     "q_last",
};
constexpr bool isReservedFunctionName(std::string_view name) {
    for (std::string_view r : kReservedFunctionNames)
        if (r == name) return true;
    return false;
}
inline constexpr std::int32_t kInitialRandomSeed = 16807;

// Writes global entries 0 to 12 and the keyword-function records; the
// global table then ends at entry 12.
void enterBuiltinNames(FrontTables& ft, FunctionStore& functions);

// Gives the system variables their initial values: []IO 1, []OF no value,
// []AV the 256 characters (blanks outside 33 to 127), []LX an empty vector,
// []RL the one-element vector 16807. Fails with 6 when []AV gets no block.
// Start-up and clearing call it after the workspace and the front-end
// tables are reset.
Rc enterSystemValues(values::Workspace& ws);
// The same without []AV, the one value that needs a heap block: what a
// newly built interpreter has before start-up, so that its heap is empty.
void enterInlineSystemValues(values::Workspace& ws);

}  // namespace wox::frontend
