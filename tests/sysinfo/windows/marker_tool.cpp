// Started by the launcher tests in place of the system information tool. It leaves
// "<its own path>.ran" behind with how it was started, then ends.
#include <cstdio>
#include <string>
#include <windows.h>

int main()
{
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return 1;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);

    // Written aside and renamed, so that a waiting test never reads half a report.
    const std::string marker = std::string(self) + ".ran";
    const std::string partial = marker + ".part";
    FILE *report = std::fopen(partial.c_str(), "w");
    if (!report)
        return 2;
    std::fprintf(report, "flags=%lu\nshow=%u\ncommand=%s\n", startup.dwFlags,
                 unsigned(startup.wShowWindow), GetCommandLineA());
    std::fclose(report);
    return MoveFileA(partial.c_str(), marker.c_str()) ? 0 : 3;
}
