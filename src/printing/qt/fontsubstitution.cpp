#include "printing/qt/fontsubstitution.h"

#include "printing/canvas.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tally::printing {

#ifndef Q_OS_WIN
namespace {

struct Substitute
{
    std::string_view layoutName;
    const char *family;
};

// The Song/Ming, Kai and Hei faces of the Debian packages fonts-arphic-uming,
// fonts-arphic-ukai and fonts-wqy-zenhei.
constexpr const char *kSong = "AR PL UMing CN";
constexpr const char *kKai = "AR PL UKai CN";
constexpr const char *kHei = "WenQuanYi Zen Hei";

constexpr std::array kTable{
    Substitute{"宋体", kSong},         Substitute{"新宋体", kSong},     Substitute{"SimSun", kSong},
    Substitute{"NSimSun", kSong},      Substitute{"楷体_GB2312", kKai}, Substitute{"楷体", kKai},
    Substitute{"KaiTi_GB2312", kKai},  Substitute{"KaiTi", kKai},       Substitute{"黑体", kHei},
    Substitute{"SimHei", kHei},        Substitute{"Arial", kHei},       Substitute{"Tahoma", kHei},
    Substitute{"MS Sans Serif", kHei},
};

} // namespace
#endif

QString FontSubstitution::family(const std::string &layoutName)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(layoutName);
#else
    const auto it = std::find_if(kTable.begin(), kTable.end(),
                                 [&](const Substitute &s) { return s.layoutName == layoutName; });
    return QString::fromLatin1(it == kTable.end() ? kSong : it->family);
#endif
}

QFont FontSubstitution::font(const std::string &layoutName, int pixelHeight, unsigned styleBits)
{
    QFont f;
    f.setFamilies(QStringList{family(layoutName)});
    f.setPixelSize(std::max(pixelHeight, 1));
    f.setBold((styleBits & Canvas::Bold) != 0);
    f.setItalic((styleBits & Canvas::Italic) != 0);
    f.setUnderline((styleBits & Canvas::Underline) != 0);
    f.setStrikeOut((styleBits & Canvas::StrikeOut) != 0);
    // Hinting would move glyphs off the positions the layout measured.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace tally::printing
