// The seam mapped onto the real Win32 API.
//
// platform/os.h comes first, so that its declarations are read before the
// system headers turn TRUE, MAX_PATH, ERROR_* and the other constants into
// macros; below, only the system's own names of constants are used. Our
// records are the published layouts, so they pass to the system as they are:
// the static_asserts hold both layouts together, for 32 and for 64 bits.
#include "platform/os.h"

// Our values of constants that the system headers define as macros, taken
// before those headers are read.
namespace ours {
constexpr auto k_ERROR_INSUFFICIENT_BUFFER = os::ERROR_INSUFFICIENT_BUFFER;
constexpr auto k_ERROR_NO_MORE_ITEMS = os::ERROR_NO_MORE_ITEMS;
constexpr auto k_ERROR_MORE_DATA = os::ERROR_MORE_DATA;
constexpr auto k_ERROR_INVALID_PRINTER_NAME = os::ERROR_INVALID_PRINTER_NAME;
constexpr auto k_ERROR_UNKNOWN_PRINTER_DRIVER = os::ERROR_UNKNOWN_PRINTER_DRIVER;
constexpr auto k_ERROR_PRINTER_DRIVER_IN_USE = os::ERROR_PRINTER_DRIVER_IN_USE;
constexpr auto k_PRINTER_ENUM_LOCAL = os::PRINTER_ENUM_LOCAL;
constexpr auto k_PRINTER_ATTRIBUTE_DEFAULT = os::PRINTER_ATTRIBUTE_DEFAULT;
constexpr auto k_PRINTER_ATTRIBUTE_NETWORK = os::PRINTER_ATTRIBUTE_NETWORK;
constexpr auto k_PORT_TYPE_WRITE = os::PORT_TYPE_WRITE;
constexpr auto k_PORT_TYPE_NET_ATTACHED = os::PORT_TYPE_NET_ATTACHED;
constexpr auto k_DIGCF_PRESENT = os::DIGCF_PRESENT;
constexpr auto k_DIGCF_DEVICEINTERFACE = os::DIGCF_DEVICEINTERFACE;
constexpr auto k_DRIVE_CDROM = os::DRIVE_CDROM;
constexpr auto k_KEY_READ = os::KEY_READ;
constexpr auto k_GPTR = os::GPTR;
constexpr auto k_FORMAT_MESSAGE_ALLOCATE_BUFFER = os::FORMAT_MESSAGE_ALLOCATE_BUFFER;
constexpr auto k_NORM_IGNORECASE = os::NORM_IGNORECASE;
constexpr auto k_CSTR_EQUAL = os::CSTR_EQUAL;
constexpr auto k_OPEN_EXISTING = os::OPEN_EXISTING;
constexpr auto k_GENERIC_READ = os::GENERIC_READ;
constexpr auto k_WM_TIMER = os::WM_TIMER;
constexpr auto k_WM_COMMAND = os::WM_COMMAND;
constexpr auto k_WM_INITDIALOG = os::WM_INITDIALOG;
constexpr auto k_MB_ICONEXCLAMATION = os::MB_ICONEXCLAMATION;
constexpr auto k_IDOK = os::IDOK;
constexpr auto k_IDCANCEL = os::IDCANCEL;
constexpr auto k_MAX_PATH = os::MAX_PATH;
}  // namespace ours

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <cstddef>
#include <cstdarg>

