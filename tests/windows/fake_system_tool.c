/* Stands in for the system information tool in the tests of System Info...: when started it
   writes "started" into started.txt beside itself, so a test sees that it ran. */
#include <windows.h>

#include <string.h>

int main(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    char *folderEnd = strrchr(path, '\\');
    if (!folderEnd || (size_t)(folderEnd - path) + sizeof "\\started.txt" > MAX_PATH)
        return 1;
    strcpy(folderEnd, "\\started.txt");
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, "started\n", 8, &written, NULL);
    CloseHandle(file);
    return written == 8 ? 0 : 1;
}
