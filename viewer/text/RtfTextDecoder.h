#pragma once
// How the RTF reader turns the bytes of a document's text into UTF-16; the
// reader decides where text goes, this decides what the text is.
//
// - Raw bytes above ASCII are UTF-8 when every one of them in the document is
//   part of a valid UTF-8 character, or when the document's text starts with
//   the UTF-8 byte order mark (which is no character); then a byte that is no
//   UTF-8 is its code page's character.
// - A code page the document names (\ansicpg, \mac, \pc, \pca) outranks that
//   guess: its bytes, the mark's too, are that code page's text, unless it
//   names UTF-8 itself.
// - \'hh bytes, and raw bytes in a font whose character set names a code page,
//   are always a code page's.
// - A lead byte of a two-byte code page waits for its trail byte; a group
//   boundary or a control word between them drops it. After a raw lead byte,
//   a raw "{", "}" or "\" is its trail byte.
// - After \uN the next \ucN characters (a raw UTF-8 character, an escape, a
//   control symbol or a control word counting one each) are its fallback and
//   are not shown.

#include "viewer/text/CodePage.h"

#include <cstddef>
#include <string_view>

namespace text {

class TRtfTextDecoder {
public:
    // DATA is the whole document: one pass tells whether its raw text is UTF-8.
    explicit TRtfTextDecoder(std::string_view data);

    // The document names code page NUMBER (0 or less: ignored).
    void NameCodePage(int number);
    // The document's code page, Windows-1252 unless it names another.
    const TCodePage& DocumentCodePage() const { return *ansi_; }
    // Code page NUMBER, null for 0 or less; an unknown number gives Windows-1252.
    const TCodePage* CodePageNumbered(int number) { return codePages_.Numbered(number); }

    // Raw bytes above ASCII are read as UTF-8.
    bool RawUtf8() const { return utf8Text_; }
    // True when BYTES (from a raw 0xEF on, at the very start of the document's
    // text) are the byte order mark and it counts: then raw text is UTF-8 and
    // the caller steps over its three bytes.
    bool TakeByteOrderMark(std::string_view bytes);

    // A group opens or closes: a pending lead byte and the fallback skip end.
    void AtGroupBoundary() {
        ucSkip_ = 0;
        pendingLead_ = -1;
    }
    // A control word other than \bin: a pending lead byte ends.
    void AtControlWord() { pendingLead_ = -1; }
    // \uN was read, in a group whose \uc is COUNT.
    void StartUnicodeSkip(int count) { ucSkip_ = count; }
    bool InUnicodeSkip() const { return ucSkip_ > 0; }
    // True, counting it, when the character just read is one of the fallback
    // characters after \uN.
    bool SkippedAfterUnicode() {
        if (ucSkip_ > 0) {
            --ucSkip_;
            return true;
        }
        return false;
    }

    // A text byte in CODEPAGE: gives EMIT no, one or (for a pair) more
    // characters. RAW: the byte stands as itself in the data, not as \'hh.
    template <typename Emit>
    void Decode(unsigned char byte, const TCodePage& codePage, Emit&& emit, bool raw = false) {
        if (pendingLead_ >= 0) {
            const std::u16string pair =
                codePage.DecodePair(static_cast<unsigned char>(pendingLead_), byte);
            pendingLead_ = -1;
            for (char16_t ch : pair) {
                emit(ch);
            }
        } else if (codePage.IsLeadByte(byte)) {
            pendingLead_ = byte;
            pendingRaw_ = raw;
        } else {
            emit(codePage.Decode(byte));
        }
    }

    // A raw lead byte waits for its trail: then a raw "{", "}" or "\\" is that
    // trail byte, not syntax (writers of two-byte text leave those bytes raw).
    bool RawLeadPending() const { return pendingLead_ >= 0 && pendingRaw_; }

    // A raw UTF-8 character's code point, as one or two UTF-16 units.
    template <typename Emit> void DecodeCodePoint(char32_t cp, Emit&& emit) {
        pendingLead_ = -1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            emit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            emit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            emit(static_cast<char16_t>(cp));
        }
    }

private:
    bool utf8Valid_;        // every raw byte above ASCII is UTF-8, or a mark says so
    bool utf8Text_;         // raw bytes are read as UTF-8
    int namedCodePage_ = 0; // the last one named, 0 for none
    bool byteOrderMarkSeen_ = false;
    int ucSkip_ = 0;          // characters still to skip after \u
    int pendingLead_ = -1;    // lead byte of a two-byte character
    bool pendingRaw_ = false; // that lead byte was raw
    TCodePageCache codePages_;
    const TCodePage* ansi_ = &codePages_.Windows1252();
};

} // namespace text
