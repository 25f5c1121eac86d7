// stb_image's implementation, for the benchmark's side-by-side runs only.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_PNG
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>
