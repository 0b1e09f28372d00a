list(APPEND KVMIDI_PORTABLE_SOURCES
    input/com_line_edges.cpp
    input/com_line_edges.h
    input/com_port_error_text.cpp
    input/com_port_error_text.h
    input/com_port_names.cpp
    input/com_port_names.h
    input/com_switch_opening.cpp
    input/com_switch_opening.h
    input/com_switch_polling.cpp
    input/com_switch_polling.h
    input/midi_ring.cpp
    input/midi_ring.h
)
list(APPEND KVMIDI_WIN_SOURCES
    input/com_port_enumeration_win.cpp
    input/com_port_enumeration_win.h
    input/com_port_error_dlg.cpp
    input/com_port_error_dlg.h
    input/com_switch_monitor_win.cpp
    input/com_switch_monitor_win.h
    input/com_switches_win.cpp
    input/com_switches_win.h
    input/midi_in_device_win.cpp
    input/midi_in_device_win.h
)
