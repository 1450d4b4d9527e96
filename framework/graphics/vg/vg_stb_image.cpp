// The one definition of stb_image in the program. Paths are UTF-8 on
// Windows too.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#include <stb_image.h>
