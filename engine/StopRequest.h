#pragma once
// Stopping a conversion that is under way.

#include <functional>
#include <stdexcept>

// Asked now and then while a conversion runs (at least once for every 64 KB
// of document, and before and after the source is read), possibly from more
// than one of the conversion's threads at once; true abandons the conversion.
using TStopRequest = std::function<bool()>;

// Thrown out of a conversion whose stop request said true. What it has
// written by then is an unfinished document.
class EConversionCancelled : public std::runtime_error {
public:
    EConversionCancelled() : std::runtime_error("The conversion was cancelled") {}
};

// Throws EConversionCancelled when STOP is set and says true.
inline void CheckStopRequest(const TStopRequest& stop) {
    if (stop && stop()) {
        throw EConversionCancelled();
    }
}
