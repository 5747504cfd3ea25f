// The one seam between the program and the operating system.
//
// The subsystems see only the names declared here. Types and records are our
// own definitions of the published Win32 layouts, so that no system header
// leaks into the subsystems; platform/win32/ forwards each call to the real
// API and platform/sim/ answers it from the simulated Windows 9x machine.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define OS_WINAPI __stdcall
#elif defined(_WIN32)
#define OS_WINAPI
#else
#define OS_WINAPI
#endif

namespace os {

// ---- Basic types -----------------------------------------------------------
#ifdef _WIN32
using DWORD = unsigned long;
using LONG = long;
#else
using DWORD = std::uint32_t;
using LONG = std::int32_t;
#endif
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using BOOL = int;
using UINT = unsigned int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using LPCVOID = const void*;
using UINT_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using REGSAM = DWORD;
using LCID = DWORD;
using HANDLE = void*;
using HGLOBAL = void*;
using HLOCAL = void*;
using HDEVINFO = void*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HKEY__;
using HKEY = HKEY__*;
struct HWND__;
using HWND = HWND__*;
using FARPROC = LONG_PTR(OS_WINAPI*)();
using DLGPROC = LONG_PTR(OS_WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void(OS_WINAPI*)(HWND, UINT, UINT_PTR, DWORD);

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(LONG_PTR(-1));

// ---- Error codes -------------------------------------------------------------
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_BAD_PATHNAME = 161;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
constexpr DWORD ERROR_PRINTER_ALREADY_EXISTS = 1802;
constexpr DWORD ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
constexpr DWORD ERROR_UNKNOWN_PORT = 1796;
constexpr DWORD ERROR_PRINTER_DRIVER_IN_USE = 3001;
constexpr DWORD ERROR_INVALID_PRINTER_COMMAND = 1803;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_NO_SYSTEM_RESOURCES = 1450;

// ---- Version ----------------------------------------------------------------
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

BOOL GetVersionExA(OSVERSIONINFOA* info);

// ---- Errors, heap, time --------------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD code);
constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
constexpr DWORD LANG_USER_DEFAULT = 0x400;
// With FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is really a char** that receives
// a LocalAlloc'ed text, as in Win32.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL mem);

constexpr UINT GMEM_FIXED = 0;
constexpr UINT GMEM_ZEROINIT = 0x40;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalFree(HGLOBAL mem);

void Sleep(DWORD ms);

// ---- Process image and command line ----------------------------------------------
LPSTR GetCommandLineA();
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// ---- Code page --------------------------------------------------------------------
BOOL IsDBCSLeadByte(BYTE c);
DWORD CharUpperBuffA(LPSTR text, DWORD length);
constexpr DWORD LOCALE_USER_DEFAULT = 0x400;
constexpr DWORD NORM_IGNORECASE = 1;
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;
int CompareStringA(LCID locale, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength);

// ---- Run-time binding -------------------------------------------------------------
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

// ---- SetupAPI device interfaces (reached only through GetProcAddress) ---------------
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
};
#if !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    CHAR DevicePath[1];
};
#if !defined(_WIN64)
#pragma pack(pop)
#endif
struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
constexpr DWORD DIGCF_PRESENT = 0x02;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x10;
// {28d78fad-5a12-11d1-ae5b-0000f803a8c2}
constexpr GUID GUID_DEVINTERFACE_USBPRINT = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

using PFN_SetupDiGetClassDevsA = HDEVINFO(OS_WINAPI*)(const GUID*, LPCSTR, HWND, DWORD);
using PFN_SetupDiEnumDeviceInterfaces = BOOL(OS_WINAPI*)(HDEVINFO, SP_DEVINFO_DATA*, const GUID*,
                                                         DWORD, SP_DEVICE_INTERFACE_DATA*);
using PFN_SetupDiGetDeviceInterfaceDetailA = BOOL(OS_WINAPI*)(HDEVINFO, SP_DEVICE_INTERFACE_DATA*,
                                                              SP_DEVICE_INTERFACE_DETAIL_DATA_A*,
                                                              DWORD, DWORD*, SP_DEVINFO_DATA*);
