#pragma once

// What every fuzzer shares: a property that must hold for every input ends the run as a
// crash when it does not, so the fuzzer keeps the input that shows it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>

namespace velloran::fuzz {

inline void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace velloran::fuzz
