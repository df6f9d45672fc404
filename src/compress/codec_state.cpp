#include "compress/codec_state.h"

#include <cstring>

namespace zs::codec {

CodecState g_codec;

void ResetCodecState() {
    std::memset(g_codec.window, 0, sizeof(g_codec.window));
}

void SetProgressHook(ProgressHook hook, void* context) {
    g_codec.progressHook = hook;
    g_codec.progressContext = context;
}

}  // namespace zs::codec
