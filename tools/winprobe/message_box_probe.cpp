#include "message_box_probe.h"

#include <cstring>

namespace {

std::string TextOf(HWND hwnd)
{
    char buffer[4096] = {0};
    // WM_GETTEXT is marshalled between processes.
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = {0};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

struct Children {
    std::vector<HWND> list;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam)
{
    reinterpret_cast<Children*>(lParam)->list.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    Children children;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children.list;
}

bool IsIconStatic(HWND hwnd)
{
    return ClassOf(hwnd) == "Static" && (::GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// Renders icon the way the static control shows it, for comparison with the screen.
std::vector<COLORREF> Render(HICON icon, int width, int height, COLORREF background)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT rect = {0, 0, width, height};
    HBRUSH brush = ::CreateSolidBrush(background);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<COLORREF> Capture(HWND hwnd, int width, int height)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

struct Candidate {
    const char* name;
    LPCSTR id;
};
const Candidate kCandidates[] = {
    {"exclamation", IDI_EXCLAMATION}, {"information", IDI_ASTERISK}, {"question", IDI_QUESTION}, {"error", IDI_HAND},
};

std::string IconKind(HWND iconStatic)
{
    if (!iconStatic || !::IsWindowVisible(iconStatic))
        return "none";
    DWORD_PTR shown = 0;
    ::SendMessageTimeoutA(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &shown);
    if (!shown)
        return "none";
    DWORD pid = 0;
    ::GetWindowThreadProcessId(iconStatic, &pid);
    if (pid == ::GetCurrentProcessId()) {
        // The system's icons are shared within a process: the handle tells.
        for (const Candidate& c : kCandidates)
            if (reinterpret_cast<HICON>(shown) == ::LoadIconA(nullptr, c.id))
                return c.name;
        return "other";
    }
    // Another process's icon handle cannot be read here: compare what the screen shows.
    int width = ::GetSystemMetrics(SM_CXICON), height = ::GetSystemMetrics(SM_CYICON);
    std::vector<COLORREF> screen = Capture(iconStatic, width, height);
    std::string best = "other";
    long bestDiff = -1;
    for (const Candidate& c : kCandidates) {
        std::vector<COLORREF> drawn = Render(::LoadIconA(nullptr, c.id), width, height, ::GetSysColor(COLOR_3DFACE));
        long diff = 0;
        for (size_t i = 0; i < drawn.size(); ++i)
            diff += drawn[i] != screen[i];
        if (bestDiff < 0 || diff < bestDiff) {
            bestDiff = diff;
            best = c.name;
        }
    }
    return best;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && ::IsWindowVisible(hwnd) && IsMessageBox(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool IsMessageBox(HWND hwnd)
{
    if (!hwnd || ClassOf(hwnd) != "#32770")
        return false;
    bool hasText = false;
    for (HWND child : ChildrenOf(hwnd)) {
        std::string cls = ClassOf(child);
        if (cls == "Static") {
            if (!IsIconStatic(child))
                hasText = true;
        } else if (cls == "Button") {
            LONG style = ::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
            if (style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON)
                return false;
        } else {
            return false;
        }
    }
    return hasText;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs)
{
    Search search = {pid ? pid : ::GetCurrentProcessId(), nullptr};
    DWORD start = ::GetTickCount();
    for (;;) {
        search.found = nullptr;
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (::GetTickCount() - start >= timeoutMs)
            return nullptr;
        ::Sleep(20);
    }
}

bool ReadMessageBox(HWND hwnd, MessageBoxInfo& info)
{
    if (!IsMessageBox(hwnd))
        return false;
    info = MessageBoxInfo();
    info.hwnd = hwnd;
    info.caption = TextOf(hwnd);
    HWND iconStatic = nullptr;
    for (HWND child : ChildrenOf(hwnd)) {
        std::string cls = ClassOf(child);
        if (cls == "Button") {
            if (::IsWindowVisible(child))
                info.buttons.push_back({::GetDlgCtrlID(child), TextOf(child)});
        } else if (IsIconStatic(child)) {
            iconStatic = child;
        } else if (info.text.empty()) {
            info.text = TextOf(child);
        }
    }
    info.icon = IconKind(iconStatic);
    return true;
}

bool PressMessageBoxButton(HWND hwnd, int buttonId)
{
    HWND button = ::GetDlgItem(hwnd, buttonId);
    if (!button || !::IsWindowVisible(button))
        return false;
    return ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::IsWindow(hwnd)) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}
