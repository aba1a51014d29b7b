#include "util/sortutil.h"

#include <utility>

namespace veltra {

void combSort(quint32 *values, qsizetype count)
{
    if (!values || count < 2)
        return;
    qsizetype gap = count * 3 / 4;
    for (;;) {
        if (gap < 1)
            gap = 1;
        bool exchanged = false;
        for (qsizetype i = 0; i + gap < count; ++i) {
            if (values[i] > values[i + gap]) {
                std::swap(values[i], values[i + gap]);
                exchanged = true;
            }
        }
        // Only a pass with gap 1 and no exchange proves the order.
        if (gap == 1 && !exchanged)
            break;
        gap = gap * 3 / 4;
    }
}

}  // namespace veltra
