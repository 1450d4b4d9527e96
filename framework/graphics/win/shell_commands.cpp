#include "framework/graphics/win/shell_commands.h"

#include "framework/core/win_text.h"

#include <cctype>
#include <cstring>

namespace plugkit::igraphics {

bool BuildRevealParameters(const char* path, bool select, std::wstring& parameters) {
  parameters.clear();
  std::wstring wide;
  if (!path || !*path || !Utf8ToWide(wide, path)) return false;
  if (wide.find(L'"') != std::wstring::npos) return false;
  while (wide.size() > 1 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
  if (select) parameters = L"/select,";
  parameters += L'"';
  parameters += wide;
  parameters += L'"';
  return true;
}

bool IsOpenableLink(const char* url) {
  if (!url) return false;
  static constexpr const char* kSchemes[] = {"http://", "https://", "mailto:"};
  for (const char* scheme : kSchemes) {
    const size_t length = std::strlen(scheme);
    size_t i = 0;
    while (i < length && url[i] && std::tolower(static_cast<unsigned char>(url[i])) == scheme[i])
      ++i;
    if (i == length) return url[length] != '\0';
  }
  return false;
}

} // namespace plugkit::igraphics
