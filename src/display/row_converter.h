// Row converters: one row of 32-bit 0xAARRGGBB frame pixels into one row of the display
// mode's pixels. Conversion truncates (no rounding, no dithering); multi-byte display pixels
// are little-endian; a converter writes exactly count pixels and nothing past them.
#pragma once

#include <cstdint>

using RowConverter = void (*)(const uint32_t* source, uint8_t* destination, int count);

// The converter for a mode's bit count and channel masks, or null when none matches exactly.
RowConverter SelectRowConverter(int bits, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask);

void ConvertRowCopy32(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowSwap32(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowRgb24(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowBgr24(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowRgb565(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowBgr565(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowRgb555(const uint32_t* source, uint8_t* destination, int count);
void ConvertRowBgr555(const uint32_t* source, uint8_t* destination, int count);

// The per-pixel forms: what every converter must produce, bit for bit. The block forms above
// use them for the tail of a row; tests compare against them.
uint32_t PixelSwap32(uint32_t p);
uint16_t PixelRgb565(uint32_t p);
uint16_t PixelBgr565(uint32_t p);
uint16_t PixelRgb555(uint32_t p);
uint16_t PixelBgr555(uint32_t p);
