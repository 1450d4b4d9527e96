#include "framework/core/resource_services.h"

#include <sys/stat.h>

namespace plugkit {

namespace {

bool IsExistingFile(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

int LocateResource(const char* name, const char* /*type*/, StringBuffer& result,
                   ModuleHandle /*module*/) {
  if (!name || !*name) return kResourceNotFound;
  if (!IsExistingFile(name)) return kResourceNotFound;
  result.Set(name);
  return kResourceFile;
}

std::FILE* OpenResourceFile(const char* path) { return path ? std::fopen(path, "rb") : nullptr; }

const void* LoadWinResource(const char* /*name*/, const char* /*type*/, int& /*size*/,
                            ModuleHandle /*module*/) {
  return nullptr;
}

} // namespace plugkit