using PFN_SetupDiOpenDeviceInterfaceRegKey = HKEY(OS_WINAPI*)(HDEVINFO, SP_DEVICE_INTERFACE_DATA*,
                                                              DWORD, REGSAM);
using PFN_SetupDiDestroyDeviceInfoList = BOOL(OS_WINAPI*)(HDEVINFO);

// ---- Device I/O -------------------------------------------------------------------
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD IOCTL_PAR_QUERY_DEVICE_ID = 0x16000C;
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     LPDWORD returned, void* overlapped);
BOOL CloseHandle(HANDLE handle);

// ---- Registry (read only) ------------------------------------------------------------
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(ULONG_PTR(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(ULONG_PTR(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(ULONG_PTR(0x80000002));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(ULONG_PTR(0x80000003));
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                      LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptorSize, void* lastWriteTime);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR className, LPDWORD classSize, void* lastWriteTime);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegCloseKey(HKEY key);

// ---- Print spooler -------------------------------------------------------------------
struct PRINTER_INFO_2 {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    void* pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};
struct PORT_INFO_2 {
    LPSTR pPortName;
    LPSTR pMonitorName;
    LPSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
};
struct DRIVER_INFO_1 {
    LPSTR pName;
};
struct PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    void* pDevMode;
    DWORD DesiredAccess;
};
constexpr DWORD PRINTER_ENUM_LOCAL = 2;
constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x4;
constexpr DWORD PRINTER_ATTRIBUTE_NETWORK = 0x10;
constexpr DWORD PORT_TYPE_WRITE = 0x1;
constexpr DWORD PORT_TYPE_READ = 0x2;
constexpr DWORD PORT_TYPE_REDIRECTED = 0x4;
constexpr DWORD PORT_TYPE_NET_ATTACHED = 0x8;

BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);
BOOL EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                LPDWORD returned);
BOOL EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed, LPDWORD returned);
BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults);
BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command);
HANDLE AddPrinterA(LPSTR server, DWORD level, LPBYTE info);
BOOL DeletePrinter(HANDLE printer);
BOOL DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName);
BOOL ClosePrinter(HANDLE printer);

// ---- Drives, files and processes ---------------------------------------------------
constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
DWORD GetLogicalDrives();
UINT GetDriveTypeA(LPCSTR root);
HANDLE FindFirstFileA(LPCSTR path, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR path);
BOOL CreateProcessA(LPCSTR application, LPSTR commandLine, void* processSecurity,
                    void* threadSecurity, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* info);

// ---- Windows, dialogs, timers, message boxes ----------------------------------------
struct POINT {
    LONG x;
    LONG y;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD WS_EX_TRANSPARENT = 0x20;
constexpr DWORD WS_EX_APPWINDOW = 0x40000;
constexpr UINT SWP_NOSIZE = 0x1;
constexpr UINT SWP_NOMOVE = 0x2;
constexpr UINT SWP_NOZORDER = 0x4;
constexpr UINT SWP_NOACTIVATE = 0x10;
constexpr UINT SWP_HIDEWINDOW = 0x80;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The dialog template is named by its resource id in the program's own image.
HWND CreateDialogParamA(HINSTANCE instance, UINT templateId, HWND parent, DLGPROC proc,
                        LPARAM param);
// Marks a dialog as ended with `result` and hides it; the framework's modal
// loop stops after the message being handled.
BOOL EndDialog(HWND dialog, LONG_PTR result);
BOOL DestroyWindow(HWND window);
int GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL ShowWindow(HWND window, int command);
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL SetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

// ---- Trace sink ------------------------------------------------------------------------
// Whether this build keeps trace lines; the delivered program discards them,
// and then no trace text is even formatted.
#ifdef PRINTERPORT_KEEP_TRACE
constexpr bool kTraceKept = true;
#else
constexpr bool kTraceKept = false;
#endif
// Receives one finished trace text; only called when kTraceKept.
void TraceWrite(const char* text, bool isErrorReport);

}  // namespace os