namespace {

// Checks that our record and the system's have the same size and that a
// field sits at the same offset in both.
#define SAME_SIZE(ours, theirs) static_assert(sizeof(ours) == sizeof(theirs), #ours " size")
#define SAME_FIELD(ours, theirs, field) \
    static_assert(offsetof(ours, field) == offsetof(theirs, field), #ours "." #field)

SAME_SIZE(os::DWORD, ::DWORD);
SAME_SIZE(os::LONG, ::LONG);
SAME_SIZE(os::WPARAM, ::WPARAM);
SAME_SIZE(os::LPARAM, ::LPARAM);
SAME_SIZE(os::LRESULT, ::LRESULT);
SAME_SIZE(os::UINT_PTR, ::UINT_PTR);

SAME_SIZE(os::OSVERSIONINFOA, ::OSVERSIONINFOA);
SAME_FIELD(os::OSVERSIONINFOA, ::OSVERSIONINFOA, dwPlatformId);
SAME_FIELD(os::OSVERSIONINFOA, ::OSVERSIONINFOA, szCSDVersion);
SAME_SIZE(os::OSVERSIONINFOEXA, ::OSVERSIONINFOEXA);
SAME_FIELD(os::OSVERSIONINFOEXA, ::OSVERSIONINFOEXA, wServicePackMajor);
SAME_FIELD(os::OSVERSIONINFOEXA, ::OSVERSIONINFOEXA, wProductType);

SAME_SIZE(os::GUID, ::GUID);
SAME_SIZE(os::SP_DEVICE_INTERFACE_DATA, ::SP_DEVICE_INTERFACE_DATA);
SAME_FIELD(os::SP_DEVICE_INTERFACE_DATA, ::SP_DEVICE_INTERFACE_DATA, Flags);
SAME_FIELD(os::SP_DEVICE_INTERFACE_DATA, ::SP_DEVICE_INTERFACE_DATA, Reserved);
SAME_SIZE(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A, ::SP_DEVICE_INTERFACE_DETAIL_DATA_A);
SAME_FIELD(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A, ::SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
SAME_SIZE(os::SP_DEVINFO_DATA, ::SP_DEVINFO_DATA);
SAME_FIELD(os::SP_DEVINFO_DATA, ::SP_DEVINFO_DATA, DevInst);
SAME_FIELD(os::SP_DEVINFO_DATA, ::SP_DEVINFO_DATA, Reserved);

SAME_SIZE(os::PRINTER_INFO_2, ::PRINTER_INFO_2A);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, pPortName);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, pDriverName);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, pDevMode);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, pSecurityDescriptor);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, Attributes);
SAME_FIELD(os::PRINTER_INFO_2, ::PRINTER_INFO_2A, AveragePPM);
SAME_SIZE(os::PORT_INFO_2, ::PORT_INFO_2A);
SAME_FIELD(os::PORT_INFO_2, ::PORT_INFO_2A, pDescription);
SAME_FIELD(os::PORT_INFO_2, ::PORT_INFO_2A, fPortType);
SAME_FIELD(os::PORT_INFO_2, ::PORT_INFO_2A, Reserved);
SAME_SIZE(os::DRIVER_INFO_1, ::DRIVER_INFO_1A);
SAME_SIZE(os::PRINTER_DEFAULTSA, ::PRINTER_DEFAULTSA);
SAME_FIELD(os::PRINTER_DEFAULTSA, ::PRINTER_DEFAULTSA, DesiredAccess);

SAME_SIZE(os::FILETIME, ::FILETIME);
SAME_SIZE(os::WIN32_FIND_DATAA, ::WIN32_FIND_DATAA);
SAME_FIELD(os::WIN32_FIND_DATAA, ::WIN32_FIND_DATAA, nFileSizeLow);
SAME_FIELD(os::WIN32_FIND_DATAA, ::WIN32_FIND_DATAA, cFileName);
SAME_FIELD(os::WIN32_FIND_DATAA, ::WIN32_FIND_DATAA, cAlternateFileName);
SAME_SIZE(os::STARTUPINFOA, ::STARTUPINFOA);
SAME_FIELD(os::STARTUPINFOA, ::STARTUPINFOA, dwFlags);
SAME_FIELD(os::STARTUPINFOA, ::STARTUPINFOA, wShowWindow);
SAME_FIELD(os::STARTUPINFOA, ::STARTUPINFOA, hStdError);
SAME_SIZE(os::PROCESS_INFORMATION, ::PROCESS_INFORMATION);
SAME_FIELD(os::PROCESS_INFORMATION, ::PROCESS_INFORMATION, dwThreadId);

SAME_SIZE(os::POINT, ::POINT);
SAME_SIZE(os::MSG, ::MSG);
SAME_FIELD(os::MSG, ::MSG, message);
SAME_FIELD(os::MSG, ::MSG, wParam);
SAME_FIELD(os::MSG, ::MSG, lParam);
SAME_FIELD(os::MSG, ::MSG, time);
SAME_FIELD(os::MSG, ::MSG, pt);

