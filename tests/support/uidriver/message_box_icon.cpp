#include "message_box_icon.h"

#include <vector>

#include "window_query.h"

namespace zs::uidriver {

namespace {

using Pixels = std::vector<DWORD>;

// A 32-bit top-down bitmap with a memory DC selected into it.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_ != nullptr) previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    Pixels Read() const {
        GdiFlush();
        const DWORD* first = static_cast<const DWORD*>(bits_);
        Pixels pixels(first, first + static_cast<size_t>(width_) * height_);
        for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
        return pixels;
    }

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

Pixels CaptureScreen(const RECT& area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    Canvas canvas(width, height);
    if (!canvas.Valid()) return {};
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.Dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.Read();
}

Pixels DrawIconOn(HICON icon, int width, int height, COLORREF background) {
    Canvas canvas(width, height);
    if (!canvas.Valid()) return {};
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(canvas.Dc(), &all, brush);
    DeleteObject(brush);
    // A static icon control draws its icon at its top-left corner in the icon's own size.
    DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    return canvas.Read();
}

// True when the screen shows ICON wherever the icon is opaque: drawn on black and on white, the pixels that
// come out the same in both are the icon's own, whatever background the control paints.
bool ShowsIcon(const Pixels& screen, HICON icon, int width, int height) {
    Pixels onBlack = DrawIconOn(icon, width, height, RGB(0, 0, 0));
    Pixels onWhite = DrawIconOn(icon, width, height, RGB(255, 255, 255));
    if (onBlack.size() != screen.size() || onWhite.size() != screen.size()) return false;
    size_t opaque = 0;
    for (size_t i = 0; i < screen.size(); ++i) {
        if (onBlack[i] != onWhite[i]) continue;
        ++opaque;
        if (screen[i] != onBlack[i]) return false;
    }
    return opaque > 0;
}

}  // namespace

std::string IdentifyMessageBoxIcon(HWND iconControl) {
    LRESULT icon = 0;
    if (iconControl == nullptr || !IsWindowVisible(iconControl) ||
        !SendWithLimit(iconControl, STM_GETICON, 0, 0, kReplyLimitMs, &icon) || icon == 0) {
        return "none";
    }
    static const struct {
        LPCSTR id;
        const char* name;
    } kSystemIcons[] = {
        {IDI_HAND, "stop"},
        {IDI_EXCLAMATION, "exclamation"},
        {IDI_ASTERISK, "information"},
        {IDI_QUESTION, "question"},
    };
    RECT area;
    GetWindowRect(iconControl, &area);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return "unknown";
    // The window may not have been painted yet when it has just appeared, and on a busy machine Wine may take
    // a while to bring it to the screen: look again for up to five seconds.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Pixels screen = CaptureScreen(area);
        for (const auto& candidate : kSystemIcons) {
            if (ShowsIcon(screen, LoadIconA(nullptr, candidate.id), width, height)) return candidate.name;
        }
        Sleep(50);
    }
    return "unknown";
}

}  // namespace zs::uidriver
