// The link launcher against recording handlers for every scheme it knows.

#include "settings/URL.h"

#include "UrlHandlers.h"

#include <gtest/gtest.h>

namespace {

class URLTest : public ::testing::Test {
protected:
    TRecordingHandler handler;
    TURL url;
};

TEST_F(URLTest, StartsEmptyAsHttp) {
    EXPECT_EQ(url.URL(), "");
    EXPECT_EQ(url.URLType(), TURLType::utHttp);
}

TEST_F(URLTest, EveryTypePutsItsPrefixInFront) {
    struct Case {
        TURLType Type;
        const char* Address;
        const char* Expected;
    };
    const Case cases[] = {
        {TURLType::utFile, "/tmp/readme.txt", "file:///tmp/readme.txt"},
        {TURLType::utFtp, "ftp.example.org/pub", "ftp://ftp.example.org/pub"},
        {TURLType::utGopher, "gopher.example.org", "gopher://gopher.example.org"},
        {TURLType::utHttp, "lumivane.example.org/", "http://lumivane.example.org/"},
        {TURLType::utHttps, "lumivane.example.org/a", "https://lumivane.example.org/a"},
        {TURLType::utMailto, "lumivane@example.org", "mailto:lumivane@example.org"},
        {TURLType::utNews, "comp.lang.pascal", "news:comp.lang.pascal"},
        {TURLType::utTelnet, "bbs.example.org", "telnet:bbs.example.org"},
        {TURLType::utWais, "wais.example.org", "wais:wais.example.org"},
    };
    QStringList expected;
    for (const Case& c : cases) {
        url.SetURLType(c.Type);
        url.SetURL(c.Address);
        EXPECT_TRUE(url.Launch()) << c.Expected;
        expected << c.Expected;
    }
    EXPECT_EQ(handler.Opened, expected);
}

TEST_F(URLTest, AnEmptyURLStartsNothing) {
    EXPECT_FALSE(url.Launch());
    url.SetURLType(TURLType::utMailto);
    EXPECT_FALSE(url.Launch());
    EXPECT_TRUE(handler.Opened.isEmpty());
}

TEST_F(URLTest, AFailedHandOverIsReported) {
    handler.Fail();
    url.SetURL("lumivane.example.org/");
    EXPECT_FALSE(url.Launch());
    EXPECT_TRUE(handler.Opened.isEmpty());
    EXPECT_EQ(ShellOpen("http://lumivane.example.org/"), kShellNoAssociation);
}

TEST_F(URLTest, TextThatIsNoLinkIsRefusedBeforeTheDesktopSeesIt) {
    url.SetURL("exa mple.org");
    EXPECT_FALSE(url.Launch());
    url.SetURL("[::1");
    EXPECT_FALSE(url.Launch());
    EXPECT_TRUE(handler.Opened.isEmpty());
    EXPECT_EQ(ShellOpen(""), kShellBadLink);
    EXPECT_EQ(ShellOpen("no scheme here"), kShellBadLink);
}

TEST_F(URLTest, LinksUpToSeventyNineCharactersAndLongerOnesArriveWhole) {
    const QString prefix = "http://lumivane.example.org/";
    const QString at79 = QString(79 - prefix.size(), u'a');
    const QString at80 = at79 + u'b';
    const QString at600 = QString(600 - prefix.size(), u'c');
    for (const QString& path : {at79, at80, at600}) {
        url.SetURL("lumivane.example.org/" + path);
        EXPECT_TRUE(url.Launch());
    }
    ASSERT_EQ(handler.Opened.size(), 3);
    EXPECT_EQ(handler.Opened[0].size(), 79);
    EXPECT_EQ(handler.Opened[0], prefix + at79);
    EXPECT_EQ(handler.Opened[1], prefix + at80);
    EXPECT_EQ(handler.Opened[2], prefix + at600);
}

TEST_F(URLTest, ShellResultsAboveThirtyTwoMeanSuccess) {
    EXPECT_GT(ShellOpen("mailto:lumivane@example.org"), kShellSuccessFloor);
    EXPECT_LE(kShellNoAssociation, kShellSuccessFloor);
    EXPECT_LE(kShellBadLink, kShellSuccessFloor);
}

} // namespace