// Our constants carry the system's values.
static_assert(ours::k_ERROR_INSUFFICIENT_BUFFER == ERROR_INSUFFICIENT_BUFFER, "ERROR_INSUFFICIENT_BUFFER");
static_assert(ours::k_ERROR_NO_MORE_ITEMS == ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS");
static_assert(ours::k_ERROR_MORE_DATA == ERROR_MORE_DATA, "ERROR_MORE_DATA");
static_assert(ours::k_ERROR_INVALID_PRINTER_NAME == ERROR_INVALID_PRINTER_NAME, "ERROR_INVALID_PRINTER_NAME");
static_assert(ours::k_ERROR_UNKNOWN_PRINTER_DRIVER == ERROR_UNKNOWN_PRINTER_DRIVER, "ERROR_UNKNOWN_PRINTER_DRIVER");
static_assert(ours::k_ERROR_PRINTER_DRIVER_IN_USE == ERROR_PRINTER_DRIVER_IN_USE, "ERROR_PRINTER_DRIVER_IN_USE");
static_assert(ours::k_PRINTER_ENUM_LOCAL == PRINTER_ENUM_LOCAL, "PRINTER_ENUM_LOCAL");
static_assert(ours::k_PRINTER_ATTRIBUTE_DEFAULT == PRINTER_ATTRIBUTE_DEFAULT, "PRINTER_ATTRIBUTE_DEFAULT");
static_assert(ours::k_PRINTER_ATTRIBUTE_NETWORK == PRINTER_ATTRIBUTE_NETWORK, "PRINTER_ATTRIBUTE_NETWORK");
static_assert(ours::k_PORT_TYPE_WRITE == PORT_TYPE_WRITE, "PORT_TYPE_WRITE");
static_assert(ours::k_PORT_TYPE_NET_ATTACHED == PORT_TYPE_NET_ATTACHED, "PORT_TYPE_NET_ATTACHED");
static_assert(ours::k_DIGCF_PRESENT == DIGCF_PRESENT, "DIGCF_PRESENT");
static_assert(ours::k_DIGCF_DEVICEINTERFACE == DIGCF_DEVICEINTERFACE, "DIGCF_DEVICEINTERFACE");
static_assert(ours::k_DRIVE_CDROM == DRIVE_CDROM, "DRIVE_CDROM");
static_assert(ours::k_KEY_READ == KEY_READ, "KEY_READ");
static_assert(ours::k_GPTR == GPTR, "GPTR");
static_assert(ours::k_FORMAT_MESSAGE_ALLOCATE_BUFFER == FORMAT_MESSAGE_ALLOCATE_BUFFER, "FORMAT_MESSAGE_ALLOCATE_BUFFER");
static_assert(ours::k_NORM_IGNORECASE == NORM_IGNORECASE, "NORM_IGNORECASE");
static_assert(ours::k_CSTR_EQUAL == CSTR_EQUAL, "CSTR_EQUAL");
static_assert(ours::k_OPEN_EXISTING == OPEN_EXISTING, "OPEN_EXISTING");
static_assert(ours::k_GENERIC_READ == GENERIC_READ, "GENERIC_READ");
static_assert(ours::k_WM_TIMER == WM_TIMER, "WM_TIMER");
static_assert(ours::k_WM_COMMAND == WM_COMMAND, "WM_COMMAND");
static_assert(ours::k_WM_INITDIALOG == WM_INITDIALOG, "WM_INITDIALOG");
static_assert(ours::k_MB_ICONEXCLAMATION == MB_ICONEXCLAMATION, "MB_ICONEXCLAMATION");
static_assert(ours::k_IDOK == IDOK, "IDOK");
static_assert(ours::k_IDCANCEL == IDCANCEL, "IDCANCEL");
static_assert(ours::k_MAX_PATH == MAX_PATH, "MAX_PATH");

#undef SAME_SIZE
#undef SAME_FIELD

// Function pointers of the same shape but differently spelt types; going
// through the generic function pointer type says that on purpose.
template <class To, class From>
To functionCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

::HWND win(os::HWND window) { return reinterpret_cast<::HWND>(window); }
::HKEY win(os::HKEY key) { return reinterpret_cast<::HKEY>(key); }
::HMODULE win(os::HMODULE module) { return reinterpret_cast<::HMODULE>(module); }

}  // namespace

