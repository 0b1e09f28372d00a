list(APPEND KVMIDI_PORTABLE_SOURCES
    framework/text.cpp
    framework/text.h
    framework/unique_handle.h
)
list(APPEND KVMIDI_WIN_SOURCES
    framework/afx_functions.cpp
    framework/afx_functions.h
    framework/data_exchange.cpp
    framework/data_exchange.h
    framework/dc.h
    framework/dialog.cpp
    framework/dialog.h
    framework/gdi_objects.cpp
    framework/gdi_objects.h
    framework/menu.cpp
    framework/menu.h
    framework/message_map.h
    framework/static.h
    framework/win_app.cpp
    framework/win_app.h
    framework/win_handles.h
    framework/wnd.cpp
    framework/wnd.h
)
