#include "compress/codec_state.h"

#include <cstring>
#include <new>

namespace zs::codec {

CodecState g_codec;

// Positions from WINDOW_START on are never cleared between files; clearing them gives the state of a freshly
// started process.
void ResetCodecState(CodecState& state) {
    std::memset(state.window, 0, sizeof(state.window));
}

void ResetCodecState() {
    ResetCodecState(g_codec);
}

void SetProgressHook(CodecState& state, ProgressHook hook, void* context) {
    state.progressHook = hook;
    state.progressContext = context;
}

void SetProgressHook(ProgressHook hook, void* context) {
    SetProgressHook(g_codec, hook, context);
}

void SetWriteObserver(CodecState& state, WriteObserver observer, void* context) {
    state.writeObserver = observer;
    state.writeObserverContext = context;
}

void SetWriteObserver(WriteObserver observer, void* context) {
    SetWriteObserver(g_codec, observer, context);
}

CodecState* NewCodecState() {
    // Zero throughout, as the static state of a freshly started process.
    return new (std::nothrow) CodecState();
}

void DeleteCodecState(CodecState* state) {
    delete state;
}

}  // namespace zs::codec
