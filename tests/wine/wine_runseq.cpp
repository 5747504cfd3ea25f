// Wine test helper: the program's own subsystems against Wine's spooler,
// registry and drives. Wine has no USB printer, so the fields that the USB
// port scan would fill come from the command line; everything else is the
// run sequence's own work, through the same code as PrinterPort.exe:
// removal of the virtual printer, the maker's driver registry lookup, the
// installed-driver comparison with the moving, adding and defaulting of
// printers, the CD-ROM setup launch, and the second removal.
//
//   wine_runseq.exe COMMAND-TEXT DEVICE-ID PORT-NUMBER
// COMMAND-TEXT is what PrinterPort.exe would find after its own name; the
// DEVICE-ID ("MFG:Acme;MDL:Photo 1;") is parsed by the program's parser.
// Prints one JSON line with the results the run sequence steers by.
#include <cstdio>
#include <cstdlib>

#include "app/PrinterPortApp.h"
#include "usb/DeviceId.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wine_runseq COMMAND-TEXT DEVICE-ID PORT-NUMBER\n");
        return 2;
    }
    CPrinterPortApp app;
    app.m_lpCmdLine = argv[1];
    GetOSVersion(&app.m_osVersion);
    app.m_bDriverMissing = 1;
    app.m_nDriverCount = 0;

    const bool removed = app.MyDeleteVirtualPrinter() != 0;

    // What the USB port scan leaves behind for one printer on that port.
    const bool parsed = ParseDeviceID(argv[2], &app.m_strMFG, &app.m_strMDL, &app.m_strDeviceKey);
    app.m_strPortName.Format("USB%03d", std::atoi(argv[3]));

    const bool found = app.MyReadDeviceID() != 0;
    if (found) app.MyComparePrinterDriverInfo();
    const bool driverMissing = app.m_bDriverMissing != 0;
    const bool autoRun = driverMissing && app.MyRunAutoRun() != 0;
    const bool removedLater = !removed && app.MyDeleteVirtualPrinter() != 0;

    std::printf("{\"removed\": %s, \"parsed\": %s, \"deviceKey\": \"%s\", \"driversFound\": %s, "
                "\"driverCount\": %d, \"driverMissing\": %s, \"autoRun\": %s, \"removedLater\": %s}\n",
                removed ? "true" : "false", parsed ? "true" : "false", app.m_strDeviceKey.c_str(),
                found ? "true" : "false", app.m_nDriverCount, driverMissing ? "true" : "false",
                autoRun ? "true" : "false", removedLater ? "true" : "false");
    return 0;
}
