// How the manager's transition step reaches the wipe table that the simple
// wipe effect (#59) owns. The effect hands its table to the manager with
// CEffectManager::SetWipeTable as it is made and takes it back as it is
// released; without a table, transitions draw nothing.
#pragma once

class CPicture;

class CWipeTableAccess {
 public:
  virtual ~CWipeTableAccess() = default;
  // 1 when the table holds a wipe of this kind (0..255).
  virtual int HasWipe(int kind) = 0;
  // One complete step from `from` (progress 0) to `to` (progress max), both
  // at least screen-sized, drawn at no offset.
  virtual void DrawWipe(int kind, CPicture* from, CPicture* to, int progress, int max) = 0;
};
