#include "widgets/TB97/ButtonGlyph.h"

#include "platform/qt/QtColor.h"
#include "widgets/TB97/TB97Common.h"

#include <QPainter>

namespace {

std::unique_ptr<TGlyphCache> Cache;
int GlyphCount = 0;

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGrey = 0x808080;
constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kBlack = 0x000000;

TColor PixelColor(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QRgb ToRgb(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

} // namespace

// ---- TGlyphList ----

TGlyphList::TGlyphList(QSize imageSize) : imageSize_(imageSize) {}

int TGlyphList::AddMasked(const QImage& image, TColor maskColor) {
    if (image.width() < imageSize_.width() || image.height() < imageSize_.height()) {
        throw EInvalidOperation("Invalid image size");
    }
    QImage masked = image.copy(0, 0, imageSize_.width(), imageSize_.height())
                        .convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToRgb(maskColor) & 0xFFFFFFu;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == key) {
                line[x] = 0;
            }
        }
    }
    QPixmap pixmap = QPixmap::fromImage(masked);
    if (pixmap.isNull()) {
        throw EInvalidOperation("Unable to replace image");
    }
    int slot = 0;
    while (slot < static_cast<int>(used_.size()) && used_[static_cast<size_t>(slot)]) {
        ++slot;
    }
    if (slot == static_cast<int>(used_.size())) {
        used_.push_back(false);
        images_.emplace_back();
    }
    used_[static_cast<size_t>(slot)] = true;
    images_[static_cast<size_t>(slot)] = std::move(pixmap);
    ++count_;
    return slot;
}

void TGlyphList::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(used_.size()) ||
        !used_[static_cast<size_t>(index)]) {
        return;
    }
    used_[static_cast<size_t>(index)] = false;
    images_[static_cast<size_t>(index)] = QPixmap();
    --count_;
}

void TGlyphList::Draw(QPainter& painter, int x, int y, int index) const {
    if (index >= 0 && index < static_cast<int>(images_.size())) {
        painter.drawPixmap(x, y, images_[static_cast<size_t>(index)]);
    }
}

const QPixmap& TGlyphList::Image(int index) const {
    return images_.at(static_cast<size_t>(index));
}

// ---- TGlyphCache ----

TGlyphCache* TGlyphCache::Instance() {
    return Cache.get();
}

TGlyphList* TGlyphCache::Find(QSize size) const {
    const auto found = lists_.find(size);
    return found == lists_.end() ? nullptr : found->second.get();
}

TGlyphList* TGlyphCache::GetList(QSize size) {
    auto& list = lists_[size];
    if (!list) {
        list = std::make_unique<TGlyphList>(size);
    }
    return list.get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (list != nullptr && list->Count() == 0) {
        lists_.erase(list->ImageSize());
    }
}

// ---- TButtonGlyph ----

TButtonGlyph::TButtonGlyph() {
    indexes_.fill(-1);
    if (!Cache) {
        Cache = std::make_unique<TGlyphCache>();
    }
    ++GlyphCount;
}

TButtonGlyph::~TButtonGlyph() {
    Invalidate();
    if (--GlyphCount == 0 && Cache && Cache->ListCount() == 0) {
        Cache.reset();
    }
}

void TButtonGlyph::SetGlyph(const QImage& glyph) {
    Invalidate();
    glyph_ = glyph.convertToFormat(QImage::Format_RGB32);
    if (!glyph_.isNull()) {
        transparentColor_ = PixelColor(glyph_, 0, glyph_.height() - 1);
        const int w = glyph_.width();
        const int h = glyph_.height();
        if (h > 0 && w % h == 0) {
            const int count = w / h;
            numGlyphs_ = count < 6 ? count : 1;
        }
    }
    if (OnChange) {
        OnChange();
    }
}

void TButtonGlyph::SetNumGlyphs(int value) {
    value = value < 1 ? 1 : (value > 5 ? 5 : value);
    if (value != numGlyphs_) {
        Invalidate();
        numGlyphs_ = value;
        if (OnChange) {
            OnChange();
        }
    }
}

