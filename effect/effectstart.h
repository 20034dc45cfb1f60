// The table-driven start every effect with values shares. An effect names
// its values in an enum in its class, in the order the script gives them,
// and its start table gives each named value a row (its default) in that
// order, the clamps, how many values it keeps and an optional fixed
// duration. The table is the one list of an effect's values: the code reads
// them by the enum's names, and the README points here instead of
// repeating them. MakeParams and SetParam do what every start does:
//   1. count is cut to the maximum; the first count values are copied into
//      a list of maximum length, the rest 0;
//   2. every value whose index is not below count takes its default, in
//      ascending index (a default may copy or add earlier values, which then
//      hold their final or defaulted value);
//   3. the clamps run: all of them in table order after the last default
//      (kAfterDefaults), or each right after its own value's default step
//      (kWithEachDefault), whether that value was given or defaulted;
//   4. (CTableStartEffect::SetParam) the channel becomes active with the
//      effect's number, counter 0, the duration p0 (or the table's fixed
//      one) and the whole list stored.
// Defaults and clamps may name the screen's width W or height H; sums are
// formed in 64 bits and held to the int range.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "effect/commoneffect.h"

namespace effectstart {

enum class Axis : uint8_t { kNone, kWidth, kHeight };

// constant + (screen size along axis) * num / den, truncated.
struct Amount {
  int constant = 0;
  Axis axis = Axis::kNone;
  int num = 0;
  int den = 1;
};
constexpr Amount Fixed(int v) { return {v, Axis::kNone, 0, 1}; }
constexpr Amount Width(int num = 1, int den = 1, int plus = 0) {
  return {plus, Axis::kWidth, num, den};
}
constexpr Amount Height(int num = 1, int den = 1, int plus = 0) {
  return {plus, Axis::kHeight, num, den};
}

enum class DefaultKind : uint8_t {
  kAmount,    // an amount (constant or screen part)
  kCopy,      // "= a": p[a]
  kPlusHalf,  // p[a] + p[b] / 2
  kNone,      // no default: a value not given stays 0
};
struct ParamDefault {
  int index;
  DefaultKind kind;
  Amount amount;
  int a = 0, b = 0;
};
constexpr ParamDefault Value(int index, int v) { return {index, DefaultKind::kAmount, Fixed(v)}; }
constexpr ParamDefault Value(int index, Amount amount) {
  return {index, DefaultKind::kAmount, amount};
}
constexpr ParamDefault Same(int index, int a) { return {index, DefaultKind::kCopy, {}, a}; }
constexpr ParamDefault PlusHalf(int index, int a, int b) {
  return {index, DefaultKind::kPlusHalf, {}, a, b};
}
// A named value without a default (a value not given stays 0, or the
// effect's SetParam gives it).
constexpr ParamDefault NoDefault(int index) { return {index, DefaultKind::kNone, {}}; }

// The rows of an effect whose values begin with another effect's: those
// rows, then its own.
template <size_t N, size_t M>
consteval std::array<ParamDefault, N + M> Rows(const ParamDefault (&first)[N],
                                               const ParamDefault (&then)[M]) {
  std::array<ParamDefault, N + M> rows{};
  for (size_t i = 0; i < N; ++i) rows[i] = first[i];
  for (size_t i = 0; i < M; ++i) rows[N + i] = then[i];
  return rows;
}

enum class ClampKind : uint8_t {
  kRange,      // lo <= p[index] <= hi
  kSumAtMost,  // p[index] cut so that p[other] + p[index] <= hi
};
struct ParamClamp {
  int index;
  ClampKind kind;
  Amount lo, hi;
  int other = 0;
};
constexpr ParamClamp Range(int index, Amount lo, Amount hi) {
  return {index, ClampKind::kRange, lo, hi};
}
constexpr ParamClamp Range(int index, int lo, int hi) { return Range(index, Fixed(lo), Fixed(hi)); }
constexpr ParamClamp AtMost(int index, Amount hi) {
  return {index, ClampKind::kRange, Fixed(INT32_MIN), hi};
}
constexpr ParamClamp SumAtMost(int index, int other, Amount hi) {
  return {index, ClampKind::kSumAtMost, {}, hi, other};
}

enum class ClampTiming : uint8_t { kAfterDefaults, kWithEachDefault };

struct StartTable {
  int number;
  int max;            // values kept (at most CCommonEffect::kMaxParams)
  int fixedDuration;  // -1: the duration is p0
  ClampTiming timing;
  std::span<const ParamDefault> defaults;  // one row per named value, in index order
  std::span<const ParamClamp> clamps;      // in the order they run

  // Built at compile time, and checked there: row i names value i, the
  // rows fit in the maximum, a default copies or adds only earlier values
  // and a clamp names only kept values. A table that breaks one of these
  // does not compile.
  consteval StartTable(int number, int max, int fixedDuration, ClampTiming timing,
                       std::span<const ParamDefault> defaults,
                       std::span<const ParamClamp> clamps = {})
      : number(number),
        max(max),
        fixedDuration(fixedDuration),
        timing(timing),
        defaults(defaults),
        clamps(clamps) {
    if (max < 0 || max > CCommonEffect::kMaxParams) throw "start table: maximum out of range";
    if (defaults.size() > static_cast<size_t>(max)) throw "start table: more rows than values";
    for (size_t i = 0; i < defaults.size(); ++i) {
      const ParamDefault& d = defaults[i];
      if (d.index != static_cast<int>(i)) throw "start table: rows out of index order";
      const bool named = d.kind == DefaultKind::kCopy || d.kind == DefaultKind::kPlusHalf;
      if (named && (d.a < 0 || d.a >= d.index || d.b < 0 || d.b >= d.index))
        throw "start table: a default names a later value";
    }
    for (const ParamClamp& c : clamps)
      if (c.index < 0 || c.index >= max || c.other < 0 || c.other >= max)
        throw "start table: a clamp names a value not kept";
  }
};

}  // namespace effectstart

// The base of effects that start from a table: SetParam runs the four
// steps listed at the top of this file on the current screen and answers 1.
class CTableStartEffect : public CCommonEffect {
 public:
  CTableStartEffect(CEffectManager *manager, const effectstart::StartTable &table)
      : CCommonEffect(manager), table_(table) {}
  int SetParam(EffectChannel *record, int count, const int *values, int channel) override;
  // The cut, the defaults and the clamps (steps 1 to 3 at the top of this
  // file) on a screen of w x h: p (table.max ints) receives the list. Returns how many values were taken from the script.
  static int MakeParams(const effectstart::StartTable &table, int count, const int *values, int w,
                        int h, int *p);
  const effectstart::StartTable &Table() const { return table_; }
  // SetParam again with the record's stored values (a Restore that makes
  // the effect's own state anew).
  void StartAgain(EffectChannel *record, int channel);

 private:
  static int64_t AmountValue(const effectstart::Amount &amount, int w, int h);
  static void ApplyDefault(const effectstart::ParamDefault &d, int w, int h, int *p);
  // Clamps naming a value beyond the list are skipped.
  static void ApplyClamp(const effectstart::ParamClamp &c, int max, int w, int h, int *p);

  const effectstart::StartTable &table_;
};
