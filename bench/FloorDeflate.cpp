// The floors write their books with libxlsxwriter, which deflates every part at
// zlib's default level (6) and has no setting for it; the program deflates at
// sheet::kDeflateLevel (1), which takes a third of the time. So that a floor does
// the work the program does, this definition stands before zlib's (a library's
// call goes to the program's own definition first) and asks zlib for the
// program's level wherever a caller asks for the default; an explicit level is
// passed on unchanged.

#include "sheet/ZipWriter.h"

#include <dlfcn.h>
#include <zlib.h>

#include <cstdlib>

extern "C" int deflateInit2_(z_streamp strm, int level, int method, int windowBits, int memLevel,
                             int strategy, const char* version, int streamSize) {
    using Real = int (*)(z_streamp, int, int, int, int, int, const char*, int);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "deflateInit2_"));
    if (!real)
        std::abort();
    return real(strm, level == Z_DEFAULT_COMPRESSION ? sheet::kDeflateLevel : level, method, windowBits,
                memLevel, strategy, version, streamSize);
}
