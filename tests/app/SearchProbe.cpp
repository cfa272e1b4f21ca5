// A DLL of our own for the search-order tests; its one export tells that this copy was loaded.
extern "C" __declspec(dllexport) int ZarvoSearchProbe() { return 0x5EA2C; }
