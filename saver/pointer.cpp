#include "pointer.h"

#include <cstdlib>

#include "layout.h"

namespace {

const int kSlackAtBaseDpi = 6;  // pixels at 96 DPI

}  // namespace

bool PointerLeftRest(POINT rest, POINT now, int dpi)
{
    const int slack = ::MulDiv(kSlackAtBaseDpi, dpi, kBaseDpi);
    return std::abs(now.x - rest.x) > slack || std::abs(now.y - rest.y) > slack;
}
