#pragma once

#include "printing/unitcodes.h"

#include <string>
#include <vector>

namespace tally::builtin {

// The content of one layout source file, checked for consistency but not yet
// turned into a layout model. Values carry the meaning of the layout model.
struct LayoutSource
{
    struct Unit
    {
        std::string text;
        std::string fontName = "宋体";
        int fontSize = 9;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        printing::HorzAlign hAlign = printing::HorzAlign::Left;
        printing::VertAlign vAlign = printing::VertAlign::Middle;
        bool fixedText = true;
        printing::SumScope sumKind = printing::SumScope::None;
        int sumField = 0;
    };

    struct FreeItem
    {
        Unit unit;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    struct Cell
    {
        int col = 0;
        int row = 0;
        int colSpan = 0;
        int rowSpan = 0;
        Unit unit;
    };

    // A body template covering columns first..last (merged when last > first).
    struct BodyColumn
    {
        int first = 0;
        int last = 0;
        std::string field; // empty: no field of the bound table
        printing::HorzAlign hAlign = printing::HorzAlign::Right;
    };

    struct HiddenLine
    {
        int col = 0;
        int row = 0; // grid row
        bool top = false;
        bool left = false;
    };

    struct Page
    {
        int zoomRatio = 100;
        int offsetX = 0;
        int offsetY = 0;
        int printOrient = 0;
        int paperSize = 0;
        int paperLength = 0;
        int paperWidth = 0;
        bool autoFit = false;
    };

    std::string name;
    std::string caption;
    std::string bill;
    std::string table;
    std::vector<std::string> fields;
    Page page;
    std::vector<int> columns;
    int topAreaHeight = 0;
    std::vector<int> headRows;
    std::vector<int> bodyRows;
    std::vector<int> tailRows;
    int bottomAreaHeight = 0;
    int extentWidth = 0;
    int extentHeight = 0;
    std::vector<FreeItem> topItems;
    std::vector<FreeItem> bottomItems;
    std::vector<Cell> headCells;
    std::vector<BodyColumn> bodyColumns;
    std::vector<Cell> tailCells;
    std::vector<HiddenLine> hiddenLines; // one entry per slot, sorted column then row

    // All row heights of the grid, top area first.
    std::vector<int> gridRows() const;
    // Sum of the sizes plus one pixel per column or row.
    int gridWidth() const;
    int gridHeight() const;
    // The field index each body column shows, as the model derives it.
    std::vector<int> fieldMap() const;
};

} // namespace tally::builtin
