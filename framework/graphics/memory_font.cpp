#include "framework/graphics/memory_font.h"

#include <cstdio>
#include <cstring>

namespace plugkit::igraphics {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::unique_ptr<MemoryFont> MemoryFont::FromFile(const char* path) {
  if (!path) return nullptr;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
  const long size = std::ftell(file.get());
  if (size <= 0 || size > 0x7FFFFFFF || std::fseek(file.get(), 0, SEEK_SET) != 0) return nullptr;
  std::unique_ptr<MemoryFont> font(new MemoryFont());
  const int count = static_cast<int>(size);
  if (!font->bytes_.Resize(count, false) || font->bytes_.Size() != count) return nullptr;
  if (std::fread(font->bytes_.Data(), 1, static_cast<size_t>(count), file.get()) !=
      static_cast<size_t>(count))
    return nullptr;
  return font;
}

std::unique_ptr<MemoryFont> MemoryFont::FromBytes(const void* data, int size) {
  if (!data || size <= 0) return nullptr;
  std::unique_ptr<MemoryFont> font(new MemoryFont());
  if (!font->bytes_.Resize(size, false) || font->bytes_.Size() != size) return nullptr;
  std::memcpy(font->bytes_.Data(), data, static_cast<size_t>(size));
  return font;
}

FontFileDataPtr MemoryFont::GetFontData() const {
  auto data = std::make_unique<FontFileData>();
  uint8_t* bytes = data->ResizeBytes(bytes_.Size());
  if (!bytes) return std::make_unique<FontFileData>();
  std::memcpy(bytes, bytes_.Data(), static_cast<size_t>(bytes_.Size()));
  data->SelectFace("");
  return data;
}

} // namespace plugkit::igraphics
