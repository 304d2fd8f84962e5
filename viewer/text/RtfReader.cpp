#include "viewer/text/RtfReader.h"

#include "viewer/text/CodePage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace {

// Deeper groups are skipped whole, so hostile nesting costs neither stack nor memory.
constexpr std::size_t kMaxDepth = 256;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kDefaultSizeHalfPoints = 24;

enum class TDest : unsigned char {
    Text,       // shown
    Skip,       // not shown, nested groups neither (read only for their braces)
    Drop,       // not shown, but a nested result group may be
    FontTable,  // font entries
    ColorTable, // colour entries
};

enum class TWord : unsigned char {
    Ansi,
    AnsiCpg,
    B,
    Bin,
    Blue,
    Bullet,
    Cb,
    Cell,
    Cf,
    ChCbPat,
    ColorTbl,
    Deff,
    Emdash,
    Emspace,
    Endash,
    Enspace,
    F,
    FCharset,
    FModern,
    FontTbl,
    FldRslt,
    FPrq,
    Fs,
    Green,
    Highlight,
    I,
    Ldblquote,
    Line,
    Lquote,
    Ltrmark,
    Mac,
    NestCell,
    NestRow,
    NoSuperSub,
    Object,
    Page,
    Par,
    Pc,
    Pca,
    Plain,
    Qmspace,
    Rdblquote,
    Red,
    Result,
    Row,
    Rquote,
    Rtlmark,
    Sect,
    Shp,
    ShpRslt,
    Strike,
    StrikeD,
    Sub,
    Super,
    Tab,
    U,
    Uc,
    Ul,
    UlNone,
    V,
    Zwj,
    Zwnj,
    SkipDestination,
};

struct TWordEntry {
    std::string_view Name;
    TWord Word;
};

