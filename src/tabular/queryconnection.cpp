#include "tabular/queryconnection.h"

#include "base/asciitext.h"
#include "tabular/queryerror.h"

#include <charconv>

namespace tally::tabular {

namespace {

std::string percentDecoded(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && ascii::hexDigitValue(s[i + 1]) >= 0 &&
            ascii::hexDigitValue(s[i + 2]) >= 0) {
            out += static_cast<char>(ascii::hexDigitValue(s[i + 1]) * 16 +
                                     ascii::hexDigitValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

QueryConnection parseConnection(std::string_view text)
{
    QueryConnection c;
    const std::size_t sep = text.find("://");
    if (sep == std::string_view::npos) {
        c.driver = "QSQLITE";
        c.database = std::string(text);
        return c;
    }
    const std::string_view scheme = text.substr(0, sep);
    std::string_view rest = text.substr(sep + 3);
    if (scheme == "sqlite") {
        c.driver = "QSQLITE";
        c.database = percentDecoded(rest);
        return c;
    }
    if (scheme == "postgresql" || scheme == "postgres")
        c.driver = "QPSQL";
    else if (scheme == "mysql")
        c.driver = "QMYSQL";
    else if (scheme == "odbc")
        c.driver = "QODBC";
    else if (scheme.starts_with("qt+") && scheme.size() > 3)
        c.driver = std::string(scheme.substr(3));
    else
        throw QueryError("unknown database scheme \"" + std::string(scheme) + "\"");

    const std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
        c.database = percentDecoded(rest.substr(slash + 1));
        rest = rest.substr(0, slash);
    }
    const std::size_t at = rest.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = rest.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        c.user = percentDecoded(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            c.password = percentDecoded(userInfo.substr(colon + 1));
        rest = rest.substr(at + 1);
    }
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string_view::npos && rest.find(']', colon) == std::string_view::npos) {
        const std::string_view port = rest.substr(colon + 1);
        int value = 0;
        auto [p, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || ec != std::errc{} || p != port.data() + port.size() || value <= 0 ||
            value > 65535)
            throw QueryError("port \"" + std::string(port) + "\" is not a number from 1 to 65535");
        c.port = value;
        rest = rest.substr(0, colon);
    }
    c.host = std::string(rest);
    return c;
}

} // namespace tally::tabular
