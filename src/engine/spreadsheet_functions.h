#pragma once
// The spreadsheet system functions: []OP starts and closes the link, []XR
// and []XXR read cells of a worksheet, []XW and []XXW write a value into one,
// []XN renames a worksheet, []XD deletes one and []XC clears one. The
// workbook is the file named by []OF with ".xlsx" in the workspace folder.
#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

Rc spreadsheetMonadic(Interpreter& in, int code, int result, ValueRef right);
Rc spreadsheetDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::engine
