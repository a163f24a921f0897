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

// A bitmap the size of an icon, compatible with the screen, to draw into and read back.
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width), m_height(height), m_screen(::GetDC(nullptr)), m_dc(::CreateCompatibleDC(m_screen)),
          m_bitmap(::CreateCompatibleBitmap(m_screen, width, height)), m_old(::SelectObject(m_dc, m_bitmap))
    {
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
        ::ReleaseDC(nullptr, m_screen);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    HDC Screen() const { return m_screen; }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                pixels.push_back(::GetPixel(m_dc, x, y));
        return pixels;
    }

private:
    int m_width, m_height;
    HDC m_screen;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

// Renders icon the way the static control shows it, for comparison with the screen.
std::vector<COLORREF> Render(HICON icon, int width, int height, COLORREF background)
{
    Canvas canvas(width, height);
    RECT rect = {0, 0, width, height};
    HBRUSH brush = ::CreateSolidBrush(background);
    ::FillRect(canvas.Dc(), &rect, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return canvas.Pixels();
}

// What the screen shows at the top left of hwnd.
std::vector<COLORREF> Capture(HWND hwnd, int width, int height)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    Canvas canvas(width, height);
    ::BitBlt(canvas.Dc(), 0, 0, width, height, canvas.Screen(), rect.left, rect.top, SRCCOPY);
    return canvas.Pixels();
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
