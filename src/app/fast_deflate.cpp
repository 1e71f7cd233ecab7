// Qt's PDF writer deflates every page at zlib's default level, which took longer than
// laying out and drawing the page. Level 1 writes about a fifth more bytes in a third
// of the time. This definition stands in for zlib's own for every library of the
// process; only calls that ask for the default level are changed.
#include <zlib.h>

extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
  if (level == Z_DEFAULT_COMPRESSION) level = Z_BEST_SPEED;
  return deflateInit2_(stream, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY, version,
                       streamSize);
}
