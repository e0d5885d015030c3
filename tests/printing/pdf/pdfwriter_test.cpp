#include "printing/pdf/pdfdocument.h"
#include "printing/pdf/pdffilewriter.h"
#include "printing/pdf/pdfnumber.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace tally::printing::pdf {
namespace {

struct NumberCase
{
    double value;
    const char *text;
};

// Coordinates are written to hundredths in their shortest form: no
// exponent, no trailing zeros, no "-0", halves rounded away from zero.
TEST(PdfNumberTest, NumbersAreShortFixedPoint)
{
    const NumberCase cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.004, "0"},
        {-0.004, "0"},
        {0.005, "0.01"},
        {1, "1"},
        {-1, "-1"},
        {12.5, "12.5"},
        {12.50001, "12.5"},
        {0.25, "0.25"},
        {-0.25, "-0.25"},
        {0.1, "0.1"},
        {0.07, "0.07"},
        {252.046875, "252.05"},
        {1603.33593, "1603.34"},
        {7016, "7016"},
        {-842.999, "-843"},
        {99.995, "100"},
        {1e20, "1000000000000000"},
        {-1e20, "-1000000000000000"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (const NumberCase &c : cases) {
        char buf[kNumberChars];
        EXPECT_EQ(std::string(buf, formatNumber(buf, c.value)), c.text) << c.value;
    }
}

TEST(PdfNumberTest, IntegersKeepEveryDigit)
{
    const std::pair<std::int64_t, const char *> cases[] = {
        {0, "0"},
        {7, "7"},
        {-7, "-7"},
        {10, "10"},
        {99, "99"},
        {100, "100"},
        {999, "999"},
        {1000, "1000"},
        {4961, "4961"},
        {9999, "9999"},
        {10000, "10000"},
        {-100000, "-100000"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto &[value, text] : cases) {
        char buf[kNumberChars];
        EXPECT_EQ(std::string(buf, formatInteger(buf, value)), text) << value;
    }
}

TEST(PdfTextStringTest, TitlesAreUtf16WithByteOrderMark)
{
    EXPECT_EQ(pdfTextString(""), "<FEFF>");
    EXPECT_EQ(pdfTextString("A"), "<FEFF0041>");
    EXPECT_EQ(pdfTextString("报表:"), "<FEFF62A58868003A>");
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(pdfTextString("\xF0\x9F\x98\x80"), "<FEFFD83DDE00>");
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The cross-reference table must point at each "N 0 obj", or readers
// rebuild it (or give up).
TEST(PdfDocumentTest, CrossReferencePointsAtEveryObject)
{
    const auto path = std::filesystem::temp_directory_path() / "tally_pdfwriter_xref.pdf";
    {
        PdfDocument doc(path.string());
        doc.addPage(595, 842, "0 0 m 100 100 l S\n");
        doc.addPage(842, 595, "1 g 0 0 10 10 re f\n");
        ASSERT_TRUE(doc.finish("标题", "Tallyhost", "D:20260101000000Z"));
    }
    const std::string pdf = readFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(pdf.starts_with("%PDF-1.4\n"));
    ASSERT_TRUE(pdf.ends_with("%%EOF\n"));
    const std::size_t startxref = pdf.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    const std::size_t xref = std::stoul(pdf.substr(startxref + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    std::istringstream table(pdf.substr(xref + 5));
    int first = -1, count = 0;
    table >> first >> count;
    ASSERT_EQ(first, 0);
    ASSERT_GT(count, 6); // pages, resources, two pages with contents, catalog, info
    std::string line;
    std::getline(table, line);
    std::getline(table, line); // the free entry
    for (int id = 1; id < count; ++id) {
        std::getline(table, line);
        const std::size_t offset = std::stoul(line.substr(0, 10));
        const std::string head = std::to_string(id) + " 0 obj\n";
        EXPECT_EQ(pdf.compare(offset, head.size(), head), 0) << "object " << id;
    }
}

// A full disk shows when the file is flushed: the document reports the
// file incomplete instead of a finished job.
TEST(PdfDocumentTest, FullDiskIsReportedByFinish)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    PdfDocument doc("/dev/full");
    doc.addPage(595, 842, std::string(200000, ' '));
    EXPECT_FALSE(doc.finish("t", "Tallyhost", "D:20260101000000Z"));
}

TEST(PdfDocumentTest, UnopenableFileThrowsNamingIt)
{
    try {
        PdfDocument doc("/nonexistent-dir/x.pdf");
        FAIL() << "opened";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-dir/x.pdf"), std::string::npos);
    }
}

} // namespace
} // namespace tally::printing::pdf
