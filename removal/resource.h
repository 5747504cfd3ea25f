// Resource ids and the look of the retry dialog: shared by the resource
// script of the Windows build and the simulated machine's program image.
#pragma once

#define IDD_RETRYDELETE 130
// WS_POPUP | DS_MODALFRAME | DS_SETFONT: no WS_VISIBLE, no caption, no system menu.
#define RETRY_DIALOG_STYLE 0x800000C0
#define RETRY_DIALOG_EXSTYLE 0
