// The one pass that tells UTF-8 text from a legacy code page. Documents of
// many megabytes go through it before anything is shown or written, so it
// checks 32 bytes at a time where the processor can; elsewhere, and for the
// last few bytes, one character at a time.

#include "viewer/text/CodePage.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LUMIVANE_UTF8_AVX2 1
#endif

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// From AT on, one character at a time; ANY: bytes above ASCII came before AT.
TEightBitText ClassifyFrom(std::string_view data, std::size_t at, bool any) {
    const std::size_t n = data.size();
    std::size_t i = at;
    while (i < n) {
        // Step over ASCII eight bytes at a time, straight to the first byte above it.
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, data.data() + i, sizeof word);
            const std::uint64_t high = word & kHighBits;
            if (high == 0) {
                i += 8;
                continue;
            }
            i += static_cast<std::size_t>(std::countr_zero(high) / 8);
        } else if (static_cast<unsigned char>(data[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = Utf8CharAt(data, i, cp);
        if (len == 0) {
            return TEightBitText::kOther;
        }
        any = true;
        i += len;
    }
    return any ? TEightBitText::kUtf8 : TEightBitText::kNone;
}

#ifdef LUMIVANE_UTF8_AVX2

// Each byte is checked against the one, two and three bytes before it. Three
// table lookups, by the high and low half of the byte before and the high half
// of the byte itself, give a bit for each rule a pair of bytes can break; a
// bit set in all three is a broken rule. One fixed algorithm, read best whole.
constexpr std::uint8_t kTooShort = 1 << 0;     // a lead not followed by a trail byte
constexpr std::uint8_t kTooLong = 1 << 1;      // a trail byte after ASCII
constexpr std::uint8_t kOverlong3 = 1 << 2;    // E0 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;     // F4 90..BF, F5..FF
constexpr std::uint8_t kSurrogate = 1 << 4;    // ED A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;    // C0, C1
constexpr std::uint8_t kTooLarge1000 = 1 << 6; // F5..FF 80..8F
constexpr std::uint8_t kOverlong4 = 1 << 6;    // F0 80..8F
constexpr std::uint8_t kTwoTrails = 1 << 7;    // a trail byte after a trail byte
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoTrails;

__attribute__((target("avx2"))) inline __m256i
Table(std::uint8_t t0, std::uint8_t t1, std::uint8_t t2, std::uint8_t t3, std::uint8_t t4,
      std::uint8_t t5, std::uint8_t t6, std::uint8_t t7, std::uint8_t t8, std::uint8_t t9,
      std::uint8_t t10, std::uint8_t t11, std::uint8_t t12, std::uint8_t t13, std::uint8_t t14,
      std::uint8_t t15) {
    return _mm256_setr_epi8(static_cast<char>(t0), static_cast<char>(t1), static_cast<char>(t2),
                            static_cast<char>(t3), static_cast<char>(t4), static_cast<char>(t5),
                            static_cast<char>(t6), static_cast<char>(t7), static_cast<char>(t8),
                            static_cast<char>(t9), static_cast<char>(t10), static_cast<char>(t11),
                            static_cast<char>(t12), static_cast<char>(t13), static_cast<char>(t14),
                            static_cast<char>(t15), static_cast<char>(t0), static_cast<char>(t1),
                            static_cast<char>(t2), static_cast<char>(t3), static_cast<char>(t4),
                            static_cast<char>(t5), static_cast<char>(t6), static_cast<char>(t7),
                            static_cast<char>(t8), static_cast<char>(t9), static_cast<char>(t10),
                            static_cast<char>(t11), static_cast<char>(t12), static_cast<char>(t13),
                            static_cast<char>(t14), static_cast<char>(t15));
}

// INPUT shifted by N bytes, the last N bytes of PREVIOUS coming in first.
template <int N>
__attribute__((target("avx2"))) inline __m256i Before(__m256i input, __m256i previous) {
    return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(previous, input, 0x21), 16 - N);
}

