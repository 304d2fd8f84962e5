#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/FindDialog.h"

#include <QAction>
#include <QPushButton>

namespace {

struct SearchTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Create();
        Show();
    }
    void Load(const char* text) { window->SourceView1->LoadFromBytes(text); }
    void Caret(int at) {
        window->SourceView1->SetSelStart(at);
        window->SourceView1->SetSelLength(0);
    }
    void Search(const QString& text, bool matchCase = false, bool wholeWord = false) {
        window->FindDialog1->SetFindText(text);
        window->FindDialog1->SetMatchCase(matchCase);
        window->FindDialog1->SetWholeWord(wholeWord);
        window->FindDialog1Find();
    }
    int SelStart() const { return window->SourceView1->SelStart(); }
    int SelLength() const { return window->SourceView1->SelLength(); }
};

TEST_F(SearchTest, F3StepsThroughTheMatchesToTheNotFoundBoxWithoutWrapping) {
    Load("begin BEGIN integer in begin end");
    Caret(0);
    EXPECT_FALSE(window->miFindNext->isEnabled());
    window->tbFindNextClick(); // before any search from the dialog: nothing
    EXPECT_TRUE(messages.isEmpty());

    Search("begin"); // the match at the caret is skipped
    EXPECT_EQ(SelStart(), 6);
    EXPECT_EQ(SelLength(), 5);
    EXPECT_TRUE(window->miFindNext->isEnabled());

    window->tbFindNextClick();
    EXPECT_EQ(SelStart(), 23);
    EXPECT_EQ(window->SourceView1->SelText(), "begin");

    window->tbFindNextClick();
    ASSERT_EQ(messages, QStringList({"Searchstring \"begin\" not found"}));
    EXPECT_EQ(messageIcons[0], QMessageBox::Information);
    EXPECT_EQ(SelStart(), 23); // the selection stays on the last match
    window->tbFindNextClick();
    EXPECT_EQ(messages.size(), 2); // no wrap to the top
    EXPECT_EQ(SelStart(), 23);
    EXPECT_TRUE(window->FindDialog1->FindText() == "begin");
}

TEST_F(SearchTest, AMatchAtTheVeryFirstCharacterIsNeverFound) {
    Load("begin x");
    Caret(0);
    Search("begin");
    EXPECT_EQ(messages, QStringList({"Searchstring \"begin\" not found"}));
    EXPECT_TRUE(window->miFindNext->isEnabled()); // a not-found search still enables it
}

TEST_F(SearchTest, MatchCaseAndWholeWord) {
    Load("x BEGIN begin integer in");
    Caret(0);
    Search("begin", true);
    EXPECT_EQ(SelStart(), 8);

    Caret(0);
    Search("in", false, true);
    EXPECT_EQ(SelStart(), 22);

    Caret(0);
    Search("in", true);
    EXPECT_EQ(SelStart(), 11); // inside begin without whole word
}

TEST_F(SearchTest, CtrlFWithASelectedWordFindsTheNextOccurrence) {
    Load("alpha beta alpha beta");
    window->SourceView1->SetSelStart(6);
    window->SourceView1->SetSelLength(4);
    window->SourceView1->setFocus();
    QTest::keyClick(window->SourceView1, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window->FindDialog1->isVisible());
    EXPECT_EQ(window->FindDialog1->FindText(), "beta");
    window->FindDialog1->FindNextButton()->click();
    EXPECT_EQ(SelStart(), 17);
    EXPECT_TRUE(window->FindDialog1->isVisible()); // the dialog stays open
}

// A selection over a paragraph end becomes a find text with a line feed;
// the search finds it again further on.
TEST_F(SearchTest, ASelectionOverTwoLinesIsFoundAgain) {
    Load("end;\nbegin x end;\nbegin");
    window->SourceView1->SetSelStart(0);
    window->SourceView1->SetSelLength(10);
    window->miFind->trigger();
    EXPECT_EQ(window->FindDialog1->FindText(), "end;\nbegin");
    window->FindDialog1->FindNextButton()->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(SelStart(), 13);
    EXPECT_EQ(SelLength(), 10);
}

TEST_F(SearchTest, AnEmptySelectionKeepsThePreviousFindText) {
    Load("alpha beta");
    window->FindDialog1->SetFindText("beta");
    Caret(3);
    window->miFind->trigger();
    EXPECT_EQ(window->FindDialog1->FindText(), "beta");
}

TEST_F(SearchTest, AnEmptyFindTextDisablesFindNext) {
    Load("alpha beta");
    Search("beta");
    EXPECT_TRUE(window->miFindNext->isEnabled());
    Search("");
    EXPECT_FALSE(window->miFindNext->isEnabled());
    EXPECT_FALSE(window->FindDialog1->FindNextButton()->isEnabled());
}

TEST_F(SearchTest, ANewDocumentIsSearchedFromItsOwnSelection) {
    Load("one two one");
    Caret(0);
    Search("one");
    EXPECT_EQ(SelStart(), 8);
    Load("xx one");
    Caret(0);
    window->miFindNextClick();
    EXPECT_EQ(SelStart(), 3);
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace
