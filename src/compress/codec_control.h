// What a tool that drives the codec needs beyond the three functions of cmpfile.h. The codec's state itself
// stays internal (codec_state.h); a tool names it only through these functions.
//
// - The exported functions work on the process's one static state. Its window keeps bytes from one file to
//   the next, so a short file can code differently after another one: a tool that wants every output to
//   depend on its input alone calls ResetCodecState() before each file.
// - A tool that codes several files at once gives each thread a state of its own (NewCodecState) and calls
//   the *With functions on it: they behave exactly as the exported ones do on the static state. One state
//   serves one call at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compress/cmpfile.h"

namespace zs::codec {

struct CodecState;

// Called after every read from the codec's read stream with the bytes that stream has read so far; lets a
// tool show progress on long files.
using ProgressHook = void (*)(void* context, uint64_t bytesRead);

// Called with the bytes of the codec's write stream, in order, each time just before they are written to the
// file: for an expansion, all of the uncompressed output; for a compression, the code stream after the
// header and length field. Lets a caller look at what is written (hash it) while it is still in memory.
using WriteObserver = void (*)(void* context, const uint8_t* data, size_t size);

// The process's static state, the one the exported functions use.
void ResetCodecState();                                  // back to the state of a freshly started process
void SetProgressHook(ProgressHook hook, void* context);  // nullptr removes the hook
void SetWriteObserver(WriteObserver observer, void* context);  // nullptr removes the observer

// A state of a tool's own, as that of a freshly started process; nullptr when there is no memory for it.
CodecState* NewCodecState();
void DeleteCodecState(CodecState* state);
void ResetCodecState(CodecState& state);
void SetProgressHook(CodecState& state, ProgressHook hook, void* context);
void SetWriteObserver(CodecState& state, WriteObserver observer, void* context);

// CompressFile32 and DecompressFile32 (cmpfile.h) on `state`: the same steps, results and bytes.
int CompressFileWith(CodecState& state, int source, int destination, CMPHEADER* header);
int DecompressFileWith(CodecState& state, int source, int destination, CMPHEADER* header, int readHeader);

// The start of a compressed file, for a tool that needs only that (the headers of a program): as
// DecompressFileWith with readHeader 1, but decoding stops once the first `limit` bytes of the file are
// written (at most 59 more, the rest of the last match, and never more than the file holds). The results
// are those of DecompressFileWith for that part of the file; what follows it is not read.
int DecompressHeadWith(CodecState& state, int source, int destination, CMPHEADER* header, uint32_t limit);

}  // namespace zs::codec
