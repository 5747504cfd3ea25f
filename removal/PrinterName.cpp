#include "removal/PrinterName.h"

CString PrinterNameFromCommandLine(const CString& commandText) {
    int open = commandText.Find('"');
    if (open < 0) return commandText;
    int close = commandText.Find('"', open + 1);
    if (close < 0) return CString();
    return commandText.Mid(open + 1, close - open - 1);
}
