// Values written into the module's variables that the module has not read yet. A value
// overwritten before the module's next frame is one the module never sees: a press lost
// because the button was released within the frame, or reset by an update script.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace gauge_host {

struct UnreadWrite {
  double value;
  std::string writer;  // "the <Click> script of area 1 of mayday.xml", "line 12"
};

using UnreadWrites = std::map<std::string, UnreadWrite, std::less<>>;

// Notes a write; returns the warning when it hides a value the module never read, which
// it does when the module would read the two as different integers.
std::string NoteWrite(UnreadWrites& unread, const std::string& variable, double value, const std::string& writer);

// The module read the variable, or wrote it itself.
void NoteModuleRead(UnreadWrites& unread, std::string_view variable);

}  // namespace gauge_host
