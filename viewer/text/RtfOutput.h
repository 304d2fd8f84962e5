#pragma once
// Where the RTF reader's text goes: the group stack with each group's
// character format, the document the body's text builds, the footnotes kept
// for the end of it, generated list numbers, and the fields being read.

#include "viewer/text/CodePage.h"
#include "viewer/text/RtfControlWords.h"
#include "viewer/text/RtfLists.h"
#include "viewer/text/RtfTables.h"
#include "viewer/text/SymbolFonts.h"

#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

namespace text {

// What a group starts, acted on when that group closes.
enum class TGroupRole : unsigned char {
    kNone,
    kShapeText, // the text of a shape or text box: paragraphs of its own
    kNote,      // a footnote: kept for the end of the document
    kField,     // a field: its instruction shows when it stores no result
};

struct TGroup {
    TDest Dest = TDest::kText;
    TRtfCharFormat Format;                 // Font unused here: see FontNumber
    int FontNumber = -1;                   // -1: the default font (\deff)
    const TCodePage* CodePage = nullptr;   // null: the document's
    const TSymbolTable* Symbols = nullptr; // the font draws symbols, not letters
    int Uc = 1;
    bool Hidden = false;
    bool InNote = false;     // text goes to the footnotes
    bool InListText = false; // \listtext: the paragraph's number as written
    TGroupRole Role = TGroupRole::kNone;
    int FormatIndex = -1; // cached index into the document's formats, -1 when stale
};

class TRtfOutput {
protected:
    // Deeper groups are skipped whole, so hostile nesting costs neither stack nor memory.
    static constexpr std::size_t kMaxDepth = 256;

    // One entry per open group, the document group first; empty before the
    // first brace and after the document group closed.
    std::vector<TGroup> stack_;
    TRtfDocument doc_;
    TRtfFontTable fonts_;
    TRtfListTable lists_;

    TGroup& Top() {
        assert(!stack_.empty());
        return stack_.back();
    }

    void SetFormat(const auto& change) {
        TGroup& g = Top();
        change(g);
        g.FormatIndex = -1;
    }

    std::uint32_t CurrentFormat() {
        TGroup& g = Top();
        if (g.FormatIndex < 0 || formatGeneration_ != fonts_.Generation()) {
            RefreshFormat(g);
        }
        return static_cast<std::uint32_t>(g.FormatIndex);
    }

    void Emit(char16_t ch) {
        ch = SafeChar(ch);
        if (ch == 0) {
            return;
        }
        // Most text is body text in the middle of a paragraph, outside fields.
        if (paragraphNumbered_ && ch != kParagraphEnd && fields_.empty() && !Top().InNote) {
            doc_.Append(ch, CurrentFormat());
            return;
        }
        EmitElsewhere(ch);
    }

    // The words of the list table and its overrides.
    void ListTableWord(TWord word, int param);
    // The words of the document's parts beyond plain text: shapes, footnotes,
    // fields and list paragraphs.
    void PartWord(TWord word, int param);
    // The shape being read shows text of its own (\shptxt), so its result is not shown.
    bool ShapeHasText() const { return shapeHasText_; }

    // Shape text and footnotes stand in paragraphs of their own: the text
    // before them ends its paragraph, and so does their own last one.
    void EndParagraphIfOpen();

    // Paragraph properties: \pard, \ls, \ilvl; and a \listtext group.
    void ResetParagraph() { listNumber_ = listLevel_ = 0; }
    void SetListNumber(int ls) { listNumber_ = ls; }
    void SetListLevel(int level) { listLevel_ = level; }
    void ListTextSeen() { listTextSeen_ = true; }

    // \chftn: the footnote's mark, numbered in order, as superscript.
    void FootnoteMark();
    // {\footnote ...} opens in the group on top.
    void BeginNote();

    // {\field ...} opens in the group on top; instruction text; its group closes.
    void BeginField();
    void AppendInstruction(char16_t ch);
    // The field's own text when it stored no result: "" else.
    std::u16string FieldTextToShow(const TCodePage& documentCodePage);

    // The footnotes after the body, behind a separating line.
    void AppendNotes();

private:
    struct TField {
        std::string Instruction; // what a SYMBOL field needs of it: UTF-8, bounded
        bool HasResult = false;
    };

    void RefreshFormat(TGroup& g);
    void EmitElsewhere(char16_t ch);
    void NumberParagraph();
    void EmitNumber(int number);

    unsigned formatGeneration_ = 0;
    TRtfDocument notes_; // footnote text; its runs name the document's formats
    int notesCounted_ = 0;
    int markedNote_ = 0; // the number of the last mark in the body, 0 when used
    int openNote_ = 0;   // the number of the footnote being read
    int listNumber_ = 0; // \ls of the paragraph, 0 for none
    int listLevel_ = 0;
    bool paragraphNumbered_ = false; // the paragraph's number, if any, is out
    bool listTextSeen_ = false;      // the paragraph writes its own number
    bool shapeHasText_ = false;
    std::vector<TField> fields_;
};

} // namespace text
