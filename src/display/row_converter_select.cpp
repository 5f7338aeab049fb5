#include "display/row_converter.h"

namespace {

struct ConverterRow {
  int bits;
  uint32_t red_mask;
  uint32_t green_mask;
  uint32_t blue_mask;
  RowConverter converter;
};

// Tested in this order; only exact matches count.
constexpr ConverterRow kConverters[] = {
    {32, 0xFF0000, 0xFF00, 0xFF, ConvertRowCopy32},
    {32, 0xFF, 0xFF00, 0xFF0000, ConvertRowSwap32},
    {24, 0xFF0000, 0xFF00, 0xFF, ConvertRowRgb24},
    {24, 0xFF, 0xFF00, 0xFF0000, ConvertRowBgr24},
    {16, 0xF800, 0x7E0, 0x1F, ConvertRowRgb565},
    {16, 0x1F, 0x7E0, 0xF800, ConvertRowBgr565},
    {16, 0x7C00, 0x3E0, 0x1F, ConvertRowRgb555},  // 15-bit modes report 16 bits
    {16, 0x1F, 0x3E0, 0x7C00, ConvertRowBgr555},
};

}  // namespace

RowConverter SelectRowConverter(int bits, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask) {
  for (const ConverterRow& row : kConverters) {
    if (row.bits == bits && row.red_mask == red_mask && row.green_mask == green_mask &&
        row.blue_mask == blue_mask) {
      return row.converter;
    }
  }
  return nullptr;
}