// ---- System information, errors, heap, time --------------------------------------------
os::BOOL os::GetVersionExA(os::OSVERSIONINFOA* info) {
    return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(info));
}

os::DWORD os::GetLastError() { return ::GetLastError(); }
void os::SetLastError(os::DWORD code) { ::SetLastError(code); }

os::DWORD os::FormatMessageA(os::DWORD flags, os::LPCVOID source, os::DWORD messageId,
                             os::DWORD languageId, os::LPSTR buffer, os::DWORD size,
                             void* arguments) {
    return ::FormatMessageA(flags, source, messageId, languageId, buffer, size,
                            static_cast<va_list*>(arguments));
}

os::HLOCAL os::LocalFree(os::HLOCAL mem) { return ::LocalFree(mem); }
os::HGLOBAL os::GlobalAlloc(os::UINT flags, std::size_t bytes) { return ::GlobalAlloc(flags, bytes); }
os::HGLOBAL os::GlobalFree(os::HGLOBAL mem) { return ::GlobalFree(mem); }
void os::Sleep(os::DWORD ms) { ::Sleep(ms); }

// ---- Process image and command line ---------------------------------------------------
os::LPSTR os::GetCommandLineA() { return ::GetCommandLineA(); }
os::DWORD os::GetModuleFileNameA(os::HMODULE module, os::LPSTR buffer, os::DWORD size) {
    return ::GetModuleFileNameA(win(module), buffer, size);
}

// ---- Code page ------------------------------------------------------------------------
os::BOOL os::IsDBCSLeadByte(os::BYTE c) { return ::IsDBCSLeadByte(c); }
os::DWORD os::CharUpperBuffA(os::LPSTR text, os::DWORD length) { return ::CharUpperBuffA(text, length); }
int os::CompareStringA(os::LCID locale, os::DWORD flags, os::LPCSTR a, int aLength, os::LPCSTR b,
                       int bLength) {
    return ::CompareStringA(locale, flags, a, aLength, b, bLength);
}

// ---- Run-time binding -----------------------------------------------------------------
os::HMODULE os::LoadLibraryA(os::LPCSTR name) {
    return reinterpret_cast<os::HMODULE>(::LoadLibraryA(name));
}
os::FARPROC os::GetProcAddress(os::HMODULE module, os::LPCSTR name) {
    return functionCast<os::FARPROC>(::GetProcAddress(win(module), name));
}
os::BOOL os::FreeLibrary(os::HMODULE module) { return ::FreeLibrary(win(module)); }

// ---- Device I/O -------------------------------------------------------------------------
os::HANDLE os::CreateFileA(os::LPCSTR path, os::DWORD access, os::DWORD share, void* security,
                           os::DWORD disposition, os::DWORD flags, os::HANDLE templateFile) {
    return ::CreateFileA(path, access, share, static_cast<::LPSECURITY_ATTRIBUTES>(security),
                         disposition, flags, templateFile);
}
os::BOOL os::DeviceIoControl(os::HANDLE device, os::DWORD code, os::LPVOID in, os::DWORD inSize,
                             os::LPVOID out, os::DWORD outSize, os::LPDWORD returned,
                             void* overlapped) {
    return ::DeviceIoControl(device, code, in, inSize, out, outSize, returned,
                             static_cast<::LPOVERLAPPED>(overlapped));
}
os::BOOL os::CloseHandle(os::HANDLE handle) { return ::CloseHandle(handle); }

