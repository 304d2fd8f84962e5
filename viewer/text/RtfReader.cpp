#include "viewer/text/RtfReader.h"

#include "platform/HexDigit.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/RtfControlWords.h"
#include "viewer/text/RtfOutput.h"
#include "viewer/text/RtfScanner.h"
#include "viewer/text/RtfTables.h"
#include "viewer/text/RtfTextDecoder.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace {

using namespace text;

constexpr int kMaxUnicodeSkip = 16;
constexpr int kDefaultSizeHalfPoints = 24;

class TRtfReader : private TRtfScanner, private TRtfOutput {
public:
    TRtfReader(std::string_view data, const TStopRequest& stop, const TReadProgress& passed)
        : TRtfScanner(data), stop_(stop), passed_(passed), decoder_(data) {}

    TRtfDocument Read() {
        ReserveForData();
        // Whatever follows the end of the document group is not part of the document.
        while (pos_ < data_.size() && !ended_) {
            assert(stack_.size() <= kMaxDepth);
            if (pos_ >= nextStopCheck_) {
                CheckStopRequest(stop_);
                if (passed_) {
                    passed_(pos_);
                }
                nextStopCheck_ = pos_ + kStopCheckEvery;
            }
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                if (!TrailByte(c)) {
                    OpenGroup();
                }
                break;
            case '}':
                if (!TrailByte(c)) {
                    CloseGroup();
                }
                break;
            case '\\':
                if (!TrailByte(c)) {
                    ControlSequence();
                }
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                if (c == '\xEF' && TakeByteOrderMark()) {
                    break;
                }
                if (decoder_.RawUtf8() && static_cast<unsigned char>(c) >= 0x80) {
                    Utf8Char();
                } else {
                    Byte(static_cast<unsigned char>(c), true);
                }
                break;
            }
        }
        return Finish();
    }

