// Every built-in layout, bound to a small item packet, printed to a PDF file
// through the Qt printer; pdftotext must find its labels and body texts.
#include "datapacket/datapackettable.h"
#include "layout/builtin/builtinlayouts.h"
#include "layout/tbill.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

namespace tally::layout {
namespace {

// The application object the Qt printer needs, ended with the test run:
// destroying it among the static destructors crashes inside Qt.
class QtAppEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "tally_bill_pdf_tests";
        static char *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

const testing::Environment *const kQtApp =
    testing::AddGlobalTestEnvironment(new QtAppEnvironment); // owned by GoogleTest

std::string withoutSpaces(std::string s)
{
    s.erase(std::remove_if(s.begin(), s.end(),
                           [](char c) {
                               return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
                           }),
            s.end());
    return s;
}

// The labelled cells of a block, widest first (without a form answering
// them, variable cells print their stored text too).
std::vector<std::string> cellLabels(TBillLayout &layout, TBlock &block)
{
    std::vector<std::pair<int, std::string>> found;
    for (int c = 0; c < block.ColCount(); ++c) {
        for (int r = 0; r < block.RowCount(); ++r) {
            const TCell &cell = block.Slot(c, r);
            if (cell.Col() != c || cell.Row() != r || cell.Text().empty() ||
                cell.SumKind() != tally::printing::SumScope::None)
                continue;
            const printing::Rect rect = layout.CellRect(cell.GridRect());
            found.emplace_back(rect.width(), cell.Text());
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<std::string> out;
    for (auto &f : found)
        out.push_back(f.second);
    return out;
}

// A packet with the fields the layout's body shows and sums: summed fields
// are floats, the others text; the widest body column carries "样品<row>".
struct SamplePacket
{
    std::string text;
    int wideField = 0;
};

SamplePacket samplePacket(TBillLayout &layout, int records)
{
    const TBodyBlock &body = layout.BodyBlock();
    std::set<int> numeric;
    for (TBlock *block : {static_cast<TBlock *>(&layout.HeadBlock()), &layout.TailBlock()}) {
        for (int c = 0; c < block->ColCount(); ++c)
            for (int r = 0; r < block->RowCount(); ++r)
                if (block->Slot(c, r).SumKind() != tally::printing::SumScope::None)
                    numeric.insert(block->Slot(c, r).SumField());
    }
    int fields = numeric.empty() ? 0 : *numeric.rbegin() + 1;
    SamplePacket packet;
    int widest = -1;
    for (int c = 0; c < body.ColCount(); ++c) {
        const int field = body.FieldMap()[static_cast<std::size_t>(c)];
        fields = std::max(fields, field + 1);
        const int width = layout.Cols().Size(body.ColOrigin() + c);
        if (width > widest && !numeric.count(field)) {
            widest = width;
            packet.wideField = field;
        }
    }
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>";
    for (int f = 0; f < fields; ++f) {
        s += "<FIELD attrname=\"F" + std::to_string(f) + "\" fieldtype=\"" +
             (numeric.count(f) ? "r8\"/>" : "string\" WIDTH=\"30\"/>");
    }
    s += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int r = 0; r < records; ++r) {
        s += "<ROW";
        for (int f = 0; f < fields; ++f) {
            std::string v = numeric.count(f)        ? std::to_string(r + 1) + ".5"
                            : f == packet.wideField ? "样品" + std::to_string(r)
                                                    : std::to_string(r);
            s += " F" + std::to_string(f) + "=\"" + v + "\"";
        }
        s += "/>";
    }
    s += "</ROWDATA></DATAPACKET>";
    packet.text = std::move(s);
    return packet;
}

class BuiltinPdfTest : public testing::TestWithParam<std::string>
{
};

TEST_P(BuiltinPdfTest, PrintsLabelsAndBodyTextsThatPdftotextFinds)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";

    auto bill = TBill::FromBuiltin(GetParam());
    ASSERT_TRUE(bill);
    const SamplePacket packet = samplePacket(bill->Layout(), 3);
    datapacket::DataPacketTable items;
    items.load(packet.text);
    bill->SetDataSet(&items);
    bill->SetRowCountBody(3);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QString::fromStdString(GetParam() + ".pdf"));
    printing::QtPrinter printer(printing::OutputTarget::pdfFile(file));
    printing::PrintContext context;
    context.printer = &printer;
    bill->SetPrintContext(context);
    bill->Print(false);
    if (qEnvironmentVariableIsSet("TALLY_KEEP_PDF"))
        QFile::copy(file, qEnvironmentVariable("TALLY_KEEP_PDF") + QLatin1Char('/') +
                              QString::fromStdString(GetParam() + ".pdf"));

    QProcess process;
    process.start(pdftotext, {file, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(30000));
    const std::string text = withoutSpaces(process.readAllStandardOutput().toStdString());

    for (int r = 0; r < 3; ++r)
        EXPECT_NE(text.find("样品" + std::to_string(r)), std::string::npos) << text;
    const auto labels = cellLabels(bill->Layout(), bill->Layout().HeadBlock());
    ASSERT_FALSE(labels.empty());
    EXPECT_NE(text.find(withoutSpaces(labels.front())), std::string::npos) << labels.front() << "\n"
                                                                           << text;
    for (const TFooter &item : bill->Layout().TopFooters()) {
        if (item.FixedText() || item.Text().empty())
            continue;
        // Variables print their stored names until a form answers them.
        EXPECT_NE(text.find(withoutSpaces(item.Text())), std::string::npos) << item.Text();
        break;
    }
}

std::vector<std::string> builtinNames()
{
    std::vector<std::string> names;
    for (std::string_view n : builtin::builtinLayoutNames())
        names.emplace_back(n);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Builtin, BuiltinPdfTest, testing::ValuesIn(builtinNames()),
                         [](const auto &row) { return row.param; });

} // namespace
} // namespace tally::layout
