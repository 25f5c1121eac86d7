#include "qorx/image/JpegErrorManager.h"

#include <jerror.h>

namespace {

// Every file of another format meets the JPEG reader first, so "not a JPEG"
// is the expected answer to a probe and not worth a line on stderr. Any other
// fatal error goes out through the library's own output_message.
[[noreturn]] void jpegErrorExit(j_common_ptr decompressor)
{
    if (decompressor->err->msg_code != JERR_NO_SOI)
        (*decompressor->err->output_message)(decompressor);
    JpegErrorManager::refuse(decompressor);
}

} // namespace

void JpegErrorManager::refuse(j_common_ptr decompressor)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(decompressor->err);
    std::longjmp(errors->recoveryPoint, 1);
}

jpeg_error_mgr* JpegErrorManager::install()
{
    jpeg_std_error(&manager);
    manager.error_exit = jpegErrorExit;
    return &manager;
}
