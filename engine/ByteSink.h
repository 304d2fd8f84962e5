#pragma once
// Where a document goes while it is written, a buffer at a time.

#include <string_view>

class TByteSink {
public:
    virtual ~TByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};
