#include "window/uia_api_win.h"

namespace lumetta::uia {
namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = module != nullptr
                 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                 : nullptr;
}

Functions LoadSystemFunctions() {
  // Loaded on the first request of a screen reader: a process nobody reads never maps it.
  HMODULE module = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  Functions functions{};
  Resolve(module, "UiaReturnRawElementProvider", functions.returnRawElementProvider);
  Resolve(module, "UiaHostProviderFromHwnd", functions.hostProviderFromHwnd);
  Resolve(module, "UiaRaiseAutomationEvent", functions.raiseAutomationEvent);
  Resolve(module, "UiaRaiseAutomationPropertyChangedEvent", functions.raisePropertyChangedEvent);
  Resolve(module, "UiaRaiseStructureChangedEvent", functions.raiseStructureChangedEvent);
  Resolve(module, "UiaClientsAreListening", functions.clientsAreListening);
  Resolve(module, "UiaDisconnectProvider", functions.disconnectProvider);
  Resolve(module, "UiaRaiseNotificationEvent", functions.raiseNotificationEvent);
  return functions;
}

const Functions* gReplacement = nullptr;

}  // namespace

const Functions& Api() {
  if (gReplacement != nullptr) {
    return *gReplacement;
  }
  static const Functions kSystem = LoadSystemFunctions();
  return kSystem;
}

void UseFunctions(const Functions* functions) {
  gReplacement = functions;
}

}  // namespace lumetta::uia
