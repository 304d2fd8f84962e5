#include "tests/engine/ReferenceConverter.h"

#include "engine/MemoryStream.h"

const std::array<std::string_view, 68> kReferenceKeywords = {"ABSTRACT",
                                                             "AND",
                                                             "ARRAY",
                                                             "AS",
                                                             "ASM",
                                                             "ASSEMBLER",
                                                             "BEGIN",
                                                             "CASE",
                                                             "CLASS",
                                                             "CONST",
                                                             "CONSTRUCTOR",
                                                             "DESTRUCTOR",
                                                             "DIV",
                                                             "DO",
                                                             "DOWNTO",
                                                             "ELSE",
                                                             "END",
                                                             "EXCEPT",
                                                             "EXPORTS",
                                                             "FILE",
                                                             "FINALIZATION",
                                                             "FINALLY",
                                                             "FOR",
                                                             "FUNCTION",
                                                             "GOTO",
                                                             "IF",
                                                             "IMPLEMENTATION",
                                                             "INHERITED",
                                                             "INITIALIZATION",
                                                             "INLINE",
                                                             "INTERFACE",
                                                             "IS",
                                                             "LABEL",
                                                             "LIBRARY",
                                                             "MOD",
                                                             "NIL",
                                                             "NOT",
                                                             "OBJECT",
                                                             "OF",
                                                             "OVERRIDE",
                                                             "PACKED",
                                                             "PASCAL",
                                                             "PRIVATE",
                                                             "PROCEDURE",
                                                             "PROGRAM",
                                                             "PROPERTY",
                                                             "PROTECTED",
                                                             "PUBLIC",
                                                             "PUBLISHED",
                                                             "RAISE",
                                                             "RECORD",
                                                             "REPEAT",
                                                             "SET",
                                                             "SHL",
                                                             "SHR",
                                                             "STRING",
                                                             "THEN",
                                                             "THREADVAR",
                                                             "TRY",
                                                             "TYPE",
                                                             "UNIT",
                                                             "UNTIL",
                                                             "USES",
                                                             "VAR",
                                                             "VIRTUAL",
                                                             "WHILE",
                                                             "WITH",
                                                             "XOR"};

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string UpperCase(std::string_view word) {
    std::string upper(word);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return upper;
}