// Sorted by name for the binary search below.
constexpr std::array kWords = std::to_array<TWordEntry>({
    {"aftncn", TWord::SkipDestination},
    {"aftnsep", TWord::SkipDestination},
    {"aftnsepc", TWord::SkipDestination},
    {"annotation", TWord::SkipDestination},
    {"ansi", TWord::Ansi},
    {"ansicpg", TWord::AnsiCpg},
    {"atnauthor", TWord::SkipDestination},
    {"atnid", TWord::SkipDestination},
    {"author", TWord::SkipDestination},
    {"b", TWord::B},
    {"bin", TWord::Bin},
    {"bkmkend", TWord::SkipDestination},
    {"bkmkstart", TWord::SkipDestination},
    {"blue", TWord::Blue},
    {"bullet", TWord::Bullet},
    {"buptim", TWord::SkipDestination},
    {"cb", TWord::Cb},
    {"cell", TWord::Cell},
    {"cf", TWord::Cf},
    {"chcbpat", TWord::ChCbPat},
    {"colorschememapping", TWord::SkipDestination},
    {"colortbl", TWord::ColorTbl},
    {"comment", TWord::SkipDestination},
    {"creatim", TWord::SkipDestination},
    {"datastore", TWord::SkipDestination},
    {"deff", TWord::Deff},
    {"doccomm", TWord::SkipDestination},
    {"docvar", TWord::SkipDestination},
    {"emdash", TWord::Emdash},
    {"emspace", TWord::Emspace},
    {"endash", TWord::Endash},
    {"enspace", TWord::Enspace},
    {"f", TWord::F},
    {"falt", TWord::SkipDestination},
    {"fcharset", TWord::FCharset},
    {"filetbl", TWord::SkipDestination},
    {"fldinst", TWord::SkipDestination},
    {"fldrslt", TWord::FldRslt},
    {"fmodern", TWord::FModern},
    {"fonttbl", TWord::FontTbl},
    {"footer", TWord::SkipDestination},
    {"footerf", TWord::SkipDestination},
    {"footerl", TWord::SkipDestination},
    {"footerr", TWord::SkipDestination},
    {"footnote", TWord::SkipDestination},
    {"fprq", TWord::FPrq},
    {"fs", TWord::Fs},
    {"ftncn", TWord::SkipDestination},
    {"ftnsep", TWord::SkipDestination},
    {"ftnsepc", TWord::SkipDestination},
    {"generator", TWord::SkipDestination},
    {"green", TWord::Green},
    {"header", TWord::SkipDestination},
    {"headerf", TWord::SkipDestination},
    {"headerl", TWord::SkipDestination},
    {"headerr", TWord::SkipDestination},
    {"highlight", TWord::Highlight},
    {"i", TWord::I},
    {"info", TWord::SkipDestination},
    {"keywords", TWord::SkipDestination},
    {"latentstyles", TWord::SkipDestination},
    {"ldblquote", TWord::Ldblquote},
    {"line", TWord::Line},
    {"listoverridetable", TWord::SkipDestination},
    {"listpicture", TWord::SkipDestination},
    {"listtable", TWord::SkipDestination},
    {"lquote", TWord::Lquote},
    {"ltrmark", TWord::Ltrmark},
    {"mac", TWord::Mac},
    {"mmathPr", TWord::SkipDestination},
    {"nestcell", TWord::NestCell},
    {"nestrow", TWord::NestRow},
    {"nonshppict", TWord::SkipDestination},
    {"nosupersub", TWord::NoSuperSub},
    {"objclass", TWord::SkipDestination},
    {"objdata", TWord::SkipDestination},
    {"object", TWord::Object},
    {"objname", TWord::SkipDestination},
    {"operator", TWord::SkipDestination},
    {"page", TWord::Page},
    {"panose", TWord::SkipDestination},
    {"par", TWord::Par},
    {"pc", TWord::Pc},
    {"pca", TWord::Pca},
    {"pgdsctbl", TWord::SkipDestination},
    {"pict", TWord::SkipDestination},
    {"plain", TWord::Plain},
    {"pn", TWord::SkipDestination},
    {"printim", TWord::SkipDestination},
    {"private", TWord::SkipDestination},
    {"qmspace", TWord::Qmspace},
    {"rdblquote", TWord::Rdblquote},
    {"red", TWord::Red},
    {"result", TWord::Result},
    {"revtbl", TWord::SkipDestination},
    {"revtim", TWord::SkipDestination},
    {"row", TWord::Row},
    {"rquote", TWord::Rquote},
    {"rsidtbl", TWord::SkipDestination},
    {"rtlmark", TWord::Rtlmark},
    {"sect", TWord::Sect},
    {"shp", TWord::Shp},
    {"shprslt", TWord::ShpRslt},
    {"strike", TWord::Strike},
    {"striked", TWord::StrikeD},
    {"stylesheet", TWord::SkipDestination},
    {"sub", TWord::Sub},
    {"subject", TWord::SkipDestination},
    {"super", TWord::Super},
    {"tab", TWord::Tab},
    {"tc", TWord::SkipDestination},
    {"template", TWord::SkipDestination},
    {"themedata", TWord::SkipDestination},
    {"title", TWord::SkipDestination},
    {"txe", TWord::SkipDestination},
    {"u", TWord::U},
    {"uc", TWord::Uc},
    {"ul", TWord::Ul},
    {"uld", TWord::Ul},
    {"uldash", TWord::Ul},
    {"uldashd", TWord::Ul},
    {"uldashdd", TWord::Ul},
    {"uldb", TWord::Ul},
    {"ulhair", TWord::Ul},
    {"ulhwave", TWord::Ul},
    {"ulldash", TWord::Ul},
    {"ulnone", TWord::UlNone},
    {"ulth", TWord::Ul},
    {"ulthd", TWord::Ul},
    {"ulthdash", TWord::Ul},
    {"ulthdashd", TWord::Ul},
    {"ulthdashdd", TWord::Ul},
    {"ulthldash", TWord::Ul},
    {"ululdbwave", TWord::Ul},
    {"ulw", TWord::Ul},
    {"ulwave", TWord::Ul},
    {"userprops", TWord::SkipDestination},
    {"v", TWord::V},
    {"xe", TWord::SkipDestination},
    {"xmlnstbl", TWord::SkipDestination},
    {"zwj", TWord::Zwj},
    {"zwnj", TWord::Zwnj},
});

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const TWordEntry& a, const TWordEntry& b) {
                                 return a.Name < b.Name;
                             }));

