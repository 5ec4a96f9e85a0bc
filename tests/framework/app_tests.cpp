// The framework's start-up and its wait cursor, with the real user32 under Wine.
#include <doctest.h>

#include <stdexcept>
#include <string>

#include "app.h"
#include "single_instance.h"

namespace {
class RecordingApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        ++starts;
        titleAtStart = AfxGetAppTitle();
        errorModeAtStart = ::SetErrorMode(0);
        ::SetErrorMode(errorModeAtStart);
        return FALSE;
    }
    int ExitInstance() override
    {
        ++exits;
        return 42;
    }
    int starts = 0;
    int exits = 0;
    std::string titleAtStart;
    UINT errorModeAtStart = 0;
};
}  // namespace

TEST_CASE("start-up records the instance and title and ends without a loop when the hook says FALSE with the shutdown hook's exit code")
{
    RecordingApp app;
    const HINSTANCE self = ::GetModuleHandleA(NULL);
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);

    CHECK(AfxWinMain(self) == 42);
    CHECK(app.starts == 1);
    CHECK(app.exits == 1);
    CHECK(AfxGetInstanceHandle() == self);
    CHECK(app.titleAtStart == "Framework Test Title");
    // Added to what was there, not replacing it.
    CHECK(app.errorModeAtStart == (SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST_CASE("without a title string the title is the module file name without folder and extension")
{
    RecordingApp app;
    // kernel32 has no string 57344, so the fallback applies.
    AfxWinMain(::GetModuleHandleA("kernel32.dll"));
    CHECK(app.titleAtStart == "kernel32");
    // Start-up made kernel32 the resource module; the cases after this one load this program's strings.
    AfxSetResourceHandle(::GetModuleHandleA(NULL));
}

TEST_CASE("a single-instance lock refuses while another holder has the name and is free again once it ends")
{
    const char name[] = "Marigold.FrameworkTests.Lock";
    SingleInstanceLock other;
    {
        SingleInstanceLock first;
        REQUIRE(first.Take(name));
        CHECK_FALSE(other.Take(name));
        CHECK(SingleInstanceLock().Take("Marigold.FrameworkTests.OtherLock"));
    }
    // The refused taker kept nothing alive: the name is free once its holder ends.
    CHECK(other.Take(name));
}

TEST_CASE("a lock whose name another kind of object holds counts as held")
{
    const char name[] = "Marigold.FrameworkTests.EventLock";
    const UniqueHandle event(::CreateEventA(NULL, TRUE, FALSE, name));
    REQUIRE(event.valid());
    CHECK_FALSE(SingleInstanceLock().Take(name));
}

TEST_CASE("the wait cursor nests and puts back the cursor from before the first wait")
{
    const HCURSOR arrow = ::LoadCursorA(NULL, IDC_ARROW);
    const HCURSOR wait = ::LoadCursorA(NULL, IDC_WAIT);
    ::SetCursor(arrow);
    {
        CWaitCursor outer;
        CHECK(::GetCursor() == wait);
        {
            CWaitCursor inner;
            CHECK(::GetCursor() == wait);
        }
        CHECK(::GetCursor() == wait);
    }
    CHECK(::GetCursor() == arrow);

    // An exception leaving the scope ends the wait too.
    try {
        CWaitCursor leaving;
        CHECK(::GetCursor() == wait);
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    CHECK(::GetCursor() == arrow);
}

TEST_CASE("where no one can see the desktop a box is not shown and counts as unanswered")
{
    CHECK(AfxUserCanAnswer());
    const HWINSTA visible = ::GetProcessWindowStation();
    const HWINSTA hidden = ::CreateWindowStationA("MarigoldFrameworkTests", 0, WINSTA_ALL_ACCESS, NULL);
    REQUIRE(hidden);
    REQUIRE(::SetProcessWindowStation(hidden));
    CHECK_FALSE(AfxUserCanAnswer());
    CHECK(AfxMessageBox(7001, MB_YESNO) == 0);  // a box shown here would wait for ever
    ::SetProcessWindowStation(visible);
    ::CloseWindowStation(hidden);
}
