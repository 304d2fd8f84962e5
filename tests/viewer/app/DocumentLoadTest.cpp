// A file on its way into the view, off the GUI thread: the road it takes, the
// document it becomes, a stop, progress and the errors of a file that cannot
// be read.

#include "viewer/DocumentLoad.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace {

struct DocumentLoadTest : ::testing::Test {
    QTemporaryDir dir;
    std::string Write(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName().toStdString();
    }
    static QString Text(const TViewDocument& document) {
        return QString::fromStdU16String(document.Model.Text.ToU16String());
    }
    static std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "(no error)";
    }
};

TEST_F(DocumentLoadTest, TheRoadDependsOnTheNameAndWhereItCameFrom) {
    using enum TFileOrigin;
    for (const char* name : {"a.pas", "B.PAS", "c.~pa", "d.dpr", "e.~dp", "f.int", "g.inc", "h.pp",
                             "i.lpr", "j.p", "/x.rtf/k.pas"}) {
        EXPECT_EQ(RouteOf(name, kOpenCommand), TLoadRoute::kConvert) << name;
        EXPECT_EQ(RouteOf(name, kCommandLine), TLoadRoute::kConvert) << name;
    }
    for (const char* name : {"a.rtf", "b.txt", "noext", "/dir.pas/readme", "c.pas.bak", "d.pas~"}) {
        EXPECT_EQ(RouteOf(name, kOpenCommand), TLoadRoute::kAsIs) << name;
        EXPECT_EQ(ErrorOf([&] { RouteOf(name, kCommandLine); }), "Unknown file extension") << name;
    }
}

TEST_F(DocumentLoadTest, EachRoadGivesTheDocumentToShow) {
    const auto converted =
        LoadViewDocument(Write("u.pas", "begin { hi } end."), TLoadRoute::kConvert, 96);
    EXPECT_EQ(Text(*converted).trimmed(), "begin { hi } end.");
    // Keyword, comment and plain text each have a format of their own.
    EXPECT_GE(converted->Model.Formats.size(), 3u);

    const auto rtf =
        LoadViewDocument(Write("n.rtf", "{\\rtf1 Hello\\par World}"), TLoadRoute::kAsIs, 96);
    EXPECT_EQ(Text(*rtf), "Hello\nWorld");
    // Plain text is not converted, whatever it looks like.
    const auto plain = LoadViewDocument(Write("p.txt", "begin\nend."), TLoadRoute::kAsIs, 96);
    EXPECT_EQ(Text(*plain), "begin\nend.");
    EXPECT_EQ(plain->Lines.Count(), 2u);
    EXPECT_EQ(plain->Model.Formats.size(), 1u);
    EXPECT_EQ(plain->Dpi, 96);
}

TEST_F(DocumentLoadTest, AStopEndsEitherRoadQuietly) {
    const TStopRequest stop = [] { return true; };
    EXPECT_THROW(LoadViewDocument(Write("u.pas", "begin end."), TLoadRoute::kConvert, 96, stop),
                 EConversionCancelled);
    EXPECT_THROW(LoadViewDocument(Write("t.txt", "text"), TLoadRoute::kAsIs, 96, stop),
                 EConversionCancelled);
}

// The engine writes its document and the reader takes it, in that order.
TEST_F(DocumentLoadTest, TheConversionIsDoneBeforeTheReaderStarts) {
    QByteArray source;
    for (int i = 0; i < 200000; ++i) {
        source += "x := 'abc'; { note } y := 12;\n";
    }
    TLoadProgress progress;
    int atConverted = -1;
    const auto document = LoadViewDocument(Write("big.pas", source), TLoadRoute::kConvert, 96, {},
                                           &progress, [&] { atConverted = progress.PerMille(); });
    EXPECT_EQ(document->Lines.Count(), 200001u);
    // Some of the way, never all of it, before the reader's part.
    EXPECT_GT(atConverted, 0);
    EXPECT_LT(atConverted, 500);
    EXPECT_GT(progress.PerMille(), 900); // the reader reports every 256 KB of some 8 MB
    EXPECT_LE(progress.PerMille(), 1000);
}

TEST_F(DocumentLoadTest, ProgressOnlyGoesForward) {
    TLoadProgress progress;
    EXPECT_EQ(progress.PerMille(), 0);
    progress.Set(0, 400, 0.5);
    EXPECT_EQ(progress.PerMille(), 200);
    progress.Set(0, 400, 0.25); // a slower thread of the same phase
    EXPECT_EQ(progress.PerMille(), 200);
    progress.Set(400, 1000, 0.0);
    EXPECT_EQ(progress.PerMille(), 400);
    progress.Set(400, 1000, 7.0); // an estimate overrun stays inside its phase
    EXPECT_EQ(progress.PerMille(), 1000);
}

TEST_F(DocumentLoadTest, WhatCannotBeReadIsNamedInTheError) {
    const std::string missing = dir.filePath("absent.txt").toStdString();
    EXPECT_NE(ErrorOf([&] { LoadViewDocument(missing, TLoadRoute::kAsIs, 96); }).find(missing),
              std::string::npos);
    const std::string missingSource = dir.filePath("absent.pas").toStdString();
    EXPECT_NE(ErrorOf([&] {
                  LoadViewDocument(missingSource, TLoadRoute::kConvert, 96);
              }).find("absent.pas"),
              std::string::npos);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const std::string folder = dir.filePath("folder").toStdString();
    EXPECT_NE(ErrorOf([&] { LoadViewDocument(folder, TLoadRoute::kAsIs, 96); }).find(folder),
              std::string::npos);

    const std::string pipe = dir.filePath("pipe.txt").toStdString();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_NE(ErrorOf([&] { RefuseSpecialFile(pipe); }).find("not a regular file"),
              std::string::npos);
    EXPECT_EQ(ErrorOf([&] { RefuseSpecialFile(missing); }), "(no error)");
    EXPECT_EQ(ErrorOf([&] { RefuseSpecialFile(folder); }), "(no error)");
}

} // namespace
