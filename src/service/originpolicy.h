#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tally::service {

// Which web pages may use the service. Unrestricted by default, so pages that
// work today keep working; with a list, only pages of the listed origins are
// served, and requests must name this machine as "localhost" or by an IP
// address (a page that rebinds its own DNS name to us arrives with that name).
// Requests without an Origin (curl, a plain form post) are not restricted.
class OriginPolicy
{
public:
    // No restriction.
    OriginPolicy() = default;

    // The origins in `list`, separated by white space, commas or semicolons
    // ("https://erp.example.com, http://10.0.0.5:8080"). An entry's trailing
    // "/" is ignored. A list without entries gives no restriction.
    static OriginPolicy fromList(std::string_view list);

    bool restricted() const { return !m_origins.empty(); }

    // The listed origins, as written (lower case, without a trailing "/").
    const std::vector<std::string> &origins() const { return m_origins; }

    // True when a request with this Origin header may be served; case does
    // not matter. Callers only ask for requests that carry an Origin.
    bool allowsOrigin(std::string_view origin) const;

    // True when a request with this Host header value ("name[:port]",
    // "[v6]:port", empty when absent) may be served: always without a list,
    // else for "localhost" and IP addresses only.
    bool allowsHost(std::string_view host) const;

private:
    std::vector<std::string> m_origins;
};

} // namespace tally::service
