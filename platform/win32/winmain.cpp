// The program's entry: the one application object, and WinMain running it.
#include "app/PrinterPortApp.h"

#include <windows.h>

// Constructed during static construction, before WinMain; its SysUtil member
// binds the optional system entry points then.
CPrinterPortApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Run reads the command line itself and returns the framework's exit code.
    return theApp.Run();
}
