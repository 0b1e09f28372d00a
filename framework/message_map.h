// Message maps: BEGIN_MESSAGE_MAP(theClass, baseClass) … END_MESSAGE_MAP() defines
// theClass::ProcessWindowMessage, a run of `if` branches that call the handlers directly and
// then hand the message on to baseClass's map. The first branch that matches answers, so a
// class's own entries come before its base class's; the compiler checks every handler's
// signature against the arguments its entry passes.
#pragma once

#include <windows.h>

// A parent's WM_CTLCOLOR* request, sent on to the child it is about: wParam is the device
// context, lParam the control type (CTLCOLOR_STATIC and the others).
constexpr UINT WM_REFLECT_BASE = 0xBC00;
constexpr UINT WM_REFLECT_CTLCOLOR = WM_REFLECT_BASE + 0x0019;

// A WM_COMMAND for an id in [idFirst, idLast] with that notification code. Menus send code 0
// and accelerators code 1; an entry for code 0 takes both as plain commands.
inline bool IsCommandFor(UINT message, WPARAM wParam, UINT code, UINT idFirst, UINT idLast)
{
    if (message != WM_COMMAND)
        return false;
    UINT id = LOWORD(wParam);
    UINT sent = HIWORD(wParam);
    return id >= idFirst && id <= idLast && (sent == code || (code == 0 && sent == 1));
}

#define DECLARE_MESSAGE_MAP()                                                                  \
protected:                                                                                     \
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    bool theClass::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) \
    {                                                                                          \
        using TheBaseClass = baseClass;                                                        \
        result = 0;

#define END_MESSAGE_MAP()                                                                      \
        return TheBaseClass::ProcessWindowMessage(message, wParam, lParam, result);            \
    }

#define KV_ON_COMMAND_CODE(code, idFirst, idLast, call)                                        \
    if (IsCommandFor(message, wParam, static_cast<UINT>(code), static_cast<UINT>(idFirst),     \
                     static_cast<UINT>(idLast))) {                                             \
        call;                                                                                  \
        return true;                                                                           \
    }
#define KV_ON_MESSAGE_CALL(msg, call)                                                          \
    if (message == static_cast<UINT>(msg)) {                                                   \
        call;                                                                                  \
        return true;                                                                           \
    }

#define ON_COMMAND(id, fn) KV_ON_COMMAND_CODE(0, id, id, fn())
#define ON_COMMAND_RANGE(idFirst, idLast, fn) KV_ON_COMMAND_CODE(0, idFirst, idLast, fn(LOWORD(wParam)))
#define ON_BN_CLICKED(id, fn) KV_ON_COMMAND_CODE(BN_CLICKED, id, id, fn())
#define ON_CBN_SELCHANGE(id, fn) KV_ON_COMMAND_CODE(CBN_SELCHANGE, id, id, fn())
#define ON_EN_CHANGE(id, fn) KV_ON_COMMAND_CODE(EN_CHANGE, id, id, fn())

#define ON_MESSAGE(msg, fn) KV_ON_MESSAGE_CALL(msg, result = fn(wParam, lParam))
#define ON_WM_TIMER() KV_ON_MESSAGE_CALL(WM_TIMER, OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_PAINT() KV_ON_MESSAGE_CALL(WM_PAINT, OnPaint())
#define ON_WM_QUERYDRAGICON()                                                                  \
    KV_ON_MESSAGE_CALL(WM_QUERYDRAGICON, result = reinterpret_cast<LRESULT>(OnQueryDragIcon()))
#define ON_WM_LBUTTONDOWN()                                                                    \
    KV_ON_MESSAGE_CALL(WM_LBUTTONDOWN,                                                         \
                       OnLButtonDown(static_cast<UINT>(wParam),                                \
                                     POINT{ static_cast<short>(LOWORD(lParam)),                \
                                            static_cast<short>(HIWORD(lParam)) }))
#define ON_WM_HELPINFO()                                                                       \
    KV_ON_MESSAGE_CALL(WM_HELP, result = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)))
#define ON_WM_SETTINGCHANGE()                                                                  \
    KV_ON_MESSAGE_CALL(WM_SETTINGCHANGE,                                                       \
                       OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<const char*>(lParam)))
#define ON_WM_CTLCOLOR_REFLECT()                                                               \
    KV_ON_MESSAGE_CALL(WM_REFLECT_CTLCOLOR,                                                    \
                       result = reinterpret_cast<LRESULT>(                                     \
                           CtlColor(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam))))
// Registered messages get their number at run time; one that never got it matches nothing.
#define ON_REGISTERED_MESSAGE(messageVariable, fn)                                             \
    if ((messageVariable) != 0 && message == (messageVariable)) {                              \
        result = fn(wParam, lParam);                                                           \
        return true;                                                                           \
    }
