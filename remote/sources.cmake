list(APPEND KVMIDI_PORTABLE_SOURCES
    remote/activity.cpp
    remote/activity.h
    remote/command_dispatcher.cpp
    remote/command_dispatcher.h
    remote/command_text.cpp
    remote/command_text.h
    remote/sending_thread.cpp
    remote/sending_thread.h
    remote/shed_episodes.cpp
    remote/shed_episodes.h
)
list(APPEND KVMIDI_WIN_SOURCES
    remote/kvcom_api.h
    remote/kvcom_sending_win.cpp
    remote/kvcom_sending_win.h
)
