#ifndef QORX_WINDOW_LETTERBOX_H
#define QORX_WINDOW_LETTERBOX_H

// Where a picture lands when it is scaled to fit a screen with its shape
// kept: as large as fits, centred, the rest left as black bars. Rows count
// from the top.
struct Letterbox {
    int x;
    int y;
    int width;
    int height;

    static Letterbox fit(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);
};

#endif
