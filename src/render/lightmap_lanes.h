// The lightmap batch's set-up, written once for any lane width: L names the vector types
// and their operations (Sse2Lanes in lightmap_setup_sse2.cpp, Avx2Lanes in
// lightmap_setup_avx2.cpp). Where rasterizer.cpp holds one triangle's (x, u, v, u2, v2) in
// lanes, this holds one value of L::kWidth triangles; the operations and their order per
// value are the same, so are the results.
//
// Everything here has internal linkage on purpose: each including file compiles it for its
// own instruction set, and no copy built for AVX2 may stand in for the SSE2 one at link time.
#pragma once

#include <cstdint>

#include "render/fixed_point.h"
#include "render/lightmap_setup.h"

namespace {

constexpr int32_t kValues = 5;  // x, u, v, u2, v2 of a corner or an edge

template <class L>
inline typename L::F Select(typename L::F mask, typename L::F yes, typename L::F no) {
  return L::Or(L::And(mask, yes), L::AndNot(mask, no));
}
template <class L>
inline typename L::I SelectI(typename L::I mask, typename L::I yes, typename L::I no) {
  return L::OrI(L::AndI(mask, yes), L::AndNotI(mask, no));
}
template <class L>
inline typename L::F Abs(typename L::F f) {
  return L::And(f, L::AsF(L::SetI(0x7FFFFFFF)));
}

// ToFixed on every lane. Inside the range the scaled value converts without overflow and
// never to 0x80000000; outside it (NaN and -32768 itself included) the conversion gives
// exactly 0x80000000, so that value alone is swapped for the marker.
template <class L>
inline typename L::I Fixed(typename L::F f) {
  const typename L::I fixed = L::Truncate(L::Mul(f, L::Set(65536.0f)));
  const typename L::I swap = L::AndI(L::EqI(fixed, L::SetI(INT32_MIN)), L::SetI(INT32_MIN ^ FIXED_DOES_NOT_FIT));
  return L::XorI(fixed, swap);
}

// Ceil16 on every lane, without the 64-bit sum: the floor of a / 65536 plus one where a
// fraction is left.
template <class L>
inline typename L::I Ceil16Lanes(typename L::I a) {
  const typename L::I whole = L::EqI(L::AndI(a, L::SetI(0xFFFF)), L::SetI(0));
  return L::AddI(L::AddI(L::Shift16(a), L::SetI(1)), whole);  // whole is -1
}

// The 16.16 value a set-up float holds, as the copy sinks take it: ToFixed, then through a
// float (which keeps 24 bits) and back.
template <class L>
inline typename L::I HeldFixed(typename L::F f) {
  return L::Truncate(L::ToFloat(Fixed<L>(f)));
}

// A corner of the lanes' triangles: sy apart, its start row, and x, u, v, u2, v2.
template <class L>
struct CornerLanes {
  typename L::F sy;
  typename L::I row;
  typename L::F value[kValues];
};

// Both corners where mask is set trade places, every value with them.
template <class L>
inline void SwapWhere(typename L::I mask, CornerLanes<L>* a, CornerLanes<L>* b) {
  const typename L::F m = L::AsF(mask);
  const CornerLanes<L> old_a = *a;
  a->sy = Select<L>(m, b->sy, a->sy);
  b->sy = Select<L>(m, old_a.sy, b->sy);
  a->row = SelectI<L>(mask, b->row, a->row);
  b->row = SelectI<L>(mask, old_a.row, b->row);
  for (int k = 0; k < kValues; ++k) {
    a->value[k] = Select<L>(m, b->value[k], a->value[k]);
    b->value[k] = Select<L>(m, old_a.value[k], b->value[k]);
  }
}

// The section from long_start along long_slope (the long edge) and from short_start along
// short_slope, at the rows from y, stored at lane `first` on: the left edge carries every
// value, the right only x. Each lane picks its edges before the arithmetic, which is the same
// for either edge.
template <class L>
inline void StoreSection(const typename L::F long_start[kValues], const typename L::F long_slope[kValues],
                         const typename L::F short_start[kValues], const typename L::F short_slope[kValues],
                         typename L::F prestep, typename L::F long_left, typename L::I y, typename L::I rows,
                         LightmapSection* s, int32_t first) {
  for (int k = 0; k < kValues; ++k) {
    const typename L::F start = Select<L>(long_left, long_start[k], short_start[k]);
    const typename L::F slope = Select<L>(long_left, long_slope[k], short_slope[k]);
    L::Store(s->first[k] + first, HeldFixed<L>(L::Add(start, L::Mul(slope, prestep))));
    L::Store(s->step[k] + first, HeldFixed<L>(slope));
  }
  const typename L::F right_start = Select<L>(long_left, short_start[0], long_start[0]);
  const typename L::F right_slope = Select<L>(long_left, short_slope[0], long_slope[0]);
  L::Store(s->right_x + first, HeldFixed<L>(L::Add(right_start, L::Mul(right_slope, prestep))));
  L::Store(s->right_dx + first, HeldFixed<L>(right_slope));
  L::Store(s->y + first, y);
  L::Store(s->rows + first, rows);
}

// The set-up of the batch's triangles from lane `first` on, L::kWidth of them, into out.
template <class L>
inline void SetUpLanes(const LightmapBatch& b, int32_t first, LightmapSetUp* out) {
  using F = typename L::F;
  using I = typename L::I;
  CornerLanes<L> c[3];
  for (int k = 0; k < 3; ++k) {
    c[k].sy = L::Load(b.sy[k] + first);
    c[k].row = Ceil16Lanes<L>(Fixed<L>(c[k].sy));
    c[k].value[0] = L::Load(b.sx[k] + first);
    c[k].value[1] = L::Load(b.u[k] + first);
    c[k].value[2] = L::Load(b.v[k] + first);
    c[k].value[3] = L::Load(b.u2[k] + first);
    c[k].value[4] = L::Load(b.v2[k] + first);
  }
  // The same three compare-and-swap steps, on whole corners.
  SwapWhere<L>(L::LtI(c[1].row, c[0].row), &c[0], &c[1]);
  SwapWhere<L>(L::LtI(c[2].row, c[0].row), &c[0], &c[2]);
  SwapWhere<L>(L::LtI(c[2].row, c[1].row), &c[1], &c[2]);
  const F sx0 = c[0].value[0], sx1 = c[1].value[0], sx2 = c[2].value[0];
  const F sy0 = c[0].sy, sy1 = c[1].sy, sy2 = c[2].sy;

  const F doubled_area =
      L::Sub(L::Mul(L::Sub(sy1, sy0), L::Sub(sx2, sx0)), L::Mul(L::Sub(sy2, sy0), L::Sub(sx1, sx0)));
  const F one = L::Set(1.0f);
  const F g0 = L::Div(one, L::Sub(sy2, sy0));
  const F g1 = L::Div(one, L::Sub(sy1, sy0));
  const F g2 = L::Div(one, L::Sub(sy2, sy1));

  F long_slope[kValues], middle[kValues], upper_slope[kValues], lower_slope[kValues];
  const F to_middle = L::Sub(sy1, sy0);
  for (int k = 0; k < kValues; ++k) {
    long_slope[k] = L::Mul(L::Sub(c[2].value[k], c[0].value[k]), g0);
    middle[k] = L::Add(c[0].value[k], L::Mul(long_slope[k], to_middle));
    upper_slope[k] = L::Mul(L::Sub(c[1].value[k], c[0].value[k]), g1);
    lower_slope[k] = L::Mul(L::Sub(c[2].value[k], c[1].value[k]), g2);
  }
  const F width = L::Sub(sx1, middle[0]);
  L::Store(out->du + first, Fixed<L>(L::Div(L::Sub(c[1].value[1], middle[1]), width)));
  L::Store(out->dv + first, Fixed<L>(L::Div(L::Sub(c[1].value[2], middle[2]), width)));
  L::Store(out->du2 + first, Fixed<L>(L::Div(L::Sub(c[1].value[3], middle[3]), width)));
  L::Store(out->dv2 + first, Fixed<L>(L::Div(L::Sub(c[1].value[4], middle[4]), width)));

  // Dropped as the single set-up drops them: a sliver of area, no rows, or no width.
  const I thin = L::AsI(L::Or(L::Lt(Abs<L>(doubled_area), L::Set(0.5f)), L::Lt(Abs<L>(width), L::Set(0.1f))));
  const I flat = L::EqI(c[2].row, c[0].row);
  L::Store(out->drawn + first, L::AndNotI(L::OrI(thin, flat), L::SetI(-1)));

  const F long_left = L::Le(middle[0], sx1);
  StoreSection<L>(c[0].value, long_slope, c[0].value, upper_slope, L::Sub(L::ToFloat(c[0].row), sy0), long_left,
                  c[0].row, L::SubI(c[1].row, c[0].row), &out->upper, first);
  StoreSection<L>(middle, long_slope, c[1].value, lower_slope, L::Sub(L::ToFloat(c[1].row), sy1), long_left,
                  c[1].row, L::SubI(c[2].row, c[1].row), &out->lower, first);
}

}  // namespace
