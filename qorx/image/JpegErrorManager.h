#ifndef QORX_IMAGE_JPEGERRORMANAGER_H
#define QORX_IMAGE_JPEGERRORMANAGER_H

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg's error manager together with the point its fatal errors return to.
// `manager` comes first, so the error manager pointer libjpeg holds is also
// the address of the whole object.
struct JpegErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf recoveryPoint;
    int systemError;     // errno when the fatal error came: a failed read leaves its cause there
    const char* refusal; // the reader's own reason, when refuse() ended the load

    // Fills `manager` with the library's defaults, except that a fatal error
    // jumps to `recoveryPoint` with the value 1 instead of ending the process.
    jpeg_error_mgr* install();

    // Abandons the load from inside libjpeg without a message, for limits of
    // the reader's own; `why` becomes the load's reason.
    [[noreturn]] static void refuse(j_common_ptr decompressor, const char* why);
};

#endif
