// Back-to-front order of the rows: descending 16-bit keys, equal keys in emission order.
#include "render/depth_sort.h"

#include <cstring>
#include <vector>

// One stable counting pass on one byte of the key, larger bytes first.
static void CountingPass(int32_t count, const SortRow* from, SortRow* to, int shift) {
  int32_t offsets[256] = {};
  for (int32_t i = 0; i < count; ++i) ++offsets[(from[i].key >> shift) & 0xFF];
  int32_t next = 0;
  for (int digit = 255; digit >= 0; --digit) {
    const int32_t n = offsets[digit];
    offsets[digit] = next;
    next += n;
  }
  for (int32_t i = 0; i < count; ++i) to[offsets[(from[i].key >> shift) & 0xFF]++] = from[i];
}

// Two byte passes give the same order as sixteen bit passes: each pass is stable and
// descending, and the high byte decides last.
void SortRows(int32_t count, SortRow* rows, SortRow* scratch) {
  if (count < 2) return;
  CountingPass(count, rows, scratch, 0);
  CountingPass(count, scratch, rows, 8);
}

void SortRowsBinary(int32_t count, SortRow* rows) {
  if (count < 2) return;
  std::vector<SortRow> set_group(count), clear_group(count);
  for (int bit = 0; bit < 16; ++bit) {
    int32_t set = 0, clear = 0;
    for (int32_t i = 0; i < count; ++i) {
      if (rows[i].key & (1u << bit)) {
        set_group[set++] = rows[i];
      } else {
        clear_group[clear++] = rows[i];
      }
    }
    std::memcpy(rows, set_group.data(), sizeof(SortRow) * set);
    std::memcpy(rows + set, clear_group.data(), sizeof(SortRow) * clear);
  }
}
