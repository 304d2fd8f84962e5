#include "viewer/text/RtfOutput.h"

#include "viewer/text/RtfFields.h"

namespace {

// The line between the body and its footnotes.
constexpr std::u16string_view kNoteSeparator = u"__________";
// A SYMBOL field needs only its first few words.
constexpr std::size_t kMaxInstruction = 256;

} // namespace

namespace text {

void TRtfOutput::RefreshFormat(TGroup& g) {
    TRtfCharFormat format = g.Format;
    format.Font = fonts_.ModelFont(g.FontNumber, doc_);
    g.FormatIndex = static_cast<int>(doc_.FormatIndex(format));
    // Other groups' cached indices may name an outdated font; drop them.
    if (formatGeneration_ != fonts_.Generation()) {
        for (TGroup& other : stack_) {
            if (&other != &g) {
                other.FormatIndex = -1;
            }
        }
        formatGeneration_ = fonts_.Generation();
    }
}

// The words of the list table and its overrides.
void TRtfOutput::ListTableWord(TWord word, int param) {
    switch (word) {
    case TWord::kList:
        lists_.BeginList();
        break;
    case TWord::kListLevel:
        lists_.BeginLevel();
        break;
    case TWord::kLevelStyle:
        lists_.SetLevelStyle(param);
        break;
    case TWord::kLevelStart:
        lists_.SetLevelStart(param);
        break;
    case TWord::kLevelFollow:
        lists_.SetLevelFollow(param);
        break;
    case TWord::kListId:
        lists_.SetListId(param);
        break;
    case TWord::kListOverride:
        lists_.BeginOverride();
        break;
    case TWord::kListNumber:
        lists_.SetOverrideNumber(param);
        break;
    default:
        break;
    }
}

// The words of the document's parts beyond plain text: shapes, footnotes,
// fields and list paragraphs.
void TRtfOutput::PartWord(TWord word, int param) {
    TGroup& g = Top();
    const bool shown = g.Dest == TDest::kText && !g.Hidden;
    switch (word) {
    case TWord::kShape:
        if (g.Dest == TDest::kText) { // a shape in the text, not one of a group
            shapeHasText_ = false;
        }
        g.Dest = TDest::kDrop;
        break;
    case TWord::kShapeText:
        shapeHasText_ = true;
        g.Dest = TDest::kText;
        g.Role = TGroupRole::kShapeText;
        g.InListText = false;
        EndParagraphIfOpen();
        break;
    case TWord::kFootnote:
        BeginNote();
        break;
    case TWord::kFootnoteMark:
        if (shown) {
            FootnoteMark();
        }
        break;
    case TWord::kField:
        BeginField();
        break;
    case TWord::kParagraphReset:
        ResetParagraph();
        break;
    case TWord::kListNumber:
        SetListNumber(param);
        break;
    case TWord::kListLevelNumber:
        SetListLevel(param);
        break;
    case TWord::kListText:
        g.InListText = true;
        ListTextSeen();
        break;
    default:
        break;
    }
}

// A character that starts a paragraph, ends one, or goes to a footnote or a field.
void TRtfOutput::EmitElsewhere(char16_t ch) {
    const TGroup& g = Top();
    if (!paragraphNumbered_ && !g.InNote && !g.InListText) {
        NumberParagraph();
    }
    if (!fields_.empty()) {
        fields_.back().HasResult = true;
    }
    (g.InNote ? notes_ : doc_).Append(ch, CurrentFormat());
    if (ch == kParagraphEnd && !g.InNote) {
        paragraphNumbered_ = false;
        listTextSeen_ = false;
    }
}

void TRtfOutput::EndParagraphIfOpen() {
    const TGroup& g = Top();
    const TRtfDocument& target = g.InNote ? notes_ : doc_;
    if (!g.Hidden && !target.Text.empty() && target.Text.back() != kParagraphEnd) {
        Emit(kParagraphEnd);
    }
}

// A paragraph of a list that does not write its number itself gets the one
// its list level gives; one that does still counts.
void TRtfOutput::NumberParagraph() {
    paragraphNumbered_ = true;
    if (listNumber_ <= 0) {
        return;
    }
    const std::u16string number = lists_.NextNumber(listNumber_, listLevel_);
    if (listTextSeen_) {
        return;
    }
    for (const char16_t ch : number) {
        // A level text's own paragraph mark would end the paragraph it numbers
        // and so number the next one from within: it is not part of a number.
        if (ch != kParagraphEnd) {
            Emit(ch);
        }
    }
}

void TRtfOutput::EmitNumber(int number) {
    TGroup& g = Top();
    const signed char vertical = g.Format.Vertical;
    g.Format.Vertical = 1;
    g.FormatIndex = -1;
    for (const char c : std::to_string(number)) {
        Emit(static_cast<char16_t>(c));
    }
    g.Format.Vertical = vertical;
    g.FormatIndex = -1;
}

void TRtfOutput::FootnoteMark() {
    int number = 0;
    if (Top().InNote) {
        if (openNote_ == 0) {
            openNote_ = ++notesCounted_;
        }
        number = openNote_;
    } else {
        number = markedNote_ = ++notesCounted_;
    }
    EmitNumber(number);
}

void TRtfOutput::BeginNote() {
    TGroup& g = Top();
    g.Dest = TDest::kText;
    g.InNote = true;
    g.InListText = false;
    g.Role = TGroupRole::kNote;
    openNote_ = markedNote_;
    markedNote_ = 0;
    EndParagraphIfOpen();
}

void TRtfOutput::BeginField() {
    if (Top().Role != TGroupRole::kNone) {
        return; // one field per group: its stack stays as deep as the groups
    }
    Top().Role = TGroupRole::kField;
    fields_.emplace_back();
}

void TRtfOutput::AppendInstruction(char16_t ch) {
    if (!fields_.empty() && fields_.back().Instruction.size() < kMaxInstruction) {
        fields_.back().Instruction += ToUtf8(std::u16string_view(&ch, 1));
    }
}

std::u16string TRtfOutput::FieldTextToShow(const TCodePage& documentCodePage) {
    if (fields_.empty()) {
        return {};
    }
    const TField field = std::move(fields_.back());
    fields_.pop_back();
    if (field.HasResult) {
        return {};
    }
    const auto symbol = ParseSymbolField(field.Instruction);
    if (!symbol) {
        return {}; // PAGE, NUMPAGES and the like: a view has no pages
    }
    if (symbol->Unicode) {
        return std::u16string(1, static_cast<char16_t>(symbol->Code));
    }
    const auto byte = static_cast<unsigned char>(symbol->Code);
    const TGroup& g = Top();
    const TSymbolTable* symbols = symbol->Font.empty() ? g.Symbols : SymbolFontNamed(symbol->Font);
    if (symbols && (*symbols)[byte] != 0) {
        return std::u16string(1, (*symbols)[byte]);
    }
    const TCodePage& codePage = symbol->Font.empty() && g.CodePage ? *g.CodePage : documentCodePage;
    return codePage.IsLeadByte(byte) ? u"\uFFFD" : std::u16string(1, codePage.Decode(byte));
}

void TRtfOutput::AppendNotes() {
    if (notes_.Text.empty()) {
        return;
    }
    const std::uint32_t plain = doc_.FormatIndex(TRtfCharFormat{});
    if (!doc_.Text.empty() && doc_.Text.back() != kParagraphEnd) {
        doc_.Append(kParagraphEnd, plain);
    }
    doc_.Append(kNoteSeparator, plain);
    doc_.Append(kParagraphEnd, plain);
    for (const TRtfRun& run : notes_.Runs) {
        doc_.Append(notes_.Text.substr(run.Start, run.Length), run.Format);
    }
}

} // namespace text
