// The outline reader and rasteriser, with its temporary memory taken from the
// glyph cache's scratch area: an ordinary glyph never touches the heap, and
// everything (heap blocks of complex glyphs too) is reclaimed before each
// glyph, so nothing is ever freed here.
#include <cstddef>

#include "framework/graphics/vg/vg_glyph_cache.h"

#define STBTT_malloc(size, user)                                                                 \
  ((user) ? plugkit::igraphics::VgGlyphCacheScratchAlloc(                                        \
                static_cast<plugkit::igraphics::VgGlyphCache*>(user), static_cast<size_t>(size)) \
          : nullptr)
#define STBTT_free(pointer, user) ((void)(pointer), (void)(user))
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
