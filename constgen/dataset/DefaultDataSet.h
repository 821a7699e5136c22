/* The default data set: every integer constant (object-like macro or enumerator) that the
   MinGW-w64 headers below define for 32-bit x86 Windows, ANSI, as i686-w64-mingw32-gcc computes
   it. The build compiles this header with that compiler; the test of the data set compiles it
   again to check every value. Version macros keep the headers' defaults (_WIN32_WINNT, WINVER
   and _WIN32_IE 0xA00).

   The headers that cannot share this translation unit make groups of their own
   (DefaultDataSet*.h beside this one): each defines DRUX_DATA_SET_PRELUDE_ONLY and includes this
   header for the same feature macros and system headers, then its own headers. A name defined
   here wins over the same name in a group. */
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

#ifndef DRUX_DATA_SET_PRELUDE_ONLY
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
/* Before d2d1.h, which redefines DECLARE_INTERFACE for C without the typedef of the interface
   that d3d11shader.h's declarations use. */
#include <d3dcompiler.h>
#include <dxgi.h>

/* Kernel, devices and drivers' user-mode interfaces */
#include <winternl.h>
#include <ntddscsi.h>
#include <ntddstor.h>
#include <ntdddisk.h>
#include <ntddkbd.h>
#include <ntddmou.h>
#include <ntddpar.h>
#include <ntddcdrm.h>
#include <ntddndis.h>
#include <virtdisk.h>
#include <winhvplatform.h>
#include <fltuser.h>
#include <hidpi.h>
#include <hidusage.h>
#include <devguid.h>
#include <devpkey.h>
#include <usbiodef.h>
#include <usbioctl.h>
#include <usb.h>
#include <usb100.h>
#include <usb200.h>
#include <usbspec.h>
#include <winusb.h>
#include <bluetoothapis.h>
#include <bthsdpdef.h>
#include <bthdef.h>
#include <ws2bth.h>
#include <sensorsapi.h>
#include <locationapi.h>
#include <sti.h>
#include <wia.h>
#include <tbs.h>

/* Event tracing, event log, WMI and performance */
#include <evntrace.h>
#include <evntprov.h>
#include <evntcons.h>
#include <tdh.h>
#include <winevt.h>
#include <wmistr.h>
#include <wbemidl.h>
#include <winperf.h>
#include <wct.h>
#include <imagehlp.h>

/* Shell, UI Automation, text services, HTML and XML */
#include <shellscalingapi.h>
#include <uiautomation.h>
#include <propkey.h>
#include <propsys.h>
#include <functiondiscoverykeys_devpkey.h>
#include <thumbcache.h>
#include <commoncontrols.h>
#include <shldisp.h>
#include <intshcut.h>
#include <inputscope.h>
#include <msctf.h>
#include <tom.h>
#include <ime.h>
#include <winnls32.h>
#include <wincon.h>
#include <oledlg.h>
#include <objsel.h>
#include <ocidl.h>
#include <dispex.h>
#include <activscp.h>
#include <urlmon.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <mshtmcid.h>
#include <xmllite.h>
#include <msxml2.h>
#include <wincodecsdk.h>
#include <mstask.h>
#include <mapi.h>
#include <wmp.h>

/* Security, directory services and printing */
#include <schannel.h>
#include <security.h>
#include <ntsecpkg.h>
#include <winsafer.h>
#include <authz.h>
#include <aclui.h>
#include <cryptuiapi.h>
#include <mscat.h>
#include <winefs.h>
#include <dsgetdc.h>
#include <dsrole.h>
#include <ntdsapi.h>
#include <activeds.h>
#include <lmjoin.h>
#include <lmstats.h>
#include <winber.h>
#include <winsplp.h>
#include <xpsobjectmodel.h>
#include <xpsprint.h>
#include <documenttarget.h>
#include <prntvpt.h>
#include <fci.h>
#include <fdi.h>

/* More networking */
#include <netioapi.h>
#include <icmpapi.h>
#include <ipexport.h>
#include <iprtrmib.h>
#include <fwpmu.h>
#include <netcon.h>
#include <windot11.h>
#include <nb30.h>
#include <svcguid.h>
#include <nspapi.h>
#include <wsipx.h>
#include <wsnwlink.h>
#include <af_irda.h>
#include <winsnmp.h>
#include <mgmtapi.h>
#include <dhcpcsdk.h>
#include <sensapi.h>
#include <rpcproxy.h>

/* More multimedia, speech, Direct2D, DirectWrite, DXGI and Direct3D */
#include <msacm.h>
#include <mciavi.h>
#include <audiopolicy.h>
#include <xaudio2.h>
#include <xapo.h>
#include <sapi.h>
#include <sperror.h>
#include <dinputd.h>
#include <dmusici.h>
#include <dplay.h>
#include <dplay8.h>
#include <dxfile.h>
#include <dxtmpl.h>
#include <d2d1.h>
#include <d2d1_1.h>
#include <d2d1effects.h>
#include <d2d1helper.h>
#include <d2d1_1helper.h>
#include <dcommon.h>
#include <dwrite.h>
#include <dwrite_1.h>
#include <dwrite_2.h>
#include <dwrite_3.h>
#include <dxgi1_2.h>
#include <dxgi1_3.h>
#include <dxgi1_4.h>
#include <dxgi1_5.h>
#include <dxgi1_6.h>
#include <dxgidebug.h>
#include <d3d10_1.h>
#include <d3d11_1.h>
#include <d3d11_2.h>
#include <d3d11_3.h>
#include <d3d11_4.h>
#include <d3d11sdklayers.h>
#include <d3d12sdklayers.h>

#endif /* DRUX_DATA_SET_PRELUDE_ONLY */

#endif
