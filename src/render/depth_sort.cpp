// Back-to-front order of the rows: descending 16-bit keys, equal keys in emission order.
#include "render/depth_sort.h"

#include <cstring>
#include <vector>

namespace {

// Where each digit's rows start when the larger digits come first; false when every row has
// the same digit, so that the pass would leave the rows as they are.
bool DescendingOffsets(const int32_t counts[256], int32_t count, int32_t offsets[256]) {
  int32_t next = 0;
  for (int digit = 255; digit >= 0; --digit) {
    if (counts[digit] == count) return false;
    offsets[digit] = next;
    next += counts[digit];
  }
  return true;
}

// The place of the current run's digit is held in a register and written back only when the
// digit changes: bumping it in memory row by row would make each row wait for the store of the
// one before whenever neighbours share the digit, as a mesh's triangles mostly do.
void Scatter(int32_t count, const SortRow* from, SortRow* to, int shift, int32_t offsets[256]) {
  uint32_t digit = (from[0].key >> shift) & 0xFF;
  int32_t at = offsets[digit];
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t next = (from[i].key >> shift) & 0xFF;
    if (next != digit) {
      offsets[digit] = at;
      digit = next;
      at = offsets[digit];
    }
    to[at++] = from[i];
  }
  offsets[digit] = at;
}

}  // namespace

// Two stable counting passes, one per byte of the key, low byte first, give the same order
// as sixteen bit passes: each pass is stable and descending, and the high byte decides last.
// Both bytes are counted in one read of the rows, and a byte all rows share needs no pass.
void SortRows(int32_t count, SortRow* rows, SortRow* scratch) {
  if (count < 2) return;
  int32_t low[256] = {}, high[256] = {};
  for (int32_t i = 0; i < count; ++i) {
    ++low[rows[i].key & 0xFF];
    ++high[(rows[i].key >> 8) & 0xFF];
  }
  int32_t offsets[256];
  const SortRow* from = rows;
  if (DescendingOffsets(low, count, offsets)) {
    Scatter(count, rows, scratch, 0, offsets);
    from = scratch;
  }
  if (DescendingOffsets(high, count, offsets)) {
    Scatter(count, from, from == rows ? scratch : rows, 8, offsets);
    from = from == rows ? scratch : rows;
  }
  if (from != rows) std::memcpy(rows, from, sizeof(SortRow) * count);
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
