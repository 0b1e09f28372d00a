#include "screenshot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/dc.h"
#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"

namespace {
// The test's own pick of "green pointer": clearly green, little red or blue. The dial's
// other inks are greys and near-black, which never pass.
bool IsPointerGreen(std::uint32_t pixel)
{
    unsigned r = (pixel >> 16) & 0xFF;
    unsigned g = (pixel >> 8) & 0xFF;
    unsigned b = pixel & 0xFF;
    return g >= 150 && r <= 90 && b <= 90;
}

RECT Clip(const Screenshot& shot, const RECT& rect)
{
    RECT clipped = { std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                     std::min<LONG>(rect.right, shot.width), std::min<LONG>(rect.bottom, shot.height) };
    return clipped;
}

// PNG needs CRC-32 over each chunk and Adler-32 over the zlib stream.
std::uint32_t Crc32(const unsigned char* data, size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// Deflate's bits go least significant first; its Huffman codes most significant first.
class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : m_out(out) {}
    void Put(std::uint32_t value, int count)
    {
        m_bits |= value << m_count;
        m_count += count;
        for (; m_count >= 8; m_count -= 8, m_bits >>= 8)
            m_out.push_back(static_cast<unsigned char>(m_bits & 0xFF));
    }
    void PutCode(std::uint32_t code, int count)
    {
        std::uint32_t reversed = 0;
        for (int i = 0; i < count; ++i)
            reversed |= ((code >> i) & 1u) << (count - 1 - i);
        Put(reversed, count);
    }
    void Flush()
    {
        if (m_count > 0)
            m_out.push_back(static_cast<unsigned char>(m_bits & 0xFF));
        m_bits = 0;
        m_count = 0;
    }

private:
    std::vector<unsigned char>& m_out;
    std::uint32_t m_bits = 0;
    int m_count = 0;
};

// A symbol of deflate's fixed literal/length code.
void PutSymbol(BitWriter& bits, int symbol)
{
    if (symbol < 144)
        bits.PutCode(0x30 + static_cast<std::uint32_t>(symbol), 8);
    else if (symbol < 256)
        bits.PutCode(0x190 + static_cast<std::uint32_t>(symbol - 144), 9);
    else if (symbol < 280)
        bits.PutCode(static_cast<std::uint32_t>(symbol - 256), 7);
    else
        bits.PutCode(0xC0 + static_cast<std::uint32_t>(symbol - 280), 8);
}

// A zlib stream with one block of deflate's fixed code. Screens are mostly flat colour, so
// repeats of the pixel before (three bytes back) are all it looks for: small enough files
// without a real compressor.
std::vector<unsigned char> Deflate(const std::vector<unsigned char>& raw)
{
    static const int lengthBase[] = { 3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
    static const int lengthExtra[] = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
    std::vector<unsigned char> out = { 0x78, 0x01 };
    BitWriter bits(out);
    bits.Put(1, 1);   // the last block
    bits.Put(1, 2);   // fixed code
    size_t i = 0;
    while (i < raw.size()) {
        size_t length = 0;
        while (i >= 3 && i + length < raw.size() && length < 258 && raw[i + length] == raw[i + length - 3])
            ++length;
        if (length < 3) {
            PutSymbol(bits, raw[i]);
            ++i;
            continue;
        }
        int code = 28;
        while (lengthBase[code] > static_cast<int>(length))
            --code;
        PutSymbol(bits, 257 + code);
        bits.Put(static_cast<std::uint32_t>(static_cast<int>(length) - lengthBase[code]), lengthExtra[code]);
        bits.PutCode(2, 5);   // distance 3
        i += length;
    }
    PutSymbol(bits, 256);
    bits.Flush();
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

Screenshot CaptureScreen()
{
    RECT screen = { 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) };
    return CaptureScreenRect(screen);
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
    shot.pixels.resize(static_cast<size_t>(width) * height);
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        shot.pixels[i] = source[i] & 0xFFFFFF;
    return shot;
}

bool WritePng(const Screenshot& shot, const std::string& path)
{
    if (shot.Empty())
        return false;
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(shot.height) * (1 + 3 * static_cast<size_t>(shot.width)));
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0);   // no filter
        for (int x = 0; x < shot.width; ++x) {
            std::uint32_t pixel = shot.At(x, y);
            raw.push_back(static_cast<unsigned char>(pixel >> 16));
            raw.push_back(static_cast<unsigned char>(pixel >> 8));
            raw.push_back(static_cast<unsigned char>(pixel));
        }
    }
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<std::uint32_t>(shot.width));
    PutBigEndian(header, static_cast<std::uint32_t>(shot.height));
    header.insert(header.end(), { 8, 2, 0, 0, 0 });   // 8 bits, RGB, deflate, no filter set, no interlace

    std::vector<unsigned char> file = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", Deflate(raw));
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
    std::string build = bin.substr(0, bin.find_last_of('\\', bin.size() - 2) + 1);
    std::string folder = build + "artefacts\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

int CountPointerGreen(const Screenshot& shot, const RECT& rect)
{
    return PointerGreenCentroid(shot, rect).count;
}

PointerDirection PointerGreenCentroid(const Screenshot& shot, const RECT& rect)
{
    PointerDirection direction;
    RECT area = Clip(shot, rect);
    double centreX = (rect.left + rect.right - 1) / 2.0;
    double centreY = (rect.top + rect.bottom - 1) / 2.0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (!IsPointerGreen(shot.At(x, y)))
                continue;
            ++direction.count;
            direction.dx += x - centreX;
            direction.dy += y - centreY;
        }
    }
    if (direction.count > 0) {
        direction.dx /= direction.count;
        direction.dy /= direction.count;
    }
    return direction;
}

PointerPose ClassifyPointer(const PointerDirection& direction)
{
    if (direction.count == 0)
        return PointerPose::Unknown;
    // Degrees clockwise from 12 o'clock; y grows downwards on screen.
    double angle = std::atan2(direction.dx, -direction.dy) * 180.0 / 3.14159265358979;
    if (std::fabs(angle) < 20)
        return PointerPose::Upright;
    if (std::fabs(angle - 45) < 20)
        return PointerPose::Diagonal;
    if (std::fabs(angle - 90) < 20)
        return PointerPose::Horizontal;
    return PointerPose::Unknown;
}

PointerPose TrayPointerPose(int indexFromRight)
{
    Screenshot shot = CaptureScreenRect(TrayIconSlot(indexFromRight));
    return ClassifyPointer(PointerGreenCentroid(shot, { 0, 0, shot.width, shot.height }));
}

RECT TrayIconSlot(int indexFromRight)
{
    RECT tray = TrayAreaRect();
    if (tray.right <= tray.left)
        return tray;
    int slotWidth = ::GetSystemMetrics(SM_CXSMICON) + 4;
    int slotHeight = ::GetSystemMetrics(SM_CYSMICON) + 4;
    RECT slot = {};
    slot.right = tray.right - indexFromRight * slotWidth;
    slot.left = slot.right - slotWidth;
    slot.top = tray.top + (tray.bottom - tray.top - slotHeight) / 2;
    slot.bottom = slot.top + slotHeight;
    return slot;
}

RECT TrayAreaRect()
{
    RECT rect = {};
    HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (tray && ::IsWindowVisible(tray))
        ::GetWindowRect(tray, &rect);
    return rect;
}
