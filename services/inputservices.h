// CInputServices: the input of the frame: the mouse, the input state and the
// keys pressed this frame.
#pragma once

class CInputStatus;
class CMouseStatus;

class CInputServices {
 public:
  virtual CMouseStatus* GetMouseStatus() = 0;
  virtual CInputStatus* GetInputStatus() = 0;
  // 1 when the key was pressed this frame. 28..31 also accept Left, Right,
  // Up, Down; 26 and 27 Page Down and Page Up; every code is also tested as
  // a virtual-key code of its own.
  virtual int CheckKeyTrig(int code) = 0;

 protected:
  ~CInputServices() = default;
};
