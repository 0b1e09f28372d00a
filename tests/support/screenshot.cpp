#include "screenshot.h"

#include <algorithm>
#include <cstdio>

#include "framework/dc.h"
#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"

namespace {
void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

// A PNG chunk: length, type, data and the CRC-32 of type and data.
void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = ~0u;
    for (size_t i = start; i < out.size(); ++i) {
        crc ^= out[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    PutBigEndian(out, ~crc);
}

// A zlib stream of stored deflate blocks: larger files, but no compressor to get right.
std::vector<unsigned char> StoredZlib(const std::vector<unsigned char>& raw)
{
    std::vector<unsigned char> out = { 0x78, 0x01 };
    size_t at = 0;
    do {
        auto size = static_cast<std::uint32_t>(std::min<size_t>(raw.size() - at, 65535));
        out.push_back(at + size == raw.size() ? 1 : 0);
        out.insert(out.end(), { static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                static_cast<unsigned char>(~size), static_cast<unsigned char>(~size >> 8) });
        out.insert(out.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + size));
        at += size;
    } while (at < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}
}

Screenshot CaptureScreenRect(const RECT& rect)
{
    Screenshot shot;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return shot;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CClientDC screen(nullptr);
    UniqueGdiObject dib(::CreateDIBSection(screen.GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc memory(::CreateCompatibleDC(screen.GetSafeHdc()));
    if (!dib || !memory || !bits)
        return shot;
    {
        ScopedSelectObject selected(memory.Get(), dib.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.GetSafeHdc(), rect.left, rect.top, SRCCOPY);
        ::GdiFlush();
    }
    shot.width = width;
    shot.height = height;
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        shot.pixels.push_back(source[i] & 0xFFFFFF);
    return shot;
}

bool WritePng(const Screenshot& shot, const std::string& path)
{
    if (shot.Empty())
        return false;
    std::vector<unsigned char> raw;
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0);   // no filter
        for (int x = 0; x < shot.width; ++x)
            for (int shift = 16; shift >= 0; shift -= 8)
                raw.push_back(static_cast<unsigned char>(shot.At(x, y) >> shift));
    }
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<std::uint32_t>(shot.width));
    PutBigEndian(header, static_cast<std::uint32_t>(shot.height));
    header.insert(header.end(), { 8, 2, 0, 0, 0 });   // 8 bits, RGB, deflate, no filter set, no interlace
    std::vector<unsigned char> file = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

std::string ArtefactsDirectory()
{
    std::string bin = BinaryDirectory();   // <build folder>\bin\ .
    std::string folder = bin.substr(0, bin.find_last_of('\\', bin.size() - 2) + 1) + "artefacts\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

RECT FirstTrayIconSlot()
{
    RECT tray = {};
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar || !::IsWindowVisible(taskbar) || !::GetWindowRect(taskbar, &tray))
        return {};
    int width = ::GetSystemMetrics(SM_CXSMICON) + 4;
    int height = ::GetSystemMetrics(SM_CYSMICON) + 4;
    LONG top = tray.top + (tray.bottom - tray.top - height) / 2;
    return { tray.right - width, top, tray.right, top + height };
}

int CountPointerGreen(const Screenshot& shot)
{
    // Clearly green, little red or blue; the dial's other inks are greys and near-black.
    int count = 0;
    for (std::uint32_t pixel : shot.pixels)
        count += ((pixel >> 8) & 0xFF) >= 150 && (pixel >> 16) <= 90 && (pixel & 0xFF) <= 90 ? 1 : 0;
    return count;
}
