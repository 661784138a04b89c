#pragma once
// A stand-in for the wallet sheet: the lock window only shows it.

#include "frame/form.h"
#include "frame/windows.h"

namespace vq::testing {

class FakeSheet : public Form {
public:
    static constexpr WindowKind Kind = WindowKind::Sheet;
    FakeSheet() : Form(Kind, "VL_QUORIX_10_SCREEN", Qt::Window) {}
};

inline void registerFakeSheet() {
    Windows::registerFactory(WindowKind::Sheet, [] { return new FakeSheet; });
}

} // namespace vq::testing
