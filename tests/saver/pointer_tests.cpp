#include <doctest.h>

#include "pointer.h"

// The rest of "the saver keeps Windows' conventions" runs the saver under Wine (saver_gui_test.py).
TEST_CASE("saver conventions: the pointer's slack is the same distance at 96 and 192 DPI")
{
    const POINT rest = {500, 300};
    CHECK_FALSE(PointerLeftRest(rest, POINT{506, 294}, 96));
    CHECK(PointerLeftRest(rest, POINT{507, 300}, 96));
    CHECK_FALSE(PointerLeftRest(rest, POINT{512, 288}, 192));
    CHECK(PointerLeftRest(rest, POINT{500, 313}, 192));
    CHECK(PointerLeftRest(rest, POINT{487, 300}, 192));
}
