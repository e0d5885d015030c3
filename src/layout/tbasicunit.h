#pragma once

#include "layout/layouttypes.h"
#include "printing/unitcodes.h"

#include <cstdint>
#include <string>

namespace tally::layout {

// A text unit: the common part of grid cells and free items. Text is UTF-8.
// When FixedText is false, Text names a variable whose text the owning
// document supplies at print time.
class TBasicUnit
{
public:
    // Name of the default typeface.
    static constexpr const char *kDefaultFontName = "宋体";
    static constexpr int kDefaultFontSize = 9;

    TBasicUnit() = default;
    virtual ~TBasicUnit() = default;
    TBasicUnit(const TBasicUnit &) = default;
    TBasicUnit &operator=(const TBasicUnit &) = default;
    TBasicUnit(TBasicUnit &&) = default;
    TBasicUnit &operator=(TBasicUnit &&) = default;

    // True when drawing wraps the text at word breaks (cells), false when it is
    // drawn on one line (free items).
    virtual bool WrapsText() const { return true; }

    // The horizontal alignment a unit of this kind has by default.
    virtual printing::HorzAlign DefaultHAlign() const { return printing::HorzAlign::Left; }

    const std::string &Text() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }

    const std::string &FontName() const { return m_fontName; }
    void SetFontName(std::string name) { m_fontName = std::move(name); }

    // Bit set of TFontStyle values.
    std::uint8_t FontStyle() const { return m_fontStyle; }
    void SetFontStyle(std::uint8_t style) { m_fontStyle = style & 7; }
    bool HasStyle(TFontStyle style) const
    {
        return (m_fontStyle & static_cast<std::uint8_t>(style)) != 0;
    }
    void AddStyle(TFontStyle style) { m_fontStyle |= static_cast<std::uint8_t>(style); }

    // Points.
    int FontSize() const { return m_fontSize; }
    void SetFontSize(int size) { m_fontSize = size; }

    printing::HorzAlign HAlign() const { return m_hAlign; }
    void SetHAlign(printing::HorzAlign align) { m_hAlign = align; }

    printing::VertAlign VAlign() const { return m_vAlign; }
    void SetVAlign(printing::VertAlign align) { m_vAlign = align; }

    bool FixedText() const { return m_fixedText; }
    void SetFixedText(bool fixed) { m_fixedText = fixed; }

    printing::SumScope SumKind() const { return m_sumKind; }
    void SetSumKind(printing::SumScope kind) { m_sumKind = kind; }

    // Index of the table field that SumKind adds up.
    int SumField() const { return m_sumField; }
    void SetSumField(int field) { m_sumField = field; }

    // True when the text properties (text, font, alignment, variable, sum)
    // differ from those of a fresh unit of this kind.
    bool DiffersFromDefault() const;

    // Copies the text properties of another unit (not the cell position).
    void AssignUnit(const TBasicUnit &other) { *this = other; }

protected:
    explicit TBasicUnit(printing::HorzAlign hAlign) : m_hAlign(hAlign) {}

private:
    std::string m_text;
    std::string m_fontName = kDefaultFontName;
    std::uint8_t m_fontStyle = 0;
    int m_fontSize = kDefaultFontSize;
    printing::HorzAlign m_hAlign = printing::HorzAlign::Left;
    printing::VertAlign m_vAlign = printing::VertAlign::Middle;
    bool m_fixedText = true;
    printing::SumScope m_sumKind = printing::SumScope::None;
    int m_sumField = 0;
};

} // namespace tally::layout
