#ifndef QORX_IMAGE_TEXTURE_H
#define QORX_IMAGE_TEXTURE_H

// One OpenGL 2D texture made from an image file. The file's format is found by
// trying the readers in turn (JPEG, TGA, TIFF, PNG); the decoded picture lives only
// inside load(). The texture object itself is never deleted here: it ends with
// the rendering context.
class Texture {
public:
    Texture();
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Takes effect at the next load().
    void setMipmaps(bool flag);

    // Needs a current OpenGL context. Returns -1 on success, with the new
    // texture bound to GL_TEXTURE_2D, and 0 when no reader could decode the
    // file; a failed load makes no OpenGL call and leaves `id` as it was.
    int load(const char* path);

    // Why the last load failed, in words for a user ("No such file or
    // directory", "not a JPEG, TGA, TIFF or PNG file", ...); empty after a success.
    const char* failureReason() const { return reason; }

    unsigned int id; // the OpenGL texture name (GLuint) of the last successful load
    bool mipmaps;

private:
    char reason[200];
};

#endif