private:
    // A document of many megabytes is read on a worker that may be asked to stop.
    static constexpr std::size_t kStopCheckEvery = 256 * 1024;

    const TStopRequest& stop_;
    const TReadProgress& passed_;
    std::size_t nextStopCheck_ = 0;
    TRtfTextDecoder decoder_;
    bool ended_ = false; // the document group has been closed
    TRtfColorTable colors_;

    // Room for the most text and runs the data can hold, taken before reading,
    // so that a large document is never moved while it grows (for a moment,
    // old and new copy would both be held). Each character takes at least one
    // byte of data, and a new run needs a control word or a brace. Pages that
    // are never written take no memory.
    void ReserveForData() {
        std::size_t marks = 0;
        for (const char c : data_) {
            marks += static_cast<std::size_t>(c == '\\') + static_cast<std::size_t>(c == '{') +
                     static_cast<std::size_t>(c == '}');
        }
        doc_.Text.reserve(data_.size());
        doc_.Runs.reserve(marks + 1);
    }

    void OpenGroup() {
        if (stack_.size() >= kMaxDepth) {
            SkipBalanced();
            return;
        }
        if (stack_.empty()) {
            stack_.emplace_back();
        } else {
            stack_.push_back(stack_.back());
            Top().Role = TGroupRole::kNone;
        }
        assert(stack_.size() <= kMaxDepth);
        decoder_.AtGroupBoundary();
    }

    void CloseGroup() {
        if (stack_.empty()) {
            return;
        }
        if (Top().Dest == TDest::kFontTable) {
            fonts_.Commit();
        }
        EndRole();
        stack_.pop_back();
        decoder_.AtGroupBoundary();
        ended_ = stack_.empty();
    }

    // What the group that closes started ends with it.
    void EndRole() {
        switch (Top().Role) {
        case TGroupRole::kShapeText:
        case TGroupRole::kNote:
            EndParagraphIfOpen();
            break;
        case TGroupRole::kField:
            for (const char16_t ch : FieldTextToShow(decoder_.DocumentCodePage())) {
                if (Top().Dest == TDest::kText && !Top().Hidden) {
                    Emit(ch);
                }
            }
            break;
        case TGroupRole::kNone:
            break;
        }
    }

    // A raw brace or backslash just read, when it is the trail byte of a
    // raw two-byte character.
    bool TrailByte(char c) {
        if (!decoder_.RawLeadPending()) {
            return false;
        }
        Byte(static_cast<unsigned char>(c), true);
        return true;
    }

    void ControlSequence() {
        if (pos_ >= data_.size()) {
            return;
        }
        const char c = data_[pos_];
        if (!IsRtfLetter(c)) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        const std::string_view name = ReadLetters();
        bool hasParam = false;
        const int param = ReadParameter(hasParam);
        const TControlWord* entry = FindControlWord(name);
        if (entry && entry->Action == TWordAction::kBinary) {
            SkipBinary(param);
            return;
        }
        if (stack_.empty() || decoder_.SkippedAfterUnicode()) {
            return;
        }
        decoder_.AtControlWord();
        if (entry) {
            ControlWord(*entry, hasParam, param);
        }
    }

    void ControlSymbol(char c) {
        if (stack_.empty()) {
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Byte(static_cast<unsigned char>(c));
            return;
        case '\'': {
            const int high = pos_ < data_.size() ? HexDigitValue(data_[pos_]) : -1;
            const int low = pos_ + 1 < data_.size() ? HexDigitValue(data_[pos_ + 1]) : -1;
            if (high < 0 || low < 0) {
                return; // a broken escape shows nothing
            }
            pos_ += 2;
            Byte(static_cast<unsigned char>(high * 16 + low));
            return;
        }
        case '*':
            if (!decoder_.SkippedAfterUnicode() && !ReadWhenStarred()) {
                Top().Dest = TDest::kSkip;
                SkipBalanced();
                CloseGroup();
            }
            return;
        case '~':
            Special(0x00A0);
            return;
        case '_':
            Special(0x2011);
            return;
        case '\r':
        case '\n':
            Special(kParagraphEnd);
            return;
        case '\t':
            Special(u'\t');
            return;
        default:
            decoder_.SkippedAfterUnicode(); // \- (optional hyphen) and the like show nothing
            return;
        }
    }

    // True when the word after \* is one this reader reads all the same.
    bool ReadWhenStarred() const {
        const TControlWord* entry = FindControlWord(PeekWord());
        return entry && entry->Starred;
    }

    void BeginDestination(TDest dest) {
        if (dest == TDest::kSkip) {
            SkipBalanced();
            CloseGroup();
            return;
        }
        // A field's result inside another field's instruction is part of that instruction.
        if (Top().Dest == TDest::kFieldInst && dest == TDest::kText) {
            dest = TDest::kDrop;
        }
        Top().Dest = dest;
    }

    void SetFormat(const auto& change) {
        TGroup& g = Top();
        change(g);
        g.FormatIndex = -1;
    }

    void ControlWord(const TControlWord& word, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        switch (word.Action) {
        case TWordAction::kIgnore:
        case TWordAction::kBinary: // stepped over before
            break;
        case TWordAction::kDestination:
            BeginDestination(static_cast<TDest>(word.Value));
            break;
        case TWordAction::kCharacter:
            Special(static_cast<char16_t>(word.Value));
            break;
        case TWordAction::kCodePage:
            decoder_.NameCodePage(word.Value != 0 ? word.Value : param);
            break;
        case TWordAction::kFlag:
            SetFlag(static_cast<TFlag>(word.Value), on);
            break;
        case TWordAction::kFlagOff:
            SetFlag(static_cast<TFlag>(word.Value), false);
            break;
        case TWordAction::kVertical:
            SetFormat([&](TGroup& t) { t.Format.Vertical = static_cast<signed char>(word.Value); });
            break;
        case TWordAction::kColorChannel:
            colors_.SetChannel(word.Value, param);
            break;
        case TWordAction::kForeground:
            SetFormat([&](TGroup& t) { t.Format.Color = colors_.Numbered(param); });
            break;
        case TWordAction::kBackground:
            SetFormat([&](TGroup& t) { t.Format.Background = colors_.Numbered(param); });
            break;
        case TWordAction::kLogic:
            LogicWord(static_cast<TWord>(word.Value), hasParam, param);
            break;
        }
    }

    void SetFlag(TFlag flag, bool on) {
        if (flag == TFlag::kHidden) {
            Top().Hidden = on; // not part of the format: hidden text is never stored
            return;
        }
        SetFormat([&](TGroup& t) {
            switch (flag) {
            case TFlag::kBold:
                t.Format.Bold = on;
                break;
            case TFlag::kItalic:
                t.Format.Italic = on;
                break;
            case TFlag::kUnderline:
                t.Format.Underline = on;
                break;
            case TFlag::kStrike:
                t.Format.Strike = on;
                break;
            case TFlag::kHidden:
                break;
            }
        });
    }

    // The words whose effect depends on the reader's state.
    void LogicWord(TWord word, bool hasParam, int param) {
        TGroup& g = Top();
        switch (word) {
        case TWord::kDefaultFont:
            fonts_.SetDefault(param);
            break;
        case TWord::kDefaultTab:
            if (hasParam && param > 0) {
                doc_.DefaultTabTwips = param;
            }
            break;
        case TWord::kFont:
            if (g.Dest == TDest::kFontTable) {
                fonts_.Begin(param);
            } else if (g.Dest == TDest::kListTable) {
                lists_.SetLevelSymbols(SymbolsOfFont(param));
            } else {
                SetFormat([&](TGroup& t) {
                    t.FontNumber = param;
                    t.CodePage = CodePageOfFont(param);
                    t.Symbols = SymbolsOfFont(param);
                });
            }
            break;
        case TWord::kFontModern:
        case TWord::kFontPitch:
        case TWord::kFontCharset:
        case TWord::kFontCodePage:
            FontWord(word, param);
            break;
        case TWord::kPlain:
            SetFormat([&](TGroup& t) {
                t.Format = TRtfCharFormat{};
                t.FontNumber = -1;
                t.CodePage = CodePageOfFont(fonts_.Default());
                t.Symbols = SymbolsOfFont(fonts_.Default());
                t.Hidden = false;
            });
            break;
        case TWord::kFontSize:
            SetFormat([&](TGroup& t) {
                t.Format.SizeHalfPoints =
                    (hasParam && param > 0) ? std::min(param, 3276) : kDefaultSizeHalfPoints;
            });
            break;
        case TWord::kUnicode:
            Unicode(param);
            break;
        case TWord::kUnicodeSkip:
            g.Uc = std::clamp(param, 0, kMaxUnicodeSkip);
            break;
        case TWord::kShapeResult: // shown only for a shape without text of its own
            BeginDestination(ShapeHasText() ? TDest::kSkip : TDest::kText);
            break;
        default:
            g.Dest == TDest::kListTable ? ListTableWord(word, param) : PartWord(word, param);
            break;
        }
    }

    // Properties of the font-table entry being read.
    void FontWord(TWord word, int param) {
        TFontEntry* entry = fonts_.Reading();
        if (!entry) {
            return;
        }
        if (word == TWord::kFontCodePage) {
            entry->CodePage = param;
            entry->CodePageNamed = true;
        } else if (word == TWord::kFontCharset) {
            entry->SymbolCharset = param == 2;
            if (!entry->CodePageNamed) {
                entry->CodePage = CodePageOfCharset(param);
            }
        } else if (word == TWord::kFontModern || param == 1) {
            entry->Font.FixedPitch = true;
        }
    }

    const TCodePage* CodePageOfFont(int number) {
        const TFontEntry* entry = number < 0 ? nullptr : fonts_.Find(number);
        return entry ? decoder_.CodePageNumbered(entry->CodePage) : nullptr;
    }

    const TSymbolTable* SymbolsOfFont(int number) const {
        const TFontEntry* entry = number < 0 ? nullptr : fonts_.Find(number);
        return entry ? entry->Symbols : nullptr;
    }

    // A character given by a control word or symbol.
    void Special(char16_t ch) {
        if (decoder_.SkippedAfterUnicode()) {
            return;
        }
        const TGroup& g = Top();
        if (g.Dest == TDest::kText && !g.Hidden) {
            Emit(ch);
        }
    }

    void Unicode(int value) {
        if (value < 0) {
            value += 65536;
        }
        char16_t ch = (value >= 0 && value <= 0xFFFF) ? static_cast<char16_t>(value) : 0xFFFD;
        const TGroup& g = Top();
        // Symbol fonts' characters are also written at U+F000 plus their byte.
        if (g.Symbols && (ch & 0xFF00) == 0xF000 && (*g.Symbols)[ch & 0xFF] != 0) {
            ch = (*g.Symbols)[ch & 0xFF];
        }
        if (g.Dest == TDest::kText && !g.Hidden) {
            Emit(ch);
        } else if (g.Dest == TDest::kFontTable) {
            fonts_.AppendName(ToUtf8(std::u16string_view(&ch, 1)));
        } else {
            OtherText(g.Dest, ch);
        }
        decoder_.StartUnicodeSkip(g.Uc);
    }

    // A character of a destination that is neither shown nor a table of the header.
    void OtherText(TDest dest, char16_t ch) {
        switch (dest) {
        case TDest::kFieldInst:
            AppendInstruction(ch);
            break;
        case TDest::kLevelText:
            lists_.AppendLevelText(ch);
            break;
        case TDest::kLevelNumbers:
            if (ch != u';') {
                lists_.AppendLevelNumber(static_cast<unsigned char>(ch));
            }
            break;
        default:
            break;
        }
    }

    // A text byte, RAW or escaped.
    void Byte(unsigned char byte, bool raw = false) {
        if (stack_.empty() || decoder_.SkippedAfterUnicode()) {
            return;
        }
        TGroup& g = Top();
        switch (g.Dest) {
        case TDest::kText:
            if (!g.Hidden) {
                ShowByte(g, byte, raw);
            }
            break;
        case TDest::kFontTable:
            if (byte == ';') {
                fonts_.Commit();
            } else if (fonts_.Reading()) {
                const char16_t ch = decoder_.DocumentCodePage().Decode(byte);
                fonts_.AppendName(ToUtf8(std::u16string_view(&ch, 1)));
            }
            break;
        case TDest::kColorTable:
            if (byte == ';') {
                colors_.Commit();
            }
            break;
        case TDest::kLevelNumbers:
            OtherText(g.Dest, byte);
            break;
        default: // level places and lengths are bytes below 0x20, the same in every code page
            OtherText(g.Dest, decoder_.DocumentCodePage().Decode(byte));
            break;
        }
    }

    // The UTF-8 byte order mark counts only as the first text of the
    // document, in no font of its own; its first byte just read.
    bool TakeByteOrderMark() {
        if (!doc_.Text.empty() || stack_.empty() || Top().Dest != TDest::kText ||
            Top().CodePage != nullptr || !decoder_.TakeByteOrderMark(data_.substr(pos_ - 1))) {
            return false;
        }
        pos_ += 2;
        return true;
    }

    // A raw UTF-8 character, its first byte just read: one character, also
    // for the skip after \u.
    void Utf8Char() {
        char32_t cp = 0;
        const std::size_t start = pos_ - 1;
        const std::size_t length = Utf8CharAt(data_, start, cp);
        if (length == 0) {
            // Only a byte whose lead a control symbol took: read it as the code page's.
            Byte(static_cast<unsigned char>(data_[start]), true);
            return;
        }
        pos_ = start + length;
        if (stack_.empty() || decoder_.SkippedAfterUnicode()) {
            return;
        }
        TGroup& g = Top();
        const std::string_view bytes = data_.substr(start, length);
        switch (g.Dest) {
        case TDest::kText:
            if (g.Hidden) {
                break;
            }
            if (g.CodePage || g.Symbols) { // a font's own character set is named, and wins
                for (char byte : bytes) {
                    ShowByte(g, static_cast<unsigned char>(byte), true);
                }
                break;
            }
            decoder_.DecodeCodePoint(cp, [this](char16_t ch) { Emit(ch); });
            break;
        case TDest::kFontTable:
            fonts_.AppendName(bytes);
            break;
        default:
            decoder_.DecodeCodePoint(cp, [&](char16_t ch) { OtherText(g.Dest, ch); });
            break;
        }
    }

    // A byte of shown text in the group's font.
    void ShowByte(const TGroup& g, unsigned char byte, bool raw) {
        if (g.Symbols && (*g.Symbols)[byte] != 0) {
            Emit((*g.Symbols)[byte]);
            return;
        }
        decoder_.Decode(
            byte, g.CodePage ? *g.CodePage : decoder_.DocumentCodePage(),
            [this](char16_t ch) { Emit(ch); }, raw);
    }

    TRtfDocument Finish() {
        fonts_.Commit();
        AppendNotes();
        // The last paragraph mark ends the document rather than starting an empty paragraph.
        if (!doc_.Text.empty() && doc_.Text.back() == kParagraphEnd) {
            doc_.Text.pop_back();
            doc_.Runs.ShortenLast();
        }
        assert(!ended_ || stack_.empty());
        return std::move(doc_);
    }
};

} // namespace

bool IsRtf(std::string_view data) {
    return data.starts_with("{\\rtf");
}

TRtfDocument ReadRtf(std::string_view data, const TStopRequest& stop, const TReadProgress& passed) {
    return TRtfReader(data, stop, passed).Read();
}

TRtfDocument ReadDocument(std::string_view data, const TStopRequest& stop,
                          const TReadProgress& passed) {
    return IsRtf(data) ? ReadRtf(data, stop, passed) : ReadPlainText(data);
}
