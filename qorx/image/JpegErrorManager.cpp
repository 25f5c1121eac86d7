#include "JpegErrorManager.h"

#include <cerrno>

#include <jerror.h>

namespace {

// Every file of another format meets the JPEG reader first, so "not a JPEG"
// is the expected answer to a probe and not worth a line on stderr; an empty
// file is no JPEG either. Any other fatal error goes out through the
// library's own output_message.
[[noreturn]] void jpegErrorExit(j_common_ptr decompressor)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(decompressor->err);
    errors->systemError = errno;
    const int code = decompressor->err->msg_code;
    if (code != JERR_NO_SOI && code != JERR_INPUT_EMPTY)
        (*decompressor->err->output_message)(decompressor);
    std::longjmp(errors->recoveryPoint, 1);
}

} // namespace

void JpegErrorManager::refuse(j_common_ptr decompressor, const char* why)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(decompressor->err);
    errors->refusal = why;
    std::longjmp(errors->recoveryPoint, 1);
}

jpeg_error_mgr* JpegErrorManager::install()
{
    jpeg_std_error(&manager);
    manager.error_exit = jpegErrorExit;
    systemError = 0;
    refusal = nullptr;
    return &manager;
}
