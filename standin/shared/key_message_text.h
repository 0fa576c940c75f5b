// One keyboard message as a line of text, "WM_CHAR 0x0D 0xE0320001", for logs and for
// the messages a failed expectation prints.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace standin {

std::string KeyMessageText(UINT message, std::uint64_t wparam, std::uint32_t lparam);

}  // namespace standin