// ---- Registry (read only) ---------------------------------------------------------------
os::LONG os::RegOpenKeyExA(os::HKEY key, os::LPCSTR subKey, os::DWORD options, os::REGSAM access,
                           os::HKEY* result) {
    return ::RegOpenKeyExA(win(key), subKey, options, access, reinterpret_cast<::HKEY*>(result));
}
os::LONG os::RegQueryInfoKeyA(os::HKEY key, os::LPSTR className, os::LPDWORD classSize,
                              os::LPDWORD reserved, os::LPDWORD subKeys,
                              os::LPDWORD maxSubKeyLength, os::LPDWORD maxClassLength,
                              os::LPDWORD values, os::LPDWORD maxValueNameLength,
                              os::LPDWORD maxValueLength, os::LPDWORD securityDescriptorSize,
                              void* lastWriteTime) {
    return ::RegQueryInfoKeyA(win(key), className, classSize, reserved, subKeys, maxSubKeyLength,
                              maxClassLength, values, maxValueNameLength, maxValueLength,
                              securityDescriptorSize, static_cast<::PFILETIME>(lastWriteTime));
}
os::LONG os::RegEnumKeyExA(os::HKEY key, os::DWORD index, os::LPSTR name, os::LPDWORD nameSize,
                           os::LPDWORD reserved, os::LPSTR className, os::LPDWORD classSize,
                           void* lastWriteTime) {
    return ::RegEnumKeyExA(win(key), index, name, nameSize, reserved, className, classSize,
                           static_cast<::PFILETIME>(lastWriteTime));
}
os::LONG os::RegQueryValueExA(os::HKEY key, os::LPCSTR valueName, os::LPDWORD reserved,
                              os::LPDWORD type, os::LPBYTE data, os::LPDWORD dataSize) {
    return ::RegQueryValueExA(win(key), valueName, reserved, type, data, dataSize);
}
os::LONG os::RegCloseKey(os::HKEY key) { return ::RegCloseKey(win(key)); }

// ---- Print spooler ----------------------------------------------------------------------
os::BOOL os::EnumPrintersA(os::DWORD flags, os::LPSTR name, os::DWORD level, os::LPBYTE buffer,
                           os::DWORD size, os::LPDWORD needed, os::LPDWORD returned) {
    return ::EnumPrintersA(flags, name, level, buffer, size, needed, returned);
}
os::BOOL os::EnumPortsA(os::LPSTR server, os::DWORD level, os::LPBYTE buffer, os::DWORD size,
                        os::LPDWORD needed, os::LPDWORD returned) {
    return ::EnumPortsA(server, level, buffer, size, needed, returned);
}
os::BOOL os::EnumPrinterDriversA(os::LPSTR server, os::LPSTR environment, os::DWORD level,
                                 os::LPBYTE buffer, os::DWORD size, os::LPDWORD needed,
                                 os::LPDWORD returned) {
    return ::EnumPrinterDriversA(server, environment, level, buffer, size, needed, returned);
}
os::BOOL os::OpenPrinterA(os::LPSTR name, os::HANDLE* printer, os::PRINTER_DEFAULTSA* defaults) {
    return ::OpenPrinterA(name, printer, reinterpret_cast<::PRINTER_DEFAULTSA*>(defaults));
}
os::BOOL os::GetPrinterA(os::HANDLE printer, os::DWORD level, os::LPBYTE buffer, os::DWORD size,
                         os::LPDWORD needed) {
    return ::GetPrinterA(printer, level, buffer, size, needed);
}
os::BOOL os::SetPrinterA(os::HANDLE printer, os::DWORD level, os::LPBYTE info, os::DWORD command) {
    return ::SetPrinterA(printer, level, info, command);
}
os::HANDLE os::AddPrinterA(os::LPSTR server, os::DWORD level, os::LPBYTE info) {
    return ::AddPrinterA(server, level, info);
}
os::BOOL os::DeletePrinter(os::HANDLE printer) { return ::DeletePrinter(printer); }
os::BOOL os::DeletePrinterDriverA(os::LPSTR server, os::LPSTR environment, os::LPSTR driverName) {
    return ::DeletePrinterDriverA(server, environment, driverName);
}
os::BOOL os::ClosePrinter(os::HANDLE printer) { return ::ClosePrinter(printer); }

// ---- Drives, files and processes ------------------------------------------------------
os::DWORD os::GetLogicalDrives() { return ::GetLogicalDrives(); }
os::UINT os::GetDriveTypeA(os::LPCSTR root) { return ::GetDriveTypeA(root); }
os::HANDLE os::FindFirstFileA(os::LPCSTR path, os::WIN32_FIND_DATAA* data) {
    return ::FindFirstFileA(path, reinterpret_cast<::WIN32_FIND_DATAA*>(data));
}
os::BOOL os::FindClose(os::HANDLE find) { return ::FindClose(find); }
os::DWORD os::GetPrivateProfileStringA(os::LPCSTR section, os::LPCSTR key, os::LPCSTR defaultValue,
                                       os::LPSTR buffer, os::DWORD size, os::LPCSTR path) {
    return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}
