// Host (Linux) build only. The portable parts of Varnelo include <windows.h>;
// in the native build this header answers instead of the real one. It declares
// just the types, constants and functions those parts use, with the Windows
// names, widths and status codes. The functions are defined by the in-memory
// registry (memreg.cpp) and the scripted colour dialog (fake_commdlg.cpp).
#pragma once

#include <cstdint>

using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using LSTATUS = LONG;
using REGSAM = DWORD;
using COLORREF = DWORD;
using ULONG_PTR = std::uintptr_t;
using LPARAM = std::intptr_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using UINT = unsigned;
using INT_PTR = std::intptr_t;

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HANDLE = void*;
using FARPROC = INT_PTR (*)();

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  void* lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

#define WINAPI
#define TRUE 1
#define FALSE 0

// Predefined root keys, with the values Windows gives them.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

// Status codes (winerror.h).
inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
inline constexpr LSTATUS ERROR_PATH_NOT_FOUND = 3;
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
inline constexpr LSTATUS ERROR_INVALID_DATA = 13;
inline constexpr LSTATUS ERROR_INVALID_DRIVE = 15;
inline constexpr LSTATUS ERROR_SHARING_VIOLATION = 32;
inline constexpr LSTATUS ERROR_HANDLE_DISK_FULL = 39;
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
inline constexpr LSTATUS ERROR_DISK_FULL = 112;
inline constexpr LSTATUS ERROR_INVALID_NAME = 123;
inline constexpr LSTATUS ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr LSTATUS ERROR_MORE_DATA = 234;
inline constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
inline constexpr LSTATUS ERROR_KEY_DELETED = 1018;
inline constexpr LSTATUS ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr LSTATUS ERROR_BAD_DEVICE = 1200;
inline constexpr LSTATUS ERROR_FILE_READ_ONLY = 6009;

// Value types (winnt.h).
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Key rights and options.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);
LSTATUS RegQueryValueExW(HKEY key, const wchar_t* valueName, LPDWORD reserved, LPDWORD type,
                         LPBYTE data, LPDWORD dataSize);
LSTATUS RegSetValueExW(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD dataSize);
LSTATUS RegDeleteValueW(HKEY key, const wchar_t* valueName);
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPSTR keyClass, LPDWORD classSize, PFILETIME lastWriteTime);
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, LPDWORD nameSize, LPDWORD reserved,
                      wchar_t* keyClass, LPDWORD classSize, PFILETIME lastWriteTime);
LSTATUS RegCloseKey(HKEY key);

// The 8-bit code page (memreg.cpp): 1252 as Latin-1, or a part of 932, with
// Windows' best fit for a few characters each lacks and '?' for the rest.
inline constexpr UINT CP_ACP = 0;
UINT GetACP();
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int byteLength, wchar_t* wide,
                        int wideSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* wide, int wideLength,
                        LPSTR bytes, int byteSize, LPCSTR defaultChar, BOOL* usedDefault);

// Used by tests to prepare and inspect a tree, as on Windows.
LSTATUS RegOverridePredefKey(HKEY key, HKEY newKey);
LSTATUS RegDeleteTreeA(HKEY key, LPCSTR subKey);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize);

// The common colour dialog (commdlg.h), 8-bit form.
using LPCCHOOKPROC = std::uintptr_t (*)(HWND, unsigned, std::uintptr_t, LPARAM);
struct CHOOSECOLORA {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
};
using LPCHOOSECOLORA = CHOOSECOLORA*;
inline constexpr DWORD CC_RGBINIT = 0x00000001;

BOOL ChooseColorA(LPCHOOSECOLORA request);

// Loading a system DLL (fake_commdlg.cpp): the system folder is
// C:\WINDOWS\system32 and holds comdlg32.dll, which exports ChooseColorA.
inline constexpr UINT MAX_PATH = 260;
inline constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;
UINT GetSystemDirectoryW(wchar_t* buffer, UINT size);
HMODULE LoadLibraryExW(const wchar_t* path, HANDLE reserved, DWORD flags);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
