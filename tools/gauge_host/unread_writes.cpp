#include "tools/gauge_host/unread_writes.h"

#include "tools/gauge_host/calculator.h"

namespace gauge_host {

std::string NoteWrite(UnreadWrites& unread, const std::string& variable, double value, const std::string& writer) {
  std::string warning;
  const auto earlier = unread.find(variable);
  if (earlier != unread.end() && ModuleInteger(earlier->second.value) != ModuleInteger(value)) {
    const std::string hidden = FormatNumber(earlier->second.value);
    warning = "warning: " + variable + " = " + hidden + ", written by " + earlier->second.writer +
              ", is overwritten with " + FormatNumber(value) + " before the module reads it: the module never sees the " +
              hidden;
  }
  unread.insert_or_assign(variable, UnreadWrite{value, writer});
  return warning;
}

void NoteModuleRead(UnreadWrites& unread, std::string_view variable) {
  if (const auto write = unread.find(variable); write != unread.end()) {
    unread.erase(write);
  }
}

}  // namespace gauge_host
