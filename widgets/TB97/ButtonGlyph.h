#pragma once
// Glyph images of the toolbar buttons. A button's glyph holds up to five
// images side by side; the images each look state needs are made once, on
// first use, and kept in an image list shared by every button whose glyph
// images have the same size.

#include "platform/Color.h"

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QPainter;

// The look of a button: up, disabled, down, exclusive (a group button that is
// down), hot (the mouse is over it).
enum TButtonState97 { bsUp, bsDisabled, bsDown, bsExclusive, bsHot };
constexpr int kButtonStateCount = 5;

// An image list of one image size whose slots are handed out and given back.
class TGlyphList {
public:
    explicit TGlyphList(QSize imageSize);

    QSize ImageSize() const { return imageSize_; }
    // Slots in use.
    int Count() const { return count_; }

    // Adds IMAGE in the lowest free slot; pixels of MASKCOLOR become
    // transparent. An image smaller than the list's size is refused.
    int AddMasked(const QImage& image, TColor maskColor);
    void Delete(int index);
    // Draws image INDEX with its top-left corner at (X, Y).
    void Draw(QPainter& painter, int x, int y, int index) const;
    const QPixmap& Image(int index) const;

private:
    QSize imageSize_;
    std::vector<QPixmap> images_;
    std::vector<bool> used_;
    int count_ = 0;
};

// The glyph lists, one per image size. It exists while any button glyph does.
class TGlyphCache {
public:
    // The cache, or null while no button glyph exists.
    static TGlyphCache* Instance();
    int ListCount() const { return static_cast<int>(lists_.size()); }
    // The list of images of SIZE, or null when none exists.
    TGlyphList* Find(QSize size) const;

private:
    friend class TButtonGlyph;
    TGlyphList* GetList(QSize size);
    // Removes LIST when its last slot was given back.
    void ReturnList(TGlyphList* list);

    struct SizeLess {
        bool operator()(QSize a, QSize b) const {
            return a.width() != b.width() ? a.width() < b.width() : a.height() < b.height();
        }
    };
    std::map<QSize, std::unique_ptr<TGlyphList>, SizeLess> lists_;
};

// One button's glyph and the state images made from it.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // Told after every change of the glyph or the way its images are made.
    std::function<void()> OnChange;

    const QImage& Glyph() const { return glyph_; }
    // Copies GLYPH; its bottom-left pixel gives the transparent colour, and a
    // glyph whose width is 2..5 times its height holds that many images.
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    bool OldDisabledStyle() const { return oldDisabledStyle_; }
    void SetOldDisabledStyle(bool value);
    TColor TransparentColor() const { return transparentColor_; }

    // Size of one image of the glyph; 0 × 0 without a glyph.
    QSize ImageSize() const;
    // The list the state images are kept in (null until one was made).
    const TGlyphList* List() const { return list_; }
    // Slot of STATE's image, made now if it was not yet; -1 without a glyph.
    int CreateButtonGlyph(TButtonState97 state);
    // Draws STATE's image with its top-left corner at (X, Y).
    void Draw(QPainter& painter, int x, int y, TButtonState97 state);
    // Gives back every state image; they are made again on next use.
    void Invalidate();

private:
    QImage StateImage(TButtonState97 state) const;
    QImage DisabledFromSecondImage() const;
    QImage EmbossedDisabled(bool blackOnly) const;
    QImage Strip(int index) const;

    QImage glyph_;
    TGlyphList* list_ = nullptr;
    std::array<int, kButtonStateCount> indexes_;
    TColor transparentColor_ = 0x008080;
    int numGlyphs_ = 1;
    bool oldDisabledStyle_ = false;
};
