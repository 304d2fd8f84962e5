#pragma once
// MulDiv as the platform has it: a * b / c with a 64-bit intermediate, rounded
// half away from zero; -1 when c is 0 or the result does not fit.

#include <cstdint>

constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    // Round half away from zero: compare twice the remainder with the divisor.
    const std::int64_t twiceRem = remainder < 0 ? -2 * remainder : 2 * remainder;
    const std::int64_t absC = c < 0 ? -static_cast<std::int64_t>(c) : c;
    if (twiceRem >= absC) {
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    }
    if (quotient > INT32_MAX || quotient < INT32_MIN) {
        return -1;
    }
    return static_cast<std::int32_t>(quotient);
}
