// Feeds arbitrary bytes to the text codec, the number and currency parsers and
// the pattern formatters, checking the invariants the rest of the engine
// relies on.
#include "base/currency.h"
#include "base/datetimeformat.h"
#include "base/formatsettings.h"
#include "base/numberformat.h"
#include "base/textcodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tally;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const FormatSettings fs = FormatSettings::chinesePrc();

    const std::string clean = text::sanitizeUtf8(bytes);
    check(text::isValidUtf8(clean));
    check(text::isValidUtf8(bytes) == (clean == bytes));
    const std::string codePage = text::toCodePage(bytes);
    check(codePage.size() == text::codePageLength(bytes));
    // Converting in place, as the export writers do, gives the same bytes,
    // at most as many as the input's, and touches nothing past their end.
    std::string inPlace(bytes.size() + 8, '\x7F');
    const char *const end = text::encodeCodePage(bytes, inPlace.data());
    check(std::string_view(inPlace.data(), static_cast<std::size_t>(end - inPlace.data())) ==
          codePage);
    check(inPlace.find_first_not_of('\x7F', codePage.size()) == std::string::npos);
    // A valid text converts to what its characters convert to one by one,
    // whatever follows whatever.
    std::string byCharacter;
    for (std::size_t pos = 0; pos < clean.size();) {
        const std::size_t from = pos;
        text::nextCodePoint(clean, pos);
        byCharacter += text::toCodePage(std::string_view(clean).substr(from, pos - from));
    }
    check(text::toCodePage(clean) == byCharacter);
    check(text::isValidUtf8(text::fromCodePage(bytes)));
    const std::size_t limit = size % 17;
    const std::string_view prefix = text::truncateToCodePageLength(bytes, limit);
    check(text::codePageLength(prefix) <= limit);
    check(bytes.substr(0, prefix.size()) == prefix);

    if (const auto value = parseFloat(bytes, fs))
        (void)formatGeneral(*value, fs);
    (void)parseInt32(bytes);
    if (const auto money = Currency::parse(bytes, fs))
        (void)formatCurrency(*money, fs, 4, 19);
    (void)formatFloatPattern(bytes, -1234.5678, fs);
    (void)formatFloatPattern(bytes, 0.0, fs);
    LocalDateTime dt;
    (void)formatDateTime(bytes, dt, fs);
    return 0;
}
