// A double of the flow-chart menu's tests over the fake of the services
// (chartmenu_services.h, which remakes mode 34): its floating buttons and
// short-cut keys answer what the test scripted while `scripted_` is set, its
// system-mode preparation is a note then, and the skip-film flag is noted.
#pragma once

#include <string>

namespace chartmenu_test {

template <typename Base>
class ScriptedChartGame : public Base {
 public:
  using Base::Base;
  int CheckFloatingButtons() override { return scripted_ ? floating_ : Base::CheckFloatingButtons(); }
  int CheckShortCut(int mode) override { return scripted_ ? shortCut_ : Base::CheckShortCut(mode); }
  int PrepareSystemMode(int target, int caller) override {
    if (!scripted_) return Base::PrepareSystemMode(target, caller);
    this->Note("PrepareSystemMode " + std::to_string(target) + " " + std::to_string(caller));
    return target;
  }
  void SetSkipFilmFlag(int value) override {
    this->Note("SetSkipFilmFlag " + std::to_string(value));
    Base::SetSkipFilmFlag(value);
  }

  bool scripted_ = false;
  int floating_ = -1;
  int shortCut_ = -1;
};

}  // namespace chartmenu_test
