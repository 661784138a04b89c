#pragma once
// Turns libFuzzer's bytes into what a user could have typed or a store could
// hold: the first byte picks the locale and how the rest is decoded (UTF-8,
// Latin-1, or raw UTF-16 code units, lone surrogates included); byte 0xFF
// separates fields for functions taking several texts.

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vq::fuzz {

inline const std::vector<QLocale>& locales() {
    static const std::vector<QLocale> all = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),     // "," decimal, "." group
        QLocale(QLocale::French, QLocale::France),      // narrow no-break space group
        QLocale(QLocale::German, QLocale::Switzerland), // apostrophe group
        QLocale(QLocale::Swedish, QLocale::Sweden),     // U+2212 minus
        QLocale(QLocale::Arabic, QLocale::Egypt),       // Arabic-Indic digits, U+066B
        QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::Spanish, QLocale::Spain),
        QLocale(QLocale::NorwegianBokmal, QLocale::Norway),
        QLocale(QLocale::Hebrew, QLocale::Israel),
    };
    return all;
}

struct Input {
    const QLocale* locale;
    QString text;       // all of it
    QStringList fields; // the same cut at every 0xFF byte; at least one
};

inline QString decode(int mode, const char* p, size_t n) {
    switch (mode) {
    case 0:
        return QString::fromUtf8(p, qsizetype(n));
    case 1:
        return QString::fromLatin1(p, qsizetype(n));
    default:
        return QString(reinterpret_cast<const QChar*>(p), qsizetype(n / 2));
    }
}

inline Input split(const uint8_t* data, size_t size) {
    const auto& all = locales();
    const int head = size ? data[0] : 0;
    Input in{&all[size_t(head) % all.size()], {}, {}};
    const int mode = (head / 16) % 3;
    const char* p = reinterpret_cast<const char*>(data) + (size ? 1 : 0);
    const char* end = reinterpret_cast<const char*>(data) + size;
    const char* const start0 = p;
    const char* start = p;
    for (; p != end; ++p) {
        if (uint8_t(*p) == 0xFF) {
            in.fields << decode(mode, start, size_t(p - start));
            start = p + 1;
        }
    }
    in.fields << decode(mode, start, size_t(end - start));
    in.text = decode(mode, start0, size_t(end - start0));
    return in;
}

// Printable ASCII as is, everything else as \uXXXX, so that a report shows
// exactly which code units the failing text held.
inline QByteArray escaped(const QString& s) {
    QByteArray out;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != '\\')
            out += char(u);
        else
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0')).toLatin1();
    }
    return out;
}

[[noreturn]] inline void fail(const char* what, const QString& input, const QString& detail) {
    std::fprintf(stderr, "FINDING: %s\n  input:  \"%s\"\n  detail: \"%s\"\n", what,
                 escaped(input).constData(), escaped(detail).constData());
    std::abort();
}

inline void check(bool ok, const char* what, const QString& input, const QString& detail = {}) {
    if (!ok)
        fail(what, input, detail);
}

inline bool hasNul(const QString& s) {
    return s.contains(QChar(0));
}

} // namespace vq::fuzz
