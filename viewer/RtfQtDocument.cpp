#include "viewer/RtfQtDocument.h"

#include "platform/qt/QtColor.h"
#include "viewer/text/CodePage.h"

#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

QFont DefaultFont() {
    QFont font(QString::fromLatin1(kCodeFontName));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(kCodeFontHalfPoints / 2.0);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}

QTextCharFormat QtFormatOf(const TRtfCharFormat& f, const TRtfDocument& model) {
    QTextCharFormat format;
    if (f.Font >= 0 && static_cast<std::size_t>(f.Font) < model.Fonts.size()) {
        const TRtfFont& font = model.Fonts[static_cast<std::size_t>(f.Font)];
        format.setFontFamilies(QStringList{QString::fromStdString(font.Name)});
        if (font.FixedPitch) {
            format.setFontFixedPitch(true);
            // Code fonts need no shaping or kerning; skipping both makes layout
            // of large documents much cheaper.
            format.setFontStyleHint(QFont::TypeWriter, QFont::PreferNoShaping);
            format.setFontKerning(false);
        }
    }
    format.setFontPointSize(f.SizeHalfPoints / 2.0);
    if (f.Color != kNoColor) {
        format.setForeground(ToQColor(f.Color));
    }
    if (f.Background != kNoColor) {
        format.setBackground(ToQColor(f.Background));
    }
    if (f.Bold) {
        format.setFontWeight(QFont::Bold);
    }
    if (f.Italic) {
        format.setFontItalic(true);
    }
    if (f.Underline) {
        format.setFontUnderline(true);
    }
    if (f.Strike) {
        format.setFontStrikeOut(true);
    }
    if (f.Vertical != 0) {
        format.setVerticalAlignment(f.Vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                   : QTextCharFormat::AlignSubScript);
    }
    return format;
}

// Keeps the model's formats and fonts in step with the document's format indices.
class TFormatMapper {
public:
    TFormatMapper(const QTextDocument& doc, TRtfDocument& model)
        : model_(model), defaultFont_(doc.defaultFont()) {}

    std::uint32_t ModelFormat(int qtIndex, const QTextCharFormat& format) {
        auto it = byQtIndex_.find(qtIndex);
        if (it != byQtIndex_.end()) {
            return it->second;
        }
        TRtfCharFormat f;
        const QStringList families = format.fontFamilies().toStringList();
        TRtfFont font;
        font.Name = (families.isEmpty() ? defaultFont_.family() : families.first()).toStdString();
        font.FixedPitch = format.hasProperty(QTextFormat::FontFixedPitch)
                              ? format.fontFixedPitch()
                              : (families.isEmpty() && defaultFont_.fixedPitch());
        f.Font = model_.FontIndex(font);
        const double points = format.hasProperty(QTextFormat::FontPointSize)
                                  ? format.fontPointSize()
                                  : defaultFont_.pointSizeF();
        f.SizeHalfPoints = std::clamp(static_cast<int>(points * 2 + 0.5), 1, 3276);
        if (format.foreground().style() != Qt::NoBrush) {
            f.Color = FromQColor(format.foreground().color());
        }
        if (format.background().style() != Qt::NoBrush) {
            f.Background = FromQColor(format.background().color());
        }
        f.Bold = format.fontWeight() >= QFont::DemiBold;
        f.Italic = format.fontItalic();
        f.Underline = format.fontUnderline();
        f.Strike = format.fontStrikeOut();
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
            f.Vertical = 1;
        } else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript) {
            f.Vertical = -1;
        }
        const std::uint32_t index = model_.FormatIndex(f);
        byQtIndex_.emplace(qtIndex, index);
        return index;
    }

private:
    TRtfDocument& model_;
    QFont defaultFont_;
    std::unordered_map<int, std::uint32_t> byQtIndex_;
};

void AppendQString(TRtfDocument& model, const QString& text, std::uint32_t format) {
    model.Append(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                     static_cast<std::size_t>(text.size())),
                 format);
}

} // namespace

std::unique_ptr<QTextDocument> BuildQtDocument(const TRtfDocument& model) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(DefaultFont());

    std::vector<QTextCharFormat> formats;
    formats.reserve(model.Formats.size());
    for (const TRtfCharFormat& f : model.Formats) {
        formats.push_back(QtFormatOf(f, model));
    }
    // One cursor, one edit block: the document is told of the change once.
    QTextCursor cursor(doc.get());
    cursor.beginEditBlock();
    const char16_t* text = model.Text.data();
    for (const TRtfRun& run : model.Runs) {
        if (run.Format >= formats.size()) {
            continue;
        }
        cursor.insertText(QString::fromUtf16(text + run.Start, static_cast<qsizetype>(run.Length)),
                          formats[run.Format]);
    }
    cursor.endEditBlock();
    return doc;
}

TRtfDocument ModelOfRange(const QTextDocument& doc, int from, int to) {
    TRtfDocument model;
    TFormatMapper mapper(doc, model);
    from = std::max(from, 0);
    QTextBlock block = doc.findBlock(from);
    if (!block.isValid() || from >= to) {
        return model;
    }
    // The separator before a block is stored with that block, in its char format.
    for (; block.isValid() && block.position() <= to; block = block.next()) {
        if (block.position() > from) {
            model.Append(kParagraphEnd,
                         mapper.ModelFormat(block.charFormatIndex(), block.charFormat()));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end) {
                continue;
            }
            AppendQString(model, fragment.text().mid(start - fragment.position(), end - start),
                          mapper.ModelFormat(fragment.charFormatIndex(), fragment.charFormat()));
        }
    }
    return model;
}
