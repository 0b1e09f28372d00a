// A stand-in for the maker's KvCom.dll, for tests only: a 32-bit library of its own that
// exports nothing but the three decorated standard-call names, as the maker's does, and
// appends one line per call to the file named by KVMIDI_MAKER_DLL_LOG:
//   init <class of the window> <message> <address> <port>
//   send <line>
//   close
#include <windows.h>

#include <stdio.h>

static void Record(const char* entry)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KVMIDI_MAKER_DLL_LOG", path, sizeof path);
    FILE* log = length && length < sizeof path ? fopen(path, "ab") : NULL;
    if (log) {
        fputs(entry, log);
        fputc('\n', log);
        fclose(log);
    }
}

int __stdcall KVCOM_init(HWND window, UINT message, const char* address, int port)
{
    char windowClass[64] = "";
    char entry[400];
    GetClassNameA(window, windowClass, sizeof windowClass);
    snprintf(entry, sizeof entry, "init %s %u %s %d", windowClass, message, address, port);
    Record(entry);
    return 1;
}

int __stdcall KVCOM_send(const char* line)
{
    char entry[1100];
    snprintf(entry, sizeof entry, "send %s", line);
    Record(entry);
    return 1;
}

int __stdcall KVCOM_close(void)
{
    Record("close");
    return 1;
}
