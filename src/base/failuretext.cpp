#include "base/failuretext.h"

#include <exception>

namespace tally {

std::string currentFailureText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return e.what();
    } catch (...) {
        return "未知错误";
    }
}

} // namespace tally
