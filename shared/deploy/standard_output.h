// Result lines on standard output. The programs are windowed: nothing shows unless standard output
// is redirected, and then each line must reach it at once, not wait in the runtime's buffer.
#pragma once

void WriteStandardOutputLine(const char* line);
