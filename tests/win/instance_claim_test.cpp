// One running copy per INI file: a start that finds the file claimed waits for the copy that
// holds it, which is starting (its window shows) or ending (it gives the claim up).
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>

#include "app/instance_claim_win.h"

using namespace std::chrono_literals;

namespace {
TEST(InstanceClaim, AStartWaitsForTheHolderToShowItsWindowOrToEnd)
{
    // What the holder does once the start has found the claim held.
    struct Case { void (*holder)(InstanceClaim&); std::chrono::milliseconds deadline; bool taken; HWND found; };
    const Case cases[] = {
        { [](InstanceClaim& claim) { claim.Publish(::GetDesktopWindow()); }, 10s, false, ::GetDesktopWindow() },
        { [](InstanceClaim& claim) { claim.Release(); }, 10s, true, nullptr },
        { [](InstanceClaim&) {}, 500ms, false, nullptr },   // stays silent
    };
    for (const Case& c : cases) {
        std::string ini = "C:\\kvtest-claim-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(&c - cases);
        // The mutex belongs to a thread: the holder is a thread of its own, as another copy
        // would be a process of its own.
        std::latch held(1), done(1);
        std::thread holder([&] {
            InstanceClaim claim;
            claim.Take(ini);
            held.count_down();
            ::Sleep(300);   // the pace of the scene: the start finds the claim held at its first try
            c.holder(claim);
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
