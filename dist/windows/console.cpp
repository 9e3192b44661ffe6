// plintor.com, the console face of plintor.exe: a console finds it before the .exe of the same
// name, waits for it and gets its exit status, as it never does for a GUI program. It starts
// plintor.exe beside it with the same arguments on the console's own handles, waits for it and
// ends with its status, so --help, --version and a refused option print before the prompt returns
// and %errorlevel% tells how it went.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
/// The command line after the program's own name, as the console gave it.
const wchar_t* arguments(const wchar_t* line)
{
    bool quoted = false;
    for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}
} // namespace

int main()
{
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), DWORD(exe.size()));
        if (n == 0)
            return 1;
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const std::size_t dot = exe.find_last_of(L'.');
    exe = (dot == std::wstring::npos ? exe : exe.substr(0, dot)) + L".exe";

    std::wstring line = L"\"" + exe + L"\"";
    if (const wchar_t* rest = arguments(GetCommandLineW()); *rest)
        line += L" " + std::wstring(rest);

    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
        std::fwprintf(stderr, L"plintor: %ls could not be started (error %lu).\n", exe.c_str(), GetLastError());
        return 1;
    }
    // Ctrl+C is the program's to answer, not this waiting face's.
    SetConsoleCtrlHandler(nullptr, TRUE);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(status);
}
