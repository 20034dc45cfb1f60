#include "effect/alleffect.h"

CAllEffect::CAllEffect() : manager_(std::make_unique<CEffectManager>()) {}

CAllEffect::~CAllEffect() { Release(); }

void CAllEffect::Release() { manager_.reset(); }
