#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <QByteArray>

// A broken promise of the code under test stops the run like a crash, so
// that libFuzzer keeps the input that shows it.
inline void fuzzCheck(bool promiseHolds, const char* promise) {
    if (!promiseHolds) {
        std::fprintf(stderr, "Broken promise: %s\n", promise);
        std::abort();
    }
}

// The fuzzer's bytes, not copied.
inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}
