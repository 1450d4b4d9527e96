// A resource-only module: its code is this marker, which lets tests tell it
// loaded.
extern "C" __declspec(dllexport) int FontModuleMarker() { return 1; }
