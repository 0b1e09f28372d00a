// The default broadcast address as this machine's sockets library computes it. The address is
// only looked at: nothing is sent to it.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <iostream>
#include <string>

#include "config/default_broadcast.h"
#include "config/default_broadcast_win.h"

namespace {
TEST(DefaultBroadcastWin, AnswersAClassfulBroadcastAddress)
{
    std::string address = QueryDefaultBroadcastAddress();
    std::cout << "default broadcast address of this host: " << address << std::endl;
    EXPECT_NE(::inet_addr(address.c_str()), static_cast<unsigned long>(INADDR_NONE));
    ASSERT_GE(address.size(), 7u);
    EXPECT_EQ(address.substr(address.size() - 4), ".255");
    // A classful broadcast address is its own broadcast address.
    EXPECT_EQ(ClassfulBroadcastAddress(address), address);
}

TEST(DefaultBroadcastWin, LeavesTheCallersSocketsLibraryStarted)
{
    WSADATA data = {};
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 0), &data), 0);
    QueryDefaultBroadcastAddress();
    QueryDefaultBroadcastAddress();
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    EXPECT_NE(s, INVALID_SOCKET) << ::WSAGetLastError();
    if (s != INVALID_SOCKET)
        ::closesocket(s);
    ::WSACleanup();
}
}
