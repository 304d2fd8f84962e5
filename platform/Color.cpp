#include "platform/Color.h"

#include "platform/MulDiv.h"
#include "platform/SysColors.h"

TColor ColorToRGB(TColor color) {
    if (IsSystemColor(color)) {
        return GetSysColor(static_cast<int>(color & 0xFFu));
    }
    return color & 0xFFFFFFu;
}

TGradientBand GradientBand(int index, int count, int width, TColor from, TColor to) {
    TGradientBand band{MulDiv(index, width, count), MulDiv(index + 1, width, count), from};
    if (count > 1) {
        const int last = count - 1;
        band.Color = RgbColor(RedOf(from) + MulDiv(index, RedOf(to) - RedOf(from), last),
                              GreenOf(from) + MulDiv(index, GreenOf(to) - GreenOf(from), last),
                              BlueOf(from) + MulDiv(index, BlueOf(to) - BlueOf(from), last));
    }
    return band;
}
