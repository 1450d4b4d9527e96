#include "framework/graphics/win/text_entry_filter.h"

namespace plugkit::igraphics {

bool TextEntryAllowsChar(const IParam* param, wchar_t c) {
  if (!param || c == L'\b') return true;
  const bool signOrDigit = c == L'+' || c == L'-' || (c >= L'0' && c <= L'9');
  switch (param->Type()) {
    case ParamType::Bool:
    case ParamType::Int:
    case ParamType::Enum:
      return signOrDigit;
    case ParamType::Double:
      return signOrDigit || c == L'.';
    default:
      return true;
  }
}

} // namespace plugkit::igraphics
