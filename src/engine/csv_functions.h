#pragma once
// CSV files: []CSVR reads one into a table, []CSVW and the command CSV
// write a table, keyed table or dictionary into one. The file format is
// csv_file's; this is where values are taken apart and built.
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// The text of a table (a keyed table: key columns first; a dictionary: the
// columns key and value) as a CSV file. kCsvWriteArgument for any other value,
// kCsvColumn for a column the format cannot hold.
Rc csvText(const Interpreter& in, const ValueDescriptor& v, std::string& text);

// Replaces the file at `path` by csvText of v; kCsvNotWritten when it
// cannot be replaced (it then stays as it was).
Rc writeCsvFile(const Interpreter& in, const ValueDescriptor& v, const std::string& path);

// The path a file name of []CSVR and []CSVW names: a name without a folder
// lies in the workspace folder; ".csv" is added to a name with no extension.
std::string csvPath(const Interpreter& in, std::string_view name);

// []CSVR 'file', options []CSVR 'file'.
Rc csvMonadic(Interpreter& in, int code, int result, ValueRef right);
// table []CSVW 'file' (and the dyadic []CSVR).
Rc csvDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::engine
