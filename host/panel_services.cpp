#include "host/panel_services.h"

// In writable data: the host writes the service table's address into it.
ImportTableRecord ImportTable = {{kPanelServicesIdentifier, nullptr}, {0, nullptr}};

void ExecuteCalculator(const char* expression, std::int32_t* integer_result) {
  HostServices().execute_calculator(expression, nullptr, integer_result, nullptr);
}
