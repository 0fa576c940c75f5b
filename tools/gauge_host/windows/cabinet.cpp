#include "tools/gauge_host/windows/cabinet.h"

#include <windows.h>

#include <fcntl.h>
#include <fdi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace gauge_host {

namespace {

// FDI reads and writes through handles its callbacks give it; each handle here is a
// MemoryFile: the cabinet being read, or a member being written.
struct MemoryFile {
  std::string_view source;  // the cabinet's bytes
  std::size_t position = 0;
  std::string written;      // a member's bytes
};

MemoryFile& FileOf(INT_PTR handle) { return *reinterpret_cast<MemoryFile*>(handle); }

// FDI opens the cabinet by name and gives the opener nothing else, so the bytes of the one
// cabinet being read are kept here while FDICopy runs.
thread_local std::string_view cabinet_being_read;

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }
FNOPEN(Open) { return reinterpret_cast<INT_PTR>(new MemoryFile{cabinet_being_read, 0, {}}); }
FNREAD(Read) {
  MemoryFile& file = FileOf(hf);
  const std::size_t count = std::min<std::size_t>(cb, file.source.size() - file.position);
  std::memcpy(pv, file.source.data() + file.position, count);
  file.position += count;
  return static_cast<UINT>(count);
}
FNWRITE(Write) {
  FileOf(hf).written.append(static_cast<const char*>(pv), cb);
  return cb;
}
FNCLOSE(Close) {
  delete &FileOf(hf);
  return 0;
}
FNSEEK(Seek) {
  MemoryFile& file = FileOf(hf);
  const long long base = seektype == SEEK_CUR ? static_cast<long long>(file.position)
                         : seektype == SEEK_END ? static_cast<long long>(file.source.size())
                                                : 0;
  const long long position = base + dist;
  if (position < 0 || position > static_cast<long long>(file.source.size())) {
    return -1;
  }
  file.position = static_cast<std::size_t>(position);
  return static_cast<__LONG32>(position);
}

// Every member is written into memory; a cabinet continued in another is not followed.
FNFDINOTIFY(Notify) {
  auto& members = *static_cast<std::vector<CabinetMember>*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE:
      return reinterpret_cast<INT_PTR>(new MemoryFile{{}, 0, {}});
    case fdintCLOSE_FILE_INFO:
      members.push_back({pfdin->psz1, std::move(FileOf(pfdin->hf).written)});
      Close(pfdin->hf);
      return TRUE;
    case fdintNEXT_CABINET:
      return -1;
    default:
      return 0;
  }
}

}  // namespace

std::optional<std::vector<CabinetMember>> CabinetMembers(std::string_view cabinet) {
  ERF error{};
  HFDI fdi = FDICreate(Allocate, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &error);
  if (fdi == nullptr) {
    return std::nullopt;
  }
  cabinet_being_read = cabinet;
  std::vector<CabinetMember> members;
  char name[] = "cabinet";
  char path[] = "";
  const BOOL copied = FDICopy(fdi, name, path, 0, Notify, nullptr, &members);
  FDIDestroy(fdi);
  cabinet_being_read = {};
  if (!copied) {
    return std::nullopt;
  }
  return members;
}

}  // namespace gauge_host
