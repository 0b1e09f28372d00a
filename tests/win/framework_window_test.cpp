// The framework's windows: creation, subclassing of existing controls, registered messages
// and the reflection of colour requests to the control they are about.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/data_exchange.h"
#include "framework/wnd.h"

namespace {
const UINT g_probeMessage = ::RegisterWindowMessageA("kvMidi framework test probe");
UINT g_neverRegistered = 0;

class Probe : public CWnd {
public:
    bool created = false;
    int probeCalls = 0;
    int unregisteredCalls = 0;
    UINT settingFlags = 0;
    std::string settingSection;

protected:
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        created = FromHandlePermanent(m_hWnd) == this;
        return 0;
    }
    LRESULT OnProbe(WPARAM wParam, LPARAM)
    {
        ++probeCalls;
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnUnregistered(WPARAM, LPARAM)
    {
        ++unregisteredCalls;
        return 0;
    }
    void OnSettingChange(UINT uFlags, const char* lpszSection)
    {
        settingFlags = uFlags;
        settingSection = lpszSection ? lpszSection : "";
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
    ON_MESSAGE(WM_CREATE, OnCreate)
    ON_REGISTERED_MESSAGE(g_probeMessage, OnProbe)
    ON_REGISTERED_MESSAGE(g_neverRegistered, OnUnregistered)
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

// A control that answers its parent's colour requests.
class Colourful : public CWnd {
public:
    Colourful() : brush(::CreateSolidBrush(RGB(1, 2, 3))) {}
    ~Colourful() override { ::DeleteObject(brush); }

    HBRUSH brush;
    UINT lastControlType = 99;

protected:
    HBRUSH CtlColor(HDC, UINT nCtlColor)
    {
        lastControlType = nCtlColor;
        return brush;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Colourful, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class FrameworkWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
        control = ::CreateWindowExA(0, "STATIC", "text", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent.m_hWnd,
                                    reinterpret_cast<HMENU>(77), nullptr, nullptr);
        ASSERT_NE(control, nullptr);
        staticProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);
    }

    Probe parent;
    HWND control = nullptr;
    LONG_PTR staticProc = 0;
};

TEST_F(FrameworkWindow, ACreatedWindowIsBoundFromItsFirstMessagesOn)
{
    EXPECT_TRUE(parent.created);
    EXPECT_EQ(CWnd::FromHandlePermanent(parent.m_hWnd), &parent);
}

TEST_F(FrameworkWindow, ARegisteredMessageRoutesByItsNumberAtRunTime)
{
    EXPECT_EQ(::SendMessageA(parent.m_hWnd, g_probeMessage, 41, 0), 42);
    EXPECT_EQ(parent.probeCalls, 1);
    // A registered message that never got its number matches nothing, not even WM_NULL.
    ::SendMessageA(parent.m_hWnd, WM_NULL, 0, 0);
    EXPECT_EQ(parent.unregisteredCalls, 0);
}

TEST_F(FrameworkWindow, ASettingChangeCarriesItsFlagsAndSection)
{
    ::SendMessageA(parent.m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, reinterpret_cast<LPARAM>("Windows"));
    EXPECT_EQ(parent.settingFlags, static_cast<UINT>(SPI_SETWORKAREA));
    EXPECT_EQ(parent.settingSection, "Windows");
}

TEST_F(FrameworkWindow, ASubclassedControlKeepsWhatItDoesItself)
{
    CWnd bound;
    ASSERT_TRUE(bound.SubclassWindow(control));
    EXPECT_EQ(CWnd::FromHandlePermanent(control), &bound);
    bound.SetWindowText("changed");
    EXPECT_EQ(bound.GetWindowText(), "changed");
    CWnd second;
    EXPECT_FALSE(second.SubclassWindow(control)) << "one object per window";
    EXPECT_EQ(bound.UnsubclassWindow(), control);
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), staticProc);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
}

TEST_F(FrameworkWindow, AControlThatGoesFirstLeavesItsObjectUnbound)
{
    CWnd bound;
    ASSERT_TRUE(bound.SubclassWindow(control));
    ::DestroyWindow(control);
    EXPECT_EQ(bound.GetSafeHwnd(), nullptr);
}

TEST_F(FrameworkWindow, AnObjectThatGoesFirstGivesTheControlItsProcedureBack)
{
    {
        CWnd bound;
        ASSERT_TRUE(bound.SubclassWindow(control));
    }
    EXPECT_TRUE(::IsWindow(control));
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), staticProc);
    ::SetWindowTextA(control, "still works");
    char text[32] = {};
    ::GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "still works");
}

TEST_F(FrameworkWindow, AWindowOfASystemClassMadeByCreateExGoesWithItsObject)
{
    HWND made = nullptr;
    {
        CWnd label;
        ASSERT_TRUE(label.CreateEx(0, "STATIC", "made", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd, nullptr));
        made = label.GetSafeHwnd();
        EXPECT_EQ(CWnd::FromHandlePermanent(made), &label);
        EXPECT_EQ(label.GetWindowText(), "made");
    }
    EXPECT_FALSE(::IsWindow(made));
}

TEST_F(FrameworkWindow, ColourRequestsGoToTheControlTheyAreAbout)
{
    Colourful colourful;
    ASSERT_TRUE(colourful.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    struct Case { UINT message; UINT controlType; };
    const Case cases[] = { { WM_CTLCOLORSTATIC, CTLCOLOR_STATIC }, { WM_CTLCOLOREDIT, CTLCOLOR_EDIT },
                           { WM_CTLCOLORBTN, CTLCOLOR_BTN } };
    for (const Case& c : cases) {
        LRESULT brush = ::SendMessageA(parent.m_hWnd, c.message, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), colourful.brush) << c.message;
        EXPECT_EQ(colourful.lastControlType, c.controlType) << c.message;
    }
    ::ReleaseDC(control, dc);
}

TEST_F(FrameworkWindow, AControlWithoutAnAnswerLeavesTheRequestToTheParent)
{
    CWnd plain;
    ASSERT_TRUE(plain.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    LRESULT fromFramework = ::SendMessageA(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
    LRESULT fromSystem = ::DefWindowProcA(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(fromFramework, fromSystem);
    ::ReleaseDC(control, dc);
}

TEST_F(FrameworkWindow, DataExchangeBindsAControlOnceInEitherDirection)
{
    CWnd bound;
    CDataExchange toControls(&parent, FALSE);
    DDX_Control(&toControls, 77, bound);
    EXPECT_FALSE(toControls.Failed());
    EXPECT_EQ(bound.GetSafeHwnd(), control);
    CDataExchange fromControls(&parent, TRUE);
    DDX_Control(&fromControls, 77, bound);
    EXPECT_FALSE(fromControls.Failed());
    EXPECT_EQ(CWnd::FromHandlePermanent(control), &bound);

    CWnd missing;
    CDataExchange noSuchControl(&parent, FALSE);
    DDX_Control(&noSuchControl, 78, missing);
    EXPECT_TRUE(noSuchControl.Failed());
}
}
