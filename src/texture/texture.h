// Texture: one OpenGL 2D texture object, the picture file it came from and the picture's size,
// and the loader that turns an uncompressed 24-bit BMP into mipmaps. Every operation but
// construction and destruction needs a current rendering context.
#pragma once

class Texture {
 public:
  Texture() = default;
  ~Texture();
  // A copy names the same OpenGL texture as its source; it does not get one of its own.
  Texture(const Texture&) = default;
  Texture& operator=(const Texture&) = default;

  // Releases any texture held, records the name and makes a new bound texture object with
  // clamped wrap and trilinear filtering. Always true.
  bool Create(const char* fileName);
  // Create, then reads the file into mipmaps. True when the pixel data was read in full.
  bool LoadBMP(const char* fileName);
  void Bind() const;
  void Release();

  // Blend and attribute operations for the track pass; they use no field of the texture.
  static void PushState();
  static void PopState();
  static void EnableScreenBlend();

  char name[64] = {};
  unsigned int id = 0;  // OpenGL texture name plus one; 0 means none
  int width = 0;
  int height = 0;
};
