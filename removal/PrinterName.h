// The virtual printer's name as the command line gives it.
#pragma once

#include "platform/cstring.h"

// The name in `commandText`: the whole text when it holds no double quote,
// otherwise what stands between the first two double quotes (empty when the
// second is missing). Quotes are found character by character in the
// system's code page, so the second byte of a double-byte character is never
// taken for one.
CString PrinterNameFromCommandLine(const CString& commandText);
