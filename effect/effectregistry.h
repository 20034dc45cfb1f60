// The effect-number table: which class the manager makes at which number.
// The entries live in effectregistry.cpp, one line per effect; a family of
// effects keeps its classes in its own files and adds its lines there.
#pragma once

#include <memory>
#include <span>

class CCommonEffect;
class CEffectManager;

struct EffectEntry {
  int number;
  const char* className;
  std::unique_ptr<CCommonEffect> (*make)(CEffectManager* manager);
};

template <typename T>
constexpr EffectEntry MakeEffectEntry() {
  return {T::kNumber, T::kClassName,
          [](CEffectManager* manager) -> std::unique_ptr<CCommonEffect> {
            return std::make_unique<T>(manager);
          }};
}

// Every registered effect, in ascending number.
std::span<const EffectEntry> GetEffectEntries();

// 1 for a number that has an entry in the table, 0 for the others.
int IsEffectNumberDefined(int number);
