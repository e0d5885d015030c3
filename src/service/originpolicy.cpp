#include "service/originpolicy.h"

#include "base/asciitext.h"

#include <algorithm>

namespace tally::service {

namespace {

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), ascii::toLower);
    return out;
}

std::string_view withoutTrailingSlash(std::string_view text)
{
    while (!text.empty() && text.back() == '/')
        text.remove_suffix(1);
    return text;
}

// Dotted decimal with four parts of 0..255, the only form browsers send.
bool isIpv4(std::string_view host)
{
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        int value = 0;
        while (digits < host.size() && host[digits] >= '0' && host[digits] <= '9') {
            value = value * 10 + (host[digits] - '0');
            if (++digits > 3)
                return false;
        }
        if (digits == 0 || value > 255)
            return false;
        ++parts;
        host.remove_prefix(digits);
        if (host.empty())
            return parts == 4;
        if (host.front() != '.' || parts == 4)
            return false;
        host.remove_prefix(1);
    }
}

// The host name of a Host header value, without the port; an IPv6 address
// keeps its brackets.
std::string_view hostName(std::string_view host)
{
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        return close == std::string_view::npos ? host : host.substr(0, close + 1);
    }
    return host.substr(0, host.find(':'));
}

} // namespace

OriginPolicy OriginPolicy::fromList(std::string_view list)
{
    OriginPolicy policy;
    constexpr std::string_view separators = " \t\r\n,;";
    std::size_t pos = 0;
    while ((pos = list.find_first_not_of(separators, pos)) != std::string_view::npos) {
        const std::size_t end = std::min(list.find_first_of(separators, pos), list.size());
        const std::string_view entry = withoutTrailingSlash(list.substr(pos, end - pos));
        if (!entry.empty())
            policy.m_origins.push_back(lowered(entry));
        pos = end;
    }
    return policy;
}

bool OriginPolicy::allowsOrigin(std::string_view origin) const
{
    if (!restricted())
        return true;
    const std::string wanted = lowered(origin);
    return std::find(m_origins.begin(), m_origins.end(), wanted) != m_origins.end();
}

bool OriginPolicy::allowsHost(std::string_view host) const
{
    if (!restricted() || host.empty())
        return true;
    std::string name = lowered(hostName(host));
    if (!name.empty() && name.back() == '.') // "localhost." is the same name
        name.pop_back();
    if (name == "localhost" || isIpv4(name))
        return true;
    // A bracketed host is an IPv6 address by the URL syntax, never a DNS name.
    return name.size() > 2 && name.front() == '[' && name.back() == ']' &&
           name.find_first_not_of("0123456789abcdef:.[]") == std::string::npos;
}

} // namespace tally::service
