list(APPEND KVMIDI_PORTABLE_SOURCES
    config/com_lines.h
    config/default_broadcast.cpp
    config/default_broadcast.h
    config/device_list.cpp
    config/device_list.h
    config/ini_integer.cpp
    config/ini_integer.h
    config/private_profile.h
    config/profiles.cpp
    config/profiles.h
    config/profiles_edit.cpp
    config/profiles_edit.h
    config/setting_names.cpp
    config/setting_names.h
    config/settings_io.cpp
    config/settings_io.h
    config/settings_record.cpp
    config/settings_record.h
    config/typed_ini.cpp
    config/typed_ini.h
)
list(APPEND KVMIDI_WIN_SOURCES
    config/default_broadcast_win.cpp
    config/default_broadcast_win.h
    config/private_profile_win.cpp
    config/private_profile_win.h
)