// Byte by byte as unsigned values; a proper prefix orders first.
int Compare(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

class TReference {
public:
    explicit TReference(std::string_view source) { FSource.Write(source); }

    std::string Run() {
        FSource.SetPosition(0);
        char c;
        while (FSource.Position() < FSource.Size()) {
            FSource.Read(&c, 1);
            Dispatch(c);
        }
        return std::string(out_.View());
    }

private:
    void Write(std::string_view text) { out_.Write(text); }

    bool ReadByte(char& c) { return FSource.Read(&c, 1) == 1; }

    char PeekChar() {
        char c;
        if (FSource.Read(&c, 1) == 0) {
            return ' ';
        }
        FSource.SetPosition(FSource.Position() - 1);
        return c;
    }

    template <typename InSet> std::string ReadRun(InSet inSet) {
        const std::size_t start = FSource.Position() - 1;
        char c;
        while (ReadByte(c)) {
            if (!inSet(c)) {
                FSource.SetPosition(FSource.Position() - 1);
                break;
            }
        }
        const std::size_t end = FSource.Position();
        std::string text(end - start, '\0');
        FSource.SetPosition(start);
        FSource.Read(text.data(), text.size());
        return text;
    }

    std::string ReadIdentifier() {
        return ReadRun([](char c) { return c == '#' || IsDigit(c) || IsLetter(c) || c == '_'; });
    }
    std::string ReadCharCode() {
        return ReadRun([](char c) { return c == '#' || IsDigit(c); });
    }
    std::string ReadNumber() {
        return ReadRun([](char c) { return c == '.' || IsDigit(c) || c == 'E' || c == 'e'; });
    }
    std::string ReadHexNumber() {
        return ReadRun([](char c) {
            return c == '$' || IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        });
    }

    void Dispatch(char c) {
        if (c == '\n') {
            Write("\\par ");
        } else if (c == '#') {
            Write("{\\cf2 " + ReadCharCode() + "}");
        } else if (c == '$') {
            Write("{\\cf4 " + ReadHexNumber() + "}");
        } else if (c == '\'') {
            ReadString();
        } else if (c == '(') {
            if (PeekChar() == '*') {
                ReadParenComment();
            } else {
                Write("(");
            }
        } else if (c == '/') {
            if (PeekChar() == '/') {
                ReadLineComment();
            } else {
                Write("/");
            }
        } else if (IsDigit(c)) {
            Write("{\\cf4 " + ReadNumber() + "}");
        } else if (IsLetter(c)) {
            const std::string word = ReadIdentifier();
            if (!ReferenceIsKeyword(word)) {
                Write(word);
            } else {
                Write("{\\cf6\\b " + word + "}");
                if (UpperCase(word) == "ASM") {
                    ReadAsmBlock();
                }
            }
        } else if (c == '\\') {
            Write("\\\\");
        } else if (c == '_') {
            Write(ReadIdentifier());
        } else if (c == '{') {
            ReadBraceComment();
        } else if (c == '}') {
            Write("\\}");
        } else {
            Write(std::string(1, c));
        }
    }

    void ReadString() {
        std::string text = "{\\cf2 '";
        char c;
        while (ReadByte(c)) {
            if (c == '\n') {
                text += "\\par";
                break;
            }
            if (c == '\\' || c == '{' || c == '}') {
                text += '\\';
            }
            text += c;
            if (c == '\'') {
                break;
            }
        }
        Write(text + "}");
    }

    void ReadBraceComment() {
        std::string text = "{\\cf3\\i \\{";
        char c;
        while (ReadByte(c)) {
            if (c == '\n') {
                text += "\\par ";
                continue;
            }
            if (c == '\\' || c == '{' || c == '}') {
                text += '\\';
            }
            text += c;
            if (c == '}') {
                break;
            }
        }
        Write(text + "}");
    }

    void ReadParenComment() {
        std::string text = "{\\cf3\\i (";
        bool star = false;
        char c;
        while (ReadByte(c)) {
            if (c == '\n') {
                text += "\\par ";
            } else if (c == '\\' || c == '{' || c == '}') {
                text += '\\';
                text += c;
            } else {
                text += c;
                if (c == ')' && star) {
                    break;
                }
                if (c == '*') {
                    star = true;
                } else if (c != ')') {
                    star = false;
                }
            }
        }
        Write(text + "}");
    }

    void ReadLineComment() {
        std::string text = "{\\cf3\\i /";
        char c;
        while (ReadByte(c)) {
            if (c == '\n') {
                text += "\\par";
                break;
            }
            if (c == '\\' || c == '{' || c == '}') {
                text += '\\';
            }
            text += c;
        }
        Write(text + "}");
    }

    void ReadAsmBlock() {
        Write("{\\cf5 ");
        std::string endWord;
        char c;
        while (ReadByte(c)) {
            if (c == '\n') {
                Write("\\par ");
            } else if (c == '{') {
                ReadBraceComment();
            } else if (c == '(' && PeekChar() == '*') {
                ReadParenComment();
            } else if (c == '/' && PeekChar() == '/') {
                ReadLineComment();
            } else if (IsLetter(c)) {
                const std::string word = ReadIdentifier();
                if (UpperCase(word) == "END") {
                    endWord = word;
                    break;
                }
                Write(word);
            } else if (c == '\\') {
                Write("\\\\");
            } else if (c == '}') {
                Write("\\}");
            } else {
                Write(std::string(1, c));
            }
        }
        Write("}");
        if (!endWord.empty()) {
            Write("{\\b " + endWord + "}");
        }
    }

    TMemoryStream FSource;
    TMemoryStream out_;
};

} // namespace

bool ReferenceIsKeyword(std::string_view word) {
    const std::string upper = UpperCase(word);
    int low = 0;
    int high = static_cast<int>(kReferenceKeywords.size()) - 1;
    while (high >= low) {
        const int middle = (low + high) / 2;
        const int order = Compare(upper, kReferenceKeywords[static_cast<std::size_t>(middle)]);
        if (order == 0) {
            return true;
        }
        if (order < 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return false;
}

std::string ReferenceBody(std::string_view source) {
    return TReference(source).Run();
}
