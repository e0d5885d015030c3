// The document window: prints while it is being built, names itself uniquely,
// shows 格式不正确 for packets that do not load and lets print failures out.
#include "../formfixtures.h"
#include "datapacket/fielderror.h"
#include "documents/documentdef.h"
#include "documents/qt/tprintdocument.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tally::documents {
namespace {

class TPrintDocumentTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test";
            static char *argv[] = {name, nullptr};
            static QApplication app(argc, argv);
        }
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_spool.isValid());
        qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
    }
    void TearDown() override { qunsetenv("TALLY_PDF_DIR"); }

    static DocumentRequest request(std::string_view djlx, int items, const char *prev = "0",
                                   const test::Row &changes = {})
    {
        const test::HeaderFixture f = test::headerFixture(djlx);
        return {"", prev, test::packet(f.columns, {test::withChanges(f.row, changes)}),
                test::packet(test::itemColumns(djlx), test::itemRows(djlx, items))};
    }

    int pdfCount() const
    {
        return static_cast<int>(QDir(m_spool.path()).entryList({QStringLiteral("*.pdf")}).size());
    }

    QTemporaryDir m_spool;
};

TEST_F(TPrintDocumentTest, PrintsWhileBuiltAndTakesUniqueNames)
{
    const DocumentDef &def = *findDocument("1");
    TPrintDocument first(def, request("1", 41));
    TPrintDocument second(def, request("1", 3));
    EXPECT_EQ(first.outcome(), DocumentForm::Outcome::Printed);
    EXPECT_EQ(first.objectName(), QStringLiteral("PrintDHD"));
    EXPECT_EQ(second.objectName(), QStringLiteral("PrintDHD_1"));
    EXPECT_EQ(first.windowTitle(), QStringLiteral("打印订货单"));
    EXPECT_EQ(first.size(), QSize(1044, 540));
    EXPECT_EQ(first.form().title(), "订单打印(未赋值)");
    EXPECT_EQ(pdfCount(), 2);
}

TEST_F(TPrintDocumentTest, BadPacketShowsMessageAndPrintsNothing)
{
    DocumentRequest r = request("11", 2);
    r.itemData = "<DATAPACKET/>";
    TPrintDocument window(*findDocument("11"), std::move(r));
    EXPECT_EQ(window.outcome(), DocumentForm::Outcome::BadFormat);
    const auto boxes = window.findChildren<QMessageBox *>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), QStringLiteral("格式不正确"));
    EXPECT_EQ(pdfCount(), 0);
}

TEST_F(TPrintDocumentTest, PrintFailureLeavesTheConstructor)
{
    // The order form reads its contract number as an integer.
    EXPECT_THROW(TPrintDocument(*findDocument("1"), request("1", 2, "0", {{"HTH", "HT-1"}})),
                 datapacket::FieldError);
    EXPECT_EQ(pdfCount(), 0);
}

} // namespace
} // namespace tally::documents