os::BOOL os::CreateProcessA(os::LPCSTR application, os::LPSTR commandLine, void* processSecurity,
                            void* threadSecurity, os::BOOL inheritHandles, os::DWORD creationFlags,
                            os::LPVOID environment, os::LPCSTR currentDirectory,
                            os::STARTUPINFOA* startup, os::PROCESS_INFORMATION* info) {
    return ::CreateProcessA(application, commandLine,
                            static_cast<::LPSECURITY_ATTRIBUTES>(processSecurity),
                            static_cast<::LPSECURITY_ATTRIBUTES>(threadSecurity), inheritHandles,
                            creationFlags, environment, currentDirectory,
                            reinterpret_cast<::STARTUPINFOA*>(startup),
                            reinterpret_cast<::PROCESS_INFORMATION*>(info));
}

// ---- Windows, dialogs, timers, message boxes -------------------------------------------
int os::MessageBoxA(os::HWND owner, os::LPCSTR text, os::LPCSTR caption, os::UINT type) {
    return ::MessageBoxA(win(owner), text, caption, type);
}
os::HWND os::CreateDialogParamA(os::HINSTANCE instance, os::UINT templateId, os::HWND parent,
                                os::DLGPROC proc, os::LPARAM param) {
    // The template lives in the program's own image unless a module is named.
    ::HINSTANCE module = instance ? win(instance) : ::GetModuleHandleA(nullptr);
    return reinterpret_cast<os::HWND>(::CreateDialogParamA(module, MAKEINTRESOURCEA(templateId),
                                                           win(parent),
                                                           functionCast<::DLGPROC>(proc), param));
}
os::BOOL os::EndDialog(os::HWND dialog, os::LONG_PTR result) { return ::EndDialog(win(dialog), result); }
os::BOOL os::DestroyWindow(os::HWND window) { return ::DestroyWindow(win(window)); }
int os::GetMessageA(os::MSG* msg, os::HWND window, os::UINT filterMin, os::UINT filterMax) {
    return ::GetMessageA(reinterpret_cast<::MSG*>(msg), win(window), filterMin, filterMax);
}
os::BOOL os::IsDialogMessageA(os::HWND dialog, os::MSG* msg) {
    return ::IsDialogMessageA(win(dialog), reinterpret_cast<::MSG*>(msg));
}
os::BOOL os::TranslateMessage(const os::MSG* msg) {
    return ::TranslateMessage(reinterpret_cast<const ::MSG*>(msg));
}
os::LRESULT os::DispatchMessageA(const os::MSG* msg) {
    return ::DispatchMessageA(reinterpret_cast<const ::MSG*>(msg));
}
os::BOOL os::ShowWindow(os::HWND window, int command) { return ::ShowWindow(win(window), command); }
os::LONG os::GetWindowLongA(os::HWND window, int index) { return ::GetWindowLongA(win(window), index); }
os::LONG os::SetWindowLongA(os::HWND window, int index, os::LONG value) {
    return ::SetWindowLongA(win(window), index, value);
}
os::BOOL os::SetWindowPos(os::HWND window, os::HWND after, int x, int y, int cx, int cy,
                          os::UINT flags) {
    return ::SetWindowPos(win(window), win(after), x, y, cx, cy, flags);
}
os::UINT_PTR os::SetTimer(os::HWND window, os::UINT_PTR id, os::UINT elapseMs, os::TIMERPROC proc) {
    return ::SetTimer(win(window), id, elapseMs, functionCast<::TIMERPROC>(proc));
}
os::BOOL os::KillTimer(os::HWND window, os::UINT_PTR id) { return ::KillTimer(win(window), id); }

// ---- Trace sink -------------------------------------------------------------------------
// A trace build shows its lines in the debugger (or DebugView); each text
// carries its own line breaks. The delivered build never calls this, and
// does not even import the debugger's output call.
void os::TraceWrite(const char* text, bool) {
    if constexpr (os::kTraceKept) ::OutputDebugStringA(text);
    else (void)text;
}
