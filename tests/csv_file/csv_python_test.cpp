// CSV files written by Python's csv module (three dialects: the
// spreadsheet one with a byte-order mark and "\r\n", every field quoted with
// semicolons and no header, tabs) read by []CSVR, every value compared with
// what Python wrote. The files are made at test time by
// make_csv_oracle.py; without python3 the test is skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "csv_file/csv_fields.h"
#include "engine/line_session.h"
#include "frontend/name_table.h"
#include "values/keyed_value.h"
#include "values/shaped_result.h"

namespace wox {
namespace {

namespace fs = std::filesystem;

std::string unhex(const std::string& h) {
    if (h == "-") return {};
    std::string out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return out;
}

const ValueDescriptor& variable(const Interpreter& in, const char* name) {
    int g = frontend::findGlobal(in.front, name);
    EXPECT_GE(g, 0);
    return in.ws.vars[static_cast<std::size_t>(in.front.globals[static_cast<std::size_t>(g)].slot)];
}

// The text of row i of a column, as the expectation writes it.
std::string cellText(const Interpreter& in, const ValueDescriptor& c, std::int64_t i, char kind) {
    const char* e = values::elementsOf(in.ws, c);
    std::string out;
    switch (kind) {
        case 'I': {
            std::int32_t v;
            std::memcpy(&v, e + 4 * i, 4);
            csv_file::appendInteger(out, v);
            return out;
        }
        case 'D': {
            std::int64_t w;
            std::memcpy(&w, e + 8 * i, 8);
            csv_file::appendTemporal(out, w);
            return out;
        }
        case 'S': {
            std::int32_t s;
            std::memcpy(&s, e + 4 * i, 4);
            return std::string(in.symbols.name(s));
        }
        default: {
            const ValueDescriptor& item = in.ws.elems<ValueDescriptor>(c)[i];
            return std::string(values::elementsOf(in.ws, item), static_cast<std::size_t>(item.count));
        }
    }
}

TEST(CsvPython, FilesOfPythonsCsvModuleReadAsItWroteThem) {
    if (std::system("python3 -c pass > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    const fs::path dir = fs::temp_directory_path() / ("wox-csv-python-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string script = std::string(WOX_SOURCE_DIR) + "/tests/csv_file/make_csv_oracle.py";
    ASSERT_EQ(std::system(("python3 '" + script + "' '" + dir.string() + "'").c_str()), 0);

    testing::LineSession s(Capacities{});
    s.in.workspaceFolder = dir.string() + "/";
    std::ifstream expect(dir / "expect.txt");
    std::string word;
    int files = 0;
    while (expect >> word) {
        ASSERT_EQ(word, "file");
        std::string name, options;
        std::int64_t rows = 0;
        int width = 0;
        expect >> name >> options >> rows >> width;
        options = unhex(options);
        const std::string line = "t<-" + (options.empty() ? "" : "'" + options + "' ") + "[]CSVR '" + name + "'";
        ASSERT_EQ(s.run(line), "") << line;
        const ValueDescriptor& t = variable(s.in, "t");
        ASSERT_TRUE(isTable(t));
        ASSERT_EQ(tableRows(s.in.ws, t), rows) << name;
        ASSERT_EQ(tableWidth(s.in.ws, t), width) << name;
        for (int c = 0; c < width; ++c) {
            std::string column, kind;
            expect >> word >> column >> kind;
            ASSERT_EQ(word, "column");
            EXPECT_EQ(s.in.symbols.name(columnName(s.in.ws, t, c)), column) << name;
            const ValueDescriptor& col = tableColumns(s.in.ws, t)[c];
            const std::int32_t types[] = {kInteger, kFloat, kTemporal, kSymbol, kGeneral};
            ASSERT_EQ(col.type, types[std::string_view("IEDSC").find(kind[0])]) << name << " " << column;
            for (std::int64_t i = 0; i < rows; ++i) {
                std::string want;
                expect >> want;
                want = unhex(want);
                if (kind[0] == 'E') {
                    double got;
                    std::memcpy(&got, values::elementsOf(s.in.ws, col) + 8 * i, 8);
                    if (want.empty()) {
                        EXPECT_TRUE(std::isnan(got)) << name << " row " << i;
                    } else {
                        const double w = std::strtod(want.c_str(), nullptr);
                        EXPECT_EQ(std::memcmp(&got, &w, 8), 0) << name << " row " << i << ": " << want;
                    }
                    continue;
                }
                EXPECT_EQ(cellText(s.in, col, i, kind[0]), want) << name << " " << column << " row " << i;
            }
        }
        ++files;
    }
    EXPECT_EQ(files, 3);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace wox
