// A stand-in for the maker's KvCom.dll, for tests only: a 32-bit library of its own that
// exports nothing but the three decorated standard-call names, as the maker's does, and
// appends a line to the file named by KVMIDI_MAKER_DLL_LOG when the program opens or closes it:
//   init <class of the window> <message> <address> <port>
//   close
#include <windows.h>

#include <stdio.h>

static int Record(const char* line)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KVMIDI_MAKER_DLL_LOG", path, sizeof path);
    FILE* log = length && length < sizeof path ? fopen(path, "ab") : NULL;
    if (log) {
        fputs(line, log);
        fclose(log);
    }
    return 1;
}

int __stdcall KVCOM_init(HWND window, UINT message, const char* address, int port)
{
    char windowClass[64] = "", line[400];
    GetClassNameA(window, windowClass, sizeof windowClass);
    snprintf(line, sizeof line, "init %s %u %s %d\n", windowClass, message, address, port);
    return Record(line);
}

int __stdcall KVCOM_send(const char* line) { return line != NULL; }

int __stdcall KVCOM_close(void) { return Record("close\n"); }
