// The IEEE 1284 device ID of a USB printer: its MFG and MDL fields and the
// device key made from them.
#pragma once

#include "platform/cstring.h"

// Longest device key: the MFG and MDL values run together, cut to this.
constexpr int kDeviceKeyMax = 20;

// False when the ID text is empty. Otherwise `mfg` and `mdl` receive the
// upper-cased values of the first "MFG:" and "MDL:" fields (empty when the
// field is missing or has no ';' after it), and `deviceKey` the two run
// together, blanks made '_', at most kDeviceKeyMax characters.
bool ParseDeviceID(CString idText, CString* mfg, CString* mdl, CString* deviceKey);
