#include "tests/support/fresh_module.h"

#include "standin/shared/panel_system.h"
#include "standin/native/win32_input.h"
#include "standin/native/win32_loader.h"
#include "tests/support/module_state.h"

void StartFreshModule() {
  standin::ResetPanel();
  standin::ResetLoader();
  standin::ResetInput();
  ResetModuleState(standin::panel_services);
}
