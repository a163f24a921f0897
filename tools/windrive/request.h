// One parsed request and the answer being built for it.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// The arguments of a request (the tokens after the command name), read by position. A getter that
// cannot read its argument records a usage error; the command then stops and answers it.
class Request {
public:
    explicit Request(std::vector<std::string> args) : m_args(std::move(args)) {}

    size_t Count() const { return m_args.size(); }
    bool Has(size_t i) const { return i < m_args.size(); }
    // A window handle, as the driver reports it ("0x" and hex digits).
    HWND Window(size_t i);
    // A decimal (or 0x hex) integer.
    long long Integer(size_t i);
    // An escaped text.
    std::string Text(size_t i);
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    const std::string* Arg(size_t i, const char* what);

    std::vector<std::string> m_args;
    std::string m_error;
};

// "OK field..." unless Fail was called, then "ERR reason".
class Answer {
public:
    Answer& Add(const std::string& text);  // escaped
    Answer& Add(long long value);
    Answer& Add(HWND hwnd);
    void Fail(const std::string& reason);
    bool Ok() const { return m_error.empty(); }
    std::string Line() const;

private:
    std::string m_fields;
    std::string m_error;
};

// "0x1234abcd": how windows appear in answers.
std::string WindowToken(HWND hwnd);
