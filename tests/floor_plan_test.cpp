// The floor plan: every folder of src/ stands on a floor, and a file may
// include headers of its own floor and the floors below it, never above.
// Folders on one floor may use each other; a new folder must be given a floor
// here (and in docs/ARCHITECTURE.md) before it can hold code.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace wox {
namespace {

namespace fs = std::filesystem;

struct Floor {
    std::string_view folder;
    int level;
};

constexpr std::array kFloorPlan{
    Floor{"values", 0},
    Floor{"types", 1},
    Floor{"numeric", 1},
    Floor{"vocabulary", 1},
    Floor{"spreadsheet", 1},
    Floor{"primitives", 2},
    Floor{"display", 2},
    Floor{"csv_file", 2},
    Floor{"frontend", 3},
    Floor{"engine", 4},
    Floor{"workspace_file", 5},
    Floor{"script_file", 5},
    Floor{"session", 6},
};

std::optional<int> levelOf(std::string_view folder) {
    for (const Floor& f : kFloorPlan)
        if (f.folder == folder) return f.level;
    return std::nullopt;
}

// The folder a line's project include names ("engine" of
// #include "engine/x.h"), or empty for any other line.
std::string includedFolder(std::string_view line) {
    auto skipBlanks = [&line] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    };
    skipBlanks();
    if (!line.starts_with('#')) return {};
    line.remove_prefix(1);
    skipBlanks();
    if (!line.starts_with("include")) return {};
    line.remove_prefix(7);
    skipBlanks();
    if (!line.starts_with('"')) return {};
    line.remove_prefix(1);
    std::size_t slash = line.find('/');
    if (slash == std::string_view::npos || slash == 0) return {};
    return std::string(line.substr(0, slash));
}

// Every include of a project header that reaches a floor above the file's
// own, as "file:line: text"; and every folder without a floor.
std::string violations(const fs::path& src) {
    std::ostringstream out;
    for (const auto& dir : fs::directory_iterator(src)) {
        if (!dir.is_directory()) continue;
        std::string folder = dir.path().filename().string();
        std::optional<int> level = levelOf(folder);
        if (!level) {
            out << "src/" << folder << ": folder has no floor in the plan\n";
            continue;
        }
        for (const auto& file : fs::recursive_directory_iterator(dir.path())) {
            if (!file.is_regular_file()) continue;
            std::ifstream in(file.path());
            std::string line;
            for (int n = 1; std::getline(in, line); ++n) {
                std::string included = includedFolder(line);
                if (included.empty()) continue;
                std::optional<int> target = levelOf(included);
                if (!target || *target > *level)
                    out << fs::relative(file.path(), src.parent_path()).string() << ':' << n << ": " << line
                        << '\n';
            }
        }
    }
    return out.str();
}

TEST(FloorPlan, NoIncludeRunsBackUp) {
    const fs::path src = fs::path(WOX_SOURCE_DIR) / "src";
    ASSERT_TRUE(fs::is_directory(src)) << src;
    std::string found = violations(src);
    EXPECT_TRUE(found.empty()) << "includes that run back up the floor plan "
                                  "(values < types, numeric, vocabulary, spreadsheet < primitives, display < frontend < engine < "
                                  "workspace_file, script_file < session):\n"
                               << found;
}

// The desktop program (app/gui) is the top floor: no library and not the
// terminal program may include one of its headers. Its headers are named
// as they are (its folder is on its own include path), so a line naming
// one of them, with or without "gui/", is the include to refuse.
std::string guiIncludes(const fs::path& root) {
    std::vector<std::string> guiHeaders;
    for (const auto& f : fs::directory_iterator(root / "app" / "gui"))
        if (f.path().extension() == ".h") guiHeaders.push_back(f.path().filename().string());
    std::ostringstream out;
    auto scan = [&](const fs::path& file) {
        std::ifstream in(file);
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            if (line.find("#include \"") == std::string::npos) continue;
            for (const std::string& h : guiHeaders)
                if (line.find("\"" + h + "\"") != std::string::npos || line.find("\"gui/" + h + "\"") != std::string::npos)
                    out << fs::relative(file, root).string() << ':' << n << ": " << line << '\n';
        }
    };
    for (const auto& f : fs::recursive_directory_iterator(root / "src"))
        if (f.is_regular_file()) scan(f.path());
    for (const auto& f : fs::directory_iterator(root / "app"))
        if (f.is_regular_file()) scan(f.path());
    return out.str();
}

TEST(FloorPlan, NothingIncludesTheDesktopProgram) {
    const fs::path root = fs::path(WOX_SOURCE_DIR);
    ASSERT_TRUE(fs::is_directory(root / "app" / "gui"));
    std::string found = guiIncludes(root);
    EXPECT_TRUE(found.empty()) << "includes of the desktop program from below it:\n" << found;
}

TEST(FloorPlan, CatchesAnUpwardInclude) {
    const fs::path root = fs::temp_directory_path() / ("wox-floor-plan-" + std::to_string(::getpid()));
    fs::create_directories(root / "src" / "values");
    fs::create_directories(root / "src" / "engine");
    fs::create_directories(root / "src" / "extras");
    std::ofstream(root / "src" / "values" / "low.h") << "#pragma once\n#include \"values/rc.h\"\n"
                                                       << "  #include \"engine/interpreter.h\"\n";
    std::ofstream(root / "src" / "engine" / "high.h") << "#include \"values/low.h\"\n#include <vector>\n";
    std::string found = violations(root / "src");
    fs::remove_all(root);
    EXPECT_NE(found.find("src/values/low.h:3:   #include \"engine/interpreter.h\""), std::string::npos) << found;
    EXPECT_NE(found.find("src/extras: folder has no floor"), std::string::npos) << found;
    EXPECT_EQ(found.find("high.h"), std::string::npos) << found;
    EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), 2) << found;
}

}  // namespace
}  // namespace wox
