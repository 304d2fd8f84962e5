#pragma once
// Where a document goes while it is written, a buffer at a time.

#include <string>
#include <string_view>

class TByteSink {
public:
    virtual ~TByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Keeps the whole document in memory.
class TStringSink : public TByteSink {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};
