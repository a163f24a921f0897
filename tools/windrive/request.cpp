#include "request.h"

#include "escape.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

const std::string* Request::Arg(size_t i, const char* what)
{
    if (i < m_args.size())
        return &m_args[i];
    if (m_error.empty())
        m_error = std::string("usage: missing ") + what;
    return nullptr;
}

HWND Request::Window(size_t i)
{
    const std::string* arg = Arg(i, "window");
    if (!arg)
        return nullptr;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(arg->c_str(), &end, 16);
    if (errno != 0 || end == arg->c_str() || *end != '\0') {
        if (m_error.empty())
            m_error = "usage: not a window: " + *arg;
        return nullptr;
    }
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

long long Request::Integer(size_t i)
{
    const std::string* arg = Arg(i, "number");
    if (!arg)
        return 0;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(arg->c_str(), &end, 0);
    if (errno != 0 || end == arg->c_str() || *end != '\0') {
        if (m_error.empty())
            m_error = "usage: not a number: " + *arg;
        return 0;
    }
    return value;
}

std::string Request::Text(size_t i)
{
    const std::string* arg = Arg(i, "text");
    std::string text;
    if (arg && !UnescapeToken(*arg, text) && m_error.empty())
        m_error = "usage: bad escape in " + *arg;
    return text;
}

Answer& Answer::Add(const std::string& text)
{
    m_fields += ' ';
    m_fields += EscapeToken(text);
    return *this;
}

Answer& Answer::Add(long long value)
{
    m_fields += ' ';
    m_fields += std::to_string(value);
    return *this;
}

Answer& Answer::Add(HWND hwnd)
{
    m_fields += ' ';
    m_fields += WindowToken(hwnd);
    return *this;
}

void Answer::Fail(const std::string& reason)
{
    if (m_error.empty())
        m_error = reason.empty() ? "failed" : reason;
}

std::string Answer::Line() const
{
    if (!m_error.empty())
        return "ERR " + EscapeToken(m_error);
    return "OK" + m_fields;
}

std::string WindowToken(HWND hwnd)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return text;
}
