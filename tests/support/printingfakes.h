#pragma once

#include "printing/custombillbase.h"
#include "printing/printdialog.h"
#include "printing/printer.h"
#include "printing/recordingcanvas.h"
#include "printing/usermessages.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tally::printing::testing_fakes {

// A printer that logs every request as a line of text.
class FakePrinter : public Printer
{
public:
    std::vector<std::string> log;
    bool collateCapable = true;
    PrinterMetrics pageMetrics{600, 600, 4960, 7016, 100, 100, 4760, 6816};
    RecordingCanvas page{600, 600};

    void setPaperSize(std::int16_t code) override
    {
        log.push_back("paper " + std::to_string(code));
    }
    void setPaperExtent(std::int16_t length, std::int16_t width) override
    {
        log.push_back("extent " + std::to_string(length) + "x" + std::to_string(width));
    }
    void setOrientation(PrinterOrientation o) override
    {
        m_orientation = o;
        log.push_back("orient " + std::to_string(static_cast<int>(o)));
    }
    PrinterOrientation orientation() const override { return m_orientation; }
    PrinterMetrics metrics() const override { return pageMetrics; }
    bool canCollate() const override { return collateCapable; }
    void setCopies(int copies) override { log.push_back("copies " + std::to_string(copies)); }
    void setCollate(bool collate) override
    {
        log.push_back(std::string("collate ") + (collate ? "on" : "off"));
    }
    void setTitle(const std::string &title) override { log.push_back("title " + title); }
    void beginDoc() override { log.push_back("beginDoc"); }
    void newPage() override { log.push_back("newPage"); }
    void endDoc() override { log.push_back("endDoc"); }
    void abortDoc() override { log.push_back("abortDoc"); }
    Canvas &canvas() override { return page; }

private:
    PrinterOrientation m_orientation = PrinterOrientation::poPortrait;
};

// A bill of a given number of pages that logs its printable operations into
// a shared log and can fail on request.
class FakeBill : public TCustomBillBase
{
public:
    explicit FakeBill(std::vector<std::string> &log) : m_log(log) {}

    int pages = 1;
    std::string caption = "订货单";
    int failOnPage = 0; // DrawPage of this page throws
    bool failCalcPages = false;

    std::string GetCaption() const override { return caption; }
    int GetPageWidth() const override { return 700; }
    int GetPageHeight() const override { return 1000; }
    int GetPageCount() const override { return pages; }
    void BeginPrint() override { m_log.push_back("BeginPrint"); }
    void EndPrint() override { m_log.push_back("EndPrint"); }
    void CalcPages() override
    {
        m_log.push_back("CalcPages");
        if (failCalcPages)
            throw std::runtime_error("no printer page");
    }

protected:
    void RenderPage(Canvas &, const DrawingFrame &, int pageIndex) override
    {
        m_log.push_back("DrawPage " + std::to_string(pageIndex));
        if (pageIndex == failOnPage)
            throw std::runtime_error("field read failed");
    }

private:
    std::vector<std::string> &m_log;
};

// A print dialog answered by the test.
class FakeDialog : public PrintDialog
{
public:
    using Answer = std::function<bool(PrintDialogOptions &)>;
    FakeDialog(Answer answer, PrintDialogOptions *offered, int *released)
        : m_answer(std::move(answer)), m_offered(offered), m_released(released)
    {
    }
    ~FakeDialog() override
    {
        if (m_released)
            ++*m_released;
    }
    bool execute(PrintDialogOptions &options) override
    {
        if (m_offered)
            *m_offered = options;
        return m_answer(options);
    }

private:
    Answer m_answer;
    PrintDialogOptions *m_offered;
    int *m_released;
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

} // namespace tally::printing::testing_fakes
