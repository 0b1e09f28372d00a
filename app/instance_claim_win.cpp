#include "instance_claim_win.h"

#include <vector>

#include "instance_claim.h"

namespace {
// The full path folded to lower case in the system code page, so that C:\KV and c:\kv, or a
// relative path and the full one, make the same name.
std::string ClaimName(const std::string& iniFile, const char* suffix)
{
    std::vector<char> full(MAX_PATH * 4, '\0');
    DWORD length = ::GetFullPathNameA(iniFile.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    std::string path = length > 0 && length < full.size() ? std::string(full.data(), length) : iniFile;
    if (!path.empty())
        ::CharLowerBuffA(path.data(), static_cast<DWORD>(path.size()));
    return InstanceClaimName(path) + suffix;
}

// A window handle keeps its meaning in 32 bits across processes of either width.
using PublishedWindow = LONG;

void WritePublished(void* view, HWND window)
{
    ::InterlockedExchange(static_cast<PublishedWindow volatile*>(view), HandleToLong(window));
}

HWND ReadPublished(const void* view)
{
    // An aligned 32-bit read is whole; an interlocked read would write to this read-only view.
    return static_cast<HWND>(LongToHandle(*static_cast<const PublishedWindow volatile*>(view)));
}
}

bool InstanceClaim::Take(const std::string& iniFile)
{
    m_mutex.Reset(::CreateMutexA(nullptr, FALSE, ClaimName(iniFile, "").c_str()));
    if (!m_mutex)
        return ::GetLastError() != ERROR_ACCESS_DENIED;
    // Owning, not merely opening: a copy that died leaves the mutex abandoned, which still
    // hands it over, and a copy that only looked at it holds no claim.
    DWORD wait = ::WaitForSingleObject(m_mutex.Get(), 0);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        m_mutex.Reset();
        return false;
    }
    m_mapping.Reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PublishedWindow),
                                         ClaimName(iniFile, "-window").c_str()));
    if (m_mapping)
        m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(PublishedWindow)));
    return true;
}

void InstanceClaim::Publish(HWND controller)
{
    if (m_view)
        WritePublished(m_view.Get(), controller);
}

void InstanceClaim::Release()
{
    if (m_view)
        WritePublished(m_view.Get(), nullptr);
    m_view.Reset();
    m_mapping.Reset();
    if (m_mutex)
        ::ReleaseMutex(m_mutex.Get());
    m_mutex.Reset();
}

namespace {
HWND PublishedHolder(const std::string& iniFile)
{
    UniqueKernelHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, ClaimName(iniFile, "-window").c_str()));
    UniqueMappedView view(mapping ? ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(PublishedWindow))
                                  : nullptr);
    HWND window = view ? ReadPublished(view.Get()) : nullptr;
    return window && ::IsWindow(window) ? window : nullptr;
}
}

bool TakeClaimOrFindHolder(InstanceClaim& claim, const std::string& iniFile, std::chrono::milliseconds deadline,
                           HWND& holder)
{
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (claim.Take(iniFile))
            return true;
        holder = PublishedHolder(iniFile);
        if (holder || std::chrono::steady_clock::now() >= end)
            return false;
        ::Sleep(100);
    }
}
