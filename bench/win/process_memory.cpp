// process_memory TITLE: the private memory and working set of the process whose visible top-level
// window has that title, in KB, as Windows counts them ("private <kb> working-set <kb>").
#include <windows.h>

#include <psapi.h>

#include <cstdio>

extern "C" int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: process_memory TITLE\n");
        return 2;
    }
    const HWND window = FindWindowW(nullptr, argv[1]);
    if (window == nullptr) {
        std::fprintf(stderr, "process_memory: no window titled %ls\n", argv[1]);
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process == nullptr) {
        std::fprintf(stderr, "process_memory: cannot open process %lu\n", pid);
        return 1;
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    const BOOL ok = GetProcessMemoryInfo(
        process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    CloseHandle(process);
    if (!ok) {
        std::fprintf(stderr, "process_memory: no counters\n");
        return 1;
    }
    std::printf("private %llu working-set %llu\n",
                static_cast<unsigned long long>(counters.PrivateUsage / 1024),
                static_cast<unsigned long long>(counters.WorkingSetSize / 1024));
    return 0;
}
