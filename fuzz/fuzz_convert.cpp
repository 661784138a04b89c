// Whatever a store file holds reads within the control's range and back as the same value.
#include "fuzz_input.h"
#include "settings/convert.h"

#include <cfloat>
#include <cmath>

using namespace vq;
using fuzz::check;

// To 7 significant digits, also when written under the C locale and read under another.
static void checkFloatText(float v, const QLocale& locale, const QString& input) {
    for (const QLocale& writer : {locale, QLocale::c()}) {
        const auto back = convert::floatValue(convert::floatText(v, writer), locale);
        check(back && std::fabs(double(*back) - v) <=
                          std::max(1e-6 * std::fabs(double(v)), double(FLT_TRUE_MIN)),
              "floatText does not read back", input);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Input in = fuzz::split(data, size);
    const auto f = convert::floatValue(in.text, in.locale);
    const auto i = convert::integerValue(in.text, in.locale);
    if (f)
        checkFloatText(*f, in.locale, in.text);
    if (i)
        check(f && *i >= -32768 && *i <= 32767 && std::fabs(*f - *i) <= 0.5 + 1e-6 * std::abs(*i) &&
                  convert::integerValue(convert::integerText(*i), in.locale) == i,
              "integerValue is not the float rounded into 16 bits, or does not read back", in.text);
    const auto truth = convert::truthValue(in.text, in.locale);
    const QString word = in.text.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("false"))
        check(truth == (word == QLatin1String("true")), "a truth word misread", in.text);
    else if (f)
        check(truth && (*f == 0 || *truth), "a non-zero number is not true", in.text);
    check(convert::tickValue(in.text, in.locale) == (i && *i >= 0 && *i <= 2 ? i : std::nullopt),
          "tickValue is not 0..2", in.text);
    return 0;
}
