// textcodeccheck: the text module's Win32 code-page converter and regional
// settings, run under Wine (no GoogleTest for the cross compiler). The cases
// are those of textcodec_test.cpp that depend on the converter.
#include "base/formatsettings.h"
#include "base/textcodec.h"

#include <cstdio>
#include <string>

using namespace tally;

namespace {

int g_failures = 0;

void check(bool ok, const char *what)
{
    if (!ok) {
        ++g_failures;
        std::printf("FAIL %s\n", what);
    }
}

} // namespace

int main()
{
    const std::string fffd = "\xEF\xBF\xBD";
    const struct
    {
        const char *name;
        std::string utf8;
        std::string cp936;
    } encode[] = {
        {"ascii", "JLBH 12", "JLBH 12"},
        {"one Chinese character", "中", "\xD6\xD0"},
        {"mixed", "a中b",
         "a\xD6\xD0"
         "b"},
        {"full-width yuan", "￥", "\xA3\xA4"},
        {"full-width colon", "本次：", "\xB1\xBE\xB4\xCE\xA3\xBA"},
        {"emoji is not in the code page", "a\xF0\x9F\x98\x80z", "a?z"},
        {"Hangul is not in the code page", "한", "?"},
        {"ill-formed UTF-8", "a\xFFz", "a?z"},
    };
    for (const auto &c : encode) {
        check(text::toCodePage(c.utf8) == c.cp936, c.name);
        std::string out;
        text::appendCodePage(out, c.utf8);
        check(out == c.cp936, c.name);
    }
    check(text::fromCodePage("\xD6\xD0") == "中", "decodes a character");
    check(text::fromCodePage("a\xD6") == "a" + fffd, "a lone lead byte");
    check(text::fromCodePage("\xFFx") == fffd + "x", "a byte that is not GBK");
    check(text::fromCodePage(text::toCodePage("价格变动单：￥12.50")) == "价格变动单：￥12.50",
          "round trip");
    check(text::codePageLength("a中") == 3, "code page length");

    const FormatSettings fs = FormatSettings::fromSystemLocale();
    check(!fs.shortDateFormat.empty() && !fs.longTimeFormat.empty(), "regional date and time");
    check(fs.decimalSeparator != fs.thousandSeparator, "separators differ");
    check(fs.longTimeFormat.find('t') == std::string::npos &&
              fs.longTimeFormat.find('m') == std::string::npos && fs.longTimeFormat.back() != ' ',
          "time pattern without AM/PM marker, minutes as n");
    std::printf("textcodec: %d failed (date \"%s\", time \"%s\")\n", g_failures,
                fs.shortDateFormat.c_str(), fs.longTimeFormat.c_str());
    return g_failures == 0 ? 0 : 1;
}
