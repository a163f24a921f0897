// Paths formed in fixed-size buffers. A path that does not fit its buffer is not formed at all:
// a path cut short could name another file or folder, and the programs delete files by path.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdio>

// Formats into buffer. False, with buffer left empty, when the result and its terminating NUL
// would not fit.
template <std::size_t N>
bool FormatPath(char (&buffer)[N], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, N, format, args);
    va_end(args);
    if (length < 0 || static_cast<std::size_t>(length) >= N) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
