#include "standin/native/win32_input.h"

#include <ostream>
#include <strings.h>

#include "standin/native/unsupported.h"
#include "standin/shared/key_message_text.h"

namespace standin {

Input input;

namespace {

HWND Handle(std::size_t index) { return reinterpret_cast<HWND>(index + 1); }

StandinWindow& Window(HWND window) {
  const std::size_t index = reinterpret_cast<std::uintptr_t>(window) - 1;
  if (window == nullptr || index >= input.windows.size() || input.windows[index].destroyed) {
    Unsupported("a window handle that names no window");
  }
  return input.windows[index];
}

std::shared_ptr<KeyboardState>& Queue(DWORD thread) {
  std::shared_ptr<KeyboardState>& queue = input.keyboard[thread];
  if (!queue) {
    queue = std::make_shared<KeyboardState>();
  }
  return queue;
}

bool IsKnownThread(DWORD thread) {
  if (thread == input.current_thread) {
    return true;
  }
  for (const StandinWindow& window : input.windows) {
    if (!window.destroyed && window.thread == thread) {
      return true;
    }
  }
  return false;
}

}  // namespace

HWND CreateStandinWindow(const std::string& class_name, DWORD thread, MessageHandler handler) {
  input.windows.push_back({class_name, thread, std::move(handler)});
  return Handle(input.windows.size() - 1);
}

void DestroyStandinWindow(HWND window) { Window(window).destroyed = true; }

KeyboardState& ThreadKeyboard(DWORD thread) { return *Queue(thread); }

void ResetInput() { input = Input{}; }

void PrintTo(const DeliveredMessage& message, std::ostream* out) {
  *out << KeyMessageText(message.message, message.wparam, message.lparam) << " Ctrl " << int{message.control}
       << " Shift " << int{message.shift};
}

}  // namespace standin

using standin::input;

HWND WINAPI FindWindowA(LPCSTR class_name, LPCSTR window_name) {
  if (class_name == nullptr || window_name != nullptr) {
    standin::Unsupported("FindWindowA other than by class alone");
  }
  input.calls.push_back(std::string("FindWindowA(") + class_name + ")");
  for (std::size_t index = 0; index < input.windows.size(); ++index) {
    const standin::StandinWindow& window = input.windows[index];
    // Window class names are compared without regard to case.
    if (!window.destroyed && strcasecmp(window.class_name.c_str(), class_name) == 0) {
      return standin::Handle(index);
    }
  }
  return nullptr;
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD process_id) {
  const standin::StandinWindow& target = standin::Window(window);
  input.calls.push_back("GetWindowThreadProcessId(" + target.class_name + ")");
  if (process_id != nullptr) {
    *process_id = 1000;
  }
  return target.thread;
}

DWORD WINAPI GetCurrentThreadId() {
  input.calls.push_back("GetCurrentThreadId()");
  return input.current_thread;
}

BOOL WINAPI AttachThreadInput(DWORD attach, DWORD attach_to, BOOL do_attach) {
  input.calls.push_back("AttachThreadInput(" + std::to_string(attach) + ", " + std::to_string(attach_to) +
                        (do_attach ? ", TRUE)" : ", FALSE)"));
  // Windows refuses to attach a thread to itself, or to a thread it does not know.
  if (attach == attach_to || !standin::IsKnownThread(attach) || !standin::IsKnownThread(attach_to)) {
    return FALSE;
  }
  if (do_attach) {
    if (input.fail_attach) {
      return FALSE;
    }
    input.attached_to[attach] = attach_to;
    standin::Queue(attach) = standin::Queue(attach_to);
    return TRUE;
  }
  const auto attachment = input.attached_to.find(attach);
  if (attachment == input.attached_to.end() || attachment->second != attach_to) {
    return FALSE;
  }
  input.attached_to.erase(attachment);
  // Detached, the thread keeps its own copy of the state the two shared.
  standin::Queue(attach) = std::make_shared<standin::KeyboardState>(*standin::Queue(attach));
  return TRUE;
}

BOOL WINAPI GetKeyboardState(PBYTE key_state) {
  input.calls.push_back("GetKeyboardState()");
  if (input.fail_get_state) {
    return FALSE;
  }
  const standin::KeyboardState& keys = standin::ThreadKeyboard(input.current_thread);
  std::copy(keys.begin(), keys.end(), key_state);
  return TRUE;
}

BOOL WINAPI SetKeyboardState(PBYTE key_state) {
  input.calls.push_back("SetKeyboardState()");
  if (input.fail_set_state) {
    return FALSE;
  }
  standin::KeyboardState& keys = standin::ThreadKeyboard(input.current_thread);
  std::copy(key_state, key_state + keys.size(), keys.begin());
  input.installed.push_back(keys);
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  standin::StandinWindow& target = standin::Window(window);
  if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR) {
    standin::Unsupported("a message other than a key's: " + std::to_string(message));
  }
  const std::uint32_t lparam_bits = static_cast<std::uint32_t>(lparam);
  input.calls.push_back("SendMessageA(" + standin::KeyMessageText(message, wparam, lparam_bits) + ")");
  standin::KeyboardState& keys = standin::ThreadKeyboard(target.thread);
  input.messages.push_back({message, wparam, lparam_bits, keys[VK_CONTROL], keys[VK_SHIFT]});
  if (target.handler) {
    target.handler(message, wparam, lparam, keys);
  }
  return 0;
}
