// Qt's PDF writer deflates every page through zlib's stream calls at the default level,
// which took longer than laying out and drawing the page. These definitions stand in
// for zlib's own for every library of the process:
// - a stream that Qt's painting library opens at the default level is gathered whole
//   and compressed in one call by libdeflate at its fastest level: the same zlib format,
//   in half the time of zlib's fastest level and a tenth fewer bytes;
// - any other stream opened at the default level gets zlib's fastest level;
// - every other call is zlib's own.
#include <dlfcn.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// A stream gathered for one compression at its end.
struct Gathered {
  std::vector<unsigned char> In;
  std::vector<unsigned char> Out;
  std::size_t Given = 0;  // bytes of Out handed to the caller
  bool Compressed = false;
};

std::mutex& StreamsMutex() {
  static std::mutex mutex;
  return mutex;
}

std::unordered_map<z_streamp, std::unique_ptr<Gathered>>& Streams() {
  static std::unordered_map<z_streamp, std::unique_ptr<Gathered>> streams;
  return streams;
}

Gathered* GatheredOf(z_streamp stream) {
  const std::lock_guard lock(StreamsMutex());
  const auto it = Streams().find(stream);
  return it == Streams().end() ? nullptr : it->second.get();
}

template <typename Function>
Function Zlib(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using DeflateFunction = int (*)(z_streamp, int);
using DeflateEndFunction = int (*)(z_streamp);

DeflateFunction ZlibDeflate() {
  static const DeflateFunction function = Zlib<DeflateFunction>("deflate");
  return function;
}

DeflateEndFunction ZlibDeflateEnd() {
  static const DeflateEndFunction function = Zlib<DeflateEndFunction>("deflateEnd");
  return function;
}

bool CalledFromQtGui(const void* caller) {
  Dl_info info{};
  return dladdr(caller, &info) != 0 && info.dli_fname != nullptr &&
         std::strstr(info.dli_fname, "libQt6Gui") != nullptr;
}

bool CompressGathered(Gathered& g) {
  // One compressor per thread: pages are painted on one thread, but others may write.
  thread_local const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)>
      compressor(libdeflate_alloc_compressor(1), libdeflate_free_compressor);
  if (!compressor) return false;
  g.Out.resize(libdeflate_zlib_compress_bound(compressor.get(), g.In.size()));
  const std::size_t size = libdeflate_zlib_compress(compressor.get(), g.In.data(), g.In.size(),
                                                    g.Out.data(), g.Out.size());
  if (size == 0) return false;
  g.Out.resize(size);
  g.In = {};
  g.Compressed = true;
  return true;
}

}  // namespace

extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
  const bool qtPage =
      level == Z_DEFAULT_COMPRESSION && CalledFromQtGui(__builtin_return_address(0));
  if (level == Z_DEFAULT_COMPRESSION) level = Z_BEST_SPEED;
  // zlib's own state is made either way, so that its deflateEnd always has one to free.
  const int status = deflateInit2_(stream, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                   version, streamSize);
  if (status == Z_OK && qtPage && ZlibDeflate() != nullptr && ZlibDeflateEnd() != nullptr) {
    const std::lock_guard lock(StreamsMutex());
    Streams()[stream] = std::make_unique<Gathered>();
  }
  return status;
}

extern "C" int deflate(z_streamp stream, int flush) {
  Gathered* g = GatheredOf(stream);
  if (g == nullptr) return ZlibDeflate()(stream, flush);
  if (stream->avail_in > 0) {
    if (g->Compressed) return Z_STREAM_ERROR;
    g->In.insert(g->In.end(), stream->next_in, stream->next_in + stream->avail_in);
    stream->next_in += stream->avail_in;
    stream->total_in += stream->avail_in;
    stream->avail_in = 0;
  }
  if (flush == Z_NO_FLUSH) return Z_OK;
  // Qt's writer asks for nothing but the whole stream at its end.
  if (flush != Z_FINISH) return Z_STREAM_ERROR;
  if (!g->Compressed && !CompressGathered(*g)) return Z_MEM_ERROR;
  const std::size_t n = std::min<std::size_t>(stream->avail_out, g->Out.size() - g->Given);
  if (n == 0 && g->Given < g->Out.size()) return Z_BUF_ERROR;
  std::memcpy(stream->next_out, g->Out.data() + g->Given, n);
  g->Given += n;
  stream->next_out += n;
  stream->avail_out -= static_cast<uInt>(n);
  stream->total_out += n;
  return g->Given == g->Out.size() ? Z_STREAM_END : Z_OK;
}

extern "C" int deflateEnd(z_streamp stream) {
  {
    const std::lock_guard lock(StreamsMutex());
    Streams().erase(stream);
  }
  return ZlibDeflateEnd()(stream);
}
