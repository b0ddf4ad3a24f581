// One line of a test program's report on stdout, flushed at once: the e2e scripts read it as it comes.
#pragma once

#include <cstdarg>
#include <cstdio>

[[gnu::format(printf, 1, 2)]] inline void PrintLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::putchar('\n');
  std::fflush(stdout);
}
