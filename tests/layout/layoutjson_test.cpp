#include "layout/layoutjson.h"
#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"
#include "samplelayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

using namespace tally::layout;

namespace {

// Compares with a golden file; TALLY_REGENERATE_GOLDEN=1 rewrites it instead.
void expectGolden(const std::string &actual, const std::string &name)
{
    const std::string path = std::string(TALLY_TEST_DATA_DIR) + "/layout/" + name;
    if (const char *regenerate = std::getenv("TALLY_REGENERATE_GOLDEN");
        regenerate && *regenerate == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    const std::string expected{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(actual, expected) << name;
}

TEST(LayoutJsonTest, OrderFormLikeLayoutDescription)
{
    // The description is taken from the layout as read back, as the tool does.
    TBillLayout built;
    sample::buildOrderFormLike(built);
    TBillLayout layout;
    ASSERT_TRUE(LayoutReader::Read(LayoutWriter::Write(built), layout));
    expectGolden(LayoutToJson(layout), "order_form_like.json");
}

} // namespace
