// Wine test helper: stands in for a CD's setup program. It only leaves a
// mark (its command line and working folder) in C:\setup-started.txt, so the
// test can tell whether PrinterPort started it.
#include <windows.h>

#include <cstdio>

int main() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (FILE* mark = std::fopen("C:\\setup-started.txt", "w")) {
        std::fprintf(mark, "%s\n%s\n", GetCommandLineA(), folder);
        std::fclose(mark);
    }
    return 0;
}
