// A stale header: #9 CEffectTrans fades the picture in and out.
constexpr int kStale[] = {
    MakeEffectEntry<CEffectCTrans>(),  // animated translucency
};
