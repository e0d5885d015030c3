#pragma once

#include <string>

namespace tally::printing {

// Modal information boxes of the print layer (caption "提示").
class UserMessages
{
public:
    virtual ~UserMessages() = default;
    // Shows an information message and returns when the user has closed it.
    virtual void information(const std::string &caption, const std::string &text) = 0;
};

} // namespace tally::printing
