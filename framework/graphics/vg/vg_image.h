#pragma once

#include <cstdint>

namespace plugkit {

struct VgContext;

// Decode a PNG, JPEG or other stb_image format into an RGBA image of the
// back end. Both return the image id, 0 when the file cannot be read or
// decoded or the back end cannot hold an image of its size. Loading from a
// file switches stb_image to unpremultiply on load and to convert iPhone
// PNGs to RGB, for the whole process.
int32_t VgCreateImageFromFile(VgContext* ctx, const char* path, int32_t imageFlags);
int32_t VgCreateImageFromMemory(VgContext* ctx, int32_t imageFlags, const uint8_t* bytes,
                                int32_t size);
// 0 when the image is unknown.
int32_t VgImageSize(VgContext* ctx, int32_t image, int32_t* width, int32_t* height);
void VgDeleteImage(VgContext* ctx, int32_t image);

} // namespace plugkit
