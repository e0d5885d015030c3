// The committed sample requests load into their documents, paginate as their
// README says, and every variable of their document has a text for them.
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "formfixtures.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>

namespace tally::documents {
namespace {

// Percent-decoding of the sample bodies (they use no other escape).
std::string percentDecoded(const std::string &body)
{
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '%' && i + 2 < body.size()) {
            out += static_cast<char>(std::stoi(body.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += body[i] == '+' ? ' ' : body[i];
        }
    }
    return out;
}

struct SampleCase
{
    const char *file;
    const char *djlx;
    bool loads;
    std::size_t items;
    int pages;
};

const SampleCase kSamples[] = {
    {"order-form", "1", true, 8, 1},
    {"order-form-preview", "1", true, 8, 1},
    {"order-form-41-rows", "1", true, 41, 2},
    {"order-form-landscape-23-rows", "12", true, 23, 2},
    {"purchase-receipt", "2", true, 12, 1},
    {"settlement-list", "3", true, 11, 2},
    {"settlement-notice", "4", true, 3, 1},
    {"dealer-settlement", "5", true, 3, 1},
    {"purchase-price-change", "8", true, 10, 1},
    {"cost-price-change", "9", true, 6, 1},
    {"return-quantity", "10", true, 5, 1},
    {"return-note", "11", true, 7, 1},
    {"order-form-missing-field", "1", false, 0, 1},
};

class SampleRequests : public ::testing::TestWithParam<SampleCase>
{
};

TEST_P(SampleRequests, LoadAndAnswerEveryVariable)
{
    const SampleCase &c = GetParam();
    std::ifstream in(std::string(TALLY_SAMPLES_DIR) + "/" + c.file + ".body", std::ios::binary);
    ASSERT_TRUE(in) << c.file;
    std::stringstream body;
    body << in.rdbuf();
    const nlohmann::json request = nlohmann::json::parse(percentDecoded(body.str()));
    ASSERT_EQ(request.at("djlx"), c.djlx);

    const DocumentDef &def = *findDocument(c.djlx);
    DocumentForm form(
        def,
        {request.at("title"), request.at("prev"), request.at("Maindata"), request.at("Itemdata")},
        FormatSettings::chinesePrc(), test::fixedNow);
    ASSERT_EQ(form.load(), c.loads) << form.loadError();
    EXPECT_EQ(form.itemCount(), c.items);
    EXPECT_EQ(form.pageCount(), c.pages);
    if (!c.loads)
        return;
    for (const VariableGroup &group : def.footerGroups)
        for (const VariableRule &rule : group.rules)
            for (int page = 1; page <= form.pageCount(); ++page)
                EXPECT_NO_THROW(form.footerText(page, form.pageCount(), std::string(rule.name)))
                    << rule.name;
}

INSTANTIATE_TEST_SUITE_P(Committed, SampleRequests, ::testing::ValuesIn(kSamples),
                         [](const auto &p) {
                             std::string name = p.param.file;
                             std::erase(name, '-');
                             return name;
                         });

} // namespace
} // namespace tally::documents
