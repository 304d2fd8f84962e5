// Save's formats: which one a file gets, and the web page the view saves.

#include "viewer/SaveFormats.h"

#include "viewer/RichEdit.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string ReadBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

TEST(SaveFormats, FilterListsRichTextFirstThenTheWebPageThenPdf) {
    EXPECT_EQ(SaveFilter(), "Rich Text Format (*.rtf)|*.rtf|Web page (*.html *.htm)|*.html;*.htm|"
                            "PDF document (*.pdf)|*.pdf");
    EXPECT_EQ(kSaveFormats[0].Format, TSaveFormat::Rtf);
}

TEST(SaveFormats, TypedExtensionWinsOverTheChosenFilter) {
    constexpr std::ptrdiff_t kRtf = 0, kHtml = 1, kPdf = 2;
    EXPECT_EQ(SaveFormatFor("a.html", kRtf), TSaveFormat::Html);
    EXPECT_EQ(SaveFormatFor("/x/A.HTM", kRtf), TSaveFormat::Html);
    EXPECT_EQ(SaveFormatFor("a.rtf", kHtml), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("a.Rtf", kHtml), TSaveFormat::Rtf);
    // Any other name takes the filter's format; an unknown filter the first.
    EXPECT_EQ(SaveFormatFor("notes.txt", kHtml), TSaveFormat::Html);
    EXPECT_EQ(SaveFormatFor("notes", kRtf), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("notes", -1), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("notes", 99), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("html", kRtf), TSaveFormat::Rtf); // no dot, no extension
    EXPECT_EQ(SaveFormatFor("a.html.rtf", kHtml), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("a.PDF", kRtf), TSaveFormat::Pdf);
    EXPECT_EQ(SaveFormatFor("a.rtf", kPdf), TSaveFormat::Rtf);
    EXPECT_EQ(SaveFormatFor("notes", kPdf), TSaveFormat::Pdf);
}

TEST(SaveFormats, WebPageOfAnRtfFileAndOfPlainText) {
    QTemporaryDir dir;
    TRichEdit view;
    view.LoadFromBytes("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}{\\cf1\\b green} a<b}");
    view.SetBackgroundColor(QColor(1, 2, 3));
    const QString page = dir.path() + "/page.html";
    view.SaveToFile(page.toStdString(), TSaveFormat::Html);
    const std::string html = ReadBytes(page);
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>")) << html;
    EXPECT_NE(html.find("<title>page.html</title>"), std::string::npos) << html;
    EXPECT_NE(html.find("background-color:#010203"), std::string::npos) << html;
    EXPECT_NE(html.find("color:#008000;font-weight:bold\">green</span> a&lt;b"), std::string::npos)
        << html;

    view.LoadFromBytes("x & y\n\tz");
    view.SaveToFile(page.toStdString(), TSaveFormat::Html);
    EXPECT_NE(ReadBytes(page).find(">x &amp; y\n\tz</"), std::string::npos) << ReadBytes(page);
    // A file that cannot be written is an error and leaves nothing behind.
    EXPECT_THROW(view.SaveToFile((dir.path() + "/no/such/x.html").toStdString(), TSaveFormat::Html),
                 ERichEditError);
}

} // namespace
