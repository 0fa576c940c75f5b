#include "standin/windows/main_window.h"

#include <algorithm>
#include <ostream>

#include "host/module_names.h"
#include "standin/shared/key_message_text.h"

namespace standin {

std::vector<ReceivedMessage> received_messages;

void PrintTo(const ReceivedMessage& message, std::ostream* out) {
  *out << KeyMessageText(message.message, message.wparam, message.lparam) << (message.control_down ? " Ctrl" : " no Ctrl")
       << (message.shift_down ? " Shift" : " no Shift");
}

namespace {

bool KeyDown(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      received_messages.push_back({message, static_cast<std::uint32_t>(wparam),
                                   static_cast<std::uint32_t>(lparam), KeyDown(VK_CONTROL),
                                   KeyDown(VK_SHIFT)});
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      // Only a window on its own thread ends that thread's message loop.
      if (GetWindowLongPtrA(window, GWLP_USERDATA) != 0) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

HWND CreateHiddenWindow(bool ends_thread_loop) {
  static const ATOM window_class = [] {
    WNDCLASSA description{};
    description.lpfnWndProc = MainWindowProcedure;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = kMainWindowClass;
    return RegisterClassA(&description);
  }();
  if (window_class == 0) {
    return nullptr;
  }
  // Hidden: focus events of a shown window could reset the key state mid-chord.
  HWND window = CreateWindowExA(0, kMainWindowClass, "Main window", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window != nullptr) {
    SetWindowLongPtrA(window, GWLP_USERDATA, ends_thread_loop ? 1 : 0);
  }
  return window;
}

struct ThreadStart {
  HANDLE created;
  HWND window;
};

DWORD WINAPI WindowThread(void* parameter) {
  ThreadStart& start = *static_cast<ThreadStart*>(parameter);
  HWND window = CreateHiddenWindow(true);
  start.window = window;
  // `start` lives in the creating thread's frame, which ends as soon as the event is set:
  // from here on this thread reads only its own copy.
  SetEvent(start.created);
  if (window == nullptr) {
    return 1;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

MainWindow CreateWindowOnThread(bool on_own_thread) {
  MainWindow window;
  if (!on_own_thread) {
    window.handle = CreateHiddenWindow(false);
    window.thread_id = GetCurrentThreadId();
    return window;
  }
  ThreadStart start{CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
  window.thread = CreateThread(nullptr, 0, WindowThread, &start, 0, &window.thread_id);
  WaitForSingleObject(start.created, INFINITE);
  CloseHandle(start.created);
  window.handle = start.window;
  return window;
}

void Destroy(const MainWindow& window) {
  if (window.thread != nullptr) {
    PostMessageA(window.handle, WM_CLOSE, 0, 0);
    WaitForSingleObject(window.thread, INFINITE);
    CloseHandle(window.thread);
  } else if (window.handle != nullptr) {
    DestroyWindow(window.handle);
  }
}

// The windows made and not yet destroyed, destroyed when the program ends: left to Wine's
// clean-up of an ended process, a window stays on the shared desktop for a while, where
// the next program's FindWindowA("FS98MAIN") would find it.
struct LiveWindows {
  std::vector<MainWindow> windows;
  ~LiveWindows() {
    for (const MainWindow& window : windows) {
      Destroy(window);
    }
  }
};

LiveWindows live_windows;

}  // namespace

MainWindow CreateMainWindow(bool on_own_thread) {
  MainWindow window = CreateWindowOnThread(on_own_thread);
  if (window.handle == nullptr) {
    window.problem = "cannot create a window of class FS98MAIN";
    return window;
  }
  const HWND found = FindWindowA(kMainWindowClass, nullptr);
  if (found != window.handle) {
    DWORD process = 0;
    GetWindowThreadProcessId(found, &process);
    Destroy(window);
    window = MainWindow{};
    window.problem = "FindWindowA(\"FS98MAIN\") finds a window of process " + std::to_string(process) +
                     " (this is " + std::to_string(GetCurrentProcessId()) + "), not the one just created";
    return window;
  }
  live_windows.windows.push_back(window);
  return window;
}

void DestroyMainWindow(MainWindow& window) {
  std::vector<MainWindow>& live = live_windows.windows;
  live.erase(std::remove_if(live.begin(), live.end(),
                            [&](const MainWindow& made) { return made.handle == window.handle; }),
             live.end());
  Destroy(window);
  window = MainWindow{};
}

}  // namespace standin
