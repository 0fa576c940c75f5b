// Declarations of the Win32 functions, types and constants the module uses, for the
// native build. Each function behaves as Windows does for the calls the module makes,
// records the call, and aborts with a message on any use the stand-in does not model.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCSTR = const char*;
using LPDWORD = DWORD*;
using PBYTE = BYTE*;

struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
struct HWND__;
using HWND = HWND__*;
using FARPROC = std::intptr_t (*)();

#define WINAPI

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_PIN = 0x00000001;

constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;

constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;

// Loader.
HMODULE WINAPI GetModuleHandleA(LPCSTR module_name);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR proc_name);
BOOL WINAPI GetModuleHandleExA(DWORD flags, LPCSTR module_name, HMODULE* module);

// Windows and keyboard.
HWND WINAPI FindWindowA(LPCSTR class_name, LPCSTR window_name);
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD process_id);
DWORD WINAPI GetCurrentThreadId();
BOOL WINAPI AttachThreadInput(DWORD attach, DWORD attach_to, BOOL do_attach);
BOOL WINAPI GetKeyboardState(PBYTE key_state);
BOOL WINAPI SetKeyboardState(PBYTE key_state);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