const TWordEntry* FindWord(std::string_view name) {
    auto it = std::lower_bound(kWords.begin(), kWords.end(), name,
                               [](const TWordEntry& e, std::string_view n) { return e.Name < n; });
    return (it != kWords.end() && it->Name == name) ? &*it : nullptr;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Characters that must not reach the view as text: Qt reads U+FDD0/U+FDD1 as
// frame marks and U+FFFC as an object, and starts a paragraph at CR and U+2029,
// so those become our paragraph end.
char16_t SafeChar(char16_t ch) {
    if (ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC) {
        return 0xFFFD;
    }
    if (ch == 0x2029 || ch == u'\r') {
        return kParagraphEnd;
    }
    return ch;
}

struct TFontEntry {
    TRtfFont Font;
    int CodePage = 0;    // 0: the document's
    int ModelIndex = -1; // index in the document's fonts once used
};

struct TGroup {
    TDest Dest = TDest::Text;
    TRtfCharFormat Format;               // Font unused here: see FontNumber
    int FontNumber = -1;                 // -1: the default font (\deff)
    const TCodePage* CodePage = nullptr; // null: the document's
    int Uc = 1;
    bool Hidden = false;
    int FormatIndex = -1; // cached index into the document's formats, -1 when stale
};

class TRtfReader {
public:
    explicit TRtfReader(std::string_view data) : data_(data) {}

    TRtfDocument Read() {
        // Whatever follows the end of the document group is not part of the document.
        while (pos_ < data_.size() && !ended_) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                OpenGroup();
                break;
            case '}':
                CloseGroup();
                break;
            case '\\':
                ControlSequence();
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                Byte(static_cast<unsigned char>(c));
                break;
            }
        }
        return Finish();
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
    std::vector<TGroup> stack_;
    TRtfDocument doc_;
    int ucSkip_ = 0;       // characters still to skip after \u
    int pendingLead_ = -1; // lead byte of a two-byte character
    bool ended_ = false;   // the document group has been closed
    unsigned fontGeneration_ = 0;
    unsigned formatGeneration_ = 0;

    TCodePage windows1252_;
    const TCodePage* ansi_ = &windows1252_; // the document's code page
    std::unordered_map<int, std::unique_ptr<TCodePage>> codePages_;
    std::vector<bool> noCodePage_ = std::vector<bool>(65536); // numbers found unavailable
    int defaultFont_ = 0;
    std::unordered_map<int, TFontEntry> fonts_;
    bool fontOpen_ = false; // a font-table entry is being read
    int fontNumber_ = 0;
    TFontEntry font_;
    std::string fontName_;

    std::vector<TRgb> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    TGroup& Top() { return stack_.back(); }

    // Only code pages this system can convert are kept, so a document that
    // names thousands of different numbers costs no more than one that names
    // the few that exist; every other number reads as 1252.
    const TCodePage* CodePageNumbered(int number) {
        if (number <= 0) {
            return nullptr;
        }
        if (number >= static_cast<int>(noCodePage_.size()) || noCodePage_[number]) {
            return &windows1252_;
        }
        auto found = codePages_.find(number);
        if (found != codePages_.end()) {
            return found->second.get();
        }
        auto page = std::make_unique<TCodePage>(number);
        if (page->Number() != number) {
            noCodePage_[number] = true;
            return &windows1252_;
        }
        return codePages_.emplace(number, std::move(page)).first->second.get();
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
        }
        ucSkip_ = 0;
        pendingLead_ = -1;
    }

    void CloseGroup() {
        if (stack_.empty()) {
            return;
        }
        if (Top().Dest == TDest::FontTable) {
            CommitFont();
        }
        stack_.pop_back();
        ucSkip_ = 0;
        pendingLead_ = -1;
        ended_ = stack_.empty();
    }

    // Steps over the rest of a group (its opening brace already read) and its
    // closing brace, reading nothing but braces, escapes and \bin data.
    void SkipBalanced() {
        std::size_t depth = 0;
        while (pos_ < data_.size()) {
            const char c = data_[pos_++];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (depth == 0) {
                    return;
                }
                --depth;
            } else if (c == '\\' && pos_ < data_.size()) {
                if (!IsLetter(data_[pos_])) {
                    ++pos_;
                    continue;
                }
                const std::size_t start = pos_;
                while (pos_ < data_.size() && IsLetter(data_[pos_])) {
                    ++pos_;
                }
                const std::string_view word = data_.substr(start, pos_ - start);
                bool hasParam = false;
                const int param = ReadParameter(hasParam);
                if (word == "bin") {
                    SkipBinary(param);
                }
            }
        }
    }

    // The numeric parameter after a control word, saturated to int; and its delimiter.
    int ReadParameter(bool& hasParam) {
        bool negative = false;
        if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        std::int64_t value = 0;
        hasParam = false;
        while (pos_ < data_.size() && IsDigit(data_[pos_])) {
            hasParam = true;
            if (value <= INT_MAX) {
                value = value * 10 + (data_[pos_] - '0');
            }
            ++pos_;
        }
        if (pos_ < data_.size() && data_[pos_] == ' ') {
            ++pos_;
        }
        value = std::min<std::int64_t>(value, INT_MAX);
        return static_cast<int>(negative ? -value : value);
    }

    void SkipBinary(int count) {
        if (count > 0) {
            pos_ += std::min<std::size_t>(static_cast<std::size_t>(count), data_.size() - pos_);
        }
    }

    void ControlSequence() {
        if (pos_ >= data_.size()) {
            return;
        }
        const char c = data_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < data_.size() && IsLetter(data_[pos_])) {
            ++pos_;
        }
        const std::string_view name = data_.substr(start, pos_ - start);
        bool hasParam = false;
        const int param = ReadParameter(hasParam);
        const TWordEntry* entry = FindWord(name);
        if (entry && entry->Word == TWord::Bin) {
            SkipBinary(param);
            return;
        }
        if (stack_.empty()) {
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        pendingLead_ = -1;
        if (entry) {
            ControlWord(entry->Word, hasParam, param);
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
            const int high = pos_ < data_.size() ? HexValue(data_[pos_]) : -1;
            const int low = pos_ + 1 < data_.size() ? HexValue(data_[pos_ + 1]) : -1;
            if (high < 0 || low < 0) {
                return; // a broken escape shows nothing
            }
            pos_ += 2;
            Byte(static_cast<unsigned char>(high * 16 + low));
            return;
        }
        case '*':
            if (ucSkip_ == 0) {
                Top().Dest = TDest::Skip;
                SkipBalanced();
                CloseGroup();
            } else {
                --ucSkip_;
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
            if (ucSkip_ > 0) {
                --ucSkip_; // \- (optional hyphen) and the like show nothing
            }
            return;
        }
    }

    void BeginDestination(TDest dest) {
        if (dest == TDest::Skip) {
            SkipBalanced();
            CloseGroup();
            return;
        }
        Top().Dest = dest;
    }

    void SetFormat(const auto& change) {
        TGroup& g = Top();
        change(g);
        g.FormatIndex = -1;
    }

    void ControlWord(TWord word, bool hasParam, int param) {
        TGroup& g = Top();
        const bool on = !hasParam || param != 0;
        switch (word) {
        // destinations
        case TWord::SkipDestination:
            BeginDestination(TDest::Skip);
            break;
        case TWord::FontTbl:
            BeginDestination(TDest::FontTable);
            break;
        case TWord::ColorTbl:
            BeginDestination(TDest::ColorTable);
            break;
        case TWord::Object:
        case TWord::Shp:
            BeginDestination(TDest::Drop);
            break;
        case TWord::Result:
        case TWord::ShpRslt:
        case TWord::FldRslt:
            BeginDestination(TDest::Text);
            break;
        // document
        case TWord::Ansi:
            break;
        case TWord::AnsiCpg:
            SetAnsiCodePage(param);
            break;
        case TWord::Mac:
            SetAnsiCodePage(10000);
            break;
        case TWord::Pc:
            SetAnsiCodePage(437);
            break;
        case TWord::Pca:
            SetAnsiCodePage(850);
            break;
        case TWord::Deff:
            defaultFont_ = param;
            ++fontGeneration_;
            break;
        // font and colour tables
        case TWord::F:
            if (g.Dest == TDest::FontTable) {
                CommitFont();
                fontOpen_ = true;
                fontNumber_ = param;
            } else {
                SetFormat([&](TGroup& t) {
                    t.FontNumber = param;
                    t.CodePage = CodePageOfFont(param);
                });
            }
            break;
        case TWord::FModern:
            font_.Font.FixedPitch = true;
            break;
        case TWord::FPrq:
            if (param == 1) {
                font_.Font.FixedPitch = true;
            }
            break;
        case TWord::FCharset:
            font_.CodePage = CodePageOfCharset(param);
            break;
        case TWord::Red:
            red_ = std::clamp(param, 0, 255);
            colorGiven_ = true;
            break;
        case TWord::Green:
            green_ = std::clamp(param, 0, 255);
            colorGiven_ = true;
            break;
        case TWord::Blue:
            blue_ = std::clamp(param, 0, 255);
            colorGiven_ = true;
            break;
        // character formatting
        case TWord::Plain:
            SetFormat([&](TGroup& t) {
                t.Format = TRtfCharFormat{};
                t.FontNumber = -1;
                t.CodePage = CodePageOfFont(defaultFont_);
                t.Hidden = false;
            });
            break;
        case TWord::B:
            SetFormat([&](TGroup& t) { t.Format.Bold = on; });
            break;
        case TWord::I:
            SetFormat([&](TGroup& t) { t.Format.Italic = on; });
            break;
        case TWord::Ul:
            SetFormat([&](TGroup& t) { t.Format.Underline = on; });
            break;
        case TWord::UlNone:
            SetFormat([&](TGroup& t) { t.Format.Underline = false; });
            break;
        case TWord::Strike:
        case TWord::StrikeD:
            SetFormat([&](TGroup& t) { t.Format.Strike = on; });
            break;
        case TWord::Fs:
            SetFormat([&](TGroup& t) {
                t.Format.SizeHalfPoints =
                    (hasParam && param > 0) ? std::min(param, 3276) : kDefaultSizeHalfPoints;
            });
            break;
        case TWord::Cf:
            SetFormat([&](TGroup& t) { t.Format.Color = ColorNumbered(param); });
            break;
        case TWord::Cb:
        case TWord::ChCbPat:
        case TWord::Highlight:
            SetFormat([&](TGroup& t) { t.Format.Background = ColorNumbered(param); });
            break;
        case TWord::V:
            g.Hidden = on;
            break;
        case TWord::Super:
            SetFormat([&](TGroup& t) { t.Format.Vertical = 1; });
            break;
        case TWord::Sub:
            SetFormat([&](TGroup& t) { t.Format.Vertical = -1; });
            break;
        case TWord::NoSuperSub:
            SetFormat([&](TGroup& t) { t.Format.Vertical = 0; });
            break;
        // characters
        case TWord::U:
            Unicode(param);
            break;
        case TWord::Uc:
            g.Uc = std::clamp(param, 0, kMaxUnicodeSkip);
            break;
        case TWord::Par:
        case TWord::Page:
        case TWord::Sect:
        case TWord::Row:
        case TWord::NestRow:
            Special(kParagraphEnd);
            break;
        case TWord::Line:
            Special(kLineBreak);
            break;
        case TWord::Tab:
        case TWord::Cell:
        case TWord::NestCell:
            Special(u'\t');
            break;
        case TWord::Emdash:
            Special(0x2014);
            break;
        case TWord::Endash:
            Special(0x2013);
            break;
        case TWord::Bullet:
            Special(0x2022);
            break;
        case TWord::Lquote:
            Special(0x2018);
            break;
        case TWord::Rquote:
            Special(0x2019);
            break;
        case TWord::Ldblquote:
            Special(0x201C);
            break;
        case TWord::Rdblquote:
            Special(0x201D);
            break;
        case TWord::Emspace:
            Special(0x2003);
            break;
        case TWord::Enspace:
            Special(0x2002);
            break;
        case TWord::Qmspace:
            Special(0x2005);
            break;
        case TWord::Zwj:
            Special(0x200D);
            break;
        case TWord::Zwnj:
            Special(0x200C);
            break;
        case TWord::Ltrmark:
            Special(0x200E);
            break;
        case TWord::Rtlmark:
            Special(0x200F);
            break;
        case TWord::Bin:
            break; // handled before
        }
    }

    void SetAnsiCodePage(int number) {
        if (number > 0 && number != ansi_->Number()) {
            ansi_ = CodePageNumbered(number); // tables are kept: documents may switch back
        }
    }

    const TCodePage* CodePageOfFont(int number) {
        auto it = fonts_.find(number);
        return it == fonts_.end() ? nullptr : CodePageNumbered(it->second.CodePage);
    }

    TRgb ColorNumbered(int number) const {
        if (number < 0 || static_cast<std::size_t>(number) >= colors_.size()) {
            return kNoColor;
        }
        return colors_[static_cast<std::size_t>(number)];
    }

    void CommitFont() {
        if (!fontOpen_) {
            return;
        }
        std::string name = fontName_;
        const auto first = name.find_first_not_of(' ');
        const auto last = name.find_last_not_of(' ');
        font_.Font.Name = first == std::string::npos ? "" : name.substr(first, last - first + 1);
        fonts_[fontNumber_] = font_;
        ++fontGeneration_;
        fontOpen_ = false;
        font_ = TFontEntry{};
        fontName_.clear();
    }

    void CommitColor() {
        colors_.push_back(colorGiven_ ? static_cast<TRgb>((red_ << 16) | (green_ << 8) | blue_)
                                      : kNoColor);
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
    }

    int ModelFont(int number) {
        auto it = fonts_.find(number < 0 ? defaultFont_ : number);
        if (it == fonts_.end()) {
            return -1;
        }
        if (it->second.ModelIndex < 0) {
            it->second.ModelIndex = doc_.FontIndex(it->second.Font);
        }
        return it->second.ModelIndex;
    }

    std::uint32_t CurrentFormat() {
        TGroup& g = Top();
        if (g.FormatIndex < 0 || formatGeneration_ != fontGeneration_) {
            TRtfCharFormat format = g.Format;
            format.Font = ModelFont(g.FontNumber);
            g.FormatIndex = static_cast<int>(doc_.FormatIndex(format));
            // Other groups' cached indices may name an outdated font; drop them.
            if (formatGeneration_ != fontGeneration_) {
                for (TGroup& other : stack_) {
                    if (&other != &g) {
                        other.FormatIndex = -1;
                    }
                }
                formatGeneration_ = fontGeneration_;
            }
        }
        return static_cast<std::uint32_t>(g.FormatIndex);
    }

    void Emit(char16_t ch) {
        ch = SafeChar(ch);
        if (ch != 0) {
            doc_.Append(ch, CurrentFormat());
        }
    }

    // A character given by a control word or symbol.
    void Special(char16_t ch) {
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        const TGroup& g = Top();
        if (g.Dest == TDest::Text && !g.Hidden) {
            Emit(ch);
        }
    }

    void Unicode(int value) {
        if (value < 0) {
            value += 65536;
        }
        const char16_t ch = (value >= 0 && value <= 0xFFFF) ? static_cast<char16_t>(value) : 0xFFFD;
        const TGroup& g = Top();
        if (g.Dest == TDest::Text && !g.Hidden) {
            Emit(ch);
        } else if (g.Dest == TDest::FontTable && fontOpen_) {
            fontName_ += ToUtf8(std::u16string_view(&ch, 1));
        }
        ucSkip_ = g.Uc;
    }

    // A text byte, raw or escaped.
    void Byte(unsigned char byte) {
        if (stack_.empty()) {
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        TGroup& g = Top();
        switch (g.Dest) {
        case TDest::Text:
            if (!g.Hidden) {
                Decode(byte, g.CodePage ? *g.CodePage : *ansi_);
            }
            break;
        case TDest::FontTable:
            if (byte == ';') {
                CommitFont();
            } else if (fontOpen_) {
                const char16_t ch = ansi_->Decode(byte);
                fontName_ += ToUtf8(std::u16string_view(&ch, 1));
            }
            break;
        case TDest::ColorTable:
            if (byte == ';') {
                CommitColor();
            }
            break;
        case TDest::Skip:
        case TDest::Drop:
            break;
        }
    }

    void Decode(unsigned char byte, const TCodePage& codePage) {
        if (pendingLead_ >= 0) {
            const std::u16string pair =
                codePage.DecodePair(static_cast<unsigned char>(pendingLead_), byte);
            pendingLead_ = -1;
            for (char16_t ch : pair) {
                Emit(ch);
            }
        } else if (codePage.IsLeadByte(byte)) {
            pendingLead_ = byte;
        } else {
            Emit(codePage.Decode(byte));
        }
    }

    TRtfDocument Finish() {
        CommitFont();
        // The last paragraph mark ends the document rather than starting an empty paragraph.
        if (!doc_.Text.empty() && doc_.Text.back() == kParagraphEnd) {
            doc_.Text.pop_back();
            TRtfRun& last = doc_.Runs.back();
            if (--last.Length == 0) {
                doc_.Runs.pop_back();
            }
        }
        return std::move(doc_);
    }
};

} // namespace

