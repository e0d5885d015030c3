// What a web page can get wrong, sent to the running service: every document
// type with each header field left out in turn, previewed and printed, cut
// off and broken packets, an oversized text, and bodies that are not JSON.
// The service must answer every request once its windows are closed, log
// each failure with its cause, and print nothing for a failed document.
#include "servicefixture.h"

#include "base/qt/containment.h"
#include "documents/qt/tprintdocument.h"
#include "printing/qt/preview/tformpreview.h"

#include <QMessageBox>

#include <pugixml.hpp>

#include <sstream>
#include <vector>

namespace tally::documents {
namespace {

using test::decodeBody;
using test::encodeRequest;
using test::readSampleRequest;
using test::visibleWindow;
using testing_support::processEventsUntil;

const char *const kSamples[] = {
    "order-form.body",        "purchase-receipt.body",
    "settlement-list.body",   "settlement-notice.body",
    "dealer-settlement.body", "purchase-price-change.body",
    "cost-price-change.body", "return-quantity.body",
    "return-note.body",       "order-form-landscape-23-rows.body",
};

std::string xmlText(const pugi::xml_document &doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw);
    return out.str();
}

pugi::xpath_node_set fields(const pugi::xml_document &doc)
{
    return doc.select_nodes("/DATAPACKET/METADATA/FIELDS/FIELD");
}

pugi::xpath_node_set rows(const pugi::xml_document &doc)
{
    return doc.select_nodes("/DATAPACKET/ROWDATA/ROW");
}

std::vector<std::string> fieldNames(const std::string &packet)
{
    pugi::xml_document doc;
    doc.load_string(packet.c_str());
    std::vector<std::string> names;
    for (const pugi::xpath_node &field : fields(doc))
        names.emplace_back(field.node().attribute("attrname").value());
    return names;
}

// The packet without the field: neither declared nor in any row.
std::string withoutField(const std::string &packet, const std::string &name)
{
    pugi::xml_document doc;
    doc.load_string(packet.c_str());
    for (const pugi::xpath_node &field : fields(doc))
        if (name == field.node().attribute("attrname").value())
            field.parent().remove_child(field.node());
    for (const pugi::xpath_node &row : rows(doc))
        row.node().remove_attribute(name.c_str());
    return xmlText(doc);
}

// The packet with a 5,000-character value in its narrowest text field.
std::string withOversizedText(const std::string &packet)
{
    pugi::xml_document doc;
    doc.load_string(packet.c_str());
    pugi::xml_node narrowest;
    for (const pugi::xpath_node &field : fields(doc)) {
        const pugi::xml_node node = field.node();
        if (node.attribute("WIDTH") && (!narrowest || node.attribute("WIDTH").as_int() <
                                                          narrowest.attribute("WIDTH").as_int()))
            narrowest = node;
    }
    std::string text;
    while (text.size() < 5000)
        text += "超长文本0123456789";
    for (const pugi::xpath_node &row : rows(doc)) {
        const char *name = narrowest.attribute("attrname").value();
        pugi::xml_attribute value = row.node().attribute(name);
        (value ? value : row.node().append_attribute(name)).set_value(text.c_str());
    }
    return xmlText(doc);
}

struct SweepRequest
{
    std::string name;
    std::string body;
};

std::vector<SweepRequest> sweepRequests()
{
    std::vector<SweepRequest> requests;
    for (const char *sample : kSamples) {
        const service::RequestJson original = decodeBody(readSampleRequest(sample));
        for (const char *prev : {"1", "0"}) {
            service::RequestJson request = original;
            request.prev = prev;
            const std::string tag = std::string(sample) + " prev " + prev;
            for (const std::string &field : fieldNames(original.mainData)) {
                request.mainData = withoutField(original.mainData, field);
                requests.push_back({tag + " without " + field, encodeRequest(request)});
            }
            request.mainData = original.mainData;
            std::size_t cut = original.itemData.size() / 2;
            while (cut > 0 && (static_cast<unsigned char>(original.itemData[cut]) & 0xC0) == 0x80)
                --cut; // whole characters, so the body itself stays valid UTF-8
            request.itemData = original.itemData.substr(0, cut);
            requests.push_back({tag + " items cut off", encodeRequest(request)});
            request.itemData = original.itemData;
            request.mainData = "这不是XML <DATAPACKET";
            requests.push_back({tag + " header not XML", encodeRequest(request)});
            request.mainData = withOversizedText(original.mainData);
            requests.push_back({tag + " oversized text", encodeRequest(request)});
        }
    }
    for (const char *body :
         {"", "hello", "%zz%41", "%", "%4", "[1,2,3]", "{\"djlx\":", "null", "djlx=1&prev=0",
          "{\"djlx\":{\"a\":1},\"prev\":[1]}", "{\"djlx\":\"1\",\"Maindata\":7,\"Itemdata\":null}"})
        requests.push_back({std::string("body ") + body, body});
    return requests;
}

using ServiceSweepTest = test::ServiceFixture;

TEST_F(ServiceSweepTest, NoRequestTakesTheServiceDownOrPrintsAFailedDocument)
{
    int failures = 0;
    for (const SweepRequest &request : sweepRequests()) {
        SCOPED_TRACE(request.name);
        const qsizetype logBefore = logLines().size();
        const QStringList pdfsBefore = pdfFiles();

        ASSERT_EQ(postClosingWindows(request.body), 200);

        const QStringList lines = logLines().mid(logBefore);
        const qsizetype failed = lines.indexOf(QStringLiteral("格式不正确"));
        QStringList newPdfs = pdfFiles();
        for (const QString &pdf : pdfsBefore)
            newPdfs.removeAll(pdf);
        if (failed >= 0) {
            ++failures;
            const QString cause = lines.value(failed + 1);
            EXPECT_TRUE(cause.startsWith(QStringLiteral("原因：")) &&
                        cause.size() > QStringLiteral("原因：").size())
                << cause.toStdString();
            EXPECT_TRUE(newPdfs.isEmpty()) << "a failed document left " << newPdfs.size() << " PDF";
        }
        for (const QString &pdf : newPdfs)
            EXPECT_TRUE(lines.contains(QStringLiteral("已生成PDF文件：") + pdf))
                << pdf.toStdString();
        EXPECT_EQ(form().OpenCount(), 0);
    }
    EXPECT_GT(failures, 0) << "the sweep should hit failures while printing";
    // Still serving: a plain GET is answered.
    EXPECT_EQ(postClosingWindows({}, "GET"), 200);
}

// The preview of a cost price change note whose header lacks HTH: closing the
// preview shows the document window, whose page cannot be drawn either. The
// window shows the failure once, stays usable, and the request is answered
// when it is closed.
TEST_F(ServiceSweepTest, WindowThatCannotDrawItsBillShowsTheFailureOnce)
{
    service::RequestJson request = decodeBody(readSampleRequest("cost-price-change.body"));
    request.prev = "1";
    request.mainData = withoutField(request.mainData, "HTH");
    QStringList boxTexts;
    QString caption;
    const int status = post(encodeRequest(request), [&](TPrintDocument &window) {
        using printing::preview::TFormPreview;
        TFormPreview *preview = nullptr;
        ASSERT_TRUE(processEventsUntil([&] { return (preview = visibleWindow<TFormPreview>()); }));
        preview->close();
        const auto boxes = [&] {
            return window.findChildren<QMessageBox *>(QString::fromLatin1(Containment::kBoxName));
        };
        ASSERT_TRUE(processEventsUntil([&] { return window.isVisible() && !boxes().isEmpty(); }));
        for (int i = 0; i < 5; ++i)
            window.repaint();
        QCoreApplication::processEvents();
        for (QMessageBox *box : boxes())
            boxTexts.append(box->text());
        EXPECT_TRUE(window.isVisible());
        caption = window.windowTitle();
        window.close();
    });
    EXPECT_EQ(status, 200);
    ASSERT_EQ(boxTexts.size(), 1);
    EXPECT_TRUE(boxTexts.front().contains(QStringLiteral("HTH"))) << boxTexts.front().toStdString();
    // The preview reported its own page once as well; this is the window's.
    const QStringList reported =
        logLines().filter(QStringLiteral("窗口出错（") + caption + QStringLiteral("）："));
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported.front().contains(QStringLiteral("HTH")));
    EXPECT_EQ(form().OpenCount(), 0);
}

} // namespace
} // namespace tally::documents
