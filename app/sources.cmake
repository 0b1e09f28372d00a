list(APPEND KVMIDI_PORTABLE_SOURCES
    app/config_location.cpp
    app/config_location.h
    app/instance_claim.cpp
    app/instance_claim.h
)
list(APPEND KVMIDI_WIN_SOURCES
    app/common_appdata_win.cpp
    app/common_appdata_win.h
    app/create_path_directories_win.cpp
    app/create_path_directories_win.h
    app/controller_timers.h
    app/instance_claim_win.cpp
    app/instance_claim_win.h
)
