#include "base/asciitext.h"
#include "commands.h"
#include "guiapplication.h"
#include "requestfile.h"

#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packeterror.h"
#include "datapacket/packetfield.h"
#include "tabular/charttab.h"
#include "tabular/qt/chartplayer.h"
#include "tabular/recordingchart.h"

#include <QApplication>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <cctype>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tally::tool {

namespace {

constexpr const char *kUsage =
    "usage: tallytool chart REQUEST|PACKET --x FIELD --y FIELD --png OUT.png [--size WxH]\n";

int fail(const std::string &path, const std::string &message)
{
    std::fprintf(stderr, "tallytool chart: %s: %s\n", path.c_str(), message.c_str());
    return 2;
}

// The entry of `fields` (table field indexes) whose field is named or
// labelled `name` (names ignore letter case); -1 when none is.
int entryOf(const datapacket::DataPacketTable &table, const std::vector<int> &fields,
            std::string_view name)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const datapacket::PacketField &f = table.field(fields[i]);
        if (ascii::equalsIgnoringCase(f.name(), name) || f.displayLabel() == name)
            return static_cast<int>(i);
    }
    return -1;
}

// WxH with sides from 1 to 10000 pixels.
std::optional<QSize> parseSize(std::string_view s)
{
    const auto x = s.find('x');
    if (x == std::string_view::npos)
        return std::nullopt;
    const auto side = [](std::string_view t) -> int {
        if (t.empty() || t.size() > 5)
            return 0;
        int v = 0;
        for (char c : t) {
            if (c < '0' || c > '9')
                return 0;
            v = v * 10 + (c - '0');
        }
        return v <= 10000 ? v : 0;
    };
    const int w = side(s.substr(0, x));
    const int h = side(s.substr(x + 1));
    if (w <= 0 || h <= 0)
        return std::nullopt;
    return QSize(w, h);
}

// The packet of a request file (document type "0", its "data"), or the
// file itself when it is a bare packet.
std::string readPacket(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open file");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t first = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    first = text.find_first_not_of(" \t\r\n", first);
    if (first != std::string::npos && text[first] == '<')
        return text;
    const service::RequestJson request = readRequestFile(path);
    if (request.djlx != "0")
        throw std::runtime_error("djlx \"" + request.djlx + "\" is not the generic list (\"0\")");
    return request.data;
}

} // namespace

// chart REQUEST|PACKET --x FIELD --y FIELD --png OUT.png [--size WxH]: the
// chart tab's drawing of one Y field against one X field (named by field
// name or display label), played by the tab's own chart off screen and
// written as a PNG image. The Y list's mode is the one that offers the
// field. Status 2 for input that does not load, a field not offered for its
// axis and a value that is not a number.
int runChart(std::span<const std::string_view> args)
{
    std::string path;
    std::string xName;
    std::string yName;
    std::string pngPath;
    QSize size(800, 500);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--x" && hasValue) {
            xName = args[++i];
        } else if (a == "--y" && hasValue) {
            yName = args[++i];
        } else if (a == "--png" && hasValue) {
            pngPath = args[++i];
        } else if (a == "--size" && hasValue) {
            const auto s = parseSize(args[++i]);
            if (!s) {
                std::fputs(kUsage, stderr);
                return 1;
            }
            size = *s;
        } else if (path.empty() && !a.starts_with("--")) {
            path = a;
        } else {
            std::fputs(kUsage, stderr);
            return 1;
        }
    }
    if (path.empty() || xName.empty() || yName.empty() || pngPath.empty()) {
        std::fputs(kUsage, stderr);
        return 1;
    }

    datapacket::DataPacketTable table(FormatSettings::fromSystemLocale());
    try {
        table.load(readPacket(path));
    } catch (const std::exception &e) {
        return fail(path, e.what());
    }

    tabular::ChartTab tab(table);
    tab.PageControl1Change();
    const int x = entryOf(table, tab.xFields(), xName);
    if (x < 0)
        return fail(path, "field \"" + xName + "\" is not offered for the X axis");
    tab.chooseX(x);
    int y = entryOf(table, tab.moneyFields(), yName);
    if (y >= 0) {
        tab.rbnMnyTypeClick();
    } else {
        y = entryOf(table, tab.valueFields(), yName);
        if (y < 0)
            return fail(path, "field \"" + yName + "\" is not offered for the Y axis");
        tab.rbnValTypeClick();
    }
    tab.selectY(y, true);
    tab.comXFieldClick();

    // The calls are made first and played afterwards, so that input errors
    // end the run before any window system is set up.
    tabular::RecordingChart calls;
    try {
        tab.btnShowClick(calls, [](std::string_view) {});
    } catch (const datapacket::FieldError &e) {
        return fail(path, e.what());
    }
    const auto app = makeWidgetApplication();
    tabular::ChartPlayer chart;
    chart.resize(size);
    for (const tabular::ChartCall &call : calls.calls())
        chart.play(call);
    // Laid out and painted as on screen, but never shown there.
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.show();
    if (!chart.grab().save(QString::fromStdString(pngPath), "PNG"))
        return fail(pngPath, "cannot write the image");
    std::printf(
        "%s: %dx%d, %zu points, X %s, Y %s\n", pngPath.c_str(), size.width(), size.height(),
        table.recordCount(), table.field(tab.xFields()[x]).name().c_str(),
        table.field((tab.moneyMode() ? tab.moneyFields() : tab.valueFields())[y]).name().c_str());
    return 0;
}

} // namespace tally::tool
