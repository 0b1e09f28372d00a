// kvMidi.exe with the stand-in for the maker's KvCom.dll in place of ours: the program loads
// it by its decorated names and calls it as it would the maker's. The installer's round trip
// runs this test beside the installed program, with the stand-in as its KvCom.dll.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_run.h"

namespace {
TEST(MakerLibrary, ClosedThenInitialisedAtStartOneSendPerCommandClosedAtExit)
{
    ProgramRun run;
    const std::string log = run.folder.Path() + "calls.txt";
    ::SetEnvironmentVariableA("KVMIDI_MAKER_DLL_LOG", log.c_str());   // the program inherits it
    ASSERT_TRUE(run.Start());
    run.PostLineEvent(0, 1);
    run.PostLineEvent(0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(log).find("/0/0\" 1\n") != std::string::npos; })) << ReadWholeFile(log);
    ASSERT_TRUE(run.Exit());
    EXPECT_EQ(ReadWholeFile(log), "close\ninit #32770 1027 127.255.255.255 " + std::to_string(run.listener.Port()) +
                                      "\nsend " + RemoteLine("MIDI", "", "AUXMIDI/10/144/0/127") + "\nsend " +
                                      RemoteLine("MIDI", "", "AUXMIDI/10/144/0/0") + "\nclose\n");
}
}
