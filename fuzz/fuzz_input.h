#pragma once
// libFuzzer's bytes as typed or stored text: the first byte picks the locale (low three bits)
// and the decoding (UTF-8, Latin-1, UTF-16 with lone surrogates); 0xFF separates fields.
#include <QLocale>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace vq::fuzz {

struct Input {
    QLocale locale;
    QString text;       // all of it
    QStringList fields; // the same cut at every 0xFF byte
};

inline Input split(const uint8_t* data, size_t size) {
    // Comma decimals, U+2212 minus, Arabic-Indic digits, no-break space and apostrophe groups.
    static const QLocale::Language languages[8] = {
        QLocale::C,      QLocale::German,  QLocale::Swedish, QLocale::Arabic,
        QLocale::French, QLocale::Persian, QLocale::Hindi,   QLocale::SwissGerman};
    const int head = size ? data[0] : 0;
    auto decode = [mode = head / 16 % 3](const char* p, const char* end) {
        return mode == 0   ? QString::fromUtf8(p, end - p)
               : mode == 1 ? QString::fromLatin1(p, end - p)
                           : QString(reinterpret_cast<const QChar*>(p), (end - p) / 2);
    };
    const char *p = reinterpret_cast<const char*>(data) + (size ? 1 : 0), *q = p;
    const char* end = reinterpret_cast<const char*>(data) + size;
    Input in{QLocale(languages[head % 8]), decode(p, end), {}};
    for (; q != end; ++q)
        if (uint8_t(*q) == 0xFF)
            in.fields << decode(p, q), p = q + 1;
    in.fields << decode(p, end);
    return in;
}

// Stops the run on a broken invariant; libFuzzer keeps the input that broke it.
inline void check(bool ok, const char* what, const QString& input) {
    if (!ok)
        std::fprintf(stderr, "FINDING: %s: \"%s\"\n", what, qPrintable(input)), std::abort();
}

} // namespace vq::fuzz
