// Fuzz driver: expansion of compressed page blocks into buffers of any size.
//
// The first two input bytes pick the capacity of the destination (0 to
// 64,001 bytes, 0xFFFF for the page buffer size), the third the zlib level
// of the round trip below; the rest is the block. The destination is a heap
// buffer of exactly that capacity, so a write past it is caught.
//
// What every caller relies on: a successful expansion leaves a text that ends
// within the capacity and holds no zero byte before its end; a failed one
// leaves an empty text. And any text up to a page long, stored as a block and
// expanded again, comes back byte for byte with no separator byte in the block.

#include "archive/pagecodec.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace veltra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const unsigned pick = unsigned(data[0]) << 8 | data[1];
    const qint64 capacity = pick == 0xFFFF ? TextBufferSize : qint64(pick % (TextBufferSize + 1));
    const int level = data[2] % 10;
    const char *src = reinterpret_cast<const char *>(data + 3);
    const qint64 len = qint64(size - 3);

    std::unique_ptr<char[]> dst(new char[size_t(capacity)]());
    const int rc = ExpandPageBlock(src, len, dst.get(), capacity);
    if (rc == BlockOk) {
        if (capacity < 1 || !memchr(dst.get(), 0, size_t(capacity)))
            abort();  // unterminated text
    } else if (capacity > 0 && dst[0] != 0) {
        abort();  // a failure must leave an empty text
    }

    // The same bytes as a page text.
    const QByteArray text(src, qsizetype(len));
    QByteArray block;
    const bool storable = text.size() <= MaxBlockText && !text.contains('\0');
    if (CompressPageBlock(text, block, level) != storable)
        abort();
    if (storable) {
        if (block.contains('R'))
            abort();  // a separator could begin inside the block
        std::unique_ptr<char[]> back(new char[TextBufferSize]());
        if (ExpandPageBlock(block.constData(), block.size(), back.get(), TextBufferSize) != BlockOk
            || QByteArray(back.get()) != text)
            abort();
    }
    return 0;
}
