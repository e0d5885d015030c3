// Fuzzes the layout stream reader, then the structural operations on what it
// accepted: every accepted stream must give a consistent layout that writes
// and reads back to the same bytes.
#include "layout/einvalidreportoperation.h"
#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

using namespace tally::layout;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A few structural operations chosen by the input's last bytes.
void mutate(TBillLayout &layout, std::span<const std::uint8_t> ops)
{
    for (std::size_t i = 0; i + 2 < ops.size() && i < 24; i += 3) {
        const int a = ops[i + 1] % (layout.ColCount() + 2);
        const int b = ops[i + 2] % (layout.RowCount() + 2);
        try {
            switch (ops[i] % 8) {
            case 0:
                layout.InsertGridCol(a);
                break;
            case 1:
                layout.DeleteGridCol(a);
                break;
            case 2:
                layout.SetRowCountBody(b % 8);
                break;
            case 3:
                layout.DeleteGridRow(b);
                break;
            case 4:
                layout.BlockAt(a, b).Merge({0, 0, a % 3, b % 3});
                break;
            case 5:
                layout.BlockAt(a, b).Split({0, 0, a % 3, b % 3});
                break;
            case 6:
                layout.SetColCountLeft(a % 3);
                break;
            case 7:
                layout.AddBlockRow(layout.BlockAt(a, b));
                break;
            }
        } catch (const EInvalidReportOperation &) {
        }
        check(layout.IsConsistent());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    TBillLayout layout;
    const LayoutReadResult result = LayoutReader::Read(bytes, layout);
    if (!result) {
        check(result.offset <= size);
        check(layout.IsConsistent());
        return 0;
    }
    check(result.consumed <= size);
    check(layout.IsConsistent());
    const std::vector<std::uint8_t> written = LayoutWriter::Write(layout);
    TBillLayout again;
    const LayoutReadResult reread = LayoutReader::Read(written, again);
    check(reread.ok && reread.consumed == written.size());
    check(LayoutWriter::Write(again) == written);
    mutate(layout, bytes.subspan(result.consumed));
    return 0;
}
