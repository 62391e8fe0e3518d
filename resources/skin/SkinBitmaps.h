// The editor's bitmaps, generated at build time and embedded in the library.
#pragma once

struct SkinBitmap {
  int id;
  int width;
  int height;
  const unsigned char* rgb;  // rows top to bottom, 3 bytes per pixel (red, green, blue),
                             // stride 3 * width
};

// The bitmap with resource id `id`, or null for an unknown id.
const SkinBitmap* findSkinBitmap(int id);
