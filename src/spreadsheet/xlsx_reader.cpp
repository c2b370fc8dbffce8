#include "spreadsheet/xlsx_reader.h"

#include <zip.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>
#include <vector>

#include "spreadsheet/cell_reference.h"

namespace wox::spreadsheet {

namespace {

constexpr const char* kWorkbookPart = "xl/workbook.xml";
constexpr const char* kWorkbookRelations = "xl/_rels/workbook.xml.rels";
constexpr const char* kSharedStringsPart = "xl/sharedStrings.xml";
constexpr const char* kStylesPart = "xl/styles.xml";
constexpr std::string_view kPartFolder = "xl/";
constexpr int kReferenceLetters = 3;

// The number formats built into the format that show dates and times.
bool builtinDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// A format code shows a date or time when a date or time letter stands
// outside quoted text, escapes and bracketed parts ("[Red]", "[$-409]").
bool dateFormatCode(std::string_view code) {
    bool quoted = false;
    int brackets = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        switch (c) {
            case '"': quoted = true; break;
            case '\\':
            case '_':
            case '*': ++i; break;  // the next character is shown, or pads
            case '[': ++brackets; break;
            case ']': brackets = brackets > 0 ? brackets - 1 : 0; break;
            default:
                if (brackets == 0 && std::strchr("dDmMyYhHsS", c)) return true;
        }
    }
    return false;
}

// Element and attribute names compared without their namespace prefix, as
// writers differ in the prefixes they choose.
std::string_view localName(const char* name) {
    std::string_view n = name;
    std::size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

pugi::xml_node child(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c.name()) == name) return c;
    return {};
}

// The relationship id of a sheet is its one prefixed "id" attribute.
std::string_view relationId(pugi::xml_node sheet) {
    for (pugi::xml_attribute a = sheet.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n = a.name();
        if (n.find(':') != std::string_view::npos && localName(a.name()) == "id") return a.value();
    }
    return {};
}

// The text of a string item: its own text, or its runs' texts joined;
// phonetic hints are not part of it.
std::string itemText(pugi::xml_node item) {
    std::string text;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        std::string_view n = localName(c.name());
        if (n == "t") text += c.text().get();
        else if (n == "r") text += child(c, "t").text().get();
    }
    return text;
}

template <typename T>
bool wholeNumber(std::string_view s, T& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size();
}

bool finiteNumber(std::string_view s, double& v) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\n' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty()) return false;
    if (s.front() == '+') s.remove_prefix(1);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(v);
}

