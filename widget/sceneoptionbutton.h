// CSceneOptionButton: one clickable picture button floating over the scene
// (option, scene, skip-film and quick buttons), with decoration pictures
// around it, a floating layer of 1 + decorations slots. The button reads
// the picture-button keys of the list under the list's own name;
// decoration i is "kazari%d...", placed relative to the button.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types.h"
#include "widget/floatinglayer.h"

class CCommonButton;
class CInputStatus;
class CPicture;

class CSceneOptionButton : public CFloatingLayer {
 public:
  // The first slots of the game's layers, ascending: the mouse, the
  // message cursor, the seven buttons and the notices. A layer's slots end
  // before the next layer's first slot (or the table's end).
  static constexpr int kLayerFirstSlots[] = {0, 2, 4, 8, 12, 14, 15, 16, 18, 20};

  // Settings from the list `name`, or from `list` when given (owned
  // elsewhere). "addPartsNumber" is held to the slots free before the next
  // layer.
  CSceneOptionButton(const char* name, CFloatingLayerTable* table, int firstSlot,
                     CNameList* list = nullptr);
  ~CSceneOptionButton() override;
  // Deletes the button, the pictures and the arrays.
  void Release() override;

  virtual void Init();
  // The button's code, -1 without a button.
  virtual int32_t Calcu(const CInputStatus* input);
  // Decorations from the last to the first, then the button; each saves
  // what it covers first when saveUnder is set.
  virtual void Print(int saveUnder);

  void SetEnable(int flag);
  void SetBlockWhenDisabled(int flag);
  void SetExist(int flag);

  CCommonButton* GetButton() const { return button_.get(); }
  int GetPartsNumber() const { return parts_; }
  // The most decorations a layer from `firstSlot` can have.
  static int FreeSlotsAfter(int firstSlot);

 private:
  struct Part {
    platform::Point pos{0, 0};
    platform::Point size{0, 0};
    std::unique_ptr<CPicture> picture;
  };
  int parts_ = 0;
  std::vector<Part> partList_;  // entry 0 the button, 1..n the decorations
  std::unique_ptr<CCommonButton> button_;
};
