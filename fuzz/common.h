#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: the input as text, split in two at the first
// newline, and a check that stops the run with a message when a rule breaks.

inline QString InputText(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void SplitAtNewline(const QString& text, QString* first, QString* second) {
    const qsizetype cut = text.indexOf(u'\n');
    *first = cut < 0 ? text : text.left(cut);
    *second = cut < 0 ? QString() : text.mid(cut + 1);
}

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: rule broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                            \
        }                                                                            \
    } while (0)
