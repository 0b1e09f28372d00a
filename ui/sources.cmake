list(APPEND KVMIDI_PORTABLE_SOURCES
    ui/led_placement.cpp
    ui/led_placement.h
    ui/tray_icon_state.cpp
    ui/tray_icon_state.h
    ui/tray_call_queue.cpp
    ui/tray_call_queue.h
    ui/tray_texts.cpp
    ui/tray_texts.h
)
list(APPEND KVMIDI_WIN_SOURCES
    ui/generic_string_dlg.cpp
    ui/generic_string_dlg.h
    ui/label.cpp
    ui/label.h
    ui/led.cpp
    ui/led.h
    ui/system_tray.cpp
    ui/system_tray.h
    ui/tray_shell_thread_win.cpp
    ui/tray_shell_thread_win.h
)
list(APPEND KVMIDI_PORTABLE_SOURCES
    ui/settings_validation.cpp
    ui/settings_validation.h
)
