#pragma once

#include "support/printingfakes.h"

#include "printing/canvas.h"
#include "printing/iprintable.h"
#include "printing/printer.h"
#include "printing/qt/preview/printermetricssource.h"
#include "printing/qt/preview/printersetup.h"
#include "printing/recordingcanvas.h"
#include "printing/usermessages.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tally::printing::preview::testing_fakes {

// A bill whose page count and extent the test sets. With pagesPerZoom the
// page count follows the zoom (pages = ceil(pagesAt100 × zoom / 100)), as a
// real bill's pagination does. Every operation that matters is logged.
class FakePrintable final : public IPrintable
{
public:
    FakePrintable() = default;
    virtual ~FakePrintable() = default;
    std::vector<std::string> log;
    int pagesAt100 = 3;
    bool pagesFollowZoom = false;
    int pageWidth = 700;
    int pageHeight = 1000;
    std::string caption = "订货单";
    int failDrawPage = 0;
    // Draws a filled rectangle over the whole page content when set, so a
    // picture shows what the page covers.
    std::function<void(Canvas &, int page, double scale)> painter;

    PrinterOrientation GetPrintOrient() const override { return m_orient; }
    void SetPrintOrient(PrinterOrientation o) override { m_orient = o; }
    Point GetOffset() const override { return m_offset; }
    void SetOffset(Point offset) override { m_offset = offset; }
    int GetPaperSize() const override { return m_paperSize; }
    void SetPaperSize(int v) override { m_paperSize = v; }
    int GetPaperLength() const override { return m_paperLength; }
    int GetPaperWidth() const override { return m_paperWidth; }
    void SetPaperLength(int v) override { m_paperLength = v; }
    void SetPaperWidth(int v) override { m_paperWidth = v; }
    int GetPageCount() const override { return m_pages; }
    int GetZoomRatio() const override { return m_zoom; }
    void SetZoomRatio(int zoom) override { m_zoom = zoom; }
    std::string GetCaption() const override { return caption; }
    int GetPageWidth() const override { return pageWidth; }
    int GetPageHeight() const override { return pageHeight; }
    void BeginPrint() override { log.push_back("BeginPrint"); }
    void EndPrint() override { log.push_back("EndPrint"); }
    void CalcPages() override
    {
        log.push_back("CalcPages");
        m_pages = pagesFollowZoom ? (pagesAt100 * m_zoom + 99) / 100 : pagesAt100;
    }
    void DrawPage(Canvas &canvas, int pageIndex, double scale) override
    {
        const Point o = canvas.origin();
        lastDraw = {pageIndex, scale, o};
        ++draws;
        if (pageIndex == failDrawPage)
            throw std::runtime_error("page cannot be drawn");
        if (painter)
            painter(canvas, pageIndex, scale);
    }
    void SaveSettings() override { log.push_back("SaveSettings"); }

    struct Draw
    {
        int page = -1;
        double scale = 0;
        Point origin;
    };
    Draw lastDraw;
    int draws = 0;

private:
    PrinterOrientation m_orient = PrinterOrientation::poPortrait;
    Point m_offset;
    int m_paperSize = 0;
    int m_paperLength = 0;
    int m_paperWidth = 0;
    int m_zoom = 100;
    int m_pages = 0;
};

// Metrics of a printer at screen resolution, so device and screen pixels
// coincide: an A4-like sheet of 794 × 1123 with a printable area inset by
// (20, 30) and 740 × 1050 wide and high.
class FakeMetrics : public PrinterMetricsSource
{
public:
    PrinterMetrics value{96, 96, 794, 1123, 20, 30, 740, 1050};
    bool fail = false;
    mutable int asked = 0;
    PrinterMetrics metrics() const override
    {
        ++asked;
        if (fail)
            throw std::runtime_error("no printer installed");
        return value;
    }
};

using printing::testing_fakes::FakePrinter;

class FakeSetup : public PrinterSetup
{
public:
    std::optional<PrinterPageSetup> answer;
    int shown = 0;
    std::optional<PrinterPageSetup> execute(QWidget *) override
    {
        ++shown;
        return answer;
    }
};

class FakeMessages : public UserMessages
{
public:
    std::vector<std::string> shown;
    void information(const std::string &caption, const std::string &text) override
    {
        shown.push_back(caption + ": " + text);
    }
};

// One QApplication for the whole test program (offscreen platform).
class QtEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "preview_tests";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

} // namespace tally::printing::preview::testing_fakes
