#include "wnd.h"

#include "app_name.h"

#include <vector>

std::string GetWindowTextOf(HWND hWnd)
{
    if (!hWnd)
        return std::string();
    int length = ::GetWindowTextLengthA(hWnd);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    int copied = ::GetWindowTextA(hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}


int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    std::string name = caption ? std::string(caption) : AfxGetAppName();
    return ::MessageBoxA(m_hWnd, text, name.c_str(), type);
}
