#include "layout/builtin/layoutsourceparser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <set>
#include <utility>

namespace tally::builtin {

namespace {

struct Failure
{
    int line;
    std::string message;
};

[[noreturn]] void fail(int line, std::string message)
{
    throw Failure{line, std::move(message)};
}

constexpr std::string_view kTimes = "×";
constexpr std::string_view kEnDash = "–";

std::string_view trim(std::string_view s)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Splits at sep where it is not inside a double-quoted text; pieces are trimmed.
std::vector<std::string_view> split(std::string_view s, char sep, int line)
{
    std::vector<std::string_view> pieces;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"')
            quoted = !quoted;
        else if (s[i] == sep && !quoted) {
            pieces.push_back(trim(s.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (quoted)
        fail(line, "unterminated text");
    pieces.push_back(trim(s.substr(start)));
    return pieces;
}

int parseInt(std::string_view s, int line, std::string_view what)
{
    s = trim(s);
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        fail(line, std::string(what) + ": not a number: '" + std::string(s) + "'");
    return value;
}

std::vector<int> parseIntList(std::string_view s, int line, std::string_view what)
{
    std::vector<int> values;
    for (std::string_view piece : split(s, ',', line))
        values.push_back(parseInt(piece, line, what));
    return values;
}

std::pair<int, int> parsePair(std::string_view s, int line, std::string_view what)
{
    const std::vector<int> values = parseIntList(s, line, what);
    if (values.size() != 2)
        fail(line, std::string(what) + ": expected two numbers");
    return {values[0], values[1]};
}

// A text in double quotes, taken as is; "(empty)" or nothing is the empty text.
std::string parseText(std::string_view s, int line)
{
    if (s.empty() || s == "(empty)")
        return {};
    if (s.size() < 2 || s.front() != '"' || s.back() != '"')
        fail(line, "text must be in double quotes: " + std::string(s));
    return std::string(s.substr(1, s.size() - 2));
}

bool parseVar(std::string_view s, int line)
{
    if (s.empty())
        return false;
    if (s != "var")
        fail(line, "var column holds 'var' or nothing: " + std::string(s));
    return true;
}

printing::HorzAlign parseHAlign(std::string_view s, int line)
{
    if (s == "left")
        return printing::HorzAlign::Left;
    if (s == "right")
        return printing::HorzAlign::Right;
    if (s == "centre")
        return printing::HorzAlign::Centre;
    fail(line, "unknown alignment: " + std::string(s));
}

enum class Section
{
    None,
    TopItems,
    BottomItems,
    HeadCells,
    BodyColumns,
    TailCells,
    HiddenLines
};

struct SectionInfo
{
    Section section;
    std::string_view name;
    std::string_view header;
};

constexpr std::array kSections{
    SectionInfo{Section::TopItems, "top items", "| text | var | L, T, R, B | note |"},
    SectionInfo{Section::BottomItems, "bottom items", "| text | var | L, T, R, B | note |"},
    SectionInfo{Section::HeadCells, "head cells", "| slot | text | span | align | var | sum |"},
    SectionInfo{Section::BodyColumns, "body columns", "| column | field | align |"},
    SectionInfo{Section::TailCells, "tail cells", "| slot | text | span | align | var | sum |"},
    SectionInfo{Section::HiddenLines, "hidden lines", "| slot | line |"},
};

class Parser
{
public:
    LayoutSource run(std::string_view text);

private:
    void headerLine(std::string_view key, std::string_view value, int line);
    void tableRow(std::string_view text, int line);
    void parsePage(std::string_view value, int line);
    void parseRows(std::string_view value, int line);
    LayoutSource::FreeItem freeItem(const std::vector<std::string_view> &cells, int line);
    LayoutSource::Cell cell(const std::vector<std::string_view> &cells, int line);
    void bodyColumn(const std::vector<std::string_view> &cells, int line);
    void hiddenLine(const std::vector<std::string_view> &cells, int line);
    void checkCells(const std::vector<LayoutSource::Cell> &cells, int rows, std::string_view block);
    void checkBody();
    void checkHiddenLines();

    LayoutSource m_source;
    Section m_section = Section::None;
    bool m_headerExpected = false;
    std::set<std::string, std::less<>> m_keysSeen;
    std::set<Section> m_sectionsSeen;
    std::map<std::pair<int, int>, int> m_hiddenLineRows; // slot -> line it was given on
    std::vector<int> m_headCellLines;
    std::vector<int> m_tailCellLines;
    std::vector<int> m_bodyLines;
};

LayoutSource Parser::run(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (startsWith(text, kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t eol = text.find('\n');
        const std::string_view raw = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const std::string_view l = trim(raw);
        if (l.empty()) {
            if (m_headerExpected)
                fail(line, "table without header row");
            m_section = Section::None;
            continue;
        }
        if (l.front() == '#')
            continue;
        if (l.front() == '|') {
            tableRow(l, line);
            continue;
        }
        if (m_section != Section::None && m_headerExpected)
            fail(line, "table without header row");
        m_section = Section::None;
        const std::size_t colon = l.find(':');
        if (colon == std::string_view::npos)
            fail(line, "expected 'key: value' or a table row");
        headerLine(trim(l.substr(0, colon)), trim(l.substr(colon + 1)), line);
    }
    if (m_headerExpected)
        fail(line, "table without header row");

    for (std::string_view key : {"layout", "fields", "columns", "rows", "extent"})
        if (!m_keysSeen.contains(key))
            fail(0, "missing line: " + std::string(key));
    for (const SectionInfo &info : kSections)
        if (!m_sectionsSeen.contains(info.section))
            fail(0, "missing section: " + std::string(info.name));

    checkCells(m_source.headCells, static_cast<int>(m_source.headRows.size()), "head");
    checkCells(m_source.tailCells, static_cast<int>(m_source.tailRows.size()), "tail");
    checkBody();
    checkHiddenLines();
    if (m_source.gridWidth() != m_source.extentWidth ||
        m_source.gridHeight() != m_source.extentHeight)
        fail(0, "extent is " + std::to_string(m_source.gridWidth()) + " × " +
                    std::to_string(m_source.gridHeight()) + ", not " +
                    std::to_string(m_source.extentWidth) + " × " +
                    std::to_string(m_source.extentHeight));
    return std::move(m_source);
}

void Parser::headerLine(std::string_view key, std::string_view value, int line)
{
    for (const SectionInfo &info : kSections) {
        if (key != info.name)
            continue;
        if (!m_sectionsSeen.insert(info.section).second)
            fail(line, "section given twice: " + std::string(key));
        if (value == "none")
            return;
        if (!value.empty())
            fail(line, "a section heading takes 'none' or nothing");
        m_section = info.section;
        m_headerExpected = true;
        return;
    }
    if (!m_sectionsSeen.empty())
        fail(line, "header lines come before the tables");
    if (!m_keysSeen.insert(std::string(key)).second)
        fail(line, "line given twice: " + std::string(key));

    if (key == "layout") {
        if (value.empty())
            fail(line, "layout needs a name");
        m_source.name = value;
    } else if (key == "caption") {
        m_source.caption = value;
    } else if (key == "bill") {
        m_source.bill = value;
    } else if (key == "table") {
        m_source.table = value;
    } else if (key == "fields") {
        for (std::string_view field : split(value, ',', line)) {
            if (field.empty() || field == "none")
                fail(line, "bad field name");
            if (std::find(m_source.fields.begin(), m_source.fields.end(), field) !=
                m_source.fields.end())
                fail(line, "field given twice: " + std::string(field));
            m_source.fields.emplace_back(field);
        }
    } else if (key == "page") {
        parsePage(value, line);
    } else if (key == "columns") {
        m_source.columns = parseIntList(value, line, "columns");
        for (int width : m_source.columns)
            if (width < 0)
                fail(line, "negative column width");
    } else if (key == "rows") {
        parseRows(value, line);
    } else if (key == "extent") {
        std::size_t times = value.find(kTimes);
        std::size_t skip = kTimes.size();
        if (times == std::string_view::npos) {
            times = value.find('x');
            skip = 1;
        }
        if (times == std::string_view::npos)
            fail(line, "extent is WIDTH × HEIGHT");
        m_source.extentWidth = parseInt(value.substr(0, times), line, "extent");
        m_source.extentHeight = parseInt(value.substr(times + skip), line, "extent");
    } else {
        fail(line, "unknown line: " + std::string(key));
    }
}

void Parser::parsePage(std::string_view value, int line)
{
    LayoutSource::Page &page = m_source.page;
    std::set<std::string, std::less<>> seen;
    for (std::string_view part : split(value, ';', line)) {
        const std::size_t space = part.find(' ');
        const std::string_view name = part.substr(0, space);
        const std::string_view arg =
            space == std::string_view::npos ? std::string_view() : trim(part.substr(space));
        if (!seen.insert(std::string(name)).second)
            fail(line, "page setting given twice: " + std::string(name));
        if (name == "AutoFit") {
            if (!arg.empty())
                fail(line, "AutoFit takes no value");
            page.autoFit = true;
        } else if (name == "Offset") {
            std::tie(page.offsetX, page.offsetY) = parsePair(arg, line, "Offset");
        } else if (name == "ZoomRatio") {
            page.zoomRatio = parseInt(arg, line, "ZoomRatio");
        } else if (name == "PrintOrient") {
            page.printOrient = parseInt(arg, line, "PrintOrient");
            if (page.printOrient != 0 && page.printOrient != 1)
                fail(line, "PrintOrient is 0 or 1");
        } else if (name == "PaperSize") {
            page.paperSize = parseInt(arg, line, "PaperSize");
        } else if (name == "PaperLength") {
            page.paperLength = parseInt(arg, line, "PaperLength");
        } else if (name == "PaperWidth") {
            page.paperWidth = parseInt(arg, line, "PaperWidth");
        } else {
            fail(line, "unknown page setting: " + std::string(name));
        }
    }
    // A stored layout keeps paper length and width only for the custom paper size.
    if ((page.paperLength != 0 || page.paperWidth != 0) && page.paperSize != 256)
        fail(line, "PaperLength and PaperWidth need PaperSize 256");
}

void Parser::parseRows(std::string_view value, int line)
{
    const std::vector<std::string_view> parts = split(value, ';', line);
    constexpr std::array<std::string_view, 5> kParts{"top area", "head", "body", "tail",
                                                     "bottom area"};
    if (parts.size() != kParts.size())
        fail(line, "rows: expected top area; head; body; tail; bottom area");
    std::array<std::vector<int>, 5> sizes;
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        if (!startsWith(parts[i], kParts[i]))
            fail(line, "rows: expected '" + std::string(kParts[i]) + "'");
        const std::string_view rowSpec = trim(parts[i].substr(kParts[i].size()));
        std::size_t times = rowSpec.find(kTimes);
        std::size_t skip = kTimes.size();
        if (times == std::string_view::npos) {
            times = rowSpec.find(" x ");
            skip = 3;
        }
        if (rowSpec == "none") {
            // no rows
        } else if (times != std::string_view::npos) {
            const int count = parseInt(rowSpec.substr(0, times), line, "row count");
            const int size = parseInt(rowSpec.substr(times + skip), line, "row height");
            if (count < 0 || count > 10000)
                fail(line, "row count out of range");
            sizes[i].assign(static_cast<std::size_t>(count), size);
        } else {
            sizes[i] = parseIntList(rowSpec, line, "row height");
        }
        for (int size : sizes[i])
            if (size < 0)
                fail(line, "negative row height");
    }
    if (sizes[0].size() != 1 || sizes[4].size() != 1)
        fail(line, "the top and bottom areas are one row each");
    m_source.topAreaHeight = sizes[0][0];
    m_source.headRows = std::move(sizes[1]);
    m_source.bodyRows = std::move(sizes[2]);
    m_source.tailRows = std::move(sizes[3]);
    m_source.bottomAreaHeight = sizes[4][0];
}

void Parser::tableRow(std::string_view text, int line)
{
    if (m_section == Section::None)
        fail(line, "table row outside a section");
    const auto info = std::find_if(kSections.begin(), kSections.end(),
                                   [&](const SectionInfo &s) { return s.section == m_section; });
    if (m_headerExpected) {
        // Compare with single spaces so that column padding does not matter.
        std::string normal;
        for (std::string_view cellText : split(text, '|', line))
            normal += cellText.empty() ? "|" : " " + std::string(cellText) + " |";
        normal.pop_back();
        if (normal != info->header)
            fail(line, "header row must read: " + std::string(info->header));
        m_headerExpected = false;
        return;
    }
    if (text.find_first_not_of("|-: ") == std::string_view::npos)
        return; // separator row
    if (text.size() < 2 || text.back() != '|')
        fail(line, "table row must end with '|'");
    std::vector<std::string_view> cells = split(text.substr(1, text.size() - 2), '|', line);

    switch (m_section) {
    case Section::TopItems:
        m_source.topItems.push_back(freeItem(cells, line));
        break;
    case Section::BottomItems:
        m_source.bottomItems.push_back(freeItem(cells, line));
        break;
    case Section::HeadCells:
        m_source.headCells.push_back(cell(cells, line));
        m_headCellLines.push_back(line);
        break;
    case Section::TailCells:
        m_source.tailCells.push_back(cell(cells, line));
        m_tailCellLines.push_back(line);
        break;
    case Section::BodyColumns:
        bodyColumn(cells, line);
        break;
    case Section::HiddenLines:
        hiddenLine(cells, line);
        break;
    case Section::None:
        break;
    }
}

LayoutSource::FreeItem Parser::freeItem(const std::vector<std::string_view> &cells, int line)
{
    if (cells.size() != 4)
        fail(line, "free item rows have 4 columns");
    LayoutSource::FreeItem item;
    item.unit.hAlign = printing::HorzAlign::Left;
    item.unit.vAlign = printing::VertAlign::Top;
    item.unit.text = parseText(cells[0], line);
    item.unit.fixedText = !parseVar(cells[1], line);
    const std::vector<int> rect = parseIntList(cells[2], line, "rectangle");
    if (rect.size() != 4)
        fail(line, "rectangle is L, T, R, B");
    item.left = rect[0];
    item.top = rect[1];
    item.right = rect[2];
    item.bottom = rect[3];

    std::set<std::string, std::less<>> seen;
    for (std::string_view note :
         cells[3].empty() ? std::vector<std::string_view>() : split(cells[3], ',', line)) {
        std::string kind(note);
        if (startsWith(note, "font ")) {
            item.unit.fontName = parseText(trim(note.substr(5)), line);
            kind = "font";
        } else if (note.size() > 3 && note.substr(note.size() - 3) == " pt") {
            item.unit.fontSize = parseInt(note.substr(0, note.size() - 3), line, "size");
            kind = "pt";
        } else if (note == "bold") {
            item.unit.bold = true;
        } else if (note == "italic") {
            item.unit.italic = true;
        } else if (note == "underline") {
            item.unit.underline = true;
        } else if (note == "left" || note == "right" || note == "centred") {
            item.unit.hAlign = parseHAlign(note == "centred" ? "centre" : note, line);
            kind = "halign";
        } else if (note == "top" || note == "middle" || note == "bottom") {
            item.unit.vAlign = note == "top"      ? printing::VertAlign::Top
                               : note == "middle" ? printing::VertAlign::Middle
                                                  : printing::VertAlign::Bottom;
            kind = "valign";
        } else {
            fail(line, "unknown note: " + std::string(note));
        }
        if (!seen.insert(kind).second)
            fail(line, "note given twice: " + std::string(note));
    }
    if (item.unit.fontName.empty())
        fail(line, "empty font name");
    return item;
}

LayoutSource::Cell Parser::cell(const std::vector<std::string_view> &cells, int line)
{
    if (cells.size() != 6)
        fail(line, "cell rows have 6 columns");
    LayoutSource::Cell cell;
    cell.unit.hAlign = printing::HorzAlign::Right;
    cell.unit.vAlign = printing::VertAlign::Middle;
    std::tie(cell.col, cell.row) = parsePair(cells[0], line, "slot");
    if (cell.col < 0 || cell.row < 0)
        fail(line, "negative slot");
    cell.unit.text = parseText(cells[1], line);

    const std::vector<std::string_view> span = split(cells[2], ' ', line);
    bool colSeen = false;
    bool rowSeen = false;
    for (std::size_t i = 0; !cells[2].empty() && i < span.size(); i += 2) {
        if (i + 1 >= span.size() || span[i].empty() || span[i].front() != '+')
            fail(line, "span is '+N col', '+N row' or both");
        const int extra = parseInt(span[i].substr(1), line, "span");
        if (extra <= 0)
            fail(line, "span must be positive");
        if (span[i + 1] == "col" && !colSeen) {
            cell.colSpan = extra;
            colSeen = true;
        } else if (span[i + 1] == "row" && !rowSeen) {
            cell.rowSpan = extra;
            rowSeen = true;
        } else {
            fail(line, "span is '+N col', '+N row' or both");
        }
    }

    if (!cells[3].empty())
        cell.unit.hAlign = parseHAlign(cells[3], line);
    cell.unit.fixedText = !parseVar(cells[4], line);

    if (!cells[5].empty()) {
        const std::vector<std::string_view> sum = split(cells[5], ',', line);
        if (sum.size() != 2)
            fail(line, "sum is 'KIND, FIELD'");
        if (sum[0] == "page")
            cell.unit.sumKind = printing::SumScope::Page;
        else if (sum[0] == "running")
            cell.unit.sumKind = printing::SumScope::Running;
        else if (sum[0] == "total")
            cell.unit.sumKind = printing::SumScope::Total;
        else
            fail(line, "sum kind is page, running or total");
        const auto field = std::find(m_source.fields.begin(), m_source.fields.end(), sum[1]);
        if (field == m_source.fields.end())
            fail(line, "sum of unknown field: " + std::string(sum[1]));
        cell.unit.sumField = static_cast<int>(field - m_source.fields.begin());
    }
    return cell;
}

void Parser::bodyColumn(const std::vector<std::string_view> &cells, int line)
{
    if (cells.size() != 3)
        fail(line, "body column rows have 3 columns");
    LayoutSource::BodyColumn column;
    std::string_view range = cells[0];
    std::size_t dash = range.find(kEnDash);
    std::size_t skip = kEnDash.size();
    if (dash == std::string_view::npos) {
        dash = range.find('-');
        skip = 1;
    }
    if (dash == std::string_view::npos) {
        column.first = column.last = parseInt(range, line, "column");
    } else {
        column.first = parseInt(range.substr(0, dash), line, "column");
        column.last = parseInt(range.substr(dash + skip), line, "column");
        if (column.last <= column.first)
            fail(line, "column range must run upward");
    }
    const int expected = m_source.bodyColumns.empty() ? 0 : m_source.bodyColumns.back().last + 1;
    if (column.first != expected)
        fail(line,
             "body columns must follow each other; expected column " + std::to_string(expected));
    if (cells[1] != "none") {
        if (cells[1].empty())
            fail(line, "field is a name or 'none'");
        column.field = cells[1];
    }
    column.hAlign = parseHAlign(cells[2], line);
    m_source.bodyColumns.push_back(std::move(column));
    m_bodyLines.push_back(line);
}

void Parser::hiddenLine(const std::vector<std::string_view> &cells, int line)
{
    if (cells.size() != 2)
        fail(line, "hidden line rows have 2 columns");
    const auto [col, row] = parsePair(cells[0], line, "slot");
    if (cells[1] != "top" && cells[1] != "left")
        fail(line, "line is top or left");
    auto &entries = m_source.hiddenLines;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const auto &e) { return e.col == col && e.row == row; });
    if (it == entries.end()) {
        entries.push_back({col, row, false, false});
        it = entries.end() - 1;
        m_hiddenLineRows[{col, row}] = line;
    }
    bool &flag = cells[1] == "top" ? it->top : it->left;
    if (flag)
        fail(line, "hidden line given twice");
    flag = true;
}

void Parser::checkCells(const std::vector<LayoutSource::Cell> &cells, int rows,
                        std::string_view block)
{
    const int cols = static_cast<int>(m_source.columns.size());
    const std::vector<int> &lines = block == "head" ? m_headCellLines : m_tailCellLines;
    std::map<std::pair<int, int>, std::size_t> owner;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const LayoutSource::Cell &c = cells[i];
        if (static_cast<long long>(c.col) + c.colSpan >= cols ||
            static_cast<long long>(c.row) + c.rowSpan >= rows)
            fail(lines[i], "cell reaches outside the " + std::string(block) + " block (" +
                               std::to_string(cols) + " × " + std::to_string(rows) + ")");
        for (int x = c.col; x <= c.col + c.colSpan; ++x)
            for (int y = c.row; y <= c.row + c.rowSpan; ++y)
                if (const auto [it, fresh] = owner.emplace(std::pair{x, y}, i); !fresh)
                    fail(lines[i],
                         "cell overlaps the cell of line " + std::to_string(lines[it->second]));
    }
}

void Parser::checkBody()
{
    const int cols = static_cast<int>(m_source.columns.size());
    if (m_source.bodyRows.empty()) {
        if (!m_source.bodyColumns.empty())
            fail(m_bodyLines.front(), "a body without rows keeps no templates");
        return;
    }
    if (m_source.bodyColumns.empty() || m_source.bodyColumns.back().last != cols - 1)
        fail(m_bodyLines.empty() ? 0 : m_bodyLines.back(),
             "body columns must cover all " + std::to_string(cols) + " columns");
    const int fieldCount = static_cast<int>(m_source.fields.size());
    int index = 0;
    for (std::size_t i = 0; i < m_source.bodyColumns.size(); ++i, ++index) {
        const LayoutSource::BodyColumn &column = m_source.bodyColumns[i];
        if (column.field.empty()) {
            if (index < fieldCount)
                fail(m_bodyLines[i], "this column shows field " + m_source.fields[index]);
        } else if (index >= fieldCount || m_source.fields[index] != column.field) {
            fail(m_bodyLines[i], "this column shows " +
                                     (index < fieldCount ? "field " + m_source.fields[index]
                                                         : std::string("no field")) +
                                     ", not " + column.field);
        }
    }
}

void Parser::checkHiddenLines()
{
    const int cols = static_cast<int>(m_source.columns.size());
    const int rows = static_cast<int>(m_source.gridRows().size());
    for (const LayoutSource::HiddenLine &h : m_source.hiddenLines)
        if (h.col < 0 || h.col > cols || h.row < 1 || h.row > rows - 1)
            fail(m_hiddenLineRows[{h.col, h.row}], "hidden line outside the grid");
    // Sorted as the stream lists edges, so comparisons with a read layout are direct.
    std::sort(m_source.hiddenLines.begin(), m_source.hiddenLines.end(),
              [](const auto &a, const auto &b) {
                  return std::pair{a.col, a.row} < std::pair{b.col, b.row};
              });
}

} // namespace

LayoutSourceParseResult parseLayoutSource(std::string_view text)
{
    LayoutSourceParseResult result;
    try {
        result.source = Parser().run(text);
    } catch (const Failure &failure) {
        result.line = failure.line;
        result.message = failure.message;
    }
    return result;
}

} // namespace tally::builtin
