/* The default data set: every integer constant (object-like macro or enumerator) that the
   MinGW-w64 headers below define for 32-bit x86 Windows, ANSI, as i686-w64-mingw32-gcc computes
   it. The build compiles this header with that compiler; the test of the data set compiles it
   again to check every value. Version macros keep the headers' defaults (_WIN32_WINNT, WINVER
   and _WIN32_IE 0xA00). */
#ifndef DRUX_DEFAULT_DATA_SET_H
#define DRUX_DEFAULT_DATA_SET_H

/* Feature macros that switch on groups of constants, defined for the whole set. */
#define OEMRESOURCE 1    /* OBM_*, OCR_*, OIC_* in winuser.h */
#define SECURITY_WIN32 1 /* user-mode SSPI in sspi.h */
#define DIRECTINPUT_VERSION 0x0800

/* winnt.h and ntstatus.h both define the common STATUS_* codes; winnt.h leaves them to
   ntstatus.h under WIN32_NO_STATUS. */
#define WIN32_NO_STATUS
/* Sockets first: windows.h would otherwise bring the old winsock.h, which conflicts. */
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>
#include <mstcpip.h>
#include <windows.h>
#undef WIN32_NO_STATUS
#include <ntstatus.h>
#include <winerror.h>
/* Before pdh.h, which leaves HLOG to lmerrlog.h when that came first. */
#include <lm.h>

/* User interface */
#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>
#include <dlgs.h>
#include <richedit.h>
#include <richole.h>
#include <prsht.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <dwmapi.h>
#include <imm.h>
#include <oleacc.h>
#include <dbt.h>

/* Shell, COM and OLE */
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <objbase.h>
#include <ole2.h>
#include <olectl.h>
#include <dde.h>
#include <ddeml.h>
#include <taskschd.h>
#include <netfw.h>
#include <wincodec.h>

/* System, devices and security */
#include <winioctl.h>
#include <winsvc.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <hidsdi.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <dbghelp.h>
#include <powrprof.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <userenv.h>
#include <wtsapi32.h>
#include <winver.h>
#include <winspool.h>
#include <msi.h>
#include <msiquery.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <bcrypt.h>
#include <ncrypt.h>
#include <wincred.h>
#include <sddl.h>
#include <aclapi.h>
#include <ntsecapi.h>
#include <sspi.h>
#include <winscard.h>

/* Networking */
#include <iphlpapi.h>
#include <wininet.h>
#include <winnetwk.h>
#include <ras.h>
#include <raserror.h>
#include <tapi.h>
#include <windns.h>
#include <winldap.h>
#include <wlanapi.h>

/* Multimedia and DirectX */
#include <mmsystem.h>
#include <mmreg.h>
#include <vfw.h>
#include <ddraw.h>
#include <vfwmsgs.h>
#include <mmdeviceapi.h>
#include <audioclient.h>
#include <mferror.h>
#include <dsound.h>
#include <dinput.h>
#include <xinput.h>
#include <d3d9.h>
#include <d3d10.h>
#include <d3d11.h>
#include <d3d12.h>
#include <dxgi.h>

#endif
