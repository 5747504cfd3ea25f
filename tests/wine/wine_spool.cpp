// Wine test helper: prepares Wine's print spooler for a scenario and writes
// its state, through the spooler's own calls.
//
//   wine_spool.exe reset                         delete every printer and driver
//   wine_spool.exe driver NAME                   install a driver (Wine's PostScript driver files)
//   wine_spool.exe printer NAME DRIVER PORT ATTR add a printer; ATTR in hex
//   wine_spool.exe default NAME                  make NAME the default printer
//   wine_spool.exe dump                          print the spooler as JSON
// Several commands may follow each other in one call. Exit status 0 when every
// command worked, else 1 (with a line on standard error).
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string jsonText(const char* text) {
    std::string out = "\"";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '"' || *p == '\\') out += '\\';
        out += *p;
    }
    return out + "\"";
}

// One spooler enumeration with its two calls.
template <class Enum>
std::vector<BYTE> enumerate(Enum call, DWORD& count) {
    DWORD needed = 0;
    count = 0;
    call(nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!call(buffer.data(), needed, &needed, &count)) count = 0;
    return buffer;
}

bool fail(const char* what, const std::string& name) {
    std::fprintf(stderr, "wine_spool: %s %s failed: %lu\n", what, name.c_str(), GetLastError());
    return false;
}

bool resetSpooler() {
    DWORD count = 0;
    auto printers = enumerate(
        [](BYTE* b, DWORD n, DWORD* need, DWORD* got) {
            return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b, n, need, got);
        },
        count);
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(printers.data());
    bool ok = true;
    for (DWORD i = 0; i < count; ++i) {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterA(info[i].pPrinterName, &printer, &defaults)) {
            ok = fail("OpenPrinterA", info[i].pPrinterName);
            continue;
        }
        if (!DeletePrinter(printer)) ok = fail("DeletePrinter", info[i].pPrinterName);
        ClosePrinter(printer);
    }
    auto drivers = enumerate(
        [](BYTE* b, DWORD n, DWORD* need, DWORD* got) {
            return EnumPrinterDriversA(nullptr, nullptr, 1, b, n, need, got);
        },
        count);
    auto* driver = reinterpret_cast<DRIVER_INFO_1A*>(drivers.data());
    for (DWORD i = 0; i < count; ++i)
        if (!DeletePrinterDriverA(nullptr, nullptr, driver[i].pName)) ok = fail("DeletePrinterDriverA", driver[i].pName);
    return ok;
}

bool addDriver(const std::string& name) {
    // Wine's own PostScript driver serves every test driver.
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>(name.c_str());
    info.pDriverPath = const_cast<char*>("wineps.drv");
    info.pDataFile = const_cast<char*>("generic.ppd");
    info.pConfigFile = const_cast<char*>("wineps.drv");
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) || fail("AddPrinterDriverA", name);
}

bool addPrinter(const std::string& name, const std::string& driver, const std::string& port, DWORD attributes) {
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>(name.c_str());
    info.pDriverName = const_cast<char*>(driver.c_str());
    info.pPortName = const_cast<char*>(port.c_str());
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.Attributes = attributes;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) return fail("AddPrinterA", name);
    ClosePrinter(printer);
    return true;
}

bool setDefault(const std::string& name) {
    return SetDefaultPrinterA(name.c_str()) || fail("SetDefaultPrinterA", name);
}

void dump() {
    DWORD count = 0;
    std::string out = "{\"printers\": [";
    auto printers = enumerate(
        [](BYTE* b, DWORD n, DWORD* need, DWORD* got) {
            return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b, n, need, got);
        },
        count);
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(printers.data());
    for (DWORD i = 0; i < count; ++i) {
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, "%lu", info[i].Attributes);
        out += std::string(i ? ", " : "") + "{\"name\": " + jsonText(info[i].pPrinterName) +
               ", \"driver\": " + jsonText(info[i].pDriverName) + ", \"port\": " +
               jsonText(info[i].pPortName) + ", \"attributes\": " + attributes + "}";
    }
    out += "], \"drivers\": [";
    auto drivers = enumerate(
        [](BYTE* b, DWORD n, DWORD* need, DWORD* got) {
            return EnumPrinterDriversA(nullptr, nullptr, 1, b, n, need, got);
        },
        count);
    auto* driver = reinterpret_cast<DRIVER_INFO_1A*>(drivers.data());
    for (DWORD i = 0; i < count; ++i) out += std::string(i ? ", " : "") + jsonText(driver[i].pName);
    out += "], \"ports\": [";
    auto ports = enumerate(
        [](BYTE* b, DWORD n, DWORD* need, DWORD* got) { return EnumPortsA(nullptr, 1, b, n, need, got); },
        count);
    auto* port = reinterpret_cast<PORT_INFO_1A*>(ports.data());
    for (DWORD i = 0; i < count; ++i) out += std::string(i ? ", " : "") + jsonText(port[i].pName);
    char defaultName[512] = {};
    DWORD size = sizeof defaultName;
    out += "], \"defaultPrinter\": ";
    out += GetDefaultPrinterA(defaultName, &size) ? jsonText(defaultName) : "null";
    std::printf("%s}\n", out.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        std::string command = argv[i];
        auto need = [&](int n) {
            if (i + n < argc) return true;
            std::fprintf(stderr, "wine_spool: %s needs %d arguments\n", command.c_str(), n);
            std::exit(2);
        };
        if (command == "reset") {
            ok = resetSpooler() && ok;
        } else if (command == "driver" && need(1)) {
            ok = addDriver(argv[i + 1]) && ok;
            i += 1;
        } else if (command == "printer" && need(4)) {
            ok = addPrinter(argv[i + 1], argv[i + 2], argv[i + 3], std::strtoul(argv[i + 4], nullptr, 16)) && ok;
            i += 4;
        } else if (command == "default" && need(1)) {
            ok = setDefault(argv[i + 1]) && ok;
            i += 1;
        } else if (command == "dump") {
            dump();
        } else {
            std::fprintf(stderr, "wine_spool: unknown command %s\n", command.c_str());
            return 2;
        }
    }
    return ok ? 0 : 1;
}