bool IsRtf(std::string_view data) {
    return data.starts_with("{\\rtf");
}

TRtfDocument ReadRtf(std::string_view data) {
    return TRtfReader(data).Read();
}

TRtfDocument ReadPlainText(std::string_view data) {
    std::u16string decoded;
    std::string_view body = data;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    if (!DecodeUtf8(body, decoded)) {
        decoded = DecodeWindows1252(data);
    }
    TRtfDocument doc;
    doc.Text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t ch = decoded[i];
        if (ch == u'\r') {
            if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') {
                ++i;
            }
            doc.Text.push_back(kParagraphEnd);
        } else if (ch != 0) {
            doc.Text.push_back(SafeChar(ch));
        }
    }
    // Shown like the engine's documents, in the code font, so that a change of
    // the view's own font does not reach it.
    TRtfCharFormat format;
    format.Font = doc.FontIndex({kCodeFontName, true});
    format.SizeHalfPoints = kCodeFontHalfPoints;
    doc.Formats.push_back(format);
    if (!doc.Text.empty()) {
        doc.Runs.push_back({0, static_cast<std::uint32_t>(doc.Text.size()), 0});
    }
    return doc;
}

TRtfDocument ReadDocument(std::string_view data) {
    return IsRtf(data) ? ReadRtf(data) : ReadPlainText(data);
}
