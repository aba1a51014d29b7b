#pragma once
// Small numeric helpers.

#include <QtGlobal>

namespace veltra {

constexpr qint64 largerOf(qint64 a, qint64 b) { return a > b ? a : b; }

// Sorts the first count entries of values ascending, in place (comb sort:
// the gap starts at three quarters of count and shrinks to three quarters
// each pass until a pass with gap 1 makes no exchange).
void combSort(quint32 *values, qsizetype count);

}  // namespace veltra