void TButtonGlyph::SetOldDisabledStyle(bool value) {
    oldDisabledStyle_ = value;
    Invalidate();
    if (OnChange) {
        OnChange();
    }
}

QSize TButtonGlyph::ImageSize() const {
    if (glyph_.isNull()) {
        return {0, 0};
    }
    return {glyph_.width() / numGlyphs_, glyph_.height()};
}

void TButtonGlyph::Invalidate() {
    if (list_ == nullptr) {
        return;
    }
    for (int& index : indexes_) {
        if (index >= 0) {
            list_->Delete(index);
            index = -1;
        }
    }
    if (Cache) {
        Cache->ReturnList(list_);
    }
    list_ = nullptr;
}

int TButtonGlyph::CreateButtonGlyph(TButtonState97 state) {
    const QSize size = ImageSize();
    if (size.isEmpty()) {
        return -1;
    }
    int& index = indexes_[static_cast<size_t>(state)];
    if (index >= 0) {
        return index;
    }
    if (list_ == nullptr) {
        list_ = Cache->GetList(QSize(size.width() + 1, size.height() + 1));
    }
    const QImage image = StateImage(state);
    const bool embossed = state == bsDisabled && numGlyphs_ < 2;
    index = list_->AddMasked(image, embossed ? clBtnFace : transparentColor_);
    return index;
}

void TButtonGlyph::Draw(QPainter& painter, int x, int y, TButtonState97 state) {
    const int index = CreateButtonGlyph(state);
    if (index >= 0) {
        list_->Draw(painter, x, y, index);
    }
}

QImage TButtonGlyph::Strip(int index) const {
    const QSize size = ImageSize();
    return glyph_.copy(index * size.width(), 0, size.width(), size.height());
}

QImage TButtonGlyph::StateImage(TButtonState97 state) const {
    if (state == bsDisabled) {
        if (numGlyphs_ >= 2) {
            return DisabledFromSecondImage();
        }
        return EmbossedDisabled(oldDisabledStyle_);
    }
    const QSize size = ImageSize();
    QImage image(size.width() + 1, size.height() + 1, QImage::Format_RGB32);
    image.fill(ToRgb(transparentColor_));
    QPainter painter(&image);
    painter.drawImage(0, 0, Strip(state < numGlyphs_ ? state : 0));
    return image;
}

QImage TButtonGlyph::DisabledFromSecondImage() const {
    const QSize size = ImageSize();
    QImage image(size.width() + 1, size.height() + 1, QImage::Format_RGB32);
    image.fill(ToRgb(transparentColor_));
    const QImage source = Strip(1);
    const QRgb highlight = ToRgb(clBtnHighlight);
    const QRgb shadow = ToRgb(clBtnShadow);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const TColor color = PixelColor(source, x, y);
            image.setPixel(x, y,
                           color == kWhite  ? highlight
                           : color == kGrey ? shadow
                                            : source.pixel(x, y));
        }
    }
    return image;
}

// The image's dark parts embossed on the button face: highlight one pixel
// right and down, shadow in place. The new style takes everything but the
// transparent colour, white and light grey; the old one only black.
QImage TButtonGlyph::EmbossedDisabled(bool blackOnly) const {
    const QSize size = ImageSize();
    const QImage source = Strip(0);
    std::vector<bool> ink(static_cast<size_t>(size.width() * size.height()));
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const TColor color = PixelColor(source, x, y);
            ink[static_cast<size_t>(y * size.width() + x)] =
                blackOnly ? color == kBlack
                          : color != transparentColor_ && color != kWhite && color != kSilver;
        }
    }
    QImage image(size.width() + 1, size.height() + 1, QImage::Format_RGB32);
    image.fill(ToRgb(clBtnFace));
    for (const auto& [color, shift] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
        const QRgb rgb = ToRgb(color);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (ink[static_cast<size_t>(y * size.width() + x)]) {
                    image.setPixel(x + shift, y + shift, rgb);
                }
            }
        }
    }
    return image;
}
