// One running copy per INI file: a start that finds the file claimed waits for the copy that
// holds it, which is starting (its window shows) or ending (it gives the claim up).
#include <gtest/gtest.h>

#include <windows.h>

#include <latch>
#include <string>
#include <thread>

#include "app/instance_claim_win.h"

using namespace std::chrono_literals;

namespace {
TEST(InstanceClaim, AStartWaitsForTheHolderToShowItsWindowOrToEnd)
{
    enum class Holder { ShowsWindow, Ends, StaysSilent };
    struct Case { Holder holder; std::chrono::milliseconds deadline; bool taken; HWND found; };
    const Case cases[] = {
        { Holder::ShowsWindow, 10s, false, ::GetDesktopWindow() },
        { Holder::Ends, 10s, true, nullptr },
        { Holder::StaysSilent, 500ms, false, nullptr },
    };
    for (const Case& c : cases) {
        std::string ini = "C:\\kvtest-claim-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(static_cast<int>(c.holder));
        // The mutex belongs to a thread: the holder is a thread of its own, as another copy
        // would be a process of its own.
        std::latch held(1), done(1);
        std::thread holder([&] {
            InstanceClaim claim;
            claim.Take(ini);
            held.count_down();
            ::Sleep(300);   // the pace of the scene: the start finds the claim held at its first try
            if (c.holder == Holder::ShowsWindow)
                claim.Publish(::GetDesktopWindow());
            else if (c.holder == Holder::Ends)
                claim.Release();
            done.wait();
        });
        held.wait();
        InstanceClaim claim;
        HWND found = nullptr;
        EXPECT_EQ(TakeClaimOrFindHolder(claim, ini, c.deadline, found), c.taken);
        EXPECT_EQ(found, c.found);
        claim.Release();
        done.count_down();
        holder.join();
    }
}
}