class Reader {
public:
    explicit Reader(std::span<const unsigned char> file) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(file.data(), file.size(), 0, &error);
        if (source) {
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!zip_) zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~Reader() {
        if (zip_) zip_discard(zip_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool read(Workbook& book) {
        if (!zip_) return false;
        pugi::xml_document workbook, relations;
        if (!parsePart(kWorkbookPart, workbook, true) || !parsePart(kWorkbookRelations, relations, true))
            return false;
        if (!readSharedStrings() || !readStyles()) return false;
        std::map<std::string, std::string, std::less<>> targets;
        for (pugi::xml_node r : child(relations, "Relationships").children()) {
            if (localName(r.name()) != "Relationship") continue;
            targets[r.attribute("Id").value()] = r.attribute("Target").value();
        }
        pugi::xml_node sheets = child(child(workbook, "workbook"), "sheets");
        for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) {
            if (s.type() != pugi::node_element || localName(s.name()) != "sheet") continue;
            Worksheet sheet;
            sheet.name = s.attribute("name").value();
            if (!validSheetName(sheet.name) || findSheet(book, sheet.name) >= 0) return false;
            auto target = targets.find(relationId(s));
            if (target == targets.end()) return false;
            if (!readSheet(partName(target->second), sheet)) return false;
            book.sheets.push_back(std::move(sheet));
        }
        return !book.sheets.empty();
    }

private:
    // Targets are relative to the workbook's folder unless they start at the root.
    static std::string partName(std::string_view target) {
        if (target.starts_with('/')) return std::string(target.substr(1));
        return std::string(kPartFolder) + std::string(target);
    }

    // The unpacked bytes of a part; false when it is missing, damaged or
    // beyond the limits.
    bool readPart(const std::string& name, std::string& bytes, bool* missing = nullptr) {
        zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
        if (index < 0) {
            if (missing) *missing = true;
            return false;
        }
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            return false;
        if (st.size > kMaxUnpackedBytes - unpacked_) return false;
        zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
        if (!f) return false;
        bytes.resize(static_cast<std::size_t>(st.size));
        zip_int64_t got = st.size ? zip_fread(f, bytes.data(), st.size) : 0;
        // Reading to the end is what checks the part's checksum.
        char beyond;
        zip_int64_t more = zip_fread(f, &beyond, 1);
        bool closed = zip_fclose(f) == 0;
        if (got != static_cast<zip_int64_t>(st.size) || more != 0 || !closed) return false;
        unpacked_ += bytes.size();
        return true;
    }

    // A part that is not required may be missing.
    bool parsePart(const std::string& name, pugi::xml_document& doc, bool required) {
        std::string bytes;
        bool missing = false;
        if (!readPart(name, bytes, &missing)) return missing && !required;
        return doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    }

    bool readSharedStrings() {
        pugi::xml_document doc;
        if (!parsePart(kSharedStringsPart, doc, false)) return false;
        for (pugi::xml_node si : child(doc, "sst").children())
            if (si.type() == pugi::node_element && localName(si.name()) == "si") strings_.push_back(itemText(si));
        return true;
    }

    bool readStyles() {
        pugi::xml_document doc;
        if (!parsePart(kStylesPart, doc, false)) return false;
        pugi::xml_node styles = child(doc, "styleSheet");
        std::unordered_set<int> customDates;
        for (pugi::xml_node f : child(styles, "numFmts").children()) {
            if (f.type() == pugi::node_element && dateFormatCode(f.attribute("formatCode").value()))
                customDates.insert(f.attribute("numFmtId").as_int(-1));
        }
        for (pugi::xml_node xf : child(styles, "cellXfs").children()) {
            if (xf.type() != pugi::node_element) continue;
            int id = xf.attribute("numFmtId").as_int(0);
            dateStyles_.push_back(builtinDateFormat(id) || customDates.contains(id));
        }
        return true;
    }

    bool readSheet(const std::string& part, Worksheet& sheet) {
        pugi::xml_document doc;
        if (!parsePart(part, doc, true)) return false;
        pugi::xml_node data = child(child(doc, "worksheet"), "sheetData");
        std::int32_t row = 0;
        for (pugi::xml_node r = data.first_child(); r; r = r.next_sibling()) {
            if (r.type() != pugi::node_element || localName(r.name()) != "row") continue;
            if (pugi::xml_attribute n = r.attribute("r")) {
                if (!wholeNumber(std::string_view(n.value()), row) || row < 1 || row > kMaxRows) return false;
            } else if (++row > kMaxRows) {
                return false;
            }
            std::int32_t column = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || localName(c.name()) != "c") continue;
                CellPosition at{row, column + 1};
                if (pugi::xml_attribute ref = c.attribute("r")) {
                    if (!parseCellReference(ref.value(), kReferenceLetters, kMaxRows, at) || at.row != row) return false;
                } else if (at.column > kMaxColumns) {
                    return false;
                }
                column = at.column;
                Cell cell;
                bool holds = false;
                if (!readCell(c, cell, holds)) return false;
                if (!holds) continue;
                if (++cells_ > kMaxCells) return false;
                sheet.cells[at] = std::move(cell);
            }
        }
        return true;
    }

    // A cell without a value (formatted only) holds nothing.
    bool readCell(pugi::xml_node c, Cell& cell, bool& holds) {
        std::string_view type = c.attribute("t").value();
        if (type == "inlineStr") {
            pugi::xml_node is = child(c, "is");
            holds = bool(is);
            cell.kind = CellKind::Text;
            cell.text = itemText(is);
            return true;
        }
        pugi::xml_node v = child(c, "v");
        if (!v) return true;
        holds = true;
        std::string_view value = v.text().get();
        if (type.empty() || type == "n") {
            cell.kind = CellKind::Number;
            std::size_t style = c.attribute("s").as_uint(0);
            cell.date = style < dateStyles_.size() && dateStyles_[style];
            if (!finiteNumber(value, cell.number)) {
                // Text that is no number spoils that cell alone, not the workbook.
                cell.kind = CellKind::Unreadable;
                cell.number = 0;
                cell.text = value;
            }
            return true;
        }
        if (type == "s") {
            std::size_t index = 0;
            if (!wholeNumber(value, index) || index >= strings_.size()) return false;
            cell.kind = CellKind::Text;
            cell.text = strings_[index];
            return true;
        }
        if (type == "str") {
            // A formula that is only an error literal holds that error.
            std::string_view formula = child(c, "f").text().get();
            cell.kind = value.starts_with('#') && formula == value ? CellKind::Error : CellKind::Text;
            cell.text = value;
            return true;
        }
        if (type == "b") {
            if (value != "0" && value != "1") return false;
            cell.kind = CellKind::Boolean;
            cell.number = value == "1";
            return true;
        }
        // Errors, and dates written as text, which the link does not read.
        cell.kind = CellKind::Error;
        cell.text = value;
        return true;
    }

    zip_t* zip_ = nullptr;
    std::size_t unpacked_ = 0;
    std::size_t cells_ = 0;
    std::vector<std::string> strings_;
    std::vector<bool> dateStyles_;
};

}  // namespace

bool readWorkbook(std::span<const unsigned char> file, Workbook& book) {
    book = {};
    if (file.size() > kMaxWorkbookBytes) return false;
    Reader reader(file);
    if (reader.read(book)) return true;
    book = {};
    return false;
}

bool readWorkbookFile(const std::string& path, Workbook& book) {
    book = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    struct stat st {};
    std::vector<unsigned char> bytes;
    bool ok = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::uint64_t>(st.st_size) <= kMaxWorkbookBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fgetc(f) == EOF;
    }
    std::fclose(f);
    return ok && readWorkbook(bytes, book);
}

}  // namespace wox::spreadsheet
