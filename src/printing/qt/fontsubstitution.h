#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <string>

namespace tally::printing {

// Maps the font names of layouts and forms (宋体, 新宋体, 黑体, 楷体_GB2312)
// to installed faces. On Windows the named fonts exist and pass through;
// elsewhere each maps to a CJK face whose PDF text extracts as the real
// characters, and every unknown name to the Song face, so the font never
// depends on the system's fallback choice.
class FontSubstitution
{
public:
    // The family to ask for in place of a layout font name (UTF-8).
    static QString family(const std::string &layoutName);

    // A font of that family with the pixel size and the style bits of
    // Canvas::FontStyle.
    static QFont font(const std::string &layoutName, int pixelHeight, unsigned styleBits);
};

} // namespace tally::printing