__attribute__((target("avx2"))) inline __m256i HighNibbles(__m256i bytes) {
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

__attribute__((target("avx2"))) TEightBitText ClassifyAvx2(std::string_view data) {
    const __m256i byte1High = Table(
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoTrails,
        kTwoTrails, kTwoTrails, kTwoTrails, kTooShort | kOverlong2, kTooShort,
        kTooShort | kOverlong3 | kSurrogate, kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
    constexpr std::uint8_t kLarge = kCarry | kTooLarge | kTooLarge1000;
    const __m256i byte1Low =
        Table(kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
              kCarry | kTooLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge,
              kLarge | kSurrogate, kLarge, kLarge);
    constexpr std::uint8_t kTrail = kTooLong | kOverlong2 | kTwoTrails;
    const __m256i byte2High =
        Table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
              kTooShort, kTrail | kOverlong3 | kTooLarge1000 | kOverlong4,
              kTrail | kOverlong3 | kTooLarge, kTrail | kSurrogate | kTooLarge,
              kTrail | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort, kTooShort);
    // A lead byte this close to the end of a block needs bytes of the next one.
    const __m256i incompleteAbove =
        _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
                         static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));

    const std::size_t blocks = data.size() / 32;
    __m256i previous = _mm256_setzero_si256();
    __m256i previousIncomplete = _mm256_setzero_si256();
    __m256i error = _mm256_setzero_si256();
    __m256i high = _mm256_setzero_si256();
    for (std::size_t b = 0; b < blocks; ++b) {
        const __m256i input =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data.data() + b * 32));
        if (_mm256_movemask_epi8(input) == 0) {
            error = _mm256_or_si256(error, previousIncomplete); // a character cut off by ASCII
            previousIncomplete = _mm256_setzero_si256();
        } else {
            high = _mm256_or_si256(high, input);
            const __m256i prev1 = Before<1>(input, previous);
            const __m256i special = _mm256_and_si256(
                _mm256_and_si256(
                    _mm256_shuffle_epi8(byte1High, HighNibbles(prev1)),
                    _mm256_shuffle_epi8(byte1Low, _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)))),
                _mm256_shuffle_epi8(byte2High, HighNibbles(input)));
            // The third and fourth bytes of a character are the trail bytes after trail bytes.
            const __m256i third = _mm256_subs_epu8(
                Before<2>(input, previous), _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
            const __m256i fourth = _mm256_subs_epu8(
                Before<3>(input, previous), _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
            const __m256i must23 = _mm256_and_si256(_mm256_or_si256(third, fourth),
                                                    _mm256_set1_epi8(static_cast<char>(0x80)));
            error = _mm256_or_si256(error, _mm256_xor_si256(must23, special));
            previousIncomplete = _mm256_subs_epu8(input, incompleteAbove);
        }
        previous = input;
        if (((b + 1) & 255) == 0 && !_mm256_testz_si256(error, error)) {
            return TEightBitText::kOther; // stop early in a large legacy file
        }
    }
    if (!_mm256_testz_si256(error, error)) {
        return TEightBitText::kOther;
    }
    const bool any = _mm256_movemask_epi8(high) != 0;
    // The rest, from the start of the last character of the blocks that can
    // still run on (a lead byte at most three bytes back).
    std::size_t at = blocks * 32;
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const auto byte = static_cast<unsigned char>(data[at - back]);
        if (byte >= 0xC0) {
            at -= back;
            break;
        }
        if (byte < 0x80) {
            break;
        }
    }
    return ClassifyFrom(data, at, any);
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

} // namespace

TEightBitText ClassifyEightBitText(std::string_view data) {
#ifdef LUMIVANE_UTF8_AVX2
    if (data.size() >= 64 && HasAvx2()) {
        return ClassifyAvx2(data);
    }
#endif
    return ClassifyFrom(data, 0, false);
}
