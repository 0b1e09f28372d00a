// A stand-in for the maker's KvCom.dll, for tests only: a 32-bit library of its own that
// exports nothing but the three decorated standard-call names, as the maker's does, and
// appends one line per call to the file named by KVMIDI_MAKER_DLL_LOG:
//   init <class of the window> <message> <address> <port>
//   send <line>
//   close
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

static void Record(const char* format, ...)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KVMIDI_MAKER_DLL_LOG", path, sizeof path);
    FILE* log = length && length < sizeof path ? fopen(path, "ab") : NULL;
    va_list arguments;
    va_start(arguments, format);
    if (log) {
        vfprintf(log, format, arguments);
        fclose(log);
    }
    va_end(arguments);
}

int __stdcall KVCOM_init(HWND window, UINT message, const char* address, int port)
{
    char windowClass[64] = "";
    GetClassNameA(window, windowClass, sizeof windowClass);
    Record("init %s %u %s %d\n", windowClass, message, address, port);
    return 1;
}

int __stdcall KVCOM_send(const char* line) { Record("send %s\n", line); return 1; }

int __stdcall KVCOM_close(void) { Record("close\n"); return 1; }
