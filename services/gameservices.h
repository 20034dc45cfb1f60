// CGameServices: every role the game object plays for the folders below
// it, in one aggregate. A mode holds it; code that needs only some roles
// keeps just those (a save slot file keeps CSaveServices and
// CScreenServices), since a CGameServices* converts to any of them. The game
// object (game/) implements them all; tests implement them with a fake.
#pragma once

#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"

class CGameServices : public CSaveServices,
                      public CSoundServices,
                      public CScreenServices,
                      public CMessageWindowServices,
                      public CModeFlowServices,
                      public CVariableServices {
 protected:
  ~CGameServices() = default;
};
