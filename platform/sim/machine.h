// The simulated Windows 9x machine: all of its state, and the gate through
// which every simulated system call passes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/sim/drives.h"
#include "platform/sim/json_in.h"
#include "platform/sim/libraries.h"
#include "platform/sim/registry.h"
#include "platform/sim/spooler.h"
#include "platform/sim/usb.h"
#include "platform/sim/windows.h"

namespace sim {

struct OsInfo {
    os::DWORD platformId = os::VER_PLATFORM_WIN32_WINDOWS;
    os::DWORD major = 4;
    os::DWORD minor = 10;
    os::DWORD build = 0x040A08AE;  // 4.10.2222, Windows 98 Second Edition
    std::string csd = " A ";
    // Windows 98 refuses the 156-byte OSVERSIONINFOEXA and takes only the 148-byte record.
    bool acceptsVersionInfoEx = false;
    bool refusesVersionQuery = false;
};

// Makes a call fail for its n-th invocation and `times` invocations in all
// (times -1: every invocation from the n-th on), with `error` as last error.
struct FaultRule {
    std::string call;
    long nth = 1;
    long times = 1;
    os::DWORD error = os::ERROR_GEN_FAILURE;
};

class Faults {
public:
    std::vector<FaultRule> rules;
    // Counts one invocation of `call`; true (with *error set) when a rule fails it.
    bool fail(const char* call, os::DWORD* error);
    long count(const std::string& call) const;
    // Every invocation in order, when recording is on.
    bool recording = false;
    std::vector<std::string> log;

private:
    std::map<std::string, long> m_counts;
};

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    os::UINT flags = 0;
};

struct ProcessRecord {
    std::string commandLine;
    os::DWORD creationFlags = 0;
    bool inheritHandles = false;
    std::string currentDirectory;
};

// What the user and other programs would see of a run.
struct Records {
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<ProcessRecord> processes;
    std::vector<std::string> trace;
    std::vector<std::string> reports;
    // Set when a message loop could never have ended and was stopped.
    std::string stalled;
    // The retry dialog: whether it was created, and the code it was ended with.
    bool dialogRan = false;
    bool dialogEnded = false;
    long dialogResult = 0;
};

// Resources handed out and not yet given back, by kind ("heap", "printerHandles", ...).
class Held {
public:
    void acquire(const char* kind, long n = 1) { m_counts[kind] += n; }
    void release(const char* kind, long n = 1) { m_counts[kind] -= n; }
    long count(const char* kind) const;
    // Every kind ever used, with what is still held (0 when all came back).
    const std::map<std::string, long>& all() const { return m_counts; }
    long total() const;

private:
    std::map<std::string, long> m_counts;
};

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Reads a machine file's JSON; throws MachineFileError. `baseDir` resolves
    // relative file names (registryFiles).
    void load(const json& file, const std::string& baseDir);
    // The machine in the machine-file schema.
    json save() const;

    OsInfo os;
    int codePage = 1252;
    Libraries libraries;
    Usb usb;
    Registry registry;
    Spooler spooler;
    Drives drives;
    WindowManager windows;
    std::vector<InputEvent> events;

    Faults faults;
    Held held;
    Records records;

    std::uint64_t nowMs = 0;
    // A message loop still waiting after this much virtual time is stopped.
    std::uint64_t stallLimitMs = 24ull * 3600 * 1000;
    os::DWORD lastError = 0;
    std::string commandLine = "PrinterPort.exe";
    std::string modulePath = "C:\\WINDOWS\\TEMP\\PrinterPort.exe";
    bool versionQueried = false;

    // Kernel object handles (devices, find handles, processes, threads):
    // CloseHandle and FindClose give them back. `kind` is the Held kind.
    struct KernelObject {
        std::string kind;
        std::size_t index = 0;  // what the owner of the kind keeps about it
    };
    os::HANDLE openKernelHandle(const std::string& kind, std::size_t index = 0);
    // The object behind an open handle; null when the handle is not open.
    const KernelObject* kernelObject(os::HANDLE handle) const;
    bool closeKernelHandle(os::HANDLE handle);

    // Heap blocks handed out by GlobalAlloc/LocalAlloc, by address.
    std::map<const void*, std::size_t> heapBlocks;
    char* allocText(const std::string& text);  // LocalAlloc'ed copy, as FormatMessageA gives

private:
    std::map<os::HANDLE, KernelObject> m_kernelObjects;
    std::uintptr_t m_nextKernelHandle = 0x100;
};

// The machine that the simulated calls act on.
Machine& machine();
bool hasMachine();

// Makes `m` the current machine for its lifetime.
class Session {
public:
    explicit Session(Machine& m);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

private:
    Machine* m_previous;
};

// The gate: counts the call and says whether a fault rule fails it; when it
// does, the thread's last error is set to the rule's code.
bool failCall(const char* call);
// The same, giving the code instead (for calls that return it, like Reg*).
bool failCall(const char* call, os::DWORD* error);

}  // namespace sim
