#include <doctest.h>

#include <initializer_list>

#include "pointer.h"

// The saver keeps Windows' conventions (the rest of the group runs the saver under Wine, in
// saver_gui_test.py): the pointer may wander as far in inches on a 200% monitor as on a 100% one.
TEST_CASE("saver conventions: the pointer's slack is the same distance at 96 and 192 DPI")
{
    const POINT rest = {500, 300};
    struct Case {
        int dpi, dx, dy;
        bool leaves;
    };
    for (const Case c : {Case{96, 6, -6, false}, Case{96, 7, 0, true}, Case{96, 0, -7, true},
                         Case{192, 12, -12, false}, Case{192, -13, 0, true}, Case{192, 0, 13, true}}) {
        CAPTURE(c.dpi);
        CAPTURE(c.dx);
        CAPTURE(c.dy);
        CHECK(PointerLeftRest(rest, POINT{rest.x + c.dx, rest.y + c.dy}, c.dpi) == c.leaves);
    }
}
