#include "standard_output.h"

#include <cstdio>

void WriteStandardOutputLine(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}
